// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/screenkeeper.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariant>

#include <optional>

class QDBusMessage;
class QDBusPendingCallWatcher;

// Keeps the screen on through the desktop, on the session bus: while it is asked to, it holds an
// idle and suspend inhibit ("Calling a bingo game") from the first desktop service that answers:
//   - the desktop portal's org.freedesktop.portal.Inhibit (GNOME, KDE, sandboxed installs);
//   - org.freedesktop.ScreenSaver (KDE, Xfce, xscreensaver's helper and others);
//   - org.gnome.SessionManager.
// A portal that answers but then reports that its desktop could not inhibit counts as no answer.
//
// Every call is asynchronous, so a bus or a desktop that never answers holds up nothing. At most
// one inhibit is held or asked for at a time: Start while the last one is still being asked for
// waits for that answer, and an answer that comes when the screen no longer needs keeping on is
// released at once. The bus and the desktop drop what a process held when it ends, however it
// ends, so a killed caller leaves nothing held. With no bus, or no desktop that answers, the game
// goes on as before, with one line on the error output.
class IdleInhibitor : public QObject, public ScreenKeeper
{
    Q_OBJECT

public:
    enum class Desktop { Portal, ScreenSaver, SessionManager };
    static constexpr int kDesktops = 3;
    static constexpr const char *kReason = "Calling a bingo game";

    // The user's session bus, or the bus at `busAddress`.
    explicit IdleInhibitor(QString busAddress = {}, QObject *parent = nullptr);
    ~IdleInhibitor() override;

    void keepScreenOn(bool on) override;

private slots:
    // The portal's word on a request it answered: 0 when the desktop inhibits.
    void onPortalResponse(const QDBusMessage &response);

private:
    struct Inhibit
    {
        Desktop desktop;
        int tried; // how many desktops were asked before this one
        QVariant handle; // the portal's request object, or the cookie of the others
    };

    bool connected();
    // Asks the `tried`-th desktop after the one that answered last, or gives up after the last.
    void ask(int tried);
    void onAnswer(const Inhibit &asked, const QDBusMessage &reply);
    void release(const Inhibit &inhibit);
    void watchPortalResponse(const QString &request, bool watch);
    void warnOnce(const QString &why);

    QString m_busAddress;
    std::optional<QDBusConnection> m_bus;
    bool m_wanted = false;
    bool m_asking = false;
    // The desktop that answered last, asked first next time.
    Desktop m_answered = Desktop::Portal;
    std::optional<Inhibit> m_held;
    unsigned m_requests = 0;
    bool m_warned = false;
};
