// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the game journal: the file as the program writes it is read back, and every damaged
// form of it is refused, which leaves a fresh game. Games played, written, read back and carried
// on are checked in tst_gameinvariants.
#include "engine/gamejournal.h"

#include <QTest>

#include <numeric>

class TestGameJournal : public QObject
{
    Q_OBJECT

    const QByteArray m_written = "bingo-caller journal 1\ncount 3\nlast 42\nbanner 42\nspeed 5000\ncolour Blue\n"
                                 "sound on\ncalls 7 12 42\n";

private slots:
    void damagedJournalIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        auto edited = [this](const char *from, const char *to) { return QByteArray(m_written).replace(from, to); };
        GameJournal ninety {QList<int>(90), std::nullopt};
        std::iota(ninety.calls.begin(), ninety.calls.end(), 1);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << m_written.chopped(3);
        QTest::newRow("later version") << edited("journal 1", "journal 2");
        QTest::newRow("count disagrees") << edited("count 3", "count 4");
        QTest::newRow("banner shows another number") << edited("banner 42", "banner 12");
        QTest::newRow("Bingo! with no card full") << edited("banner 42", "banner Bingo!");
        QTest::newRow("number repeated") << edited("7 12 42", "7 42 42");
        QTest::newRow("number 91") << edited("calls 7", "calls 91");
        QTest::newRow("all 90 numbers") << encodeJournal(ninety);
        QTest::newRow("leading zero") << edited("calls 7", "calls 07");
        QTest::newRow("unknown colour") << edited("Blue", "Pink");
        QTest::newRow("unreadable bytes") << QByteArray("\xff\xfe\0\x01journal", 11);
    }

    void damagedJournalIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(decodeJournal(m_written));
        QVERIFY(!decodeJournal(bytes));
    }
};

QTEST_GUILESS_MAIN(TestGameJournal)
#include "tst_gamejournal.moc"
