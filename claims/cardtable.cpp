// SPDX-License-Identifier: GPL-3.0-or-later
#include "claims/cardtable.h"

namespace {

// The cards exactly as printed for the players; each row lists its numbers
// in ascending order.
constexpr CardTable kCards{{
    Card{ 1, { 3, 13, 19, 24, 34, 46, 49, 51, 54, 60, 65, 75, 78, 85, 90}},
    Card{ 2, { 1,  5, 12, 27, 29, 31, 47, 48, 56, 57, 69, 74, 79, 81, 89}},
    Card{ 3, { 4,  7, 15, 16, 20, 23, 35, 36, 41, 55, 63, 67, 70, 84, 88}},
    Card{ 4, { 6, 10, 14, 28, 32, 33, 40, 43, 52, 61, 64, 72, 73, 80, 82}},
    Card{ 5, { 9, 11, 25, 26, 37, 38, 42, 45, 58, 59, 66, 71, 77, 86, 87}},
    Card{ 6, { 2,  8, 17, 18, 21, 22, 30, 39, 44, 50, 53, 62, 68, 76, 83}},
    Card{ 7, { 9, 11, 22, 24, 30, 34, 44, 46, 50, 54, 62, 75, 76, 86, 90}},
    Card{ 8, { 2,  8, 17, 19, 27, 29, 36, 39, 47, 57, 65, 68, 74, 83, 89}},
    Card{ 9, { 3,  5, 12, 18, 20, 23, 31, 35, 49, 51, 55, 60, 69, 78, 85}},
    Card{10, { 4, 13, 16, 26, 32, 41, 43, 52, 56, 63, 67, 70, 79, 81, 88}},
    Card{11, { 1, 10, 15, 28, 33, 38, 40, 48, 58, 61, 64, 72, 73, 82, 84}},
    Card{12, { 6,  7, 14, 21, 25, 37, 42, 45, 53, 59, 66, 71, 77, 80, 87}},
    Card{13, { 9, 11, 14, 28, 33, 34, 40, 44, 58, 61, 62, 71, 77, 80, 86}},
    Card{14, { 2, 17, 22, 25, 36, 37, 45, 46, 50, 59, 64, 70, 74, 87, 90}},
    Card{15, { 5, 10, 18, 19, 24, 27, 30, 32, 42, 54, 65, 66, 76, 83, 88}},
    Card{16, { 3, 12, 13, 29, 39, 41, 47, 53, 55, 68, 69, 75, 79, 85, 88}},
    Card{17, { 1,  4, 15, 16, 20, 23, 31, 35, 49, 51, 57, 60, 63, 78, 81}},
    Card{18, { 6,  7, 10, 21, 26, 38, 43, 48, 52, 56, 67, 72, 73, 82, 84}},
    Card{19, { 4, 10, 13, 21, 38, 41, 47, 51, 55, 68, 69, 76, 78, 85, 88}},
    Card{20, { 3, 15, 26, 29, 36, 45, 49, 50, 59, 60, 63, 72, 73, 80, 82}},
    Card{21, { 2,  6, 16, 23, 28, 36, 45, 49, 50, 59, 60, 72, 79, 80, 82}},
    Card{22, { 7, 11, 12, 27, 33, 37, 42, 46, 52, 61, 66, 71, 74, 86, 87}},
    Card{23, { 8,  9, 14, 19, 22, 25, 30, 32, 43, 54, 62, 64, 70, 83, 89}},
    Card{24, { 1,  5, 17, 18, 20, 24, 31, 35, 48, 53, 57, 65, 67, 75, 90}},
    Card{25, { 7, 11, 13, 22, 34, 39, 46, 48, 55, 61, 69, 72, 75, 82, 85}},
    Card{26, { 1,  8, 10, 17, 26, 29, 30, 36, 42, 52, 57, 63, 68, 79, 90}},
    Card{27, { 6, 12, 14, 24, 38, 41, 44, 50, 58, 66, 67, 71, 73, 83, 88}},
    Card{28, { 3,  7, 12, 22, 23, 31, 43, 49, 51, 55, 69, 77, 78, 83, 86}},
    Card{29, { 9, 16, 17, 20, 35, 40, 41, 52, 59, 63, 65, 70, 71, 80, 81}},
    Card{30, { 6, 15, 16, 27, 33, 38, 42, 47, 50, 54, 66, 72, 75, 82, 83}},
    Card{31, { 5,  8, 10, 14, 24, 28, 32, 38, 48, 51, 59, 61, 62, 71, 87}},
    Card{32, { 2,  4, 11, 19, 20, 29, 30, 31, 41, 50, 63, 64, 70, 84, 86}},
    Card{33, { 7, 17, 18, 22, 37, 42, 47, 57, 58, 60, 67, 72, 73, 83, 85}},
    Card{34, { 7, 10, 18, 21, 39, 47, 48, 51, 53, 62, 64, 72, 73, 84, 86}},
    Card{35, { 2, 14, 17, 26, 31, 32, 40, 46, 59, 63, 69, 74, 78, 81, 89}},
    Card{36, { 8, 13, 28, 29, 30, 35, 43, 49, 56, 57, 66, 75, 79, 80, 85}},
    Card{37, { 4, 17, 27, 28, 36, 37, 44, 49, 55, 58, 64, 78, 79, 84, 85}},
    Card{38, { 3,  9, 13, 19, 22, 25, 34, 38, 48, 51, 53, 61, 63, 70, 80}},
    Card{39, { 5,  8, 11, 20, 26, 33, 42, 45, 57, 59, 69, 72, 73, 82, 89}},
    Card{40, { 1,  7, 10, 15, 22, 28, 35, 38, 45, 50, 60, 68, 74, 84, 85}},
    Card{41, { 2,  6, 13, 17, 23, 26, 37, 39, 47, 55, 57, 65, 69, 72, 89}},
    Card{42, { 4, 14, 24, 25, 34, 36, 40, 44, 53, 56, 62, 70, 76, 86, 90}},
    Card{43, { 4, 10, 21, 23, 32, 35, 41, 46, 53, 59, 64, 72, 78, 83, 90}},
    Card{44, { 2,  8, 11, 15, 20, 24, 31, 38, 49, 58, 67, 68, 77, 82, 87}},
    Card{45, { 5, 12, 19, 27, 37, 39, 40, 44, 56, 60, 69, 73, 77, 80, 83}},
    Card{46, { 9, 17, 22, 28, 36, 38, 40, 42, 55, 58, 66, 73, 77, 80, 83}},
    Card{47, { 2,  5, 13, 15, 27, 29, 30, 31, 43, 53, 56, 60, 67, 75, 82}},
    Card{48, { 1,  7, 10, 11, 20, 21, 37, 39, 44, 54, 68, 69, 79, 88, 89}},
    Card{49, { 2, 16, 21, 26, 31, 34, 45, 49, 51, 52, 61, 70, 78, 80, 87}},
    Card{50, { 3, 14, 19, 29, 30, 32, 42, 43, 57, 65, 67, 71, 79, 83, 88}},
}};

constexpr bool cardsAreNumberedInOrder()
{
    for (int i = 0; i < kCardCount; ++i) {
        if (kCards[i].number != i + 1)
            return false;
    }
    return true;
}

// findCard indexes the table by card number, so the rows must stay in order.
static_assert(cardsAreNumberedInOrder(), "cards must be listed as 1 to 50 in order");

// "50" is the longest card number text; anything longer is rejected unread.
constexpr qsizetype kMaxCardNumberLength = 2;

constexpr bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

const CardTable &cardTable()
{
    return kCards;
}

const Card *findCard(QStringView typedText)
{
    // Matching "1" to "50" character for character is the same as accepting
    // one or two ASCII digits without a leading zero whose value is 1 to 50.
    // Testing code units against '0'..'9' leaves out every other digit form
    // (full-width, Arabic-Indic, ...) and every surrogate.
    const qsizetype length = typedText.size();
    if (length < 1 || length > kMaxCardNumberLength)
        return nullptr;
    if (typedText.front() == u'0')
        return nullptr;

    int value = 0;
    for (const QChar c : typedText) {
        if (!isAsciiDigit(c))
            return nullptr;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value < 1 || value > kCardCount)
        return nullptr;
    return &kCards[value - 1];
}
