// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/screenkeeper.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariant>

#include <optional>

class QDBusMessage;
class QDBusServiceWatcher;

// Keeps the screen on through the desktop, on the session bus: while it is asked to, it holds an
// idle and suspend inhibit ("Calling a bingo game") from the first desktop service that answers:
//   - the desktop portal's org.freedesktop.portal.Inhibit (GNOME, KDE, sandboxed installs);
//   - org.freedesktop.ScreenSaver (KDE, Xfce, xscreensaver's helper and others);
//   - org.gnome.SessionManager.
// A portal that answers but then reports that its desktop could not inhibit counts as no answer,
// whether its word comes before its answer or after.
//
// Every call is asynchronous, so a bus or a desktop that never answers holds up nothing; the bus
// is connected on a thread of its own as soon as the object is made. At most one inhibit is held
// or asked for at a time: Start while the last one is still being asked for waits for that
// answer, and an answer that comes when the screen no longer needs keeping on is released at
// once. The desktop's services are watched: when the one that holds the inhibit goes (it crashed
// or was restarted), what it held went with it, and the inhibit is asked for again at once from
// whichever of the three is there, or as soon as one comes. The bus and the desktop drop what a
// process held when it ends, however it ends, so a killed caller leaves nothing held. With no
// bus, or no desktop that answers, the game goes on as before, with one line on the error output.
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
    // The desktop whose inhibit is held now, as far as its answers tell.
    std::optional<Desktop> holder() const;

private slots:
    // The portal's word on a request it answered: 0 when the desktop inhibits.
    void onPortalResponse(const QDBusMessage &response);

private:
    struct Inhibit
    {
        Desktop desktop;
        int tried; // how many desktops were asked before this one
        QVariant handle; // the portal's request object, or the cookie of the others
        std::optional<uint> portalWord; // the portal's word, when it came before its answer
    };

    void onConnected(const QDBusConnection &bus);
    void onOwnerChanged(const QString &service, const QString &oldOwner, const QString &newOwner);
    // Asks the `tried`-th desktop after the one that answered last, or gives up after the last.
    void ask(int tried);
    void onAnswer(const QDBusMessage &reply);
    // The portal's request `refused` could not inhibit: it is closed, and the next desktop asked.
    void moveOn(const Inhibit &refused);
    void release(const Inhibit &inhibit);
    void watchPortalResponse(const QString &request, bool watch);
    void warnOnce(const QString &why);

    std::optional<QDBusConnection> m_bus;
    QDBusServiceWatcher *m_services = nullptr;
    bool m_wanted = false;
    std::optional<Inhibit> m_asked;
    // A desktop service came while the others were being asked: if none answers, ask again.
    bool m_askAgain = false;
    // The desktop that answered last, asked first next time.
    Desktop m_answered = Desktop::Portal;
    std::optional<Inhibit> m_held;
    unsigned m_requests = 0;
    bool m_warned = false;
};
