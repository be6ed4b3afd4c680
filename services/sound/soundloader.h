// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/sound/streamformat.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

class WaveDecoder;

// Reads and decodes sound files away from the user-interface thread. It lives on a thread of its
// own and answers each request with exactly one signal. Every answer comes quickly: a short sound
// is decoded whole, at most kLargestHeldSound bytes of it, a long one a chunk at a time, on
// demand.
class SoundLoader : public QObject
{
    Q_OBJECT

public:
    // A sound longer than ten seconds is streamed rather than held.
    static constexpr qint64 kLargestHeldSound = StreamFormat::bytesFor(10'000);
    // What one read of a streamed sound decodes to: two seconds.
    static constexpr qint64 kStreamChunk = StreamFormat::bytesFor(2'000);

    SoundLoader();
    ~SoundLoader() override;

public slots:
    // Answers with loaded() for a short sound, streamOpened() with its first chunk for a long
    // one, failed() for a file that is missing, is no regular file or cannot be decoded.
    void load(const QString &path);
    // Answers with chunkRead() for an open stream; ignored for a closed one.
    void readMore(quint64 stream);
    void closeStream(quint64 stream);

signals:
    void loaded(const QString &path, const QByteArray &samples);
    void streamOpened(const QString &path, quint64 stream, const QByteArray &samples);
    void chunkRead(quint64 stream, const QByteArray &samples, bool last);
    void failed(const QString &path);

private:
    std::map<quint64, std::unique_ptr<WaveDecoder>> m_streams;
    quint64 m_lastStream = 0;
};
