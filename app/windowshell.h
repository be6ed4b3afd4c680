// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class BingoWindow;
class ClosingWindow;
class LoadingWindow;
class RandomSource;
class WavePlayer;

// The program's three windows, the splash window "Loading", the main window "Bingo" and the
// farewell window "Closing", one instance each, and the handlers that load, show, hide and
// unload them: the start-up hand-over, the reset and the exit. A window that is not loaded is
// null. The program ends when one of these handlers, or the main window's close box, leaves no
// window loaded.
class WindowShell : public QObject
{
    Q_OBJECT

public:
    // Ends the program with an exit status. It defaults to QCoreApplication::exit; tests record it.
    using Quit = std::function<void(int)>;

    WindowShell(WavePlayer &sound, RandomSource &random, Quit quit = {});
    ~WindowShell() override;

    // The start of the program: loads the splash window and shows it.
    void start();

    LoadingWindow *loading() const { return m_loading.get(); }
    BingoWindow *bingo() const { return m_bingo.get(); }
    ClosingWindow *closing() const { return m_closing.get(); }

    // The splash window's tick: hands over to the main window.
    void Loading_Timer1_Timer();
    // "Reset": the button, and the item under "File", which also plays the reset cue.
    void Command2_Click();
    void Rest_Click(qint16 index);
    // "Exit" and "Exit Bingo": hand over to the farewell window.
    void Command3_Click();
    void exit_Click(qint16 index);
    // The farewell window's tick: the end of the program.
    void Closing_Timer1_Timer();

    // Brings the window the host works with to the front: the main window, or the splash window
    // while it greets. The farewell window is left to go.
    void bringToFront();

signals:
    // A main window has been loaded, at the hand-over or by a reset.
    void mainWindowLoaded(BingoWindow *bingo);
    // The splash window has gone and the main window is on screen.
    void handedOver();
    // "Exit", "Exit Bingo" or the close box: the host ends the game on purpose.
    void gameEnded();
    // The game on screen has started or stopped calling; an unloaded window has stopped.
    void callingChanged(bool calling);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadBingo();
    void unloadBingo();
    void loadLoading();
    void loadClosing();
    void resetGame();
    void shutDown();
    void handlerFinished();

    WavePlayer &m_sound;
    RandomSource &m_random;
    Quit m_quit;
    bool m_ended = false;

    std::unique_ptr<LoadingWindow> m_loading;
    std::unique_ptr<BingoWindow> m_bingo;
    std::unique_ptr<ClosingWindow> m_closing;
};
