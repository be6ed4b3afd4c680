// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/sound/soundcache.h"
#include "services/waveplayer.h"

#include <QHash>
#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class PulseStream;
class SoundLoader;

// Plays wave files through the caller's one stream on the sound server. Files are read and
// decoded on a loader thread, so no file, however long, damaged or strange, can hold up the
// window; decoded short sounds are kept within kCacheBudget, long ones are streamed from the
// file. A name is looked for in the working folder first, then in the program's voice folders.
// The hourglass pointer is shown around every request, as the host is used to; the request
// itself never waits for a file, the sound or the server.
class PulseWavePlayer : public QObject, public WavePlayer
{
    Q_OBJECT

public:
    using Alert = std::function<void()>;

    // The most decoded sound kept in memory: over four minutes, the whole voice pack twice over.
    static constexpr qint64 kCacheBudget = 8 * 1024 * 1024;
    // The longest the end of the program waits for the loader's last read.
    static constexpr int kLongestLoaderWait = 1000;

    // The alert sounds for a name that cannot be played, whether no such file exists or it
    // cannot be decoded; it defaults to the system's beep.
    explicit PulseWavePlayer(QObject *parent = nullptr, Alert alert = {});
    ~PulseWavePlayer() override;

    void playWave(const QString &name) override;
    void keepOutputAwake(bool awake) override;

private:
    struct Loading
    {
        SoundCache::Stamp stamp;
        int requests = 0;
    };

    void request(const QString &name);
    void onLoaded(const QString &path, const QByteArray &samples);
    void onStreamOpened(const QString &path, quint64 stream, const QByteArray &samples);
    void onChunkRead(quint64 stream, const QByteArray &samples, bool last);
    void onFailed(const QString &path);
    // Whether the latest request waits for `path`; a sound loaded for an older one stays quiet.
    bool takeWanted(const QString &path);
    // Lets the loader close the file of the sound streamed until now.
    void closeStreamed();

    Alert m_alert;
    SoundCache m_cache {kCacheBudget};
    QHash<QString, Loading> m_loading;
    QString m_wanted;
    quint64 m_streamed = 0; // the loader's stream of the sound playing, if it is streamed
    QThread *m_loaderThread;
    SoundLoader *m_loader;
    std::unique_ptr<PulseStream> m_output;
};
