// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/bingostate.h"
#include "services/desktopservices.h"
#include "ui/spoken.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>

class Announcer;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class RandomSource;
class WavePlayer;

// The main window. Creating it loads it: every control gets its design value and the load step
// runs. Each click, menu choice and tick runs its handler on the game state, then the window
// shows what the handler changed, and only that, and has the screen reader say what a host who
// cannot see it needs to hear: the number called, a verdict, the end of a game.
//
// From the keyboard, Tab visits the buttons and the card-number box in the design's order, Space,
// Return and Enter press the focused button, and a ring marks the focused control.
class BingoWindow : public QMainWindow
{
    Q_OBJECT

public:
    using Handler = std::function<void(BingoState &)>;

    BingoWindow(WavePlayer &sound, RandomSource &random, QWidget *parent = nullptr);
    ~BingoWindow() override;

    const BingoState &state() const { return m_state; }

    // Runs a handler on the game state, shows the outcome and announces what `speech` makes of it.
    void run(const Handler &handler, Spoken::Speech speech = nullptr);

    // One tick of the calling timer: what Timer1 runs every interval while calling.
    // Tests call it directly rather than wait for the timer.
    void Timer1_Timer();
    const QTimer &callingTimer() const { return m_timer; }
    QTimer &callingTimer() { return m_timer; }
    // Unloading: calling ends at once, even when the window itself can only go a moment later.
    void unload();

    // The controls by their design names, for binding the handlers that act on whole windows.
    QPushButton *button(const char *name) const;
    QAction *menuCommand(const char *name) const;

    // What speaks to the screen reader for the window.
    const Announcer &announcer() const { return *m_announcer; }

signals:
    // A handler has changed the game state, and the window shows the change.
    void stateChanged();
    // The game has started or stopped calling: from Start or Restart until a pause, a claim, the
    // end of the game, or the window unloaded (Reset, Exit, the close box). What is kept awake
    // while a game calls follows this one signal.
    void callingChanged(bool calling);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void bindHandlers();
    // Binds a button, or a menu command whose handler takes the item's index, by design name.
    void bindButton(const char *name, const Handler &handler, Spoken::Speech speech = nullptr);
    void bindMenu(const char *name, std::function<void(BingoState &, qint16)> handler,
                  Spoken::Speech speech = nullptr);
    // Shows the state on the widgets; with no earlier state, shows all of it.
    void present(const BingoState *shown);
    // Says callingChanged when calling has started or stopped since it last said it.
    void tellCalling();

    WavePlayer &m_sound;
    RandomSource &m_random;
    DesktopPageOpener m_pages;
    MessageBoxShower m_messages {this};
    BingoState m_state = BingoState::designValues();
    QTimer m_timer;
    // What callingChanged last said.
    bool m_calling = false;
    bool m_unloaded = false;

    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QLabel *m_label5 = nullptr;
    QLabel *m_label8 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QPushButton *m_command2 = nullptr;
    QPushButton *m_command3 = nullptr;
    QPushButton *m_command5 = nullptr;
    QPushButton *m_command8 = nullptr;
    std::array<QLabel *, kBoardSize> m_cells {};
    QMenu *m_soundMenu = nullptr;
    Announcer *m_announcer = nullptr;
    // The control that last had the keyboard focus, which gets it back when the help box closes.
    QPointer<QWidget> m_focusedControl;
};
