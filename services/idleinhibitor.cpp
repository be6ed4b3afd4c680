// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/idleinhibitor.h"

#include "services/maker.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QThread>

#include <memory>

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

QString serviceName(IdleInhibitor::Desktop desktop)
{
    return QLatin1String(service(desktop).name);
}

QString portalName()
{
    return serviceName(IdleInhibitor::Desktop::Portal);
}

QString requestPath(const QVariant &handle)
{
    return handle.value<QDBusObjectPath>().path();
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
{
    // Connecting waits for the bus to answer, and a bus can be slow: it is done aside, long
    // before the host first presses Start, and nothing waits for it.
    auto bus = std::make_shared<std::optional<QDBusConnection>>();
    QThread *connecting = QThread::create([bus, address = std::move(busAddress)] {
        *bus = address.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection::connectToBus(address, address);
    });
    connect(connecting, &QThread::finished, connecting, &QObject::deleteLater);
    connect(connecting, &QThread::finished, this, [this, bus] { onConnected(**bus); });
    connecting->start();
}

IdleInhibitor::~IdleInhibitor()
{
    if (m_held)
        release(*m_held);
}

void IdleInhibitor::keepScreenOn(bool on)
{
    m_wanted = on;
    if (!m_bus)
        return; // still connecting: asked for once connected
    if (!m_bus->isConnected()) {
        if (on)
            warnOnce(QStringLiteral("no session bus (%1)").arg(m_bus->lastError().message()));
    } else if (on && !m_asked && !m_held) {
        ask(0);
    } else if (!on && m_held) {
        release(*std::exchange(m_held, std::nullopt));
    }
}

std::optional<IdleInhibitor::Desktop> IdleInhibitor::holder() const
{
    return m_held ? std::optional(m_held->desktop) : std::nullopt;
}

void IdleInhibitor::onConnected(const QDBusConnection &bus)
{
    m_bus = bus;
    if (!bus.isConnected()) {
        keepScreenOn(m_wanted);
        return;
    }
    m_services = new QDBusServiceWatcher(this);
    m_services->setConnection(bus);
    m_services->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    for (const Service &desktop : kServices)
        m_services->addWatchedService(QLatin1String(desktop.name));
    connect(m_services, &QDBusServiceWatcher::serviceOwnerChanged, this, &IdleInhibitor::onOwnerChanged);
    keepScreenOn(m_wanted);
}

void IdleInhibitor::onOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner)
{
    const bool lost = m_held && !oldOwner.isEmpty() && name == serviceName(m_held->desktop);
    if (lost) {
        // The service that held the inhibit has ended, and what it held went with it.
        if (m_held->desktop == Desktop::Portal)
            watchPortalResponse(requestPath(m_held->handle), false);
        m_held.reset();
    }
    if (m_held || (!lost && newOwner.isEmpty()))
        return;
    if (m_asked)
        m_askAgain = true; // never a second request beside the one asked
    else
        ask(0);
}

void IdleInhibitor::ask(int tried)
{
    if (!m_wanted)
        return;
    if (tried == 0)
        m_askAgain = false;
    if (tried == kDesktops) {
        if (std::exchange(m_askAgain, false))
            ask(0);
        else
            warnOnce(QStringLiteral("no desktop answered"));
        return;
    }
    const auto desktop = Desktop((int(m_answered) + tried) % kDesktops);
    const QString token = QStringLiteral("bingo%1").arg(++m_requests);
    m_asked = Inhibit {desktop, tried, {}, {}};
    if (desktop == Desktop::Portal) {
        // Its word on the request can come as soon as it has answered, or even before its
        // answer is seen here: listen before asking.
        const QString request = portalRequestPath(*m_bus, token);
        m_asked->handle = QVariant::fromValue(QDBusObjectPath(request));
        watchPortalResponse(request, true);
    }
    auto *answer = new QDBusPendingCallWatcher(m_bus->asyncCall(inhibitCall(desktop, token)), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *answer) {
        answer->deleteLater();
        onAnswer(answer->reply());
    });
}

void IdleInhibitor::onAnswer(const QDBusMessage &reply)
{
    const Inhibit asked = *std::exchange(m_asked, std::nullopt);
    const bool portal = asked.desktop == Desktop::Portal;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != (portal ? u"o" : u"u")) {
        // A portal that took the request but answered too late may hold an inhibit all the same.
        if (portal && reply.errorName() == QDBusError::errorString(QDBusError::NoReply))
            release(asked);
        else if (portal)
            watchPortalResponse(requestPath(asked.handle), false);
        ask(asked.tried + 1);
        return;
    }
    Inhibit held = asked;
    held.handle = reply.arguments().constFirst();
    if (asked.portalWord.value_or(0) != 0) {
        moveOn(held);
        return;
    }
    m_answered = asked.desktop;
    m_askAgain = false;
    if (m_wanted)
        m_held = held;
    else
        release(held);
}

void IdleInhibitor::onPortalResponse(const QDBusMessage &response)
{
    const uint word = response.arguments().value(0).toUInt();
    if (m_asked && m_asked->desktop == Desktop::Portal && requestPath(m_asked->handle) == response.path()) {
        m_asked->portalWord = word; // weighed when the answer comes
        return;
    }
    if (word == 0 || !m_held || m_held->desktop != Desktop::Portal || requestPath(m_held->handle) != response.path())
        return;
    moveOn(*std::exchange(m_held, std::nullopt));
}

void IdleInhibitor::moveOn(const Inhibit &refused)
{
    release(refused);
    ask(refused.tried + 1);
}

void IdleInhibitor::release(const Inhibit &inhibit)
{
    const Service &from = service(inhibit.desktop);
    if (inhibit.desktop == Desktop::Portal) {
        const QString request = requestPath(inhibit.handle);
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
