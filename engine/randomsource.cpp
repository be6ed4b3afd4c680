// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/randomsource.h"

#include <chrono>

ClockSeededRandom::ClockSeededRandom(Clock clock)
    : m_clock(std::move(clock))
{
    reseedFromClock();
}

double ClockSeededRandom::nextFraction()
{
    return fractionFromBits(m_engine());
}

void ClockSeededRandom::reseedFromClock()
{
    m_engine.seed(m_clock());
}

quint64 ClockSeededRandom::systemClockTicks()
{
    return quint64(std::chrono::system_clock::now().time_since_epoch().count());
}
