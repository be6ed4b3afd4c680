// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/numberdraw.h"
#include "engine/randomsource.h"
#include "services/printcards.h"
#include "services/screenkeeper.h"
#include "services/waveplayer.h"

#include <QStringList>

#include <deque>

// Records every sound request, in order, including the empty names of a silenced table.
class RecordingWavePlayer : public WavePlayer
{
public:
    void playWave(const QString &name) override { requests.append(name); }
    void keepOutputAwake(bool on) override { awake = on; }

    // What a listener hears: the requests that name a file.
    QStringList audible() const
    {
        QStringList heard;
        for (const QString &name : requests)
            if (!name.isEmpty())
                heard.append(name);
        return heard;
    }

    QStringList requests;
    bool awake = false;
};

// Hands out the fractions it is given, then falls back to a seeded generator.
class ScriptedRandom : public RandomSource
{
public:
    explicit ScriptedRandom(std::deque<double> script = {}, quint64 seed = 1)
        : script(std::move(script))
        , m_fallback([seed] { return seed; })
    {
    }

    double nextFraction() override
    {
        ++drawn;
        if (script.empty())
            return m_fallback.nextFraction();
        const double next = script.front();
        script.pop_front();
        return next;
    }
    void reseedFromClock() override
    {
        ++reseeds;
        m_fallback.reseedFromClock();
    }

    // The fraction that draws number n.
    static double drawing(int n) { return fractionDrawing(n); }

    std::deque<double> script;
    int drawn = 0;
    int reseeds = 0;

private:
    ClockSeededRandom m_fallback;
};

// Records the pages the program asked to open.
class RecordingPageOpener : public PageOpener
{
public:
    void openPage(const QString &address) override { opened.append(address); }

    QStringList opened;
};

// Records whether the screen is asked to stay on.
class RecordingScreenKeeper : public ScreenKeeper
{
public:
    void keepScreenOn(bool on) override { kept = on; }

    bool kept = false;
};
