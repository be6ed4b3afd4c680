// SPDX-License-Identifier: GPL-3.0-or-later
// A desktop of the test's own on the session bus: it offers the idle inhibit services named on its
// command line, "portal", "screensaver" and "session", as desktops do, or "silent-portal" (takes
// the request and never answers), "failing-portal" (answers with an error) and "refusing-portal"
// (answers, then says that it could not inhibit). Each inhibit, release of an inhibit held, and
// caller whose connection goes is printed with the number of inhibits held then:
//   inhibit portal :1.5 flags=12 reason=Calling a bingo game held=1
//   release portal :1.5 held=0
//   gone :1.5 held=0
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QMultiHash>
#include <QTextStream>

class FakeDesktop : public QDBusVirtualObject
{
public:
    explicit FakeDesktop(QStringList offered) : m_offered(std::move(offered)) {}

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &bus) override
    {
        const QString sender = message.service();
        const QString method = message.interface() + QLatin1Char('.') + message.member();
        const QVariantList arguments = message.arguments();
        if (method == u"org.freedesktop.portal.Inhibit.Inhibit") {
            if (m_offered.contains(u"silent-portal")) {
                say(QStringLiteral("unanswered portal %1").arg(sender));
                return true;
            }
            if (m_offered.contains(u"failing-portal")) {
                bus.send(message.createErrorReply(QDBusError::AccessDenied, QStringLiteral("not here")));
                return true;
            }
            const auto options = qdbus_cast<QVariantMap>(arguments.value(2));
            const QString token = options.value(QStringLiteral("handle_token")).toString();
            QString caller = sender.mid(1);
            caller.replace(QLatin1Char('.'), QLatin1Char('_'));
            const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(caller, token);
            bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            // A portal whose desktop cannot inhibit says so on the request object.
            if (m_offered.contains(u"refusing-portal")) {
                QDBusMessage response = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                                   QStringLiteral("Response"));
                response << 2u << QVariantMap();
                bus.send(response);
                return true;
            }
            hold(bus, sender, QStringLiteral("portal"), request, arguments.value(1).toUInt(),
                 options.value(QStringLiteral("reason")).toString());
        } else if (method == u"org.freedesktop.portal.Request.Close") {
            letGo(sender, QStringLiteral("portal"), message.path());
            bus.send(message.createReply());
        } else if (method == u"org.freedesktop.ScreenSaver.Inhibit" || method == u"org.gnome.SessionManager.Inhibit") {
            const bool session = message.interface() == u"org.gnome.SessionManager";
            const uint cookie = ++m_cookies;
            hold(bus, sender, session ? QStringLiteral("session") : QStringLiteral("screensaver"), QString::number(cookie),
                 session ? arguments.value(3).toUInt() : 0, arguments.value(session ? 2 : 1).toString());
            bus.send(message.createReply(cookie));
        } else if (method == u"org.freedesktop.ScreenSaver.UnInhibit" || method == u"org.gnome.SessionManager.Uninhibit") {
            const bool session = message.interface() == u"org.gnome.SessionManager";
            letGo(sender, session ? QStringLiteral("session") : QStringLiteral("screensaver"),
                  QString::number(arguments.value(0).toUInt()));
            bus.send(message.createReply());
        } else {
            return false;
        }
        return true;
    }

private:
    void hold(const QDBusConnection &bus, const QString &sender, const QString &desktop, const QString &handle,
              uint flags, const QString &reason)
    {
        if (!m_watcher) {
            m_watcher = new QDBusServiceWatcher(this);
            m_watcher->setConnection(bus);
            m_watcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
            QObject::connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, [this](const QString &gone) {
                m_held.remove(gone);
                say(QStringLiteral("gone %1 held=%2").arg(gone).arg(m_held.size()));
            });
        }
        m_watcher->addWatchedService(sender);
        m_held.insert(sender, desktop + QLatin1Char(' ') + handle);
        say(QStringLiteral("inhibit %1 %2 flags=%3 reason=%4 held=%5")
                .arg(desktop, sender).arg(flags).arg(reason).arg(m_held.size()));
    }

    void letGo(const QString &sender, const QString &desktop, const QString &handle)
    {
        if (m_held.remove(sender, desktop + QLatin1Char(' ') + handle) == 0)
            return;
        say(QStringLiteral("release %1 %2 held=%3").arg(desktop, sender).arg(m_held.size()));
    }

    static void say(const QString &line) { QTextStream(stdout) << line << Qt::endl; }

    const QStringList m_offered;
    QMultiHash<QString, QString> m_held; // by caller: "desktop handle"
    QDBusServiceWatcher *m_watcher = nullptr;
    uint m_cookies = 0;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList offered = app.arguments().mid(1);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeDesktop desktop(offered);
    if (!bus.registerVirtualObject(QStringLiteral("/"), &desktop, QDBusConnection::SubPath))
        return 1;
    const std::pair<const char *, const char *> names[] = {
        {"portal", "org.freedesktop.portal.Desktop"},       {"silent-portal", "org.freedesktop.portal.Desktop"},
        {"failing-portal", "org.freedesktop.portal.Desktop"}, {"refusing-portal", "org.freedesktop.portal.Desktop"},
        {"screensaver", "org.freedesktop.ScreenSaver"},
        {"session", "org.gnome.SessionManager"},
    };
    for (const auto &[offer, name] : names)
        if (offered.contains(QLatin1String(offer)) && !bus.registerService(QLatin1String(name)))
            return 1;
    QTextStream(stdout) << "ready" << Qt::endl;
    return app.exec();
}
