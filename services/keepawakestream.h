// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

// Keeps Windows' default output playing while it is awake: a shared-mode stream of its own
// beside PlaySound, which opens and closes the device for every sound, playing the faint signal
// from a buffer of two seconds that is topped up twice a second. An HDMI or Bluetooth output that
// is left idle goes to sleep and loses the start of the next sound as it wakes.
//
// The stream follows the default output: when Windows makes another output the default, as when
// the host plugs in the projector's HDMI after pressing Start or the output in use goes away, it
// moves there. A device that fails with no new default leaves it gone until the default changes
// or it is next asked to be awake.
//
// setAwake() returns at once. The stream is opened, fed, moved and closed on a thread of its own,
// so a device that is slow to open, missing or gone never holds up a call. When the object goes
// it leaves that thread to close the stream and end, and waits for nothing.
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
