// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/caller.h"

#include "app/solecaller.h"

Caller::Caller(SoleCaller &sole, WavePlayer &sound, RandomSource &random, YesNoQuestion &question,
               WindowShell::Quit quit)
    : m_journal(sole.journalFolder())
    , m_shell(sound, random, std::move(quit))
    , m_keeper(m_journal, question, sound, m_shell)
{
    QObject::connect(&sole, &SoleCaller::frontWanted, &m_shell, &WindowShell::bringToFront);
    QObject::connect(&m_keeper, &JournalKeeper::journalClosed, &sole, &SoleCaller::release);
}
