// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/numberdraw.h"

#include "engine/bingostate.h"
#include "engine/randomsource.h"
#include "services/waveplayer.h"

namespace {

constexpr double kBannerPoints = 260;
constexpr char kBlank[] = " ";

void endGame(BingoState &state)
{
    state.Timer1.enabled = false;
    state.Command5.caption = QStringLiteral("Start");
    state.lastNumber = LooseValue::text(QStringLiteral("0"));
    state.Label5.caption = QLatin1String(kBlank);
    state.Label2.caption = QLatin1String(kBlank);
    state.Label1.caption = QLatin1String(kBlank);
    for (int k = 1; k <= kBoardSize; ++k)
        state.Text1(k) = {QString::number(k), Colours::Red, state.Text1(k).backColour};
    state.calls.clear();
}

// A rejection draw: each try draws from all 90 numbers and the board alone says which are taken.
// It ends because a game marks at most 88 cells before its last draw.
int drawUncalled(const BingoState &state, RandomSource &random)
{
    for (;;) {
        const int n = drawnNumber(random.nextFraction());
        if (!state.isCalled(n))
            return n;
    }
}

} // namespace

void Timer1_Timer(BingoState &state, RandomSource &random, WavePlayer &sound)
{
    state.Label1.fontPoints = kBannerPoints;
    state.Label5.caption = state.lastNumber.toText();
    state.calledCount = LooseValue::number(state.calledCount.toNumber() + 1);
    if (state.calledCount.toNumber() > kLastCall) {
        endGame(state);
        return;
    }
    state.Label2.caption = state.calledCount.toText();

    const int n = drawUncalled(state, random);
    state.lastNumber = LooseValue::number(n);
    state.Label1.caption = QString::number(n);
    sound.playWave(state.soundFiles.entry(n));
    state.Text1(n).text = QLatin1String(kCalledMark);
    state.Text1(n).foreColour = Colours::Red;
    state.calls.append(n);
}
