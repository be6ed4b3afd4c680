// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/keepawakestream.h"
#include "services/waveplayer.h"
#include "services/workerthread.h"

#include <memory>

// Plays wave files through Windows' own sound service, PlaySound, asynchronously. A plain name
// is looked up as the Linux player does (services/wavesearch.h): the working folder first, so a
// shortcut's start-in folder chooses the voice, then the program's folder. A new request cuts
// off the sound still playing, and a name Windows cannot play (missing or damaged alike) sounds
// the system's default sound. The hourglass pointer is shown around every request.
//
// PlaySound itself can wait: each call first stops the sound still playing and waits until it
// has stopped, and once the audio device or its server has gone mid-sound that wait may never
// end. So the calls are made on a thread of the player's own, and the caller only hands its
// request over and returns: of the requests not yet made, only the newest is kept. When the
// player goes, that thread stops the sound still playing and ends, and is waited for as a
// WorkerThread is.
// While a game is calling, a stream of the player's own keeps the output from going to sleep.
class PlaySoundPlayer : public WavePlayer
{
public:
    PlaySoundPlayer();
    ~PlaySoundPlayer() override;

    void playWave(const QString &name) override;
    void keepOutputAwake(bool awake) override { m_keepAwake.setAwake(awake); }

private:
    struct Requests;
    // The player's thread: makes the requests handed over, one at a time, until the player goes.
    static void makeRequests(const std::shared_ptr<Requests> &requests);

    std::shared_ptr<Requests> m_requests;
    KeepAwakeStream m_keepAwake;
    WorkerThread m_thread;
};
