// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/playsoundplayer.h"

#include "services/wavesearch.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QtEndian>

#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>

#include <windows.h>
#include <mmsystem.h>

// What the caller hands to the player's thread. Both hold it, so it outlives whichever goes first.
struct PlaySoundPlayer::Requests
{
    std::mutex mutex;
    std::condition_variable changed;
    // A sound's plain name and the folders it is looked for in, in order.
    std::optional<std::pair<QString, QStringList>> next;
    bool closing = false;
};

namespace {

// Wine's PlaySound reads the samples with a signed count: a data chunk that claims 2 GB or more
// (a damaged header; no wave file of the caller comes near that) faults in its reading thread,
// which ends a plain program and leaves Qt's with no sound for good. Such a file is treated as
// any other that cannot be played.
bool claimsTwoGigabytes(const std::wstring &name)
{
    std::ifstream file(std::filesystem::path(name), std::ios::binary);
    char chunk[12];
    if (!file.read(chunk, 12) || std::memcmp(chunk, "RIFF", 4) != 0 || std::memcmp(chunk + 8, "WAVE", 4) != 0)
        return false;
    while (file.read(chunk, 8)) {
        const quint32 size = qFromLittleEndian<quint32>(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0)
            return size >= 0x80000000u;
        file.seekg(std::streamoff(size) + (size & 1), std::ios::cur);
    }
    return false;
}

// Windows would look a plain name up in the program's folder before the working folder, so the
// player finds the file itself, as the Linux player does, and names it in full: the file whose
// header is checked is the one played. A name found nowhere is handed on as it is, for Windows
// to sound its alert.
std::wstring fullPath(const QString &name, const QStringList &folders)
{
    const QFileInfo file = findWaveFile(name, folders);
    return (file.exists() ? QDir::toNativeSeparators(file.absoluteFilePath()) : name).toStdWString();
}

void play(const std::wstring &name)
{
    if (claimsTwoGigabytes(name))
        PlaySoundW(reinterpret_cast<LPCWSTR>(SND_ALIAS_SYSTEMDEFAULT), nullptr, SND_ALIAS_ID | SND_ASYNC);
    else
        PlaySoundW(name.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

} // namespace

void PlaySoundPlayer::makeRequests(const std::shared_ptr<Requests> &requests)
{
    std::unique_lock lock(requests->mutex);
    for (;;) {
        requests->changed.wait(lock, [&] { return requests->next || requests->closing; });
        if (requests->closing)
            break;
        const auto [name, folders] = std::move(*requests->next);
        requests->next.reset();
        lock.unlock();
        play(fullPath(name, folders));
        lock.lock();
    }
    lock.unlock();
    // The player is going: a sound still playing stops here, so the end of the program is quiet.
    PlaySoundW(nullptr, nullptr, 0);
}

PlaySoundPlayer::PlaySoundPlayer()
    : m_requests(std::make_shared<Requests>())
    , m_thread([requests = m_requests] { makeRequests(requests); })
{
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
            m_requests->next.emplace(name, waveFolders());
        }
        m_requests->changed.notify_one();
    }
    QGuiApplication::restoreOverrideCursor();
}
