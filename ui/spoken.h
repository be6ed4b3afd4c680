// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct BingoState;

// What the screen reader says when a handler has run, so that a host who cannot see the window
// hears what a sighted host sees change away from the keyboard focus. Each takes the state before
// and after the handler and gives the empty text where nothing is to be said.
namespace Spoken {

// How the display labels read: one reading holds the caption and the value beside it.
inline constexpr char kCountReading[] = "Numbers called so far: %1";
inline constexpr char kLastNumberReading[] = "The last number called was %1";
inline constexpr char kSpeedReading[] = "Calling speed: %1";
inline constexpr char kGameOver[] = "Game over";

using Speech = QString (*)(const BingoState &before, const BingoState &after);

// A tick: the number it called, just "42", or the end of the game.
QString afterTick(const BingoState &before, const BingoState &after);
// "Pause/ Check Card": the verdict on the card named, in the banner's words; with no such card,
// the start button's caption ("Restart").
QString afterClaim(const BingoState &before, const BingoState &after);
// The start control and "Pause": the start button's new caption, "calling" or "Restart".
QString afterStartControl(const BingoState &before, const BingoState &after);
// The speed buttons: "Calling speed: Fast", also when the speed was already at its limit.
QString afterSpeedChange(const BingoState &before, const BingoState &after);

} // namespace Spoken
