// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Keeps the screen on and unlocked, and the computer out of sleep, while a game is calling. A
// desktop blanks and locks a screen left without input for five or ten minutes, and a host
// does not touch the computer while it calls: a game at Slow lasts eleven. Only a program that
// asks is let off, for the span it asks, as a media player is while it plays.
//
// keepScreenOn returns at once and never waits for the desktop. A desktop that does not answer
// leaves the game as it is; what was asked belongs to the process, so a killed caller leaves
// nothing held.
class ScreenKeeper
{
public:
    virtual ~ScreenKeeper() = default;
    virtual void keepScreenOn(bool on) = 0;
};
