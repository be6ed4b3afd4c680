// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct BingoState;
class WavePlayer;

// "Pause/ Check Card": stops the calling and turns the start button into a red "Restart".
// If the card-number box names one of the 50 cards, the card wins only when all 15 of its
// numbers read "X" on the board: the banner then shows "Bingo!", else the false-claim message,
// each with its cue. The box is emptied whatever it held.
void Command4_Click(BingoState &state, WavePlayer &sound);
