// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/startcontrol.h"

#include "engine/bingostate.h"
#include "services/waveplayer.h"

namespace {

constexpr double kCallingPoints = 18;

void pauseCalling(BingoState &state)
{
    state.Timer1.enabled = false;
    state.Command5.caption = QStringLiteral("Restart");
    state.Command5.backColour = kStartControlFace;
}

void playRestartCue(BingoState &state, WavePlayer &sound)
{
    sound.playWave(state.soundFiles.entry(SoundTable::Restart));
}

} // namespace

void Command5_Click(BingoState &state, WavePlayer &sound)
{
    if (!state.Timer1.enabled) {
        state.Command5.fontPoints = kCallingPoints;
        state.Command5.caption = QStringLiteral("calling");
        state.Timer1.enabled = true;
        state.Command5.backColour = kStartControlFace;
    } else {
        pauseCalling(state);
    }
    playRestartCue(state, sound);
}

void Start_Click(BingoState &state, WavePlayer &sound, qint16)
{
    Command5_Click(state, sound);
}

void Command7_Click(BingoState &state, WavePlayer &sound)
{
    if (!state.Timer1.enabled)
        return;
    pauseCalling(state);
    playRestartCue(state, sound);
}
