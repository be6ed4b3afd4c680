// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/soundtable.h"

#include "engine/bingostate.h"
#include "engine/randomsource.h"
#include "services/waveplayer.h"

namespace {

constexpr const char *kCueNames[] = {
    "bingo.wav", "false.wav", "restart.wav", "reset.wav", "print.wav",
    "black.wav", "blue.wav", "green.wav", "soundon.wav", "soundoff.wav",
};

void fillDefaults(SoundTable &table)
{
    for (int k = 1; k <= SoundTable::kEntries; ++k)
        table.entry(k) = SoundTable::defaultName(k);
}

} // namespace

QString SoundTable::defaultName(int k)
{
    Q_ASSERT(k >= 1 && k <= kEntries);
    if (k <= 90)
        return QString::number(k) + QLatin1String(".wav");
    return QLatin1String(kCueNames[k - 91]);
}

void Form_Load(BingoState &state, RandomSource &random)
{
    random.reseedFromClock();
    fillDefaults(state.soundFiles);
}

void son_Click(BingoState &state, WavePlayer &sound, qint16)
{
    sound.playWave(state.soundFiles.entry(SoundTable::SoundOn));
    fillDefaults(state.soundFiles);
}

void sOff_Click(BingoState &state, WavePlayer &sound, qint16)
{
    sound.playWave(state.soundFiles.entry(SoundTable::SoundOff));
    for (int k = 1; k <= SoundTable::kLastSwitchedEntry; ++k)
        state.soundFiles.entry(k).clear();
}
