// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Who made the program and where to find them: the window titles, the splash and farewell
// windows, the cards page and the help text all name this one domain.
namespace Maker {
inline constexpr char kWebDomain[] = "bingo-caller.example";
inline constexpr char kContactAddress[] = "caller@bingo-caller.example";
inline constexpr char kProgramName[] = "Bingo";
inline constexpr char kVersion[] = "1.6";
} // namespace Maker
