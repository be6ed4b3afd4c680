// SPDX-License-Identifier: GPL-3.0-or-later
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTest>

#include "claims/cardtable.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <utility>

namespace {

constexpr int kHighestNumber = 90;
constexpr int kTicketColumns = 9;

// Ticket columns are 1-9, 10-19, ..., 70-79 and 80-90.
int ticketColumn(int number)
{
    return std::min(number / 10, kTicketColumns - 1);
}

const Card &cardNumbered(int cardNumber)
{
    return cardTable()[cardNumber - 1];
}

QList<int> numbersOf(const Card &card)
{
    return QList<int>(card.numbers.begin(), card.numbers.end());
}

QList<int> sharedNumbers(const Card &a, const Card &b)
{
    QList<int> shared;
    std::set_intersection(a.numbers.begin(), a.numbers.end(), b.numbers.begin(), b.numbers.end(),
                          std::back_inserter(shared));
    return shared;
}

std::array<int, kTicketColumns> columnCounts(const Card &card)
{
    std::array<int, kTicketColumns> counts{};
    for (const int number : card.numbers)
        ++counts[ticketColumn(number)];
    return counts;
}

// Column counts sorted from largest to smallest, so cards compare by shape alone.
QList<int> columnShape(const Card &card)
{
    const auto counts = columnCounts(card);
    QList<int> shape(counts.begin(), counts.end());
    std::sort(shape.begin(), shape.end(), std::greater<>());
    return shape;
}

} // namespace

class TestCardTable : public QObject
{
    Q_OBJECT

private slots:
    void cardsAreNumberedOneToFiftyInOrder();
    void everyCardHoldsFifteenAscendingNumbersFromOneToNinety();
    void noTwoCardsAreEqual();
    void cardReadsBackAsPrinted_data();
    void cardReadsBackAsPrinted();
    void cardMatchesItsPrintedChecksums_data();
    void cardMatchesItsPrintedChecksums();
    void sixCardsTogetherHoldEveryNumberOnce_data();
    void sixCardsTogetherHoldEveryNumberOnce();
    void everyNumberStandsOnFiveToTwelveCards();
    void everyCardHasOneToThreeNumbersInEachTicketColumn();
    void onlyCardFifteenHasATicketColumnOfThree();
    void largestShareIsNineForExactlyFourPairs();
    void cardsTwentyAndTwentyOneShareExactlyNineNumbers();

    void findCardFindsTheCardWithThatNumber_data();
    void findCardFindsTheCardWithThatNumber();
    void findCardRejectsAnyOtherText_data();
    void findCardRejectsAnyOtherText();
};

void TestCardTable::cardsAreNumberedOneToFiftyInOrder()
{
    QCOMPARE(cardTable().size(), std::size_t(50));
    for (int i = 0; i < kCardCount; ++i)
        QCOMPARE(cardTable()[i].number, i + 1);
}

void TestCardTable::everyCardHoldsFifteenAscendingNumbersFromOneToNinety()
{
    for (const Card &card : cardTable()) {
        // Strictly ascending also means distinct.
        for (int i = 0; i + 1 < kNumbersPerCard; ++i) {
            QVERIFY2(card.numbers[i] < card.numbers[i + 1],
                     qPrintable(QStringLiteral("card %1 at position %2").arg(card.number).arg(i + 1)));
        }
        QVERIFY2(card.numbers.front() >= 1, qPrintable(QString::number(card.number)));
        QVERIFY2(card.numbers.back() <= kHighestNumber, qPrintable(QString::number(card.number)));
    }
}

void TestCardTable::noTwoCardsAreEqual()
{
    const CardTable &cards = cardTable();
    for (int a = 0; a < kCardCount; ++a) {
        for (int b = a + 1; b < kCardCount; ++b) {
            QVERIFY2(cards[a].numbers != cards[b].numbers,
                     qPrintable(QStringLiteral("cards %1 and %2").arg(a + 1).arg(b + 1)));
        }
    }
}

void TestCardTable::cardReadsBackAsPrinted_data()
{
    QTest::addColumn<int>("cardNumber");
    QTest::addColumn<QList<int>>("printed");

    QTest::newRow("card 1") << 1
                            << QList<int>{3, 13, 19, 24, 34, 46, 49, 51, 54, 60, 65, 75, 78, 85, 90};
    QTest::newRow("card 50") << 50
                             << QList<int>{3, 14, 19, 29, 30, 32, 42, 43, 57, 65, 67, 71, 79, 83, 88};
}

void TestCardTable::cardReadsBackAsPrinted()
{
    QFETCH(int, cardNumber);
    QFETCH(QList<int>, printed);

    QCOMPARE(numbersOf(cardNumbered(cardNumber)), printed);
}

// The structural checks below let some typos through (a number swapped for a
// neighbour in the same column on a card beyond 12, say). The sum of a card's
// numbers changes with any one mistyped number, and no two changed numbers can
// keep both the sum and the sum of squares, so these catch what the rest miss.
void TestCardTable::cardMatchesItsPrintedChecksums_data()
{
    QTest::addColumn<int>("cardNumber");
    QTest::addColumn<int>("sum");
    QTest::addColumn<int>("sumOfSquares");

    struct Checksums
    {
        int cardNumber;
        int sum;
        int sumOfSquares;
    };
    static constexpr Checksums printed[] = {
        { 1, 746, 47164}, { 2, 705, 44559}, { 3, 624, 36860}, { 4, 690, 40836}, { 5, 737, 45241},
        { 6, 593, 32405}, { 7, 713, 43527}, { 8, 660, 39698}, { 9, 594, 33314}, {10, 731, 45415},
        {11, 707, 43021}, {12, 690, 42090}, {13, 708, 42658}, {14, 724, 44330}, {15, 639, 37709},
        {16, 756, 48628}, {17, 584, 32078}, {18, 685, 41521}, {19, 744, 47900}, {20, 742, 44660},
        {21, 687, 41461}, {22, 712, 43644}, {23, 624, 36150}, {24, 606, 34602}, {25, 719, 44185},
        {26, 608, 34818}, {27, 735, 45725}, {28, 689, 43111}, {29, 719, 42813}, {30, 706, 41946},
        {31, 598, 32774}, {32, 604, 35202}, {33, 745, 45817}, {34, 735, 45263}, {35, 721, 45119},
        {36, 733, 44465}, {37, 745, 45911}, {38, 589, 31033}, {39, 691, 42813}, {40, 622, 36818},
        {41, 617, 35167}, {42, 714, 43362}, {43, 711, 43775}, {44, 637, 38895}, {45, 721, 43729},
        {46, 724, 43034}, {47, 588, 32086}, {48, 637, 40145}, {49, 703, 41899}, {50, 722, 44822},
    };
    static_assert(std::size(printed) == kCardCount);

    for (const Checksums &row : printed)
        QTest::addRow("card %d", row.cardNumber) << row.cardNumber << row.sum << row.sumOfSquares;
}

void TestCardTable::cardMatchesItsPrintedChecksums()
{
    QFETCH(int, cardNumber);
    QFETCH(int, sum);
    QFETCH(int, sumOfSquares);

    int actualSum = 0;
    int actualSumOfSquares = 0;
    for (const int number : cardNumbered(cardNumber).numbers) {
        actualSum += number;
        actualSumOfSquares += number * number;
    }
    QCOMPARE(actualSum, sum);
    QCOMPARE(actualSumOfSquares, sumOfSquares);
}

void TestCardTable::sixCardsTogetherHoldEveryNumberOnce_data()
{
    QTest::addColumn<int>("firstCard");

    QTest::newRow("cards 1 to 6") << 1;
    QTest::newRow("cards 7 to 12") << 7;
}

void TestCardTable::sixCardsTogetherHoldEveryNumberOnce()
{
    QFETCH(int, firstCard);

    std::array<int, kHighestNumber + 1> timesSeen{};
    for (int cardNumber = firstCard; cardNumber < firstCard + 6; ++cardNumber) {
        for (const int number : cardNumbered(cardNumber).numbers) {
            QVERIFY(number >= 1 && number <= kHighestNumber);
            ++timesSeen[number];
        }
    }
    for (int number = 1; number <= kHighestNumber; ++number)
        QVERIFY2(timesSeen[number] == 1, qPrintable(QString::number(number)));
}

void TestCardTable::everyNumberStandsOnFiveToTwelveCards()
{
    std::array<int, kHighestNumber + 1> cardsHolding{};
    for (const Card &card : cardTable()) {
        for (const int number : card.numbers) {
            QVERIFY(number >= 1 && number <= kHighestNumber);
            ++cardsHolding[number];
        }
    }
    for (int number = 1; number <= kHighestNumber; ++number) {
        QVERIFY2(cardsHolding[number] >= 5 && cardsHolding[number] <= 12,
                 qPrintable(QStringLiteral("%1 stands on %2 cards").arg(number).arg(cardsHolding[number])));
    }
}

void TestCardTable::everyCardHasOneToThreeNumbersInEachTicketColumn()
{
    for (const Card &card : cardTable()) {
        const auto counts = columnCounts(card);
        for (int column = 0; column < kTicketColumns; ++column) {
            QVERIFY2(counts[column] >= 1 && counts[column] <= 3,
                     qPrintable(QStringLiteral("card %1, column %2").arg(card.number).arg(column + 1)));
        }
    }
}

void TestCardTable::onlyCardFifteenHasATicketColumnOfThree()
{
    const QList<int> usualShape{2, 2, 2, 2, 2, 2, 1, 1, 1};
    const QList<int> cardFifteenShape{3, 2, 2, 2, 2, 1, 1, 1, 1};

    int cardsOfUsualShape = 0;
    for (const Card &card : cardTable()) {
        if (card.number == 15) {
            QCOMPARE(columnShape(card), cardFifteenShape);
        } else {
            QVERIFY2(columnShape(card) == usualShape, qPrintable(QString::number(card.number)));
            ++cardsOfUsualShape;
        }
    }
    QCOMPARE(cardsOfUsualShape, 49);

    QList<int> teens;
    for (const int number : cardNumbered(15).numbers) {
        if (ticketColumn(number) == ticketColumn(10))
            teens << number;
    }
    QCOMPARE(teens, (QList<int>{10, 18, 19}));
}

void TestCardTable::largestShareIsNineForExactlyFourPairs()
{
    qsizetype largestShare = 0;
    QList<std::pair<int, int>> pairsWithLargestShare;
    for (int a = 1; a <= kCardCount; ++a) {
        for (int b = a + 1; b <= kCardCount; ++b) {
            const qsizetype share = sharedNumbers(cardNumbered(a), cardNumbered(b)).size();
            if (share > largestShare) {
                largestShare = share;
                pairsWithLargestShare.clear();
            }
            if (share == largestShare)
                pairsWithLargestShare.append({a, b});
        }
    }
    QCOMPARE(largestShare, qsizetype(9));
    const QList<std::pair<int, int>> expected{{4, 11}, {5, 12}, {9, 28}, {20, 21}};
    QStringList found;
    for (const auto &[a, b] : pairsWithLargestShare)
        found << QStringLiteral("(%1, %2)").arg(a).arg(b);
    QVERIFY2(pairsWithLargestShare == expected, qPrintable(found.join(u' ')));
}

void TestCardTable::cardsTwentyAndTwentyOneShareExactlyNineNumbers()
{
    QCOMPARE(sharedNumbers(cardNumbered(20), cardNumbered(21)),
             (QList<int>{36, 45, 49, 50, 59, 60, 72, 80, 82}));
}

void TestCardTable::findCardFindsTheCardWithThatNumber_data()
{
    QTest::addColumn<QString>("typedText");
    QTest::addColumn<int>("cardNumber");

    for (int cardNumber = 1; cardNumber <= kCardCount; ++cardNumber)
        QTest::addRow("\"%d\"", cardNumber) << QString::number(cardNumber) << cardNumber;
}

void TestCardTable::findCardFindsTheCardWithThatNumber()
{
    QFETCH(QString, typedText);
    QFETCH(int, cardNumber);

    const Card *card = findCard(typedText);
    QVERIFY(card);
    QCOMPARE(card->number, cardNumber);
    QCOMPARE(card, &cardTable()[cardNumber - 1]);
}

void TestCardTable::findCardRejectsAnyOtherText_data()
{
    QTest::addColumn<QString>("typedText");

    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("null") << QString();

    QTest::newRow("out of range: 0") << QStringLiteral("0");
    QTest::newRow("out of range: 51") << QStringLiteral("51");
    QTest::newRow("out of range: 99") << QStringLiteral("99");

    QTest::newRow("leading zero: 01") << QStringLiteral("01");
    QTest::newRow("leading zero: 00") << QStringLiteral("00");
    QTest::newRow("leading zero: 050") << QStringLiteral("050");

    QTest::newRow("space before") << QStringLiteral(" 1");
    QTest::newRow("space after") << QStringLiteral("1 ");
    QTest::newRow("newline after") << QStringLiteral("1\n");
    QTest::newRow("NUL after") << QString::fromUtf16(u"1\0", 2);
    QTest::newRow("NUL between") << QString::fromUtf16(u"1\0" u"0", 3);

    QTest::newRow("decimal point: 1.0") << QStringLiteral("1.0");
    QTest::newRow("sign: +1") << QStringLiteral("+1");
    QTest::newRow("sign: -1") << QStringLiteral("-1");
    QTest::newRow("letter: 1a") << QStringLiteral("1a");

    QTest::newRow("other digits: full-width 1") << QStringLiteral("\uFF11");
    QTest::newRow("other digits: Arabic-Indic 1") << QStringLiteral("\u0661");
    QTest::newRow("other digits: superscript 1") << QStringLiteral("\u00B9");
    QTest::newRow("other digits: mathematical bold 1") << QStringLiteral("\U0001D7CF");

    QTest::newRow("surrogate: lone high") << QString(QChar(0xD800));
    QTest::newRow("surrogate: lone low") << QString(QChar(0xDC00));
    QTest::newRow("surrogate: lone high after 1") << QString(u'1') + QChar(0xD800);

    // 2^32 + 1 would read as card 1 to a parser that wraps around in 32 bits.
    QTest::newRow("too long: 4294967297") << QStringLiteral("4294967297");
    QTest::newRow("too long: 2^20 digits") << QString(1 << 20, u'1');
}

void TestCardTable::findCardRejectsAnyOtherText()
{
    QFETCH(QString, typedText);

    QCOMPARE(findCard(typedText), nullptr);
}

QTEST_GUILESS_MAIN(TestCardTable)

#include "tst_cardtable.moc"
