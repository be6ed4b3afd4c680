// SPDX-License-Identifier: GPL-3.0-or-later
// The printable cards page: every card of the card table, each on a valid 90-ball
// ticket, six to a printed sheet, and nothing fetched from elsewhere.
#include <QFile>
#include <QList>
#include <QMap>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QTest>
#include <QXmlStreamReader>

#include "claims/cardtable.h"
#include "services/maker.h"
#include "web/cardspage.h"
#include "web/ticketlayout.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

using CardNumbers = std::array<int, kNumbersPerCard>;
Q_DECLARE_METATYPE(CardNumbers)

namespace {

// One card as read back from the page.
struct PrintedCard
{
    QString heading;                // the text of its <h2>
    int dataCard = 0;               // the data-card attribute of its ticket
    QList<QList<QString>> rows;     // the text of every cell, row by row
};

struct PrintedPage
{
    QString error;                  // empty when the page is well-formed
    QString title;
    QString firstHeading;           // the text of the <h1>
    QString style;                  // the text of the <style> element
    QList<QList<PrintedCard>> sheets;
    int ticketsOutsideSheets = 0;
};

// Reads the page strictly, as XML: the page is written to be well-formed, so that a
// stray or unclosed tag shows up here as an error rather than as a misread card.
PrintedPage readPage(const QString &html)
{
    PrintedPage page;
    QXmlStreamReader xml(html);
    PrintedCard *card = nullptr;
    QList<QString> *row = nullptr;
    bool inSheet = false;

    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            const auto classes = xml.attributes().value(QStringLiteral("class")).toString().split(u' ');
            if (name == u"title") {
                page.title = xml.readElementText();
            } else if (name == u"style") {
                page.style = xml.readElementText();
            } else if (name == u"h1") {
                page.firstHeading = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (name == u"section" && classes.contains(QStringLiteral("sheet"))) {
                page.sheets.append(QList<PrintedCard>());
                inSheet = true;
            } else if (name == u"div" && classes.contains(QStringLiteral("card"))) {
                if (!inSheet) {
                    ++page.ticketsOutsideSheets;
                    card = nullptr;
                    continue;
                }
                page.sheets.last().append(PrintedCard());
                card = &page.sheets.last().last();
            } else if (name == u"h2" && card) {
                card->heading = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (name == u"table" && classes.contains(QStringLiteral("ticket"))) {
                if (!card) {
                    ++page.ticketsOutsideSheets;
                    continue;
                }
                card->dataCard = xml.attributes().value(QStringLiteral("data-card")).toInt();
            } else if (name == u"tr" && card) {
                card->rows.append(QList<QString>());
                row = &card->rows.last();
            } else if (name == u"td" && row) {
                row->append(xml.readElementText(QXmlStreamReader::IncludeChildElements));
            }
        } else if (xml.isEndElement()) {
            const auto name = xml.name();
            if (name == u"section")
                inSheet = false;
            else if (name == u"tr")
                row = nullptr;
            else if (name == u"table")
                card = nullptr;
        }
    }
    if (xml.hasError())
        page.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return page;
}

// The numbers of a printed ticket in column order, top to bottom, or an explanation of
// what makes it no valid ticket.
struct TicketCheck
{
    QString fault;
    QList<int> numbers;
};

TicketCheck checkTicket(const QList<QList<QString>> &rows)
{
    TicketCheck check;
    if (rows.size() != kTicketRows) {
        check.fault = QStringLiteral("%1 rows").arg(rows.size());
        return check;
    }
    std::vector<std::vector<int>> columns(kTicketColumns);
    for (int r = 0; r < kTicketRows; ++r) {
        if (rows[r].size() != kTicketColumns) {
            check.fault = QStringLiteral("row %1 has %2 cells").arg(r + 1).arg(rows[r].size());
            return check;
        }
        int inRow = 0;
        for (int c = 0; c < kTicketColumns; ++c) {
            const QString &text = rows[r][c];
            if (text.isEmpty())
                continue;
            static const QRegularExpression plainNumber(QStringLiteral("^[1-9][0-9]?$"));
            if (!plainNumber.match(text).hasMatch()) {
                check.fault = QStringLiteral("cell %1,%2 reads '%3'").arg(r + 1).arg(c + 1).arg(text);
                return check;
            }
            const int number = text.toInt();
            if (number > 90 || ticketColumn(number) != c) {
                check.fault = QStringLiteral("%1 stands in column %2").arg(number).arg(c + 1);
                return check;
            }
            columns[c].push_back(number);
            ++inRow;
        }
        if (inRow != kNumbersPerTicketRow) {
            check.fault = QStringLiteral("row %1 holds %2 numbers").arg(r + 1).arg(inRow);
            return check;
        }
    }
    for (int c = 0; c < kTicketColumns; ++c) {
        if (!std::is_sorted(columns[c].begin(), columns[c].end(), std::less_equal<>())) {
            check.fault = QStringLiteral("column %1 does not ascend").arg(c + 1);
            return check;
        }
        check.numbers.append(QList<int>(columns[c].begin(), columns[c].end()));
    }
    return check;
}

QList<int> numbersOf(const Card &card)
{
    return QList<int>(card.numbers.begin(), card.numbers.end());
}

QList<int> sorted(QList<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// Checks that `page` prints exactly `cards`, in order, six to a sheet, each on a valid
// ticket that carries its own numbers.
void verifyPrintsCards(const PrintedPage &page, std::span<const Card> cards)
{
    QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
    QCOMPARE(page.ticketsOutsideSheets, 0);

    const qsizetype sheetCount = (qsizetype(cards.size()) + kCardsPerSheet - 1) / kCardsPerSheet;
    QCOMPARE(page.sheets.size(), sheetCount);
    std::size_t next = 0;
    for (qsizetype s = 0; s < page.sheets.size(); ++s) {
        const qsizetype expected = std::min<qsizetype>(kCardsPerSheet, qsizetype(cards.size() - next));
        QVERIFY2(page.sheets[s].size() == expected,
                 qPrintable(QStringLiteral("sheet %1 holds %2 cards").arg(s + 1).arg(page.sheets[s].size())));
        for (const PrintedCard &printed : page.sheets[s]) {
            const Card &card = cards[next++];
            const QString where = QStringLiteral("card %1: ").arg(card.number);
            QCOMPARE(printed.heading, QStringLiteral("Card %1").arg(card.number));
            QCOMPARE(printed.dataCard, card.number);
            const TicketCheck check = checkTicket(printed.rows);
            QVERIFY2(check.fault.isEmpty(), qPrintable(where + check.fault));
            QCOMPARE(sorted(check.numbers), numbersOf(card));
        }
    }
    QCOMPARE(next, cards.size());
}

// A ticket as the page shows it: a number or an empty text in every cell.
QList<QList<QString>> rowsOf(const Ticket &ticket)
{
    QList<QList<QString>> rows;
    for (const auto &row : ticket.cells) {
        rows.append(QList<QString>());
        for (const int number : row)
            rows.last().append(number == 0 ? QString() : QString::number(number));
    }
    return rows;
}

Card cardWith(int number, CardNumbers numbers)
{
    return Card{number, numbers};
}

} // namespace

class TestCardsPage : public QObject
{
    Q_OBJECT

private slots:
    void everyCardOfTheTableFitsATicket()
    {
        for (const Card &card : cardTable()) {
            const std::optional<Ticket> ticket = ticketFor(card);
            QVERIFY2(ticket, qPrintable(QStringLiteral("card %1").arg(card.number)));
            const TicketCheck check = checkTicket(rowsOf(*ticket));
            QVERIFY2(check.fault.isEmpty(),
                     qPrintable(QStringLiteral("card %1: %2").arg(card.number).arg(check.fault)));
            QCOMPARE(sorted(check.numbers), numbersOf(card));
        }
    }

    void aColumnOfThreeFillsItsColumnTopToBottom()
    {
        // Card 15 is the one card with three numbers in a column: 10, 18 and 19.
        const std::optional<Ticket> ticket = ticketFor(cardTable()[14]);
        QVERIFY(ticket);
        QCOMPARE(ticket->cells[0][1], 10);
        QCOMPARE(ticket->cells[1][1], 18);
        QCOMPARE(ticket->cells[2][1], 19);
    }

    void columnsAreTheTensWithNinetyInTheLast()
    {
        QCOMPARE(ticketColumn(1), 0);
        QCOMPARE(ticketColumn(9), 0);
        QCOMPARE(ticketColumn(10), 1);
        QCOMPARE(ticketColumn(79), 7);
        QCOMPARE(ticketColumn(80), 8);
        QCOMPARE(ticketColumn(90), 8);
    }

    void cardsThatFitNoTicketAreRefused_data()
    {
        QTest::addColumn<CardNumbers>("numbers");
        QTest::newRow("four numbers in 1-9")
            << CardNumbers{1, 2, 3, 4, 13, 24, 35, 46, 57, 58, 68, 69, 70, 80, 90};
        QTest::newRow("four numbers in 80-90")
            << CardNumbers{1, 2, 13, 14, 24, 35, 46, 57, 58, 68, 70, 80, 85, 89, 90};
        QTest::newRow("a zero") << CardNumbers{0, 2, 13, 14, 24, 35, 46, 57, 58, 68, 70, 71, 80, 85, 90};
        QTest::newRow("a 91") << CardNumbers{1, 2, 13, 14, 24, 35, 46, 57, 58, 68, 70, 71, 80, 85, 91};
    }

    void cardsThatFitNoTicketAreRefused()
    {
        QFETCH(CardNumbers, numbers);
        const Card card = cardWith(51, numbers);
        QVERIFY(!ticketFor(card));
        const std::array<Card, 2> cards{cardTable()[0], card};
        QVERIFY(cardsPageHtml(cards).isEmpty());
    }

    void anyFifteenNumbersWithAtMostThreeToAColumnFit_data()
    {
        QTest::addColumn<CardNumbers>("numbers");
        QTest::newRow("five columns of three")
            << CardNumbers{1, 2, 3, 10, 11, 12, 20, 21, 22, 30, 31, 32, 80, 89, 90};
        QTest::newRow("seven columns of two, one of one, one empty")
            << CardNumbers{1, 2, 10, 11, 20, 21, 30, 31, 40, 41, 50, 51, 60, 61, 70};
        QTest::newRow("three of three, one of two, four of one, one empty")
            << CardNumbers{1, 2, 3, 10, 11, 12, 20, 21, 22, 30, 40, 50, 60, 61, 70};
    }

    void anyFifteenNumbersWithAtMostThreeToAColumnFit()
    {
        QFETCH(CardNumbers, numbers);
        const Card card = cardWith(51, numbers);
        const std::optional<Ticket> ticket = ticketFor(card);
        QVERIFY(ticket);
        const TicketCheck check = checkTicket(rowsOf(*ticket));
        QVERIFY2(check.fault.isEmpty(), qPrintable(check.fault));
        QCOMPARE(sorted(check.numbers), numbersOf(card));
    }

    void pagePrintsEveryCardOfTheTableOnAValidTicket()
    {
        const PrintedPage page = readPage(cardsPageHtml());
        verifyPrintsCards(page, cardTable());
        QCOMPARE(page.sheets.size(), 9);
        QCOMPARE(page.sheets.last().size(), 2);
    }

    void pagePrintsAnyListOfCardsInItsOrder()
    {
        const CardTable &table = cardTable();
        const std::array<Card, 8> cards{table[49], table[14], table[0], table[6],
                                        table[1], table[2], table[3], table[20]};
        verifyPrintsCards(readPage(cardsPageHtml(cards)), cards);
    }

    void sheetsBreakPagesAndCardsDoNotSplit()
    {
        const QString style = readPage(cardsPageHtml()).style;
        // Whitespace apart, these rules are what the printed layout rests on.
        QString compact = style;
        compact.remove(QRegularExpression(QStringLiteral("\\s+")));
        QVERIFY2(compact.contains(QStringLiteral("@page{size:A4portrait;")), qPrintable(style));
        QVERIFY(compact.contains(QStringLiteral(".sheet{break-after:page;}")));
        QVERIFY(compact.contains(QStringLiteral(".sheet:last-of-type{break-after:auto;}")));
        QVERIFY(compact.contains(QStringLiteral("break-inside:avoid;")));
        QVERIFY(compact.contains(QStringLiteral("@mediaprint{")));
        QVERIFY(compact.contains(QStringLiteral("font-family:Arial,\"LiberationSans\",")));
    }

    void pageNamesTheProgramAndItsDomain()
    {
        const PrintedPage page = readPage(cardsPageHtml());
        const QString program = QString::fromUtf8(Maker::kProgramName);
        const QString domain = QString::fromUtf8(Maker::kWebDomain);
        QVERIFY2(page.title.contains(program) && page.title.contains(domain), qPrintable(page.title));
        QVERIFY2(page.firstHeading.contains(program), qPrintable(page.firstHeading));
        QVERIFY(cardsPageHtml().contains(QStringLiteral("bingo caller from ") + domain));
    }

    void pageNeedsNothingFromElsewhere_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::newRow("script") << QStringLiteral("<script");
        QTest::newRow("link") << QStringLiteral("<link");
        QTest::newRow("image") << QStringLiteral("<img");
        QTest::newRow("embedded object") << QStringLiteral("<(iframe|object|embed|video|audio)");
        QTest::newRow("source attribute") << QStringLiteral("\\ssrc\\s*=");
        QTest::newRow("hyperlink") << QStringLiteral("\\shref\\s*=");
        QTest::newRow("style sheet url") << QStringLiteral("url\\(");
        QTest::newRow("style sheet import") << QStringLiteral("@import");
        QTest::newRow("downloaded font") << QStringLiteral("@font-face");
        QTest::newRow("event handler") << QStringLiteral("\\son[a-z]+\\s*=");
        QTest::newRow("address with a scheme") << QStringLiteral("[a-z]+://");
    }

    void pageNeedsNothingFromElsewhere()
    {
        QFETCH(QString, pattern);
        const QRegularExpression found(pattern, QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = found.match(cardsPageHtml());
        QVERIFY2(!match.hasMatch(), qPrintable(match.captured()));
    }

    void builtPageIsThisPage()
    {
        const QString path = qEnvironmentVariable("BINGO_CARDS_PAGE");
        if (path.isEmpty())
            QSKIP("BINGO_CARDS_PAGE names no built page; ctest sets it");
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path + QStringLiteral(": ") + file.errorString()));
        const QByteArray built = file.readAll();
        QCOMPARE(built, cardsPageHtml().toUtf8());
        verifyPrintsCards(readPage(QString::fromUtf8(built)), cardTable());
    }
};

QTEST_GUILESS_MAIN(TestCardsPage)
#include "tst_cardspage.moc"
