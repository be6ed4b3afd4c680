// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticketlayout.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace {

constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 90;

// The rows a column's numbers go in, one bit per row (bit 0 is the top row).
using RowSet = unsigned;
constexpr RowSet kAllRows = (1u << kTicketRows) - 1;

using ColumnNumbers = std::array<std::vector<int>, kTicketColumns>;
using RowCounts = std::array<int, kTicketRows>;
using ColumnRows = std::array<RowSet, kTicketColumns>;

bool isInRow(RowSet rows, int row)
{
    return (rows >> row) & 1u;
}

// Every choice of rows for a column of `count` numbers, those that keep the rows
// most even first, so that the search usually succeeds on its first path.
std::vector<RowSet> rowChoices(int count, const RowCounts &filled)
{
    std::vector<RowSet> choices;
    for (RowSet rows = 0; rows <= kAllRows; ++rows) {
        if (std::popcount(rows) != count)
            continue;
        bool fits = true;
        for (int row = 0; row < kTicketRows; ++row) {
            if (isInRow(rows, row) && filled[row] == kNumbersPerTicketRow)
                fits = false;
        }
        if (fits)
            choices.push_back(rows);
    }
    const auto load = [&filled](RowSet rows) {
        int sum = 0;
        for (int row = 0; row < kTicketRows; ++row)
            sum += isInRow(rows, row) ? filled[row] : 0;
        return sum;
    };
    std::stable_sort(choices.begin(), choices.end(),
                     [&load](RowSet a, RowSet b) { return load(a) < load(b); });
    return choices;
}

// Depth-first over the columns: at most three choices each, nine columns deep.
bool placeColumns(const ColumnNumbers &columns, int column, RowCounts &filled, ColumnRows &chosen)
{
    if (column == kTicketColumns) {
        return std::all_of(filled.begin(), filled.end(),
                           [](int count) { return count == kNumbersPerTicketRow; });
    }
    const int count = static_cast<int>(columns[column].size());
    for (const RowSet rows : rowChoices(count, filled)) {
        for (int row = 0; row < kTicketRows; ++row)
            filled[row] += isInRow(rows, row) ? 1 : 0;
        chosen[column] = rows;
        if (placeColumns(columns, column + 1, filled, chosen))
            return true;
        for (int row = 0; row < kTicketRows; ++row)
            filled[row] -= isInRow(rows, row) ? 1 : 0;
    }
    return false;
}

} // namespace

std::optional<Ticket> ticketFor(const Card &card)
{
    ColumnNumbers columns;
    for (const int number : card.numbers) {
        if (number < kLowestNumber || number > kHighestNumber)
            return std::nullopt;
        columns[ticketColumn(number)].push_back(number);
    }
    for (auto &column : columns) {
        if (column.size() > static_cast<std::size_t>(kTicketRows))
            return std::nullopt;
        std::sort(column.begin(), column.end());
    }

    RowCounts filled{};
    ColumnRows chosen{};
    if (!placeColumns(columns, 0, filled, chosen))
        return std::nullopt;

    Ticket ticket;
    for (int column = 0; column < kTicketColumns; ++column) {
        auto next = columns[column].begin();
        for (int row = 0; row < kTicketRows; ++row) {
            if (isInRow(chosen[column], row))
                ticket.cells[row][column] = *next++;
        }
    }
    return ticket;
}
