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
    state.Command5.backColour = kClaimFace;

    if (const Card *card = findCard(state.Text2.text))
        showVerdict(state, sound, allCalled(state, *card) ? Verdict::Bingo : Verdict::FalseClaim);

    state.Text2.text.clear();
}

void showVerdict(BingoState &state, WavePlayer &sound, Verdict verdict)
{
    if (verdict == Verdict::Bingo) {
        state.Label1.fontPoints = kBingoPoints;
        state.Label1.caption = QLatin1String(kBingoText);
        sound.playWave(state.soundFiles.entry(SoundTable::Bingo));
    } else {
        state.Label1.fontPoints = kFalseClaimPoints;
        state.Label1.caption = QLatin1String(kFalseClaimText);
        sound.playWave(state.soundFiles.entry(SoundTable::FalseClaim));
    }
}

std::optional<Verdict> shownVerdict(const BingoState &state)
{
    if (state.Label1.caption == QLatin1String(kBingoText))
        return Verdict::Bingo;
    if (state.Label1.caption == QLatin1String(kFalseClaimText))
        return Verdict::FalseClaim;
    return std::nullopt;
}
