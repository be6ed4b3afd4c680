// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/colourvalue.h"
#include "services/soundtable.h"

#include <QtGlobal>

#include <array>

struct BingoState;
class WavePlayer;

// A colour theme of Options > Colour: its name on the menu and in the game journal, its cue, the
// back colour of the window, the display labels and the board, and that of the four buttons that
// are red in the design.
struct ColourTheme
{
    const char *name;
    int cueEntry;
    ColourValue background;
    ColourValue buttons;
};

// The themes, in the order of the menu. Blue is the design's own colouring, so a reload always
// comes back to it. The menu, the journal and carrying a game on all read this one table.
inline constexpr std::array<ColourTheme, 3> kColourThemes {{
    {"Blue", SoundTable::Blue, Colours::DarkBlue, Colours::Red},
    {"Black", SoundTable::Black, Colours::ButtonText, Colours::Red},
    {"Green", SoundTable::Green, Colours::Green, Colours::DarkGreen},
}};

// Plays the theme's cue, then repaints the back colours of the window, the five display labels,
// the 90 board cells and the four buttons. Text colours, the banner, the yellow buttons and the
// card-number box are never touched.
void applyTheme(BingoState &state, WavePlayer &sound, const ColourTheme &theme);
// The theme the window shows, told by its back colour.
const ColourTheme &shownTheme(const BingoState &state);

// The menu's three items.
void blue_Click(BingoState &state, WavePlayer &sound, qint16 index);
void Black_Click(BingoState &state, WavePlayer &sound, qint16 index);
void Green_Click(BingoState &state, WavePlayer &sound, qint16 index);
