// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The wave player of the platform the program is built for: Windows' own sound service there,
// the desktop's sound server elsewhere. Both take their files by plain name from the working
// folder first.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "services/playsoundplayer.h"
using SystemWavePlayer = PlaySoundPlayer;
#else
#include "services/sound/pulsewaveplayer.h"
using SystemWavePlayer = PulseWavePlayer;
#endif
