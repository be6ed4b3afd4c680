// SPDX-License-Identifier: GPL-3.0-or-later
// The host's controls on the calling: start and restart, "Pause", the speeds and the sound switch.
#include "engine/bingostate.h"
#include "engine/callingspeed.h"
#include "engine/numberdraw.h"
#include "engine/startcontrol.h"
#include "fakes.h"

#include <QTest>

namespace {

BingoState loadedState()
{
    ScriptedRandom random;
    BingoState state = BingoState::designValues();
    Form_Load(state, random);
    return state;
}

const QString kRestartCue = QStringLiteral("restart.wav");

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void firstStartCallsAfterOneInterval()
    {
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        Command5_Click(state, sound);
        QCOMPARE(state.Command5, (ButtonState{QStringLiteral("calling"), 18, Colours::Yellow}));
        QCOMPARE(state.Timer1, (TimerState{true, 5000}));
        QCOMPARE(sound.requests, QStringList{kRestartCue});
        QVERIFY(state.calledCount.isEmpty()); // nothing is drawn at once
        QCOMPARE(state.Label1.caption, QString());
    }

    void startTwiceBeforeTheFirstTickPauses()
    {
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        Command5_Click(state, sound);
        Start_Click(state, sound, 14);
        QCOMPARE(state.Command5, (ButtonState{QStringLiteral("Restart"), 18, Colours::Yellow}));
        QCOMPARE(state.Timer1.enabled, false);
        QCOMPARE(sound.requests, (QStringList{kRestartCue, kRestartCue}));
        QVERIFY(state.calledCount.isEmpty());
    }

    void resumeAfterAClaimGoesBackToYellow()
    {
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        state.Command5 = {QStringLiteral("Restart"), 18, Colours::Red};
        Start_Click(state, sound, 14);
        QCOMPARE(state.Command5, (ButtonState{QStringLiteral("calling"), 18, Colours::Yellow}));
        QVERIFY(state.Timer1.enabled);
    }

    void pauseAndResumeKeepTheGame()
    {
        ScriptedRandom random({ScriptedRandom::drawing(3), ScriptedRandom::drawing(3), ScriptedRandom::drawing(4)});
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        Command5_Click(state, sound);
        Timer1_Timer(state, random, sound);
        Command5_Click(state, sound);
        Command1_Click(state); // a speed change while paused does not resume
        QCOMPARE(state.Timer1, (TimerState{false, 7500}));
        Command5_Click(state, sound);
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label2.caption, QStringLiteral("2"));
        QCOMPARE(state.Label5.caption, QStringLiteral("3"));
        QCOMPARE(state.Label1.caption, QStringLiteral("4"));
    }

    void pauseButtonOnlyPausesWhileCalling()
    {
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        const BingoState untouched = state;
        Command7_Click(state, sound);
        QVERIFY(state == untouched);
        QVERIFY(sound.requests.isEmpty());

        Command5_Click(state, sound);
        Command7_Click(state, sound);
        QCOMPARE(state.Command5, (ButtonState{QStringLiteral("Restart"), 18, Colours::Yellow}));
        QCOMPARE(state.Timer1.enabled, false);
        QCOMPARE(sound.requests, (QStringList{kRestartCue, kRestartCue}));
        Command7_Click(state, sound);
        QCOMPARE(sound.requests.size(), 2);
    }

    void speedButtons_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<bool>("slowDown");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("named");
        QTest::newRow("fast, slow down") << 2500 << true << 5000 << QStringLiteral("Normal");
        QTest::newRow("fast, speed up") << 2500 << false << 2500 << QStringLiteral("Fast");
        QTest::newRow("normal, slow down") << 5000 << true << 7500 << QStringLiteral("Slow");
        QTest::newRow("normal, speed up") << 5000 << false << 2500 << QStringLiteral("Fast");
        QTest::newRow("slow, slow down") << 7500 << true << 7500 << QStringLiteral("Slow");
        QTest::newRow("slow, speed up") << 7500 << false << 5000 << QStringLiteral("Normal");
    }

    void speedButtons()
    {
        QFETCH(int, before);
        QFETCH(bool, slowDown);
        QFETCH(int, after);
        QFETCH(QString, named);
        for (const bool calling : {false, true}) {
            BingoState state = loadedState();
            state.Timer1 = {calling, before};
            const BingoState was = state;
            slowDown ? Command1_Click(state) : Command6_Click(state);
            QCOMPARE(state.Timer1, (TimerState{calling, after}));
            QCOMPARE(state.Label8.caption, named);
            state.Timer1 = was.Timer1;
            state.Label8 = was.Label8;
            QVERIFY(state == was); // nothing else changes
        }
    }

    void soundOffSilencesCallsAndGameCuesOnly()
    {
        ScriptedRandom random({ScriptedRandom::drawing(42)});
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        sOff_Click(state, sound, 6);
        QCOMPARE(sound.audible(), QStringList{QStringLiteral("soundoff.wav")});
        for (int k = 1; k <= 93; ++k)
            QVERIFY2(state.soundFiles.entry(k).isEmpty(), qPrintable(QString::number(k)));
        for (int k = 94; k <= 100; ++k)
            QCOMPARE(state.soundFiles.entry(k), SoundTable::defaultName(k));

        state.Timer1.enabled = true;
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Label1.caption, QStringLiteral("42"));
        QCOMPARE(state.Text1(42).text, QStringLiteral("X"));
        Command5_Click(state, sound);
        QCOMPARE(sound.audible(), QStringList{QStringLiteral("soundoff.wav")});
    }

    void soundOffTwiceThenOnRestoresEveryName()
    {
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        sOff_Click(state, sound, 6);
        const SoundTable silenced = state.soundFiles;
        sOff_Click(state, sound, 6);
        QVERIFY(state.soundFiles == silenced);
        son_Click(state, sound, 5);
        QCOMPARE(sound.audible(), (QStringList{QStringLiteral("soundoff.wav"), QStringLiteral("soundoff.wav"),
                                               QStringLiteral("soundon.wav")}));
        for (int k = 1; k <= 100; ++k)
            QCOMPARE(state.soundFiles.entry(k), SoundTable::defaultName(k));
    }

    void loadStepTurnsTheSoundBackOn()
    {
        RecordingWavePlayer sound;
        ScriptedRandom random;
        BingoState state = loadedState();
        sOff_Click(state, sound, 6);
        Form_Load(state, random);
        QCOMPARE(random.reseeds, 1);
        QCOMPARE(state.soundFiles.entry(42), QStringLiteral("42.wav"));
        QCOMPARE(state.soundFiles.entry(93), QStringLiteral("restart.wav"));
    }
};

QTEST_GUILESS_MAIN(TestControls)
#include "tst_controls.moc"
