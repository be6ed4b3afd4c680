// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/idleinhibitor.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

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
    if (m_heldBy)
        release(*m_heldBy, m_handle);
}

void IdleInhibitor::keepScreenOn(bool on)
{
    m_wanted = on;
    if (on && !m_asking && !m_heldBy) {
        if (connected())
            ask(0);
    } else if (!on && m_heldBy) {
        release(*m_heldBy, m_handle);
        m_heldBy.reset();
    }
}

bool IdleInhibitor::connected()
{
    if (!m_bus) {
        m_bus = m_busAddress.isEmpty()
            ? QDBusConnection::sessionBus()
            : QDBusConnection::connectToBus(m_busAddress, m_busAddress);
    }
    if (m_bus->isConnected())
        return true;
    warnOnce(QStringLiteral("no session bus (%1)").arg(m_bus->lastError().message()));
    return false;
}

void IdleInhibitor::ask(int tried)
{
    const auto desktop = Desktop((int(m_answered) + tried) % kDesktops);
    const QString token = tokenFor(++m_requests);
    m_asking = true;
    auto *answer = new QDBusPendingCallWatcher(m_bus->asyncCall(inhibitCall(desktop, token)), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this, desktop, tried, token](QDBusPendingCallWatcher *answer) {
        answer->deleteLater();
        // A portal that took the request but answered too late may hold an inhibit all the same.
        if (desktop == Desktop::Portal && answer->isError() && answer->error().type() == QDBusError::NoReply)
            release(desktop, QVariant::fromValue(QDBusObjectPath(portalRequestPath(*m_bus, token))));
        onAnswer(desktop, tried, *answer);
    });
}

void IdleInhibitor::onAnswer(Desktop desktop, int tried, const QDBusPendingCallWatcher &answer)
{
    m_asking = false;
    const QDBusMessage reply = answer.reply();
    const QString expected = desktop == Desktop::Portal ? QStringLiteral("o") : QStringLiteral("u");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.signature() != expected) {
        if (tried + 1 < kDesktops) {
            if (m_wanted)
                ask(tried + 1);
            return;
        }
        warnOnce(QStringLiteral("no desktop answered (%1)").arg(answer.error().name()));
        return;
    }
    m_answered = desktop;
    const QVariant handle = reply.arguments().constFirst();
    if (m_wanted) {
        m_heldBy = desktop;
        m_handle = handle;
    } else {
        release(desktop, handle);
    }
}

void IdleInhibitor::release(Desktop desktop, const QVariant &handle)
{
    QDBusMessage call;
    switch (desktop) {
    case Desktop::Portal:
        call = QDBusMessage::createMethodCall(kPortal, handle.value<QDBusObjectPath>().path(),
                                              QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close"));
        break;
    case Desktop::ScreenSaver:
        call = QDBusMessage::createMethodCall(kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"), kScreenSaver,
                                              QStringLiteral("UnInhibit"));
        call << handle.toUInt();
        break;
    case Desktop::SessionManager:
        call = QDBusMessage::createMethodCall(kSessionManager, QStringLiteral("/org/gnome/SessionManager"),
                                              kSessionManager, QStringLiteral("Uninhibit"));
        call << handle.toUInt();
        break;
    }
    m_bus->send(call);
}

void IdleInhibitor::warnOnce(const QString &why)
{
    if (std::exchange(m_warned, true))
        return;
    qWarning("bingo: the desktop may blank the screen during a game: %s", qPrintable(why));
}
