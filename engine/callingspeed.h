// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

struct BingoState;

// The three calling intervals in milliseconds, fastest first: the speed buttons step between them
// and the main window loads at the middle one.
inline constexpr int kFastInterval = 2500;
inline constexpr int kNormalInterval = 5000;
inline constexpr int kSlowInterval = 7500;
inline constexpr std::array<int, 3> kIntervals = {kFastInterval, kNormalInterval, kSlowInterval};

// "Slow Down" and "Speed Up": step the calling interval by 2500 ms within 2500 to 7500 ms and
// name the speed in the speed label. Neither starts nor stops calling, and neither plays a sound.
void Command1_Click(BingoState &state);
void Command6_Click(BingoState &state);
