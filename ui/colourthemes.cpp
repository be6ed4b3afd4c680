// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colourthemes.h"

#include "engine/bingostate.h"
#include "services/waveplayer.h"

namespace {

struct ColourTheme
{
    int cueEntry;
    ColourValue background;
    ColourValue buttons;
};

// Blue is the design's own colouring, so a reload always comes back to it.
constexpr ColourTheme kBlue {SoundTable::Blue, Colours::DarkBlue, Colours::Red};
constexpr ColourTheme kBlack {SoundTable::Black, Colours::ButtonText, Colours::Red};
constexpr ColourTheme kGreen {SoundTable::Green, Colours::Green, Colours::DarkGreen};

void applyTheme(BingoState &state, WavePlayer &sound, const ColourTheme &theme)
{
    sound.playWave(state.soundFiles.entry(theme.cueEntry));
    state.backColour = theme.background;
    for (LabelState *label : {&state.Label2, &state.Label3, &state.Label4, &state.Label5, &state.Label8})
        label->backColour = theme.background;
    for (TextBoxState &cell : state.cells)
        cell.backColour = theme.background;
    for (ButtonState *button : {&state.Command5, &state.Command2, &state.Command3, &state.Command8})
        button->backColour = theme.buttons;
}

} // namespace

void blue_Click(BingoState &state, WavePlayer &sound, qint16)
{
    applyTheme(state, sound, kBlue);
}

void Black_Click(BingoState &state, WavePlayer &sound, qint16)
{
    applyTheme(state, sound, kBlack);
}

void Green_Click(BingoState &state, WavePlayer &sound, qint16)
{
    applyTheme(state, sound, kGreen);
}
