// SPDX-License-Identifier: GPL-3.0-or-later
// Long random sequences of host actions and ticks, checking after every event what must always
// hold: the board's "X" marks match the count, the last number's cell reads "X", and the speed
// label names the interval in force; and that the game's journal, written, read back and carried
// on into a freshly loaded window, gives the game the host sees, paused as after a claim where it
// was calling.
#include "claims/claimcheck.h"
#include "engine/bingostate.h"
#include "engine/callingspeed.h"
#include "engine/carryon.h"
#include "engine/gamejournal.h"
#include "engine/numberdraw.h"
#include "engine/startcontrol.h"
#include "fakes.h"
#include "ui/colourthemes.h"

#include <QTest>

#include <random>
#include <utility>

namespace {

enum class Event { Tick, StartButton, StartMenu, Pause, SlowDown, SpeedUp, SoundOn, SoundOff, Claim, Colour };
constexpr int kEventKinds = 10;

QString checkInvariants(const BingoState &state)
{
    int marked = 0;
    for (int n = 1; n <= kBoardSize; ++n)
        marked += state.isCalled(n) ? 1 : 0;
    const qint64 count = state.calledCount.toNumber();
    if (count <= 89 && marked != count)
        return QStringLiteral("%1 cells read X after %2 ticks").arg(marked).arg(count);
    if (count > 89 && marked != 0)
        return QStringLiteral("%1 cells still read X after the end").arg(marked);
    if (state.lastNumber.isNumber() && !state.isCalled(int(state.lastNumber.toNumber())))
        return QStringLiteral("the last number's cell does not read X");
    static const QHash<int, QString> names = {
        {2500, QStringLiteral("Fast")}, {5000, QStringLiteral("Normal")}, {7500, QStringLiteral("Slow")}};
    if (names.value(state.Timer1.interval) != state.Label8.caption)
        return QStringLiteral("interval %1 shown as %2").arg(state.Timer1.interval).arg(state.Label8.caption);
    if (state.Timer1.enabled != (state.Command5.caption == QLatin1String("calling")))
        return QStringLiteral("button reads %1 while the timer is %2")
            .arg(state.Command5.caption, state.Timer1.enabled ? QStringLiteral("on") : QStringLiteral("off"));
    return {};
}

} // namespace

class TestGameInvariants : public QObject
{
    Q_OBJECT

private slots:
    void randomSequencesKeepTheBoardConsistent()
    {
        constexpr int kSequences = 120;
        constexpr int kEventsPerSequence = 1000;
        qint64 ticksThatCalled = 0;
        qint64 gamesEnded = 0;
        for (int seed = 1; seed <= kSequences; ++seed) {
            std::mt19937 chooser {quint32(seed)};
            ClockSeededRandom random([seed] { return quint64(seed) * 7919; });
            RecordingWavePlayer sound;
            BingoState state = BingoState::designValues();
            Form_Load(state, random);
            QSet<QString> calledThisGame;
            QList<int> calls;
            BingoState loaded = BingoState::designValues();
            Form_Load(loaded, random);
            BingoState lastCarried;

            for (int step = 0; step < kEventsPerSequence; ++step) {
                // Ticks come only while the timer runs, and far more often than clicks.
                const int roll = int(chooser() % 20);
                const auto event = roll < 12 ? Event::Tick : Event(1 + roll % (kEventKinds - 1));
                switch (event) {
                case Event::Tick:
                    if (state.Timer1.enabled) {
                        const qint64 before = state.calledCount.toNumber();
                        sound.requests.clear();
                        Timer1_Timer(state, random, sound);
                        if (state.calledCount.toNumber() > 89) {
                            gamesEnded += before == 89 ? 1 : 0;
                            QVERIFY(sound.requests.isEmpty());
                        } else {
                            ++ticksThatCalled;
                            QVERIFY2(!calledThisGame.contains(state.Label1.caption), "a number was called twice");
                            calledThisGame.insert(state.Label1.caption);
                            calls.append(state.Label1.caption.toInt());
                            QCOMPARE(sound.requests.size(), 1);
                        }
                    }
                    break;
                case Event::StartButton:
                    Command5_Click(state, sound);
                    break;
                case Event::StartMenu:
                    Start_Click(state, sound, 14);
                    break;
                case Event::Pause:
                    Command7_Click(state, sound);
                    break;
                case Event::SlowDown:
                    Command1_Click(state);
                    break;
                case Event::SpeedUp:
                    Command6_Click(state);
                    break;
                case Event::SoundOn:
                    son_Click(state, sound, 5);
                    break;
                case Event::SoundOff:
                    sOff_Click(state, sound, 6);
                    break;
                case Event::Claim: {
                    const int card = int(chooser() % 60);
                    state.Text2.text = card == 0 ? QString() : QString::number(card);
                    const BingoState before = state;
                    Command4_Click(state, sound);
                    QCOMPARE(state.cells, before.cells);
                    QCOMPARE(state.calledCount, before.calledCount);
                    break;
                }
                case Event::Colour: {
                    void (*const themes[])(BingoState &, WavePlayer &, qint16) = {blue_Click, Black_Click, Green_Click};
                    themes[(seed + step) % 3](state, sound, 9);
                    break;
                }
                }
                const QString broken = checkInvariants(state);
                QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("seed %1, step %2: %3").arg(seed).arg(step).arg(broken)));

                // A game with numbers called and not ended has a journal, and carried on it is the
                // same game, paused as after a claim if it was calling. The same game carries on the
                // same way: each one is carried on once.
                BingoState expected = state;
                if (expected.Timer1.enabled)
                    Command4_Click(expected, sound);
                if (std::exchange(lastCarried, expected) == expected)
                    continue;
                const std::optional<GameJournal> journal = journalOf(state);
                QCOMPARE(journal.has_value(), state.calledCount.toNumber() >= 1 && state.calledCount.toNumber() <= 89);
                if (!journal)
                    continue;
                QCOMPARE(journal->calls, calls);
                QVERIFY(decodeJournal(encodeJournal(*journal)) == journal);
                BingoState carried = loaded;
                carryOn(carried, *journal);
                QVERIFY2(carried == expected, qPrintable(QStringLiteral("seed %1, step %2").arg(seed).arg(step)));
            }
        }
        // The sequences must reach every part of a game, ends included.
        QVERIFY(ticksThatCalled > 10000);
        QVERIFY(gamesEnded > 50);
    }
};

QTEST_GUILESS_MAIN(TestGameInvariants)
#include "tst_gameinvariants.moc"
