// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/callingspeed.h"

#include "engine/bingostate.h"

namespace {

constexpr int kFastest = 2500;
constexpr int kSlowest = 7500;
constexpr int kStep = 2500;

QString speedName(int interval)
{
    switch (interval) {
    case 7500:
        return QStringLiteral("Slow");
    case 5000:
        return QStringLiteral("Normal");
    default:
        return QStringLiteral("Fast");
    }
}

void changeSpeed(BingoState &state, int step)
{
    int interval = state.Timer1.interval + step;
    if (interval > kSlowest)
        interval -= kStep;
    if (interval < kFastest)
        interval += kStep;
    state.Timer1.interval = interval;
    state.Label8.caption = speedName(interval);
}

} // namespace

void Command1_Click(BingoState &state)
{
    changeSpeed(state, +kStep);
}

void Command6_Click(BingoState &state)
{
    changeSpeed(state, -kStep);
}
