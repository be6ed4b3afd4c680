// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/waveplayer.h"

// Plays wave files through Windows' own sound service, PlaySound, asynchronously and by plain
// name, so Windows looks the file up in the working folder. A new request cuts off the sound
// still playing, and a name Windows cannot play (missing or damaged alike) sounds the system's
// default sound. The hourglass pointer is shown around every request.
class PlaySoundPlayer : public WavePlayer
{
public:
    ~PlaySoundPlayer() override;

    void playWave(const QString &name) override;
};
