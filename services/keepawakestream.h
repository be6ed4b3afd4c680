// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/workerthread.h"

#include <memory>

// Keeps Windows' default output playing while it is awake: a shared-mode stream of its own
// beside PlaySound, which opens and closes the device for every sound, playing the faint signal
// from a buffer of two seconds that is topped up twice a second. An HDMI or Bluetooth output that
// is left idle goes to sleep and loses the start of the next sound as it wakes.
//
// The stream follows the default output: when Windows makes another output the default, as when
// the host plugs in the projector's HDMI after pressing Start or the output in use goes away, it
// moves there. When its device is lost or taken from it (the Windows Audio service restarting, a
// driver update, the output's format changed in Sound settings, a program taking it for itself),
// or an output's state changes, it opens again on the default as it is then; while awake with no
// stream, as when there is no output, it tries again every two seconds.
//
// setAwake() returns at once. The stream is opened, fed, moved and closed on a thread of its own,
// so a device that is slow to open, missing or gone never holds up a call. When the object goes,
// that thread closes the stream and ends, and is waited for as a WorkerThread is.
class KeepAwakeStream
{
public:
    KeepAwakeStream();
    ~KeepAwakeStream();
    KeepAwakeStream(const KeepAwakeStream &) = delete;
    KeepAwakeStream &operator=(const KeepAwakeStream &) = delete;

    void setAwake(bool awake);

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared> &shared);

    std::shared_ptr<Shared> m_shared;
    WorkerThread m_thread;
};
