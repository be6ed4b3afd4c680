// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class Resampler;
typedef struct sf_private_tag SNDFILE;

// Decodes a sound file with libsndfile into the stream's format (see streamformat.h), a piece at
// a time: every encoding libsndfile reads, at any rate and with up to kMaxChannels channels,
// mixed down to mono and resampled as needed.
class WaveDecoder
{
public:
    static constexpr int kMaxChannels = 64;

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
    WaveDecoder(SNDFILE *file, int rate, int channels, bool storedAsStreamed, qint64 frames);
    // Decodes the next piece of the file into m_pending; false at the end.
    bool decodeMore();

    SNDFILE *m_file;
    int m_channels;
    bool m_storedAsStreamed;
    qint64 m_expectedBytes;
    std::unique_ptr<Resampler> m_resampler;
    std::vector<float> m_pending; // decoded, not yet handed out
    size_t m_pendingStart = 0;
    bool m_ended = false;
};
