// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/carryon.h"

#include "claims/claimcheck.h"
#include "engine/bingostate.h"
#include "engine/callingspeed.h"
#include "engine/gamejournal.h"
#include "engine/numberdraw.h"
#include "engine/randomsource.h"
#include "engine/startcontrol.h"
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

// Draws the journal's numbers in their order, through the draw's own inverse.
class Replay : public RandomSource
{
public:
    explicit Replay(const QList<int> &calls) : m_calls(calls) {}
    double nextFraction() override { return fractionDrawing(m_calls.at(m_next++)); }
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
    // The start button shows whichever came last, the theme or the stop: the theme goes on after
    // the stop only where the host chose it after stopping.
    const ColourTheme &theme = kColourThemes.at(size_t(journal.theme));
    const bool themeLast = journal.startFace == GameJournal::StartFace::Theme;
    if (!themeLast)
        applyTheme(state, silence, theme);

    Command5_Click(state, silence);
    Replay replay(journal.calls);
    for (qsizetype i = 0; i < journal.calls.size(); ++i)
        Timer1_Timer(state, replay, silence);

    // With the card box empty, the claim check is a plain pause; the verdict then goes back on
    // the banner just as the check put it there.
    if (journal.startFace == GameJournal::StartFace::Pause) {
        Command7_Click(state, silence);
    } else {
        state.Text2.text.clear();
        Command4_Click(state, silence);
    }
    if (themeLast)
        applyTheme(state, silence, theme);
    if (journal.verdict)
        showVerdict(state, silence, *journal.verdict);
}

void callLastNumberAgain(const BingoState &state, WavePlayer &sound)
{
    const qint64 last = state.lastNumber.isNumber() ? state.lastNumber.toNumber() : 0;
    if (last >= 1 && last <= kBoardSize)
        sound.playWave(state.soundFiles.entry(int(last)));
}
