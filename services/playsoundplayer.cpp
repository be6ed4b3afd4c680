// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/playsoundplayer.h"

#include <QCursor>
#include <QGuiApplication>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <windows.h>
#include <mmsystem.h>

// What the caller hands to the player's thread. Both hold it, so it outlives whichever goes first.
struct PlaySoundPlayer::Requests
{
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<std::wstring> next;
    bool closing = false;
};

void PlaySoundPlayer::makeRequests(std::shared_ptr<Requests> requests)
{
    std::unique_lock lock(requests->mutex);
    for (;;) {
        requests->changed.wait(lock, [&] { return requests->next || requests->closing; });
        if (requests->closing)
            break;
        const std::wstring name = std::move(*requests->next);
        requests->next.reset();
        lock.unlock();
        PlaySoundW(name.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
        lock.lock();
    }
    lock.unlock();
    // The player has gone: a sound still playing stops here, so the end of the program is quiet
    // without the program waiting for it.
    PlaySoundW(nullptr, nullptr, 0);
}

PlaySoundPlayer::PlaySoundPlayer()
    : m_requests(std::make_shared<Requests>())
{
    std::thread(makeRequests, m_requests).detach();
}

PlaySoundPlayer::~PlaySoundPlayer()
{
    {
        const std::lock_guard lock(m_requests->mutex);
        m_requests->closing = true;
    }
    m_requests->changed.notify_one();
}

void PlaySoundPlayer::playWave(const QString &name)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // An empty name would make Windows play its default sound; a silenced entry plays nothing.
    if (!name.isEmpty()) {
        {
            const std::lock_guard lock(m_requests->mutex);
            m_requests->next = name.toStdWString();
        }
        m_requests->changed.notify_one();
    }
    QGuiApplication::restoreOverrideCursor();
}
