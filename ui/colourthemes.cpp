// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/colourthemes.h"

#include "engine/bingostate.h"
#include "services/waveplayer.h"

#include <algorithm>

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

const ColourTheme &shownTheme(const BingoState &state)
{
    const auto shown = std::find_if(kColourThemes.begin(), kColourThemes.end(),
                                    [&state](const ColourTheme &theme) { return theme.background == state.backColour; });
    return shown == kColourThemes.end() ? kColourThemes.front() : *shown;
}

void blue_Click(BingoState &state, WavePlayer &sound, qint16)
{
    applyTheme(state, sound, kColourThemes[0]);
}

void Black_Click(BingoState &state, WavePlayer &sound, qint16)
{
    applyTheme(state, sound, kColourThemes[1]);
}

void Green_Click(BingoState &state, WavePlayer &sound, qint16)
{
    applyTheme(state, sound, kColourThemes[2]);
}
