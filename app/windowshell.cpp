// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowshell.h"

#include "app/closingwindow.h"
#include "app/journalfile.h"
#include "app/loadingwindow.h"
#include "engine/carryon.h"
#include "services/soundtable.h"
#include "services/waveplayer.h"
#include "services/yesnoquestion.h"
#include "ui/bingowindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

void showCentred(QWidget *window)
{
    window->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(),
                                            window->screen()->availableGeometry()));
    window->show();
}

// Unloading destroys a window with its controls and timers. The event that asked for it may
// still be on its way through one of those controls (a click on the window's own button, a tick
// of its own timer), so the object itself goes when that event is done; the window is out of
// sight and out of the shell's hands at once.
template <typename Window>
void unload(std::unique_ptr<Window> &loaded)
{
    Window *window = loaded.release();
    window->hide();
    window->deleteLater();
}

} // namespace

WindowShell::WindowShell(WavePlayer &sound, RandomSource &random, Quit quit)
    : m_sound(sound)
    , m_random(random)
    , m_quit(quit ? std::move(quit) : Quit([](int status) { QCoreApplication::exit(status); }))
{
    // The reset leaves no window on screen for a moment: the program ends only when one of the
    // shell's handlers has left no window loaded, never because the last one was hidden.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

WindowShell::~WindowShell() = default;

void WindowShell::keepJournal(JournalFile &file, YesNoQuestion &question)
{
    m_journal = &file;
    m_question = &question;
}

void WindowShell::start()
{
    loadLoading();
    showCentred(m_loading.get());
}

void WindowShell::Loading_Timer1_Timer()
{
    loadBingo();
    showCentred(m_bingo.get());
    m_loading->timer1().stop();
    m_loading->hide();
    unload(m_loading);
    // The question comes once the hand-over is done and the main window is on screen. Until it
    // is answered, the fresh game leaves the journal of the last one alone.
    if (m_journal)
        QMetaObject::invokeMethod(this, &WindowShell::offerToCarryOn, Qt::QueuedConnection);
    handlerFinished();
}

void WindowShell::Command2_Click()
{
    resetGame();
    handlerFinished();
}

void WindowShell::Rest_Click(qint16 index)
{
    Q_UNUSED(index);
    resetGame();
    m_sound.playWave(m_bingo->state().soundFiles.entry(SoundTable::Reset));
    handlerFinished();
}

void WindowShell::Command3_Click()
{
    shutDown();
    handlerFinished();
}

void WindowShell::exit_Click(qint16 index)
{
    Q_UNUSED(index);
    shutDown();
    handlerFinished();
}

void WindowShell::Closing_Timer1_Timer()
{
    m_closing->timer1().stop();
    m_closing->hide();
    unload(m_closing);
    handlerFinished();
}

bool WindowShell::eventFilter(QObject *watched, QEvent *event)
{
    // The main window's close box: none of the handlers runs and there is no farewell, the
    // window is simply gone, and with it the last loaded window.
    if (event->type() == QEvent::Close && m_bingo && watched == m_bingo.get()) {
        endJournal();
        unloadBingo();
        handlerFinished();
    }
    return QObject::eventFilter(watched, event);
}

void WindowShell::resetGame()
{
    m_bingo->hide();
    unloadBingo();
    // lastNumber and calledCount are the window's own variables: the load below starts them
    // empty again, with every control at its design value and the load step run once more.
    loadBingo();
    showCentred(m_bingo.get());
    journalGame();
}

void WindowShell::shutDown()
{
    endJournal();
    // "thanks.wav" cuts off whatever number was being announced.
    loadClosing();
    showCentred(m_closing.get());
    m_bingo->hide();
    unloadBingo();
}

void WindowShell::loadLoading()
{
    m_loading = std::make_unique<LoadingWindow>(m_sound);
    connect(m_loading.get(), &GreetingWindow::timer1Ticked, this, &WindowShell::Loading_Timer1_Timer);
}

void WindowShell::loadClosing()
{
    m_closing = std::make_unique<ClosingWindow>(m_sound);
    connect(m_closing.get(), &GreetingWindow::timer1Ticked, this, &WindowShell::Closing_Timer1_Timer);
}

// Every main window that is loaded gets the handlers that act on whole windows.
void WindowShell::loadBingo()
{
    m_bingo = std::make_unique<BingoWindow>(m_sound, m_random);
    connect(m_bingo->button("Command2"), &QPushButton::clicked, this, &WindowShell::Command2_Click);
    connect(m_bingo->button("Command3"), &QPushButton::clicked, this, &WindowShell::Command3_Click);
    QAction *rest = m_bingo->menuCommand("Rest");
    connect(rest, &QAction::triggered, this, [this, rest] { Rest_Click(qint16(rest->data().toInt())); });
    QAction *exit = m_bingo->menuCommand("exit");
    connect(exit, &QAction::triggered, this, [this, exit] { exit_Click(qint16(exit->data().toInt())); });
    m_bingo->installEventFilter(this);
    connect(m_bingo.get(), &BingoWindow::stateChanged, this, &WindowShell::journalGame);
}

// The calling timer stops here, not when the object goes, so no tick of this game can follow.
void WindowShell::unloadBingo()
{
    m_bingo->removeEventFilter(this);
    m_bingo->callingTimer().stop();
    unload(m_bingo);
}

void WindowShell::handlerFinished()
{
    if (m_loading || m_bingo || m_closing || m_ended)
        return;
    m_ended = true;
    m_quit(0);
}

void WindowShell::offerToCarryOn()
{
    const std::optional<GameJournal> left = m_journal->read();
    if (!left || !m_bingo || !m_bingo->state().calledCount.isEmpty())
        return;
    const bool carryOnWanted = m_question->ask(m_bingo.get(), carryOnQuestion(*left));
    if (!m_bingo)
        return;
    if (!carryOnWanted) {
        m_journal->remove();
        return;
    }
    // The board says which numbers were called but not in which order: the journal does.
    m_game = left;
    m_bingo->run([&left](BingoState &state) { carryOn(state, *left); });
}

void WindowShell::journalGame()
{
    if (!m_journal || !m_bingo)
        return;
    m_game = journalOf(m_bingo->state(), m_game ? m_game->calls : QList<int>());
    m_journal->keep(m_game);
}

// The host ended the game: the next start is a fresh one.
void WindowShell::endJournal()
{
    m_game.reset();
    if (m_journal)
        m_journal->remove();
}
