// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

// The wave-file names the main window plays: entries 1 to 90 announce the numbers,
// entries 91 to 100 are the cues. An empty entry plays nothing.
class SoundTable
{
public:
    static constexpr int kEntries = 100;

    // The cue entries.
    static constexpr int Bingo = 91;
    static constexpr int FalseClaim = 92;
    static constexpr int Restart = 93;
    static constexpr int Reset = 94;
    static constexpr int Print = 95;
    static constexpr int Black = 96;
    static constexpr int Blue = 97;
    static constexpr int Green = 98;
    static constexpr int SoundOn = 99;
    static constexpr int SoundOff = 100;
    // Entries 1 to this one fall silent while the sound is switched off.
    static constexpr int kLastSwitchedEntry = Restart;

    // The name entry k (1 to 100) holds by default: "7.wav" for 7, "bingo.wav" for 91, ...
    static QString defaultName(int k);

    const QString &entry(int k) const { return m_entries.at(k - 1); }
    QString &entry(int k) { return m_entries.at(k - 1); }

    bool operator==(const SoundTable &) const = default;

private:
    std::array<QString, kEntries> m_entries;
};

struct BingoState;
class RandomSource;
class WavePlayer;

// The main window's load step: reseed the draw's generator, then fill the table with its defaults.
void Form_Load(BingoState &state, RandomSource &random);

// The sound switch, "On" and "Off" under Options > Sound. Each plays its own cue first.
void son_Click(BingoState &state, WavePlayer &sound, qint16 index);
void sOff_Click(BingoState &state, WavePlayer &sound, qint16 index);
