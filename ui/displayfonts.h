// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Makes the faces the windows ask for resolve well on a machine without them: the decorative
// "BalloonEFDropShadow" falls back to the bundled bold rounded face, and "MS Sans Serif" to an
// Arial-metric face so "Numbers called so far:" keeps to one line. Safe to call more than once.
void installDisplayFonts();
