// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "claims/cardtable.h"

#include <span>

// Cards printed on one A4 sheet, two across and three down.
constexpr int kCardsPerSheet = 6;

// The printable page of the given cards, in the given order: a complete HTML document
// (well-formed XML as well, so that it can be read back strictly) that needs nothing
// from elsewhere: no scripts, images, links or downloaded fonts. Each card is printed
// as its ticket (see ticketFor) under the large heading "Card N", six cards to a sheet
// with a page break after each sheet. Empty when a card cannot be laid out as a ticket.
QString cardsPageHtml(std::span<const Card> cards);

// The page of all the cards of cardTable(): the page the players print their cards
// from, so that the printed cards are always the ones the claim check knows.
QString cardsPageHtml();
