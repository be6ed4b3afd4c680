// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carryon.h"

#include "claims/claimcheck.h"
#include "engine/bingostate.h"
#include "engine/callingspeed.h"
#include "engine/gamejournal.h"
#include "engine/numberdraw.h"
#include "engine/randomsource.h"
#include "services/soundtable.h"
#include "services/waveplayer.h"
#include "ui/colourthemes.h"

namespace {

// The replay makes no sound: the host hears nothing until calling resumes.
class Silence : public WavePlayer
{
public:
    void playWave(const QString &) override {}
};

// Draws the journal's numbers in their order: the fraction in the middle of each number's share.
class Replay : public RandomSource
{
public:
    explicit Replay(const QList<int> &calls) : m_calls(calls) {}
    double nextFraction() override { return (m_calls.at(m_next++) - 0.5) / kBoardSize; }
    void reseedFromClock() override {}

private:
    const QList<int> &m_calls;
    qsizetype m_next = 0;
};

} // namespace

QString carryOnQuestion(const GameJournal &journal)
{
    return QStringLiteral("The last game ended unexpectedly after %1 numbers. Carry on with it?")
        .arg(journal.calls.size());
}

void carryOn(BingoState &state, const GameJournal &journal)
{
    // Only onto a board with nothing called: a number drawn twice would make the draw ask for
    // ever for one not yet called.
    if (!journal.isPlayable() || !state.calledCount.isEmpty())
        return;
    Silence silence;
    while (state.Timer1.interval < journal.interval)
        Command1_Click(state);
    while (state.Timer1.interval > journal.interval)
        Command6_Click(state);
    if (!journal.soundOn)
        sOff_Click(state, silence, 0);
    switch (journal.theme) {
    case GameJournal::Theme::Blue:
        blue_Click(state, silence, 0);
        break;
    case GameJournal::Theme::Black:
        Black_Click(state, silence, 0);
        break;
    case GameJournal::Theme::Green:
        Green_Click(state, silence, 0);
        break;
    }

    Replay replay(journal.calls);
    for (qsizetype i = 0; i < journal.calls.size(); ++i)
        Timer1_Timer(state, replay, silence);

    // The empty card box makes the claim check a plain pause; the verdict then goes back on the
    // banner just as the check put it there.
    state.Text2.text.clear();
    Command4_Click(state, silence);
    if (journal.verdict)
        showVerdict(state, silence, *journal.verdict);
}

void callLastNumberAgain(const BingoState &state, WavePlayer &sound)
{
    const qint64 last = state.lastNumber.isNumber() ? state.lastNumber.toNumber() : 0;
    if (last >= 1 && last <= kBoardSize)
        sound.playWave(state.soundFiles.entry(int(last)));
}
