// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

// Keeps Windows' default output playing while it is awake: a shared-mode stream of its own
// beside PlaySound, which opens and closes the device for every sound, playing the faint signal
// from a buffer of two seconds that is topped up twice a second. An HDMI or Bluetooth output that
// is left idle goes to sleep and loses the start of the next sound as it wakes.
//
// setAwake() returns at once. The stream is opened, fed and closed on a thread of its own, so a
// device that is slow to open, missing or gone never holds up a call; when the device fails the
// stream is simply gone until the next time it is asked to be awake. When the object goes it
// leaves that thread to close the stream and end, and waits for nothing.
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
    static void run(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
};
