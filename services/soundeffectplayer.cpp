// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/soundeffectplayer.h"

#include "services/soundloader.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>

#include <cstring>
#include <deque>

// What the sink reads while a long sound is streamed: the chunks the loader has decoded so far.
// It asks for the next chunk whenever less than kReadAhead is waiting, so at most kReadAhead
// plus one chunk of a long sound is ever in memory. Running dry before the end only pauses the
// sink until the next chunk arrives.
class StreamedSound : public QIODevice
{
public:
    static constexpr qint64 kReadAhead = 4 * SoundLoader::kStreamChunk;

    StreamedSound(quint64 id, qint64 bytes, std::function<void(quint64)> askForMore)
        : m_id(id)
        , m_bytes(bytes)
        , m_askForMore(std::move(askForMore))
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        askIfLow();
    }

    quint64 id() const { return m_id; }

    void append(const QByteArray &samples, bool last)
    {
        m_asked = false;
        m_last = last;
        if (!samples.isEmpty()) {
            m_chunks.push_back(samples);
            m_queued += samples.size();
        }
        askIfLow();
        emit readyRead();
    }

    bool isSequential() const override { return true; }
    qint64 size() const override { return m_bytes; }
    qint64 bytesAvailable() const override { return m_queued; }
    bool atEnd() const override { return m_last && m_queued == 0; }

protected:
    qint64 readData(char *data, qint64 wanted) override
    {
        qint64 copied = 0;
        while (copied < wanted && !m_chunks.empty()) {
            const QByteArray &front = m_chunks.front();
            const qint64 part = std::min(wanted - copied, front.size() - m_offset);
            std::memcpy(data + copied, front.constData() + m_offset, size_t(part));
            copied += part;
            m_offset += part;
            if (m_offset == front.size()) {
                m_chunks.pop_front();
                m_offset = 0;
            }
        }
        m_queued -= copied;
        askIfLow();
        return copied;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    void askIfLow()
    {
        if (!m_last && !m_asked && m_queued < kReadAhead) {
            m_asked = true;
            m_askForMore(m_id);
        }
    }

    quint64 m_id;
    qint64 m_bytes;
    std::function<void(quint64)> m_askForMore;
    std::deque<QByteArray> m_chunks;
    qint64 m_offset = 0;
    qint64 m_queued = 0;
    bool m_last = false;
    bool m_asked = false;
};

SoundEffectPlayer::SoundEffectPlayer(QObject *parent, Alert alert)
    : QObject(parent)
    , m_alert(alert ? std::move(alert) : Alert([] { QApplication::beep(); }))
    , m_loader(new SoundLoader)
{
    m_loader->moveToThread(&m_loaderThread);
    connect(m_loader, &SoundLoader::loaded, this, &SoundEffectPlayer::onLoaded);
    connect(m_loader, &SoundLoader::streamOpened, this, &SoundEffectPlayer::onStreamOpened);
    connect(m_loader, &SoundLoader::chunkRead, this, &SoundEffectPlayer::onChunkRead);
    connect(m_loader, &SoundLoader::failed, this, &SoundEffectPlayer::onFailed);
    m_loaderThread.setObjectName(QStringLiteral("SoundLoader"));
    m_loaderThread.start();
}

// Each answer of the loader takes one short read, so the thread ends promptly whatever it was
// asked to load; what it had not answered yet is dropped.
SoundEffectPlayer::~SoundEffectPlayer()
{
    stopPlaying();
    m_loaderThread.quit();
    m_loaderThread.wait();
    delete m_loader;
}

void SoundEffectPlayer::playWave(const QString &name)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    request(name);
    QGuiApplication::restoreOverrideCursor();
}

void SoundEffectPlayer::request(const QString &name)
{
    if (name.isEmpty())
        return;
    // Like a new announcement over a loudspeaker, a new request cuts off the one still playing,
    // and a sound still loading for an older request will not be heard.
    stopPlaying();
    m_wanted.clear();
    const QFileInfo file(QDir::current(), name);
    if (!file.isFile()) {
        m_alert();
        return;
    }
    const QString path = file.absoluteFilePath();
    const SoundCache::Stamp stamp{file.size(), file.lastModified()};
    if (const SoundCache::Sound *sound = m_cache.find(path, stamp)) {
        startHeld(*sound);
        return;
    }
    m_wanted = path;
    Loading &loading = m_loading[path];
    if (loading.requests++ == 0) {
        loading.stamp = stamp;
        QMetaObject::invokeMethod(m_loader, [loader = m_loader, path] { loader->load(path); });
    }
}

void SoundEffectPlayer::onLoaded(const QString &path, const QAudioFormat &format, const QByteArray &samples)
{
    const SoundCache::Sound sound{format, samples};
    m_cache.insert(path, m_loading.take(path).stamp, sound);
    if (takeWanted(path))
        startHeld(sound);
}

void SoundEffectPlayer::onStreamOpened(const QString &path, quint64 stream, const QAudioFormat &format, qint64 bytes)
{
    m_loading.remove(path);
    if (!takeWanted(path)) {
        QMetaObject::invokeMethod(m_loader, [loader = m_loader, stream] { loader->closeStream(stream); });
        return;
    }
    auto source = std::make_unique<StreamedSound>(stream, bytes, [loader = m_loader](quint64 id) {
        QMetaObject::invokeMethod(loader, [loader, id] { loader->readMore(id); });
    });
    m_stream = source.get();
    start(std::move(source), format);
}

void SoundEffectPlayer::onChunkRead(quint64 stream, const QByteArray &samples, bool last)
{
    if (m_stream && m_stream->id() == stream)
        m_stream->append(samples, last);
}

// A file that cannot be decoded is answered exactly as a missing one, once per request.
void SoundEffectPlayer::onFailed(const QString &path)
{
    const int requests = m_loading.take(path).requests;
    takeWanted(path);
    for (int i = 0; i < requests; ++i)
        m_alert();
}

bool SoundEffectPlayer::takeWanted(const QString &path)
{
    if (m_wanted != path)
        return false;
    m_wanted.clear();
    return true;
}

// The sink reads the held samples themselves: a buffer shares them rather than copies them.
void SoundEffectPlayer::startHeld(const SoundCache::Sound &sound)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(sound.samples);
    buffer->open(QIODevice::ReadOnly);
    start(std::move(buffer), sound.format);
}

void SoundEffectPlayer::start(std::unique_ptr<QIODevice> source, const QAudioFormat &format)
{
    m_source = std::move(source);
    // Without an audio device the caller stays silent rather than warn at every call.
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) {
        stopPlaying();
        return;
    }
    m_sink = std::make_unique<QAudioSink>(output, format);
    const quint64 playing = ++m_playing;
    connect(m_sink.get(), &QAudioSink::stateChanged, this, [this, playing](QAudio::State state) {
        if (playing == m_playing)
            onSinkStateChanged(state);
    });
    m_sink->start(m_source.get());
}

// A sink that has been given all of its sound is kept until the next request: stopping it then
// would drop what the audio server still holds. One that stopped because the audio server went
// away is let go, later, as it is the one reporting.
void SoundEffectPlayer::onSinkStateChanged(QAudio::State state)
{
    if (state != QAudio::StoppedState)
        return;
    QMetaObject::invokeMethod(this, [this, playing = m_playing] {
        if (playing == m_playing)
            stopPlaying();
    }, Qt::QueuedConnection);
}

void SoundEffectPlayer::stopPlaying()
{
    ++m_playing;
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink.reset();
    }
    if (m_stream) {
        QMetaObject::invokeMethod(m_loader, [loader = m_loader, stream = m_stream->id()] {
            loader->closeStream(stream);
        });
        m_stream = nullptr;
    }
    m_source.reset();
}
