// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/callingspeed.h"

#include "engine/bingostate.h"

namespace {

constexpr int kStep = kNormalInterval - kFastInterval;

QString speedName(int interval)
{
    switch (interval) {
    case kSlowInterval:
        return QStringLiteral("Slow");
    case kNormalInterval:
        return QStringLiteral("Normal");
    default:
        return QStringLiteral("Fast");
    }
}

void changeSpeed(BingoState &state, int step)
{
    int interval = state.Timer1.interval + step;
    if (interval > kSlowInterval)
        interval -= kStep;
    if (interval < kFastInterval)
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
