// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/caller.h"

#include "app/solecaller.h"
#include "services/screenkeeper.h"
#include "services/waveplayer.h"

Caller::Caller(SoleCaller &sole, WavePlayer &sound, ScreenKeeper &screen, RandomSource &random,
               YesNoQuestion &question, WindowShell::Quit quit)
    : m_journal(sole.journalFolder())
    , m_shell(sound, random, std::move(quit))
    , m_keeper(m_journal, question, sound, m_shell)
{
    QObject::connect(&sole, &SoleCaller::frontWanted, &m_shell, &WindowShell::bringToFront);
    // The folder goes to the next start once the ended game is out of its reach; where it could
    // not be put out of reach, the lock stays for as long as this program runs.
    QObject::connect(&m_keeper, &JournalKeeper::journalClosed, &sole, [&sole](JournalFile::Outcome outcome) {
        if (outcome != JournalFile::Outcome::Failed)
            sole.release(outcome == JournalFile::Outcome::Done);
    });

    // What is kept awake while a game is calling, one line each.
    QObject::connect(&m_shell, &WindowShell::callingChanged, [&sound](bool calling) { sound.keepOutputAwake(calling); });
    QObject::connect(&m_shell, &WindowShell::callingChanged, [&screen](bool calling) { screen.keepScreenOn(calling); });
}
