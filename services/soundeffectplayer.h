// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/soundcache.h"
#include "services/waveplayer.h"

#include <QAudio>
#include <QHash>
#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class QAudioFormat;
class QAudioSink;
class QIODevice;
class SoundLoader;
class StreamedSound;

// Plays wave files from the working folder through an audio sink. Files are read and decoded on
// a loader thread, so no file, however long, damaged or strange, can hold up the window; the
// decoded short sounds are kept within kCacheBudget, and long ones are streamed from the file.
// The hourglass pointer is shown around every request, as the host is used to; the request
// itself never waits for the file or the sound.
class SoundEffectPlayer : public QObject, public WavePlayer
{
    Q_OBJECT

public:
    using Alert = std::function<void()>;

    // The most decoded sound kept in memory: the whole plain voice pack fits several times.
    static constexpr qint64 kCacheBudget = 32 * 1024 * 1024;

    // The alert sounds for a name that cannot be played, whether no such file exists or it
    // cannot be decoded; it defaults to the system's beep.
    explicit SoundEffectPlayer(QObject *parent = nullptr, Alert alert = {});
    ~SoundEffectPlayer() override;

    void playWave(const QString &name) override;

private:
    struct Loading
    {
        SoundCache::Stamp stamp;
        int requests = 0;
    };

    void request(const QString &name);
    void onLoaded(const QString &path, const QAudioFormat &format, const QByteArray &samples);
    void onStreamOpened(const QString &path, quint64 stream, const QAudioFormat &format, qint64 bytes);
    void onChunkRead(quint64 stream, const QByteArray &samples, bool last);
    void onFailed(const QString &path);
    // Whether the latest request waits for `path`; a sound loaded for an older one stays quiet.
    bool takeWanted(const QString &path);
    void startHeld(const SoundCache::Sound &sound);
    void start(std::unique_ptr<QIODevice> source, const QAudioFormat &format);
    void onSinkStateChanged(QAudio::State state);
    void stopPlaying();

    Alert m_alert;
    SoundCache m_cache{kCacheBudget};
    QHash<QString, Loading> m_loading;
    QString m_wanted;
    QThread m_loaderThread;
    SoundLoader *m_loader = nullptr;
    // The sound playing now, if any: its sink and what the sink reads.
    std::unique_ptr<QAudioSink> m_sink;
    std::unique_ptr<QIODevice> m_source;
    StreamedSound *m_stream = nullptr; // m_source, when it is streamed
    quint64 m_playing = 0;             // counts the sounds started, to tell a late signal
};
