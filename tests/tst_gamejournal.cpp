// SPDX-License-Identifier: GPL-3.0-or-later
// The game journal: a game played through the handlers, written, read back and carried on into
// a freshly loaded window, and every damaged form of the file refused.
#include "claims/cardtable.h"
#include "engine/bingostate.h"
#include "engine/callingspeed.h"
#include "engine/carryon.h"
#include "engine/gamejournal.h"
#include "engine/numberdraw.h"
#include "engine/startcontrol.h"
#include "fakes.h"
#include "ui/colourthemes.h"

#include <QTest>

namespace {

using ThemeHandler = void (*)(BingoState &, WavePlayer &, qint16);

BingoState loaded(RandomSource &random)
{
    BingoState state = BingoState::designValues();
    Form_Load(state, random);
    return state;
}

const QByteArray kGood = "bingo-caller journal 1\ncount 3\nlast 42\nbanner 42\nspeed 5000\ncolour Blue\n"
                         "sound on\ncalls 7 12 42\n";

} // namespace

Q_DECLARE_METATYPE(ThemeHandler)

class TestGameJournal : public QObject
{
    Q_OBJECT

private slots:
    void carriedOnGameIsTheGamePlayed_data()
    {
        QTest::addColumn<int>("calls");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<int>("speedSteps");
        QTest::addColumn<ThemeHandler>("theme");
        QTest::addColumn<bool>("soundOff");
        // The first 15 calls are card 7's numbers.
        const QString bingo = QStringLiteral("Bingo!");
        const QString falseClaim = QStringLiteral("False Claim press the 'Restart' button to continue!");
        QTest::newRow("one call, claim with no card") << 1 << "" << "9" << 0 << &blue_Click << false;
        QTest::newRow("card 7 full, Green, Fast, sound off") << 30 << "7" << bingo << -1 << &Green_Click << true;
        QTest::newRow("card 12 not full, Black, Slow") << 20 << "12" << falseClaim << 1 << &Black_Click << false;
        QTest::newRow("all 89 calls, Fast twice") << 89 << "" << "" << -2 << &blue_Click << false;
    }

    void carriedOnGameIsTheGamePlayed()
    {
        QFETCH(int, calls);
        QFETCH(QString, card);
        QFETCH(QString, banner);
        QFETCH(int, speedSteps);
        QFETCH(ThemeHandler, theme);
        QFETCH(bool, soundOff);
        RecordingWavePlayer sound;
        ScriptedRandom random({}, 11);
        for (int n : cardTable()[6].numbers)
            random.script.push_back(ScriptedRandom::drawing(n));

        BingoState played = loaded(random);
        for (int step = 0; step != speedSteps; step += speedSteps > 0 ? 1 : -1)
            speedSteps > 0 ? Command1_Click(played) : Command6_Click(played);
        theme(played, sound, 0);
        if (soundOff)
            sOff_Click(played, sound, 0);
        Command5_Click(played, sound);
        QList<int> order;
        std::optional<GameJournal> journal;
        for (int tick = 0; tick < calls; ++tick) {
            Timer1_Timer(played, random, sound);
            order.append(int(played.lastNumber.toNumber()));
            journal = journalOf(played, journal ? journal->calls : QList<int>());
        }
        played.Text2.text = card;
        Command4_Click(played, sound);
        if (!banner.isEmpty())
            QCOMPARE(played.Label1.caption, banner);

        journal = journalOf(played, journal->calls);
        QVERIFY(journal);
        QCOMPARE(journal->calls, order);
        const std::optional<GameJournal> read = decodeJournal(encodeJournal(*journal));
        QVERIFY(read);
        QVERIFY(*read == *journal);

        BingoState restored = loaded(random);
        carryOn(restored, *read);
        QVERIFY(restored == played);
        QCOMPARE(carryOnQuestion(*read),
                 QStringLiteral("The last game ended unexpectedly after %1 numbers. Carry on with it?").arg(calls));
    }

    void gameNotStartedOrEndedLeavesNoJournal()
    {
        RecordingWavePlayer sound;
        ScriptedRandom random;
        BingoState state = loaded(random);
        Command5_Click(state, sound);
        QVERIFY(!journalOf(state, {}));
        for (int tick = 0; tick < 89; ++tick)
            Timer1_Timer(state, random, sound);
        QVERIFY(journalOf(state, {}));
        Timer1_Timer(state, random, sound);
        QVERIFY(!journalOf(state, {}));
    }

    void damagedJournalIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("usable");
        auto edited = [](const char *from, const char *to) { return QByteArray(kGood).replace(from, to); };
        GameJournal ninety;
        for (int n = 1; n <= 90; ++n)
            ninety.calls.append(n);
        QTest::newRow("as written") << kGood << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("cut in the calls") << kGood.chopped(3) << false;
        QTest::newRow("cut before the calls") << kGood.left(kGood.indexOf("calls")) << false;
        QTest::newRow("last line end missing") << kGood.chopped(1) << false;
        QTest::newRow("later version") << edited("journal 1", "journal 2") << false;
        QTest::newRow("count disagrees") << edited("count 3", "count 4") << false;
        QTest::newRow("last number disagrees") << edited("last 42", "last 12") << false;
        QTest::newRow("banner shows another number") << edited("banner 42", "banner 12") << false;
        QTest::newRow("Bingo! with no card full") << edited("banner 42", "banner Bingo!") << false;
        QTest::newRow("number repeated") << edited("7 12 42", "7 42 42") << false;
        QTest::newRow("number 0") << edited("calls 7", "calls 0") << false;
        QTest::newRow("number 91") << edited("calls 7", "calls 91") << false;
        QTest::newRow("all 90 numbers") << encodeJournal(ninety) << false;
        QTest::newRow("no number") << encodeJournal(GameJournal()) << false;
        QTest::newRow("leading zero") << edited("calls 7", "calls 07") << false;
        QTest::newRow("two spaces") << edited("7 12", "7  12") << false;
        QTest::newRow("speed no button sets") << edited("5000", "4000") << false;
        QTest::newRow("unknown colour") << edited("Blue", "Pink") << false;
        QTest::newRow("unknown sound switch") << edited("sound on", "sound loud") << false;
        QTest::newRow("lines swapped") << edited("speed 5000\ncolour Blue", "colour Blue\nspeed 5000") << false;
        QTest::newRow("Windows line ends") << edited("\n", "\r\n") << false;
        QTest::newRow("far too long") << kGood + QByteArray(2000, '\n') << false;
        QTest::newRow("unreadable bytes") << QByteArray("\xff\xfe\0\x01journal", 11) << false;
    }

    void damagedJournalIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, usable);
        QCOMPARE(decodeJournal(bytes).has_value(), usable);
    }
};

QTEST_GUILESS_MAIN(TestGameJournal)
#include "tst_gamejournal.moc"
