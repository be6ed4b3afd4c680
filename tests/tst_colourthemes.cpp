// SPDX-License-Identifier: GPL-3.0-or-later
// The colour themes, the cards page and the help text, on the game state.
#include "claims/claimcheck.h"
#include "engine/bingostate.h"
#include "engine/numberdraw.h"
#include "engine/startcontrol.h"
#include "fakes.h"
#include "services/helpmessage.h"
#include "ui/colourthemes.h"

#include <QTest>

namespace {

using ThemeHandler = void (*)(BingoState &, WavePlayer &, qint16);

BingoState loadedState()
{
    ScriptedRandom random;
    BingoState state = BingoState::designValues();
    Form_Load(state, random);
    return state;
}

// Everything a theme may change, set back to what another state holds.
BingoState withColoursOf(BingoState state, const BingoState &other)
{
    state.backColour = other.backColour;
    for (auto label : {&BingoState::Label2, &BingoState::Label3, &BingoState::Label4, &BingoState::Label5,
                       &BingoState::Label8})
        (state.*label).backColour = (other.*label).backColour;
    for (int n = 1; n <= kBoardSize; ++n)
        state.Text1(n).backColour = other.Text1(n).backColour;
    for (auto button : {&BingoState::Command2, &BingoState::Command3, &BingoState::Command5, &BingoState::Command8})
        (state.*button).backColour = (other.*button).backColour;
    return state;
}

class CountingMessages : public MessageShower
{
public:
    void showMessage(const QString &text) override { shown.append(text); }
    QStringList shown;
};

} // namespace

Q_DECLARE_METATYPE(ThemeHandler)

class TestColourThemes : public QObject
{
    Q_OBJECT

private slots:
    void themesRepaintBackColoursOnly_data()
    {
        QTest::addColumn<ThemeHandler>("handler");
        QTest::addColumn<QString>("cue");
        QTest::addColumn<ColourValue>("background");
        QTest::addColumn<ColourValue>("buttons");
        QTest::newRow("Blue") << ThemeHandler(blue_Click) << QStringLiteral("blue.wav") << Colours::DarkBlue << Colours::Red;
        QTest::newRow("Black") << ThemeHandler(Black_Click) << QStringLiteral("black.wav") << Colours::ButtonText
                               << Colours::Red;
        QTest::newRow("Green") << ThemeHandler(Green_Click) << QStringLiteral("green.wav") << ColourValue(0x00008000)
                               << ColourValue(0x00004000);
    }

    void themesRepaintBackColoursOnly()
    {
        QFETCH(ThemeHandler, handler);
        QFETCH(QString, cue);
        QFETCH(ColourValue, background);
        QFETCH(ColourValue, buttons);
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        state.Text1(30) = {QStringLiteral("X"), Colours::Red, Colours::DarkBlue};
        const BingoState before = state;

        handler(state, sound, 0);
        QCOMPARE(sound.requests, QStringList{cue});
        QCOMPARE(state.backColour, background);
        for (const LabelState *label : {&state.Label2, &state.Label3, &state.Label4, &state.Label5, &state.Label8})
            QCOMPARE(label->backColour, background);
        for (int n = 1; n <= kBoardSize; ++n)
            QCOMPARE(state.Text1(n).backColour, background);
        for (const ButtonState *button : {&state.Command5, &state.Command2, &state.Command3, &state.Command8})
            QCOMPARE(button->backColour, buttons);
        // The banner, the text colours, the captions and the game are left alone.
        QVERIFY(withColoursOf(state, before) == before);
        QCOMPARE(state.Label1.backColour, Colours::ButtonText);
        QCOMPARE(state.Text1(30).foreColour, Colours::Red);
        QCOMPARE(state.Text1(31).foreColour, Colours::Yellow);

        handler(state, sound, 0); // the same theme again repaints and plays its cue again
        QCOMPARE(sound.requests, (QStringList{cue, cue}));
    }

    void themeCuesAndPrintCueSoundWithSoundOff()
    {
        RecordingWavePlayer sound;
        RecordingPageOpener pages;
        BingoState state = loadedState();
        sOff_Click(state, sound, 6);
        sound.requests.clear();
        Black_Click(state, sound, 9);
        blue_Click(state, sound, 8);
        Green_Click(state, sound, 10);
        Command8_Click(state, sound, pages);
        QCOMPARE(sound.requests, (QStringList{"black.wav", "blue.wav", "green.wav", "print.wav"}));
    }

    void greenWhileCallingKeepsCallingAndMarksRedOnGreen()
    {
        ScriptedRandom random({ScriptedRandom::drawing(12)});
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        Command5_Click(state, sound);
        Green_Click(state, sound, 10);
        QVERIFY(state.Timer1.enabled);
        QCOMPARE(state.Command5.caption, QStringLiteral("calling"));
        QCOMPARE(state.Command5.backColour, Colours::DarkGreen);
        Timer1_Timer(state, random, sound);
        QCOMPARE(state.Text1(12), (TextBoxState{QStringLiteral("X"), Colours::Red, Colours::Green}));
    }

    void claimUnderGreenTurnsOnlyStartRed()
    {
        RecordingWavePlayer sound;
        BingoState state = loadedState();
        Green_Click(state, sound, 10);
        Command4_Click(state, sound);
        QCOMPARE(state.Command5.backColour, Colours::Red);
        QCOMPARE(state.Command2.backColour, Colours::DarkGreen);
        QCOMPARE(state.Command3.backColour, Colours::DarkGreen);
        QCOMPARE(state.Command8.backColour, Colours::DarkGreen);
    }

    void printCardsByButtonAndMenuOpenTheSamePage()
    {
        RecordingWavePlayer sound;
        RecordingPageOpener pages;
        BingoState state = loadedState();
        state.Timer1.enabled = true;
        const BingoState before = state;
        Command8_Click(state, sound, pages);
        print_Click(state, sound, pages, 12);
        QCOMPARE(pages.opened, (QStringList{"bingo-caller.example/cards/", "bingo-caller.example/cards/"}));
        QCOMPARE(sound.requests, (QStringList{"print.wav", "print.wav"}));
        QVERIFY(state == before);
    }

    void helpAsksForAnEmail()
    {
        CountingMessages messages;
        help_Click(messages, 11);
        QCOMPARE(messages.shown, QStringList{QStringLiteral("Please email 'caller@bingo-caller.example'")});
        QVERIFY(helpText().endsWith(QLatin1Char('\'')));
    }
};

QTEST_GUILESS_MAIN(TestColourThemes)
#include "tst_colourthemes.moc"
