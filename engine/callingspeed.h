// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct BingoState;

// "Slow Down" and "Speed Up": step the calling interval by 2500 ms within 2500 to 7500 ms and
// name the speed in the speed label. Neither starts nor stops calling, and neither plays a sound.
void Command1_Click(BingoState &state);
void Command6_Click(BingoState &state);
