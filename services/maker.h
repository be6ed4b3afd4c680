// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Who made the program and where to find them: the window titles, the splash and farewell
// windows, the cards page and the help text all name this one domain. The build sets it
// (BINGO_WEB_HOST), so a club can build the caller for the address it publishes the cards at.
namespace Maker {
inline constexpr char kWebDomain[] = BINGO_WEB_HOST;
inline constexpr char kContactAddress[] = "caller@" BINGO_WEB_HOST;
inline constexpr char kProgramName[] = "Bingo";
inline constexpr char kApplicationId[] = BINGO_APP_ID;
inline constexpr char kVersion[] = "1.6";
} // namespace Maker
