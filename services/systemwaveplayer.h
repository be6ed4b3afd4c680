// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The wave player of the platform the program is built for: Windows' own sound service there,
// Qt Multimedia elsewhere. Both take their files by plain name from the working folder.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "services/playsoundplayer.h"
using SystemWavePlayer = PlaySoundPlayer;
#else
#include "services/soundeffectplayer.h"
using SystemWavePlayer = SoundEffectPlayer;
#endif
