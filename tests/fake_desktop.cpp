// SPDX-License-Identifier: GPL-3.0-or-later
// A desktop of the test's own on the session bus: it offers the idle inhibits named on its
// command line, "portal", "screensaver" and "session", as desktops do, or "silent-portal" (takes
// the request and never answers) and "refusing-portal" (answers, then says that it could not
// inhibit). Each inhibit, release of one held, and caller whose connection goes is printed with
// the number of inhibits held then:
//   inhibit portal :1.5 flags=12 reason=Calling a bingo game held=1
//   release portal :1.5 held=0
//   gone :1.5 held=0
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QMultiHash>
#include <QTextStream>

namespace {

void say(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

class FakeDesktop : public QDBusVirtualObject
{
public:
    FakeDesktop(QStringList offered, const QDBusConnection &bus)
        : m_offered(std::move(offered))
    {
        m_watcher.setConnection(bus);
        m_watcher.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
        connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString &gone) {
            m_held.remove(gone);
            say(QStringLiteral("gone %1 held=%2").arg(gone).arg(m_held.size()));
        });
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &bus) override
    {
        const QString sender = message.service();
        const QString member = message.member();
        const QVariantList arguments = message.arguments();
        const QString desktop = message.interface() == u"org.gnome.SessionManager" ? QStringLiteral("session")
            : message.interface() == u"org.freedesktop.ScreenSaver"                ? QStringLiteral("screensaver")
                                                                                   : QStringLiteral("portal");
        if (member == u"Inhibit" && desktop == u"portal") {
            if (m_offered.contains(u"silent-portal")) {
                say(QStringLiteral("unanswered portal %1").arg(sender));
                return true;
            }
            const auto options = qdbus_cast<QVariantMap>(arguments.value(2));
            const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                        .arg(sender.mid(1).replace(QLatin1Char('.'), QLatin1Char('_')),
                                             options.value(QStringLiteral("handle_token")).toString());
            bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            if (m_offered.contains(u"refusing-portal")) {
                bus.send(QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                    QStringLiteral("Response"))
                         << 2u << QVariantMap());
                return true;
            }
            hold(sender, desktop, request, arguments.value(1).toUInt(), options.value(QStringLiteral("reason")));
        } else if (member == u"Inhibit") {
            const bool session = desktop == u"session";
            bus.send(message.createReply(++m_cookies));
            hold(sender, desktop, QString::number(m_cookies), session ? arguments.value(3).toUInt() : 0,
                 arguments.value(session ? 2 : 1));
        } else if (member == u"Close" || member.compare(u"UnInhibit", Qt::CaseInsensitive) == 0) {
            const QString handle = member == u"Close" ? message.path() : QString::number(arguments.value(0).toUInt());
            if (m_held.remove(sender, desktop + QLatin1Char(' ') + handle) > 0)
                say(QStringLiteral("release %1 %2 held=%3").arg(desktop, sender).arg(m_held.size()));
            bus.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

private:
    void hold(const QString &sender, const QString &desktop, const QString &handle, uint flags, const QVariant &reason)
    {
        m_watcher.addWatchedService(sender);
        m_held.insert(sender, desktop + QLatin1Char(' ') + handle);
        say(QStringLiteral("inhibit %1 %2 flags=%3 reason=%4 held=%5")
                .arg(desktop, sender)
                .arg(flags)
                .arg(reason.toString())
                .arg(m_held.size()));
    }

    const QStringList m_offered;
    QDBusServiceWatcher m_watcher;
    QMultiHash<QString, QString> m_held; // by caller: "desktop handle"
    uint m_cookies = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList offered = app.arguments().mid(1);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeDesktop desktop(offered, bus);
    if (!bus.registerVirtualObject(QStringLiteral("/"), &desktop, QDBusConnection::SubPath))
        return 1;
    const std::pair<const char *, const char *> names[] = {
        {"portal", "org.freedesktop.portal.Desktop"},      {"silent-portal", "org.freedesktop.portal.Desktop"},
        {"refusing-portal", "org.freedesktop.portal.Desktop"}, {"screensaver", "org.freedesktop.ScreenSaver"},
        {"session", "org.gnome.SessionManager"},
    };
    for (const auto &[offer, name] : names)
        if (offered.contains(QLatin1String(offer)) && !bus.registerService(QLatin1String(name)))
            return 1;
    say(QStringLiteral("ready"));
    return app.exec();
}
