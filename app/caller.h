// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/journalfile.h"
#include "app/journalkeeper.h"
#include "app/windowshell.h"

class RandomSource;
class ScreenKeeper;
class SoleCaller;
class WavePlayer;
class YesNoQuestion;

// The program once it knows it is the user's one caller: its three windows, the journal of their
// game in the folder it holds, and the answer to a later start, which brings its window to the
// front. When the host ends the game the folder is let go, so a start during the farewell is a
// caller of its own. While a game is calling, the loudspeakers and the screen are kept awake.
class Caller
{
public:
    Caller(SoleCaller &sole, WavePlayer &sound, ScreenKeeper &screen, RandomSource &random,
           YesNoQuestion &question, WindowShell::Quit quit = {});

    WindowShell &shell() { return m_shell; }
    JournalFile &journal() { return m_journal; }

private:
    JournalFile m_journal;
    WindowShell m_shell;
    JournalKeeper m_keeper;
};
