// SPDX-License-Identifier: GPL-3.0-or-later
#include "claims/claimcheck.h"

#include "claims/cardtable.h"
#include "engine/bingostate.h"
#include "services/waveplayer.h"

#include <algorithm>

namespace {

constexpr double kRestartPoints = 18;
constexpr double kBingoPoints = 80;
constexpr double kFalseClaimPoints = 30;

bool allCalled(const BingoState &state, const Card &card)
{
    return std::all_of(card.numbers.begin(), card.numbers.end(), [&state](int n) { return state.isCalled(n); });
}

} // namespace

void Command4_Click(BingoState &state, WavePlayer &sound)
{
    state.Timer1.enabled = false;
    state.Command5.fontPoints = kRestartPoints;
    state.Command5.caption = QStringLiteral("Restart");
    state.Command5.backColour = Colours::Red;

    if (const Card *card = findCard(state.Text2.text)) {
        if (allCalled(state, *card)) {
            state.Label1.fontPoints = kBingoPoints;
            state.Label1.caption = QStringLiteral("Bingo!");
            sound.playWave(state.soundFiles.entry(SoundTable::Bingo));
        } else {
            state.Label1.fontPoints = kFalseClaimPoints;
            state.Label1.caption = QStringLiteral("False Claim press the 'Restart' button to continue!");
            sound.playWave(state.soundFiles.entry(SoundTable::FalseClaim));
        }
    }

    state.Text2.text.clear();
}
