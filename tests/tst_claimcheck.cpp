// SPDX-License-Identifier: GPL-3.0-or-later
// "Pause/ Check Card": the pause, the verdict on a full card and its cue.
#include "claims/cardtable.h"
#include "claims/claimcheck.h"
#include "engine/bingostate.h"
#include "engine/numberdraw.h"
#include "fakes.h"

#include <QTest>

namespace {

const QString kFalseClaim = QStringLiteral("False Claim press the 'Restart' button to continue!");
const QList<int> kCard7 = {9, 11, 22, 24, 30, 34, 44, 46, 50, 54, 62, 75, 76, 86, 90};

BingoState callingState(const QList<int> &called)
{
    ScriptedRandom random;
    BingoState state = BingoState::designValues();
    Form_Load(state, random);
    state.Timer1.enabled = true;
    state.Command5 = {QStringLiteral("calling"), 18, Colours::Yellow};
    for (int n : called)
        state.Text1(n) = {QStringLiteral("X"), Colours::Red, Colours::DarkBlue};
    state.calledCount = LooseValue::number(called.size());
    state.Label1 = {QStringLiteral("42"), 260, Colours::ButtonText};
    return state;
}

void checkPaused(const BingoState &state)
{
    QCOMPARE(state.Timer1.enabled, false);
    QCOMPARE(state.Command5, (ButtonState{QStringLiteral("Restart"), 18, Colours::Red}));
    QCOMPARE(state.Text2.text, QString());
}

} // namespace

class TestClaimCheck : public QObject
{
    Q_OBJECT

private slots:
    void textNamingNoCardIsAPlainPause_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty box") << QString();
        QTest::newRow("leading zero") << QStringLiteral("07");
        QTest::newRow("leading space") << QStringLiteral(" 7");
        QTest::newRow("past the last card") << QStringLiteral("51");
        QTest::newRow("letters") << QStringLiteral("seven");
    }

    void textNamingNoCardIsAPlainPause()
    {
        QFETCH(QString, typed);
        RecordingWavePlayer sound;
        BingoState state = callingState(kCard7);
        state.Text2.text = typed;
        const BingoState before = state;
        Command4_Click(state, sound);
        checkPaused(state);
        QCOMPARE(state.Label1, before.Label1);
        QCOMPARE(state.cells, before.cells);
        QVERIFY(sound.requests.isEmpty());
    }

    void fullCardWinsWhateverElseWasCalled()
    {
        RecordingWavePlayer sound;
        BingoState state = callingState(kCard7 + QList<int>{1, 2, 3, 89});
        state.Text2.text = QStringLiteral("7");
        Command4_Click(state, sound);
        checkPaused(state);
        QCOMPARE(state.Label1.caption, QStringLiteral("Bingo!"));
        QCOMPARE(state.Label1.fontPoints, 80.0);
        QCOMPARE(sound.requests, QStringList{QStringLiteral("bingo.wav")});
        QCOMPARE(state.calledCount, LooseValue::number(19));
    }

    void cardMissingANumberIsAFalseClaim_data()
    {
        QTest::addColumn<int>("missing");
        QTest::addColumn<QString>("cellText");
        for (int n : kCard7)
            QTest::addRow("%d never called", n) << n << QString::number(n);
        QTest::newRow("a cell reading lower-case x") << 50 << QStringLiteral("x");
        QTest::newRow("a cell reading X with a space") << 50 << QStringLiteral("X ");
    }

    void cardMissingANumberIsAFalseClaim()
    {
        QFETCH(int, missing);
        QFETCH(QString, cellText);
        RecordingWavePlayer sound;
        BingoState state = callingState(kCard7);
        state.Text1(missing).text = cellText;
        state.Text2.text = QStringLiteral("7");
        Command4_Click(state, sound);
        checkPaused(state);
        QCOMPARE(state.Label1.caption, kFalseClaim);
        QCOMPARE(state.Label1.fontPoints, 30.0);
        QCOMPARE(sound.requests, QStringList{QStringLiteral("false.wav")});
    }

    void everyCardIsFalseOnAFreshBoard()
    {
        for (int card = 1; card <= kCardCount; ++card) {
            RecordingWavePlayer sound;
            BingoState state = callingState({});
            state.Text2.text = QString::number(card);
            Command4_Click(state, sound);
            QCOMPARE(state.Label1.caption, kFalseClaim);
        }
    }

    void everyCardWinsWhenItsNumbersAreCalled()
    {
        for (const Card &card : cardTable()) {
            RecordingWavePlayer sound;
            BingoState state = callingState(QList<int>(card.numbers.begin(), card.numbers.end()));
            state.Text2.text = QString::number(card.number);
            Command4_Click(state, sound);
            QVERIFY2(state.Label1.caption == QLatin1String("Bingo!"), qPrintable(QString::number(card.number)));
        }
    }

    void checkingTwiceNeedsTheNumberTypedTwice()
    {
        RecordingWavePlayer sound;
        BingoState state = callingState(kCard7);
        state.Text2.text = QStringLiteral("7");
        Command4_Click(state, sound);
        Command4_Click(state, sound); // the box is empty now: a plain pause
        QCOMPARE(sound.requests.size(), 1);
        state.Text2.text = QStringLiteral("7");
        Command4_Click(state, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("Bingo!"));
        QCOMPARE(sound.requests, (QStringList{QStringLiteral("bingo.wav"), QStringLiteral("bingo.wav")}));
    }

    void nextTickReplacesTheVerdict()
    {
        ScriptedRandom random({ScriptedRandom::drawing(5)});
        RecordingWavePlayer sound;
        BingoState state = callingState(kCard7);
        state.Text2.text = QStringLiteral("8");
        Command4_Click(state, sound);
        QCOMPARE(state.Label1.fontPoints, 30.0);
        state.Timer1.enabled = true;
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("5"));
        QCOMPARE(state.Label1.fontPoints, 260.0);
    }

    void soundOffShowsTheVerdictSilently()
    {
        RecordingWavePlayer sound;
        BingoState state = callingState(kCard7);
        sOff_Click(state, sound, 6);
        sound.requests.clear();
        state.Text2.text = QStringLiteral("7");
        Command4_Click(state, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("Bingo!"));
        QVERIFY(sound.audible().isEmpty());
        state.Text2.text = QStringLiteral("8");
        Command4_Click(state, sound);
        QCOMPARE(state.Label1.caption, kFalseClaim);
        QVERIFY(sound.audible().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClaimCheck)
#include "tst_claimcheck.moc"
