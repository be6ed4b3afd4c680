// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct BingoState;

// A game calls at most this many numbers; the next tick ends it.
inline constexpr int kLastCall = 89;
class RandomSource;
class WavePlayer;

// One tick of the calling timer: counts the tick, draws a number not yet called, shows it in
// the banner, announces it and marks its cell "X" in red. The tick that would make the 90th
// call ends the game instead: the timer stops and every cell shows its plain number in red.
void Timer1_Timer(BingoState &state, RandomSource &random, WavePlayer &sound);
