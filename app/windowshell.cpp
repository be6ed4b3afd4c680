// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowshell.h"

#include "app/closingwindow.h"
#include "app/loadingwindow.h"
#include "services/soundtable.h"
#include "services/waveplayer.h"
#include "ui/bingowindow.h"

#include <QAction>
#include <QApplication>
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

// A game still calling when the program ends stops calling while the shell can still say so.
WindowShell::~WindowShell()
{
    if (m_bingo)
        m_bingo->unload();
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
    emit handedOver();
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
        emit gameEnded();
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
}

void WindowShell::shutDown()
{
    emit gameEnded();
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
    connect(m_bingo.get(), &BingoWindow::callingChanged, this, &WindowShell::callingChanged);
    m_bingo->installEventFilter(this);
    emit mainWindowLoaded(m_bingo.get());
}

// Calling ends here, not when the object goes, so no tick of this game can follow and nothing
// is kept awake for it.
void WindowShell::unloadBingo()
{
    m_bingo->removeEventFilter(this);
    m_bingo->unload();
    unload(m_bingo);
}

void WindowShell::handlerFinished()
{
    if (m_loading || m_bingo || m_closing || m_ended)
        return;
    m_ended = true;
    m_quit(0);
}

void WindowShell::bringToFront()
{
    QWidget *window = m_bingo ? static_cast<QWidget *>(m_bingo.get()) : m_loading.get();
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
    // A question open over the main window is what the host answers next.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}
