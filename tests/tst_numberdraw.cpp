// SPDX-License-Identifier: GPL-3.0-or-later
// The load values of the main window and the tick of the calling timer.
#include "engine/bingostate.h"
#include "engine/numberdraw.h"
#include "fakes.h"

#include <QSet>
#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(LooseValue)

namespace {

BingoState loadedState(RandomSource &random)
{
    BingoState state = BingoState::designValues();
    Form_Load(state, random);
    return state;
}

int calledCells(const BingoState &state)
{
    int count = 0;
    for (int n = 1; n <= kBoardSize; ++n)
        count += state.isCalled(n) ? 1 : 0;
    return count;
}

} // namespace

class TestNumberDraw : public QObject
{
    Q_OBJECT

private slots:
    void loadGivesTheNotStartedState()
    {
        ScriptedRandom random;
        const BingoState state = loadedState(random);
        QCOMPARE(random.reseeds, 1);
        QCOMPARE(state.Label1.caption, QString());
        QCOMPARE(state.Label1.fontPoints, 399.75);
        QCOMPARE(state.Label2.caption, QStringLiteral("0"));
        QCOMPARE(state.Label5.caption, QStringLiteral("-"));
        QCOMPARE(state.Label8.caption, QStringLiteral("Normal"));
        QCOMPARE(state.Timer1.enabled, false);
        QCOMPARE(state.Timer1.interval, 5000);
        QCOMPARE(state.Command5.caption, QStringLiteral("Start"));
        QVERIFY(state.lastNumber.isEmpty());
        QVERIFY(state.calledCount.isEmpty());
        QCOMPARE(state.Text1(1).text, QStringLiteral("01"));
        QCOMPARE(state.Text1(7).text, QStringLiteral("07"));
        QCOMPARE(state.Text1(10).text, QStringLiteral("10"));
        QCOMPARE(state.Text1(90).text, QStringLiteral("90"));
        for (int n = 1; n <= kBoardSize; ++n) {
            QCOMPARE(state.Text1(n).foreColour, Colours::Yellow);
            QCOMPARE(state.Text1(n).backColour, Colours::DarkBlue);
        }
        QCOMPARE(state.soundFiles.entry(7), QStringLiteral("7.wav"));
        QCOMPARE(state.soundFiles.entry(90), QStringLiteral("90.wav"));
        QCOMPARE(state.soundFiles.entry(91), QStringLiteral("bingo.wav"));
        QCOMPARE(state.soundFiles.entry(100), QStringLiteral("soundoff.wav"));
        QCOMPARE(calledCells(state), 0);
    }

    void firstAndSecondTicks()
    {
        ScriptedRandom random({ScriptedRandom::drawing(7), ScriptedRandom::drawing(42)});
        RecordingWavePlayer sound;
        BingoState state = loadedState(random);
        state.Label1 = {QStringLiteral("Bingo!"), 80, state.Label1.backColour};

        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label5.caption, QString());
        QCOMPARE(state.Label2.caption, QStringLiteral("1"));
        QCOMPARE(state.Label1.caption, QStringLiteral("7"));
        QCOMPARE(state.Label1.fontPoints, 260.0);
        QCOMPARE(state.Text1(7).text, QStringLiteral("X"));
        QCOMPARE(state.Text1(7).foreColour, Colours::Red);
        QCOMPARE(calledCells(state), 1);
        QCOMPARE(sound.requests, QStringList{QStringLiteral("7.wav")});

        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label5.caption, QStringLiteral("7"));
        QCOMPARE(state.Label1.caption, QStringLiteral("42"));
        QCOMPARE(state.Label2.caption, QStringLiteral("2"));
        QCOMPARE(state.lastNumber, LooseValue::number(42));
        QCOMPARE(sound.requests, (QStringList{QStringLiteral("7.wav"), QStringLiteral("42.wav")}));
    }

    // Each retry draws from all 90 again; only a cell reading exactly "X" is taken.
    void drawRejectsOnlyCellsReadingX()
    {
        ScriptedRandom random({ScriptedRandom::drawing(5), ScriptedRandom::drawing(5), ScriptedRandom::drawing(9)});
        RecordingWavePlayer sound;
        BingoState state = loadedState(random);
        state.Text1(9).text = QStringLiteral("x");

        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("5"));
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("9"));
        QCOMPARE(random.drawn, 3);
        QCOMPARE(state.Text1(9).text, QStringLiteral("X"));
    }

    void extremeFractionsDrawOneAndNinety()
    {
        const double largest = fractionFromBits(std::numeric_limits<quint64>::max());
        QVERIFY(largest < 1.0);
        ScriptedRandom random({0.0, largest});
        RecordingWavePlayer sound;
        BingoState state = loadedState(random);
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("1"));
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("90"));
    }

    void generatorStaysBelowOneAndRepeatsForTheSameClock()
    {
        QCOMPARE(fractionFromBits(0), 0.0);
        QVERIFY(fractionFromBits(std::numeric_limits<quint64>::max()) < 1.0);
        ClockSeededRandom first([] { return quint64(1234); });
        ClockSeededRandom second([] { return quint64(1234); });
        QSet<int> seen;
        for (int i = 0; i < 200000; ++i) {
            const double r = first.nextFraction();
            QVERIFY(r >= 0.0 && r < 1.0);
            QCOMPARE(second.nextFraction(), r);
            seen.insert(int(r * 90) + 1);
        }
        QCOMPARE(seen.size(), 90);
        QVERIFY(!seen.contains(91));
    }

    void eightyNineTicksCallEightyNineDifferentNumbers()
    {
        ClockSeededRandom random([] { return quint64(20261208); });
        RecordingWavePlayer sound;
        BingoState state = loadedState(random);
        state.Timer1.enabled = true;
        QSet<QString> called;
        for (int tick = 1; tick <= 89; ++tick) {
            Timer1_Timer(state, random, sound);
            QVERIFY(!called.contains(state.Label1.caption));
            called.insert(state.Label1.caption);
            QCOMPARE(calledCells(state), tick);
            QCOMPARE(state.Label2.caption, QString::number(tick));
        }
        QCOMPARE(sound.requests.size(), 89);
        QCOMPARE(QSet<QString>(sound.requests.begin(), sound.requests.end()).size(), 89);
        QCOMPARE(state.Timer1.enabled, true);
    }

    void ninetiethTickEndsTheGame()
    {
        ClockSeededRandom random([] { return quint64(99); });
        RecordingWavePlayer sound;
        BingoState state = loadedState(random);
        state.Timer1.enabled = true;
        state.Command5 = {QStringLiteral("calling"), 18, Colours::Green};
        for (int tick = 1; tick <= 89; ++tick)
            Timer1_Timer(state, random, sound);
        sound.requests.clear();

        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Timer1.enabled, false);
        QCOMPARE(state.Command5.caption, QStringLiteral("Start"));
        QCOMPARE(state.Command5.fontPoints, 18.0);
        QCOMPARE(state.Command5.backColour, Colours::Green);
        QCOMPARE(state.Label1.caption, QStringLiteral(" "));
        QCOMPARE(state.Label2.caption, QStringLiteral(" "));
        QCOMPARE(state.Label5.caption, QStringLiteral(" "));
        QCOMPARE(state.lastNumber, LooseValue::text(QStringLiteral("0")));
        QCOMPARE(state.calledCount, LooseValue::number(90));
        for (int n = 1; n <= kBoardSize; ++n) {
            QCOMPARE(state.Text1(n).text, QString::number(n));
            QCOMPARE(state.Text1(n).foreColour, Colours::Red);
        }
        QVERIFY(sound.requests.isEmpty());

        // Calling again after the end lasts one tick, which ends the game again.
        state.Timer1.enabled = true;
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.calledCount, LooseValue::number(91));
        QCOMPARE(state.Timer1.enabled, false);
        QCOMPARE(state.Label5.caption, QStringLiteral(" "));
        QCOMPARE(calledCells(state), 0);
        QVERIFY(sound.requests.isEmpty());
    }

    void looseValuesShowAndCount_data()
    {
        QTest::addColumn<LooseValue>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<qint64>("counted");
        QTest::newRow("empty") << LooseValue() << QString() << qint64(0);
        QTest::newRow("number without leading zero") << LooseValue::number(7) << QStringLiteral("7") << qint64(7);
        QTest::newRow("text zero") << LooseValue::text(QStringLiteral("0")) << QStringLiteral("0") << qint64(0);
        QTest::newRow("blank text") << LooseValue::text(QStringLiteral(" ")) << QStringLiteral(" ") << qint64(0);
    }

    void looseValuesShowAndCount()
    {
        QFETCH(LooseValue, value);
        QFETCH(QString, shown);
        QFETCH(qint64, counted);
        QCOMPARE(value.toText(), shown);
        QCOMPARE(value.toNumber(), counted);
    }
};

QTEST_GUILESS_MAIN(TestNumberDraw)
#include "tst_numberdraw.moc"
