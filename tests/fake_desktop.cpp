// SPDX-License-Identifier: GPL-3.0-or-later
// A desktop of the test's own on the session bus: it offers the idle inhibits named on its
// command line, "portal", "screensaver" and "session", as desktops do, or "silent-portal" (takes
// the request, holds an inhibit and never answers) and "refusing-portal" (says that it could not
// inhibit, then answers). Each inhibit, release of one held, refusal and caller whose connection
// goes is printed with the number of inhibits held then:
//   inhibit portal :1.5 flags=12 reason=Calling a bingo game held=1
//   release portal :1.5 held=0
//   refused portal :1.5
//   gone :1.5 held=0
// Lines on its standard input act as the desktop does:
//   refuse   the portal says that it could not inhibit what it holds
//   leave    the desktop's services end (as when they crash), dropping their names and all they held
//   return   they start again, empty: the first name is taken at once, the others only when the
//            next request comes, before it is answered
// Releases are taken by their exact names, UnInhibit for the screen saver and Uninhibit for the
// session manager, as the desktops' own services take them.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QMultiHash>
#include <QSocketNotifier>
#include <QTextStream>

#include <unistd.h>

namespace {

void say(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

class FakeDesktop : public QDBusVirtualObject
{
public:
    FakeDesktop(const QStringList &offered, const QDBusConnection &bus)
        : m_offered(offered)
        , m_bus(bus)
    {
        const std::pair<const char *, const char *> names[] = {
            {"portal", "org.freedesktop.portal.Desktop"},        {"silent-portal", "org.freedesktop.portal.Desktop"},
            {"refusing-portal", "org.freedesktop.portal.Desktop"}, {"screensaver", "org.freedesktop.ScreenSaver"},
            {"session", "org.gnome.SessionManager"},
        };
        for (const auto &[offer, name] : names)
            if (offered.contains(QLatin1String(offer)))
                m_names.append(QLatin1String(name));
        m_watcher.setConnection(bus);
        m_watcher.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
        connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString &gone) {
            m_held.remove(gone);
            say(QStringLiteral("gone %1 held=%2").arg(gone).arg(m_held.size()));
        });
        connect(&m_commands, &QSocketNotifier::activated, this, &FakeDesktop::onCommand);
    }

    bool takeNames(qsizetype count)
    {
        for (; m_taken < std::min(count, m_names.size()); ++m_taken)
            if (!m_bus.registerService(m_names.at(m_taken)))
                return false;
        return true;
    }
    bool takeAllNames() { return takeNames(m_names.size()); }

    QString introspect(const QString &) const override { return {}; }

    // Called on the bus's own thread: the message is taken in turn on the desktop's.
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        QMetaObject::invokeMethod(this, [this, message] { take(message); }, Qt::QueuedConnection);
        return true;
    }

private:
    void take(const QDBusMessage &message)
    {
        takeAllNames(); // a desktop that came back is whole before it answers
        const QString sender = message.service();
        const QString member = message.member();
        const QVariantList arguments = message.arguments();
        const bool session = message.interface() == u"org.gnome.SessionManager";
        const bool screenSaver = message.interface() == u"org.freedesktop.ScreenSaver";
        const QString desktop = session ? QStringLiteral("session") : screenSaver ? QStringLiteral("screensaver") : QStringLiteral("portal");
        if (member == u"Inhibit" && desktop == u"portal") {
            const auto options = qdbus_cast<QVariantMap>(arguments.value(2));
            const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                        .arg(sender.mid(1).replace(QLatin1Char('.'), QLatin1Char('_')),
                                             options.value(QStringLiteral("handle_token")).toString());
            if (m_offered.contains(u"refusing-portal")) {
                refuse(sender, request);
                m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
                return;
            }
            hold(sender, desktop, request, arguments.value(1).toUInt(), options.value(QStringLiteral("reason")));
            if (!m_offered.contains(u"silent-portal"))
                m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        } else if (member == u"Inhibit") {
            m_bus.send(message.createReply(++m_cookies));
            hold(sender, desktop, QString::number(m_cookies), session ? arguments.value(3).toUInt() : 0,
                 arguments.value(session ? 2 : 1));
        } else if (member == u"Close" || (screenSaver && member == u"UnInhibit") || (session && member == u"Uninhibit")) {
            const QString handle = member == u"Close" ? message.path() : QString::number(arguments.value(0).toUInt());
            if (m_held.remove(sender, desktop + QLatin1Char(' ') + handle) > 0)
                say(QStringLiteral("release %1 %2 held=%3").arg(desktop, sender).arg(m_held.size()));
            m_bus.send(message.createReply());
        } else {
            m_bus.send(message.createErrorReply(QDBusError::UnknownMethod, member));
        }
    }

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

    void refuse(const QString &sender, const QString &request)
    {
        say(QStringLiteral("refused portal %1").arg(sender));
        m_bus.send(QDBusMessage::createSignal(request, kRequest, QStringLiteral("Response")) << 2u << QVariantMap());
    }

    void onCommand()
    {
        char bytes[256];
        const ssize_t count = ::read(0, bytes, sizeof bytes);
        if (count <= 0) {
            m_commands.setEnabled(false);
            return;
        }
        m_input.append(bytes, count);
        for (qsizetype end; (end = m_input.indexOf('\n')) >= 0; m_input.remove(0, end + 1))
            obey(m_input.left(end).trimmed());
    }

    void obey(const QByteArray &command)
    {
        if (command == "refuse") {
            for (auto held = m_held.begin(); held != m_held.end();) {
                if (!held.value().startsWith(u"portal ")) {
                    ++held;
                    continue;
                }
                const QString sender = held.key();
                const QString request = held.value().mid(7);
                held = m_held.erase(held);
                refuse(sender, request);
            }
        } else if (command == "leave") {
            for (; m_taken > 0; --m_taken)
                m_bus.unregisterService(m_names.at(m_taken - 1));
            m_held.clear();
            say(QStringLiteral("left held=0"));
        } else if (command == "return") {
            takeNames(1);
            say(QStringLiteral("returned"));
        }
    }

    const QStringList m_offered;
    QDBusConnection m_bus;
    QStringList m_names;
    qsizetype m_taken = 0;
    QDBusServiceWatcher m_watcher;
    QMultiHash<QString, QString> m_held; // by caller: "desktop handle"
    uint m_cookies = 0;
    QByteArray m_input;
    QSocketNotifier m_commands {0, QSocketNotifier::Read};
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakeDesktop desktop(app.arguments().mid(1), bus);
    if (!bus.registerVirtualObject(QStringLiteral("/"), &desktop, QDBusConnection::SubPath) || !desktop.takeAllNames())
        return 1;
    say(QStringLiteral("ready"));
    return app.exec();
}
