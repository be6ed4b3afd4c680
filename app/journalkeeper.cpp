// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/journalkeeper.h"

#include "app/journalfile.h"
#include "app/windowshell.h"
#include "engine/carryon.h"
#include "services/yesnoquestion.h"
#include "ui/bingowindow.h"

JournalKeeper::JournalKeeper(JournalFile &file, YesNoQuestion &question, WavePlayer &sound, WindowShell &shell)
    : m_file(file)
    , m_question(question)
    , m_sound(sound)
{
    connect(&shell, &WindowShell::mainWindowLoaded, this, &JournalKeeper::onMainWindowLoaded);
    connect(&shell, &WindowShell::handedOver, this, &JournalKeeper::onHandedOver);
    connect(&shell, &WindowShell::gameEnded, this, &JournalKeeper::onGameEnded);
}

void JournalKeeper::onMainWindowLoaded(BingoWindow *bingo)
{
    m_bingo = bingo;
    connect(bingo, &BingoWindow::stateChanged, this, &JournalKeeper::journalGame);
    journalGame();
}

// The question comes once the hand-over is done and the main window is on screen; with no game
// to offer, the journal follows the fresh game at once.
void JournalKeeper::onHandedOver()
{
    m_left = m_file.read();
    if (m_left)
        QMetaObject::invokeMethod(this, &JournalKeeper::offerToCarryOn, Qt::QueuedConnection);
    else
        settle();
}

void JournalKeeper::offerToCarryOn()
{
    const bool wanted = !m_settled && m_bingo && m_bingo->state().calledCount.isEmpty()
        && m_question.ask(m_bingo, carryOnQuestion(*m_left)) && m_bingo;
    if (!wanted) {
        settle();
        return;
    }
    m_settled = true;
    m_bingo->run([this](BingoState &state) {
        carryOn(state, *m_left);
        callLastNumberAgain(state, m_sound);
    });
}

void JournalKeeper::settle()
{
    m_settled = true;
    journalGame();
}

void JournalKeeper::journalGame()
{
    if (!m_settled || !m_bingo)
        return;
    m_file.keep(journalOf(m_bingo->state()));
}

// The next start must not find the game: the file goes, or is marked as ended, before the folder
// is let go.
void JournalKeeper::onGameEnded()
{
    m_settled = true;
    m_file.remove();
    const JournalFile::Outcome outcome = m_file.flush(JournalFile::kLongestWriterWait);
    if (outcome == JournalFile::Outcome::Failed)
        qWarning("The game that ended is still in %s, and the next start may offer it.", qPrintable(m_file.path()));
    emit journalClosed(outcome);
}
