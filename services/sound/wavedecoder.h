// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class Resampler;
struct FileInMemory;
typedef struct sf_private_tag SNDFILE;

// Decodes a sound file with libsndfile into the stream's format (see streamformat.h), a piece at
// a time: every encoding libsndfile reads, at any rate and with up to kMaxChannels channels,
// mixed down to mono and resampled as needed.
class WaveDecoder
{
public:
    static constexpr int kMaxChannels = 64;
    // A file up to this size is read whole, in one read, and decoded from memory: libsndfile
    // reads a file's header in many small reads, and each costs a call into the system.
    static constexpr qint64 kLargestFileInMemory = 4 * 1024 * 1024;

    // Nothing for a name that is no regular file, or a file libsndfile refuses or that holds no
    // sound. The file is opened without waiting: a named pipe put in its place is refused, not
    // waited on.
    static std::unique_ptr<WaveDecoder> open(const QString &path);
    ~WaveDecoder();

    // How many bytes of stream samples the file says it holds.
    qint64 expectedBytes() const { return m_expectedBytes; }
    // Up to `maxBytes` more bytes of stream samples; fewer only at the end of the sound. A file
    // cut short ends where its samples end.
    QByteArray read(qint64 maxBytes);
    bool atEnd() const { return m_ended && m_pending.empty(); }

private:
    WaveDecoder() = default;
    // Opens the file from m_memory, or else from `fd`.
    bool openFile(int fd);
    // Decodes the next piece of the file into m_pending; false at the end.
    bool decodeMore();

    std::unique_ptr<FileInMemory> m_memory; // the whole file, when it was read into memory
    SNDFILE *m_file = nullptr;
    int m_channels = 1;
    bool m_storedAsStreamed = false;
    qint64 m_expectedBytes = 0;
    std::unique_ptr<Resampler> m_resampler;
    std::vector<float> m_pending; // decoded, not yet handed out
    size_t m_pendingStart = 0;
    bool m_ended = false;
};
