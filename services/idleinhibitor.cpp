// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/idleinhibitor.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

#include <utility>

namespace {

constexpr uint kInhibitSuspend = 4;
constexpr uint kInhibitIdle = 8;
constexpr auto kApplicationName = "Bingo";
constexpr auto kApplicationId = "example.bingocaller.Bingo";

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kSessionManager = QStringLiteral("org.gnome.SessionManager");

QString reason()
{
    return QString::fromLatin1(IdleInhibitor::kReason);
}

QString tokenFor(unsigned request)
{
    return QStringLiteral("bingo%1").arg(request);
}

// The portal names the request object after the caller and the token it was given, so a
// request whose answer never came can still be closed.
QString portalRequestPath(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

QDBusMessage inhibitCall(IdleInhibitor::Desktop desktop, const QString &token)
{
    switch (desktop) {
    case IdleInhibitor::Desktop::Portal: {
        QDBusMessage call = QDBusMessage::createMethodCall(kPortal, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                           QStringLiteral("org.freedesktop.portal.Inhibit"),
                                                           QStringLiteral("Inhibit"));
        const QVariantMap options {{QStringLiteral("reason"), reason()}, {QStringLiteral("handle_token"), token}};
        call << QString() << (kInhibitIdle | kInhibitSuspend) << options;
        return call;
    }
    case IdleInhibitor::Desktop::ScreenSaver: {
        QDBusMessage call = QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                           kScreenSaver, QStringLiteral("Inhibit"));
        call << QString::fromLatin1(kApplicationName) << reason();
        return call;
    }
    case IdleInhibitor::Desktop::SessionManager: {
        QDBusMessage call = QDBusMessage::createMethodCall(kSessionManager, QStringLiteral("/org/gnome/SessionManager"),
                                                           kSessionManager, QStringLiteral("Inhibit"));
        call << QString::fromLatin1(kApplicationId) << 0u << reason() << (kInhibitIdle | kInhibitSuspend);
        return call;
    }
    }
    Q_UNREACHABLE();
}

} // namespace

IdleInhibitor::IdleInhibitor(QString busAddress, QObject *parent)
    : QObject(parent)
    , m_busAddress(std::move(busAddress))
{
}

IdleInhibitor::~IdleInhibitor()
{
    if (m_held)
        release(*m_held);
}

void IdleInhibitor::keepScreenOn(bool on)
{
    m_wanted = on;
    if (on && !m_asking && !m_held) {
        if (connected())
            ask(0);
    } else if (!on && m_held) {
        release(*std::exchange(m_held, std::nullopt));
    }
}

bool IdleInhibitor::connected()
{
    if (!m_bus) {
        m_bus = m_busAddress.isEmpty() ? QDBusConnection::sessionBus()
                                       : QDBusConnection::connectToBus(m_busAddress, m_busAddress);
    }
    if (m_bus->isConnected())
        return true;
    warnOnce(QStringLiteral("no session bus (%1)").arg(m_bus->lastError().message()));
    return false;
}

void IdleInhibitor::ask(int tried)
{
    if (tried == kDesktops) {
        warnOnce(QStringLiteral("no desktop answered"));
        return;
    }
    const auto desktop = Desktop((int(m_answered) + tried) % kDesktops);
    const QString token = tokenFor(++m_requests);
    Inhibit asked {desktop, tried, {}};
    if (desktop == Desktop::Portal) {
        // Its word on the request can come as soon as it has answered: listen before asking.
        asked.handle = QVariant::fromValue(QDBusObjectPath(portalRequestPath(*m_bus, token)));
        watchPortalResponse(portalRequestPath(*m_bus, token), true);
    }
    m_asking = true;
    auto *answer = new QDBusPendingCallWatcher(m_bus->asyncCall(inhibitCall(desktop, token)), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this, asked](QDBusPendingCallWatcher *answer) {
        answer->deleteLater();
        onAnswer(asked, answer->reply());
    });
}

void IdleInhibitor::onAnswer(const Inhibit &asked, const QDBusMessage &reply)
{
    m_asking = false;
    const bool portal = asked.desktop == Desktop::Portal;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != (portal ? u"o" : u"u")) {
        // A portal that took the request but answered too late may hold an inhibit all the same.
        if (portal && reply.errorName() == QDBusError::errorString(QDBusError::NoReply))
            release(asked);
        else if (portal)
            watchPortalResponse(asked.handle.value<QDBusObjectPath>().path(), false);
        if (m_wanted)
            ask(asked.tried + 1);
        return;
    }
    m_answered = asked.desktop;
    Inhibit held = asked;
    held.handle = reply.arguments().constFirst();
    if (m_wanted)
        m_held = held;
    else
        release(held);
}

void IdleInhibitor::onPortalResponse(const QDBusMessage &response)
{
    if (response.arguments().value(0).toUInt() == 0)
        return;
    if (!m_held || m_held->desktop != Desktop::Portal || m_held->handle.value<QDBusObjectPath>().path() != response.path())
        return;
    // The portal took the request, but the desktop behind it could not inhibit: on to the next.
    const Inhibit refused = *std::exchange(m_held, std::nullopt);
    release(refused);
    if (m_wanted)
        ask(refused.tried + 1);
}

void IdleInhibitor::release(const Inhibit &inhibit)
{
    QDBusMessage call;
    switch (inhibit.desktop) {
    case Desktop::Portal: {
        const QString request = inhibit.handle.value<QDBusObjectPath>().path();
        watchPortalResponse(request, false);
        call = QDBusMessage::createMethodCall(kPortal, request, QStringLiteral("org.freedesktop.portal.Request"),
                                              QStringLiteral("Close"));
        break;
    }
    case Desktop::ScreenSaver:
        call = QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"), kScreenSaver,
                                              QStringLiteral("UnInhibit"));
        call << inhibit.handle.toUInt();
        break;
    case Desktop::SessionManager:
        call = QDBusMessage::createMethodCall(kSessionManager, QStringLiteral("/org/gnome/SessionManager"),
                                              kSessionManager, QStringLiteral("Uninhibit"));
        call << inhibit.handle.toUInt();
        break;
    }
    m_bus->send(call);
}

// QDBusConnection takes its slots by name only.
void IdleInhibitor::watchPortalResponse(const QString &request, bool watch)
{
    const QString interface = QStringLiteral("org.freedesktop.portal.Request");
    const QString signal = QStringLiteral("Response");
    if (watch)
        m_bus->connect(kPortal, request, interface, signal, this, SLOT(onPortalResponse(QDBusMessage)));
    else
        m_bus->disconnect(kPortal, request, interface, signal, this, SLOT(onPortalResponse(QDBusMessage)));
}

void IdleInhibitor::warnOnce(const QString &why)
{
    if (std::exchange(m_warned, true))
        return;
    qWarning("bingo: the desktop may blank the screen during a game: %s", qPrintable(why));
}
