// SPDX-License-Identifier: GPL-3.0-or-later
#include "cardspage.h"

#include "services/maker.h"
#include "ticketlayout.h"

#include <QStringList>

#include <algorithm>
#include <optional>

namespace {

// Sized for A4 with 12 mm margins: the heading and three rows of two cards fit the first
// sheet, and a cell (about 9 by 14 mm) leaves room around two bold 16-point digits. On screen the cards sit on a
// light blue ground; in print everything is black on white.
constexpr char kStyleSheet[] = R"css(
@page { size: A4 portrait; margin: 12mm; }
* { box-sizing: border-box; }
html { background: #e8f0f8; color: #102a43; font-family: Arial, "Liberation Sans", Helvetica, sans-serif; }
body { margin: 0 auto; max-width: 210mm; padding: 8mm 12mm; }
header h1 { font-size: 22pt; margin: 0 0 2mm; }
header p { font-size: 11pt; line-height: 1.4; margin: 0 0 3mm; }
.sheet { display: grid; grid-template-columns: 1fr 1fr; gap: 7mm 6mm; padding: 4mm 0 8mm; }
.sheet { break-after: page; }
.sheet:last-of-type { break-after: auto; }
.card { background: #ffffff; border: 0.6mm solid #1f4e79; border-radius: 2mm; padding: 2.5mm 2.5mm 3mm; break-inside: avoid; }
.card h2 { font-size: 22pt; font-weight: bold; margin: 0 0 2mm; }
table.ticket { border-collapse: collapse; table-layout: fixed; width: 100%; }
table.ticket td { border: 0.4mm solid #1f4e79; font-size: 16pt; font-variant-numeric: tabular-nums; font-weight: bold; height: 14mm; padding: 0; text-align: center; vertical-align: middle; }
table.ticket td:empty { background: #d4e2ef; }
.sheet-note { color: #486581; font-size: 9pt; grid-column: 1 / span 2; margin: 0; text-align: right; }
@media print {
  html, body { background: #ffffff; color: #000000; }
  body { max-width: none; padding: 0; }
  header p.on-screen { display: none; }
  .sheet { padding: 0; }
  .card { border-color: #000000; border-radius: 0; }
  table.ticket td { border-color: #000000; }
  table.ticket td:empty { background: #ffffff; }
  .sheet-note { color: #000000; }
}
)css";

QString ticketTable(int cardNumber, const Ticket &ticket)
{
    QString html = QStringLiteral("<table class=\"ticket\" data-card=\"%1\">\n").arg(cardNumber);
    for (const auto &row : ticket.cells) {
        html += QStringLiteral("<tr>");
        for (const int number : row) {
            html += number == 0 ? QStringLiteral("<td></td>")
                                : QStringLiteral("<td>%1</td>").arg(number);
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
    return html;
}

} // namespace

QString cardsPageHtml(std::span<const Card> cards)
{
    const QString program = QString::fromUtf8(Maker::kProgramName).toHtmlEscaped();
    const QString domain = QString::fromUtf8(Maker::kWebDomain).toHtmlEscaped();

    QString html = QStringLiteral("<!DOCTYPE html>\n"
                                  "<html lang=\"en\">\n"
                                  "<head>\n"
                                  "<meta charset=\"utf-8\" />\n"
                                  "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n"
                                  "<title>%1 cards from %2</title>\n")
                       .arg(program, domain);
    html += QStringLiteral("<style>") + QString::fromUtf8(kStyleSheet) + QStringLiteral("</style>\n");
    html += QStringLiteral("</head>\n"
                           "<body>\n"
                           "<header>\n"
                           "<h1>%1 cards</h1>\n"
                           "<p>The %3 cards of %1, the bingo caller from %2, six to a sheet of A4.</p>\n"
                           "<p class=\"on-screen\">Print this page with your browser's Print command "
                           "(Ctrl+P) on A4 paper, portrait. When a player claims, the caller types the "
                           "card number into the card box and presses \"Pause/ Check Card\".</p>\n"
                           "</header>\n")
                .arg(program, domain, QString::number(cards.size()));

    for (std::size_t first = 0; first < cards.size(); first += kCardsPerSheet) {
        const std::size_t end = std::min(first + kCardsPerSheet, cards.size());
        html += QStringLiteral("<section class=\"sheet\">\n");
        for (std::size_t i = first; i < end; ++i) {
            const Card &card = cards[i];
            const std::optional<Ticket> ticket = ticketFor(card);
            if (!ticket)
                return {};
            html += QStringLiteral("<div class=\"card\">\n<h2>Card %1</h2>\n").arg(card.number);
            html += ticketTable(card.number, *ticket);
            html += QStringLiteral("</div>\n");
        }
        html += QStringLiteral("<p class=\"sheet-note\">%1 · %2 · cards %3 to %4</p>\n")
                    .arg(program, domain)
                    .arg(cards[first].number)
                    .arg(cards[end - 1].number);
        html += QStringLiteral("</section>\n");
    }

    html += QStringLiteral("</body>\n</html>\n");
    return html;
}

QString cardsPageHtml()
{
    return cardsPageHtml(cardTable());
}
