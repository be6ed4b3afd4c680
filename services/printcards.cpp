// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/printcards.h"

#include "engine/bingostate.h"
#include "services/maker.h"
#include "services/waveplayer.h"

QString cardsPageAddress()
{
    return QLatin1String(Maker::kWebDomain) + QLatin1String("/cards/");
}

void Command8_Click(BingoState &state, WavePlayer &sound, PageOpener &pages)
{
    sound.playWave(state.soundFiles.entry(SoundTable::Print));
    pages.openPage(cardsPageAddress());
}

void print_Click(BingoState &state, WavePlayer &sound, PageOpener &pages, qint16)
{
    Command8_Click(state, sound, pages);
}
