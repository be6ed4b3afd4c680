// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/bingostate.h"


// A game calls at most this many numbers; the next tick ends it.
inline constexpr int kLastCall = 89;
class RandomSource;
class WavePlayer;

// The number a fraction of the random source draws: the 90 numbers share [0, 1) equally.
constexpr int drawnNumber(double fraction) { return int(fraction * kBoardSize) + 1; }
// Its inverse, for whatever must draw a number of its choosing (carrying a game on, tests): the
// fraction in the middle of n's share, which no rounding moves into a neighbour's.
constexpr double fractionDrawing(int n) { return (n - 0.5) / kBoardSize; }

// One tick of the calling timer: counts the tick, draws a number not yet called, shows it in
// the banner, announces it and marks its cell "X" in red. The tick that would make the 90th
// call ends the game instead: the timer stops and every cell shows its plain number in red.
void Timer1_Timer(BingoState &state, RandomSource &random, WavePlayer &sound);
