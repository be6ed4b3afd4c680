// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <functional>
#include <random>

// Uniform fractions in [0, 1) for the draw, reseeded from the clock each time the main window loads.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double nextFraction() = 0;
    virtual void reseedFromClock() = 0;
};

// Turns 64 random bits into a fraction in [0, 1). Only the top 53 bits are kept, so every
// result is exactly representable and the largest is 1 - 2^-53: never 1.0, which would draw 91.
constexpr double fractionFromBits(quint64 bits)
{
    return double(bits >> 11) * (1.0 / double(quint64(1) << 53));
}

class ClockSeededRandom : public RandomSource
{
public:
    using Clock = std::function<quint64()>;

    // The clock defaults to the system clock's nanoseconds; tests hand in a fixed one.
    explicit ClockSeededRandom(Clock clock = systemClockTicks);

    double nextFraction() override;
    void reseedFromClock() override;

    static quint64 systemClockTicks();

private:
    Clock m_clock;
    std::mt19937_64 m_engine;
};
