// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one way the program plays a sound. playWave starts the named wave file (a plain name,
// looked up in the working folder) and returns at once; a new request cuts off a sound still
// playing. An empty name plays nothing; a name with no such file sounds the system alert.
class WavePlayer
{
public:
    virtual ~WavePlayer() = default;
    virtual void playWave(const QString &name) = 0;
    // While a game is calling, the output device is kept playing between sounds, so that one
    // that sleeps when idle (HDMI, USB, Bluetooth) does not clip the start of the next call;
    // otherwise it may sleep, and the computer with it. Returns at once, as playWave does.
    virtual void keepOutputAwake(bool awake) { Q_UNUSED(awake); }
};
