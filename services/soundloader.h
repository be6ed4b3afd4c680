// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/wavefile.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

// Reads and decodes wave files away from the user-interface thread. It lives on a thread of its
// own and answers each request with exactly one signal. Every answer comes quickly: the loader
// reads only regular files (never waiting on a pipe or a device), a short sound at most
// kLargestHeldSound decoded bytes, and a long one a chunk at a time, on demand.
class SoundLoader : public QObject
{
    Q_OBJECT

public:
    // A sound longer than this (about 24 s of CD-quality stereo) is streamed rather than held.
    static constexpr qint64 kLargestHeldSound = 4 * 1024 * 1024;
    // What one read of a streamed sound decodes to.
    static constexpr qint64 kStreamChunk = 128 * 1024;

    ~SoundLoader() override;

public slots:
    // Answers with loaded() for a short sound, streamOpened() for a long one, failed() for a
    // file that is missing, is no regular file or cannot be decoded.
    void load(const QString &path);
    // Answers with chunkRead() for an open stream; ignored for a closed one.
    void readMore(quint64 stream);
    void closeStream(quint64 stream);

signals:
    void loaded(const QString &path, const QAudioFormat &format, const QByteArray &samples);
    void streamOpened(const QString &path, quint64 stream, const QAudioFormat &format, qint64 bytes);
    void chunkRead(quint64 stream, const QByteArray &samples, bool last);
    void failed(const QString &path);

private:
    struct Stream
    {
        std::unique_ptr<QFile> file;
        WaveLayout layout;
        qint64 rawLeft = 0;
    };

    std::map<quint64, Stream> m_streams;
    quint64 m_lastStream = 0;
};
