// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/idleinhibitor.h"

#include "services/maker.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>

#include <utility>

namespace {

constexpr uint kInhibitSuspend = 4;
constexpr uint kInhibitIdle = 8;
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

// Where each desktop takes its inhibit, and the method that releases one by its cookie.
struct Service
{
    const char *name;
    const char *path;
    const char *interface;
    const char *release;
};
constexpr Service kServices[IdleInhibitor::kDesktops] = {
    {"org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Inhibit", nullptr},
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "UnInhibit"},
    {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager", "Uninhibit"},
};

const Service &service(IdleInhibitor::Desktop desktop)
{
    return kServices[int(desktop)];
}

QString portalName()
{
    return QLatin1String(service(IdleInhibitor::Desktop::Portal).name);
}

// The portal names the request object after the caller and the token it was given, so the
// caller can listen to it before asking, and close it even when the answer never came.
QString portalRequestPath(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

QDBusMessage inhibitCall(IdleInhibitor::Desktop desktop, const QString &token)
{
    const Service &to = service(desktop);
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(to.name), QLatin1String(to.path),
                                                       QLatin1String(to.interface), QStringLiteral("Inhibit"));
    const QString reason = QString::fromLatin1(IdleInhibitor::kReason);
    switch (desktop) {
    case IdleInhibitor::Desktop::Portal:
        call << QString() << (kInhibitIdle | kInhibitSuspend)
             << QVariantMap {{QStringLiteral("reason"), reason}, {QStringLiteral("handle_token"), token}};
        break;
    case IdleInhibitor::Desktop::ScreenSaver:
        call << QLatin1String(Maker::kProgramName) << reason;
        break;
    case IdleInhibitor::Desktop::SessionManager:
        call << QLatin1String(Maker::kApplicationId) << 0u << reason << (kInhibitIdle | kInhibitSuspend);
        break;
    }
    return call;
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
    const QString token = QStringLiteral("bingo%1").arg(++m_requests);
    Inhibit asked {desktop, tried, {}};
    if (desktop == Desktop::Portal) {
        // Its word on the request can come as soon as it has answered: listen before asking.
        const QString request = portalRequestPath(*m_bus, token);
        asked.handle = QVariant::fromValue(QDBusObjectPath(request));
        watchPortalResponse(request, true);
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
    const Service &from = service(inhibit.desktop);
    if (inhibit.desktop == Desktop::Portal) {
        const QString request = inhibit.handle.value<QDBusObjectPath>().path();
        watchPortalResponse(request, false);
        m_bus->send(QDBusMessage::createMethodCall(portalName(), request, kRequest, QStringLiteral("Close")));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(from.name), QLatin1String(from.path),
                                                       QLatin1String(from.interface), QLatin1String(from.release));
    call << inhibit.handle.toUInt();
    m_bus->send(call);
}

// QDBusConnection takes its slots by name only.
void IdleInhibitor::watchPortalResponse(const QString &request, bool watch)
{
    const QString signal = QStringLiteral("Response");
    if (watch)
        m_bus->connect(portalName(), request, kRequest, signal, this, SLOT(onPortalResponse(QDBusMessage)));
    else
        m_bus->disconnect(portalName(), request, kRequest, signal, this, SLOT(onPortalResponse(QDBusMessage)));
}

void IdleInhibitor::warnOnce(const QString &why)
{
    if (std::exchange(m_warned, true))
        return;
    qWarning("bingo: the desktop may blank the screen during a game: %s", qPrintable(why));
}
