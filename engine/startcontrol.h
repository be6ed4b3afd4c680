// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/colourvalue.h"

#include <QtGlobal>

struct BingoState;
class WavePlayer;

// The colour the start control gives the start button, whether it starts calling or pauses it.
inline constexpr ColourValue kStartControlFace = Colours::Yellow;

// The start and restart control, offered as the "Start" button and the File > Start item:
// it resumes calling when the timer is stopped and pauses it when it runs, with the restart cue
// either way. The first number comes one full interval after calling starts.
void Command5_Click(BingoState &state, WavePlayer &sound);
void Start_Click(BingoState &state, WavePlayer &sound, qint16 index);

// The "Pause" button: pauses calling exactly as the start control does while calling runs,
// and does nothing while calling is stopped, so it can never start a game by accident.
void Command7_Click(BingoState &state, WavePlayer &sound);
