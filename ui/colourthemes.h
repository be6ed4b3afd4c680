// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

struct BingoState;
class WavePlayer;

// Options > Colour: each theme plays its cue, then repaints the back colours of the window,
// the five display labels, the 90 board cells and the four buttons that are red in the design.
// Text colours, the banner, the yellow buttons and the card-number box are never touched.
void blue_Click(BingoState &state, WavePlayer &sound, qint16 index);
void Black_Click(BingoState &state, WavePlayer &sound, qint16 index);
void Green_Click(BingoState &state, WavePlayer &sound, qint16 index);
