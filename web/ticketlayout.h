// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "claims/cardtable.h"

#include <array>
#include <optional>

constexpr int kTicketRows = 3;
constexpr int kTicketColumns = 9;
constexpr int kNumbersPerTicketRow = 5;

// A card as printed: the 90-ball ticket of 3 rows by 9 columns. Column 0 holds 1-9,
// column 1 holds 10-19, ..., column 7 holds 70-79 and column 8 holds 80-90; 0 is an
// empty cell.
struct Ticket
{
    std::array<std::array<int, kTicketColumns>, kTicketRows> cells{};
};

// The ticket column that a number 1 to 90 belongs in.
constexpr int ticketColumn(int number)
{
    return number >= 80 ? kTicketColumns - 1 : number / 10;
}

// Places the 15 numbers of a card on a ticket: each number in its own column, the
// numbers of a column ascending from top to bottom, and five numbers in every row.
// Yields nothing when a number lies outside 1 to 90 or a column would need more than
// three cells; any other 15 numbers fit. The same card always gets the same ticket,
// with each column's numbers put in the rows that are emptiest so far.
std::optional<Ticket> ticketFor(const Card &card);
