// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <array>

constexpr int kCardCount = 50;
constexpr int kNumbersPerCard = 15;

// One printed card: its card number (1 to 50) and its 15 distinct numbers
// (1 to 90) in ascending order.
struct Card
{
    int number;
    std::array<int, kNumbersPerCard> numbers;
};

using CardTable = std::array<Card, kCardCount>;

// The fixed table of built-in cards, cards 1 to 50 in order, so that
// cardTable()[0].number == 1. No other card exists.
const CardTable &cardTable();

// The card whose number, written "1" to "50", equals typedText character for
// character, else nullptr. Nothing is trimmed, parsed or normalised: "01", " 1",
// "1 ", "1.0", "+1", full-width digits and "" all yield nullptr. Safe and cheap
// for any text at all; long text is rejected by its length alone.
const Card *findCard(QStringView typedText);
