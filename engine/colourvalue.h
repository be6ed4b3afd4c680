// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Colours are held as 0x00BBGGRR values, red in the low byte. A value with the top bit set
// names a system colour instead of a mix: the window layer resolves it from the palette.
using ColourValue = quint32;

namespace Colours {
constexpr ColourValue DarkBlue = 0x00C00000;
constexpr ColourValue Yellow = 0x0000FFFF;
constexpr ColourValue Red = 0x000000FF;
constexpr ColourValue Green = 0x00008000;
constexpr ColourValue DarkGreen = 0x00004000;
// The system's button-text colour: black under the usual settings.
constexpr ColourValue ButtonText = 0x80000012;
// The system's window background and window text colours, used by the card-number box.
constexpr ColourValue Window = 0x80000005;
constexpr ColourValue WindowText = 0x80000008;

constexpr bool isSystemColour(ColourValue value) { return (value & 0x80000000u) != 0; }
constexpr int red(ColourValue value) { return int(value & 0xFF); }
constexpr int green(ColourValue value) { return int((value >> 8) & 0xFF); }
constexpr int blue(ColourValue value) { return int((value >> 16) & 0xFF); }
} // namespace Colours
