// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/sound/pulsewaveplayer.h"

#include "services/sound/pulsestream.h"
#include "services/sound/soundloader.h"
#include "services/wavesearch.h"

#include <QApplication>
#include <QDeadlineTimer>

PulseWavePlayer::PulseWavePlayer(QObject *parent, Alert alert)
    : QObject(parent)
    , m_alert(alert ? std::move(alert) : Alert([] { QApplication::beep(); }))
    , m_loaderThread(new QThread)
    , m_loader(new SoundLoader)
    , m_output(std::make_unique<PulseStream>())
{
    m_loader->moveToThread(m_loaderThread);
    connect(m_loader, &SoundLoader::loaded, this, &PulseWavePlayer::onLoaded);
    connect(m_loader, &SoundLoader::streamOpened, this, &PulseWavePlayer::onStreamOpened);
    connect(m_loader, &SoundLoader::chunkRead, this, &PulseWavePlayer::onChunkRead);
    connect(m_loader, &SoundLoader::failed, this, &PulseWavePlayer::onFailed);
    m_loaderThread->setObjectName(QStringLiteral("SoundLoader"));
    m_loaderThread->start();
}

// The stream goes first, so nothing asks the loader for more; each answer of the loader takes one
// short read, so its thread ends promptly, and what it had not answered yet is dropped. Should a
// read hang all the same (a file on a server that stopped answering), the program does not wait
// for it: the thread is left to end with the process.
PulseWavePlayer::~PulseWavePlayer()
{
    m_output.reset();
    m_loaderThread->quit();
    if (!m_loaderThread->wait(QDeadlineTimer(kLongestLoaderWait)))
        return;
    delete m_loader;
    delete m_loaderThread;
}

void PulseWavePlayer::playWave(const QString &name)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    request(name);
    QGuiApplication::restoreOverrideCursor();
}

void PulseWavePlayer::keepOutputAwake(bool awake)
{
    m_output->keepAwake(awake);
}

void PulseWavePlayer::request(const QString &name)
{
    if (name.isEmpty())
        return;
    // Like a new announcement over a loudspeaker, a new request cuts off the one still playing,
    // and a sound still loading for an older request will not be heard.
    m_wanted.clear();
    closeStreamed();
    const QFileInfo file = findWaveFile(name, waveFolders());
    if (file.filePath().isEmpty()) {
        m_output->stop();
        m_alert();
        return;
    }
    const QString path = file.absoluteFilePath();
    const SoundCache::Stamp stamp {file.size(), file.lastModified()};
    if (const QByteArray *samples = m_cache.find(path, stamp)) {
        m_output->play(0, *samples, true);
        return;
    }
    m_output->stop();
    m_wanted = path;
    Loading &loading = m_loading[path];
    if (loading.requests++ == 0) {
        loading.stamp = stamp;
        QMetaObject::invokeMethod(m_loader, [loader = m_loader, path] { loader->load(path); });
    }
}

void PulseWavePlayer::onLoaded(const QString &path, const QByteArray &samples)
{
    m_cache.insert(path, m_loading.take(path).stamp, samples);
    if (takeWanted(path))
        m_output->play(0, samples, true);
}

void PulseWavePlayer::onStreamOpened(const QString &path, quint64 stream, const QByteArray &samples)
{
    m_loading.remove(path);
    if (!takeWanted(path)) {
        QMetaObject::invokeMethod(m_loader, [loader = m_loader, stream] { loader->closeStream(stream); });
        return;
    }
    m_streamed = stream;
    m_output->play(stream, samples, false, [loader = m_loader, stream] {
        QMetaObject::invokeMethod(loader, [loader, stream] { loader->readMore(stream); });
    });
}

void PulseWavePlayer::onChunkRead(quint64 stream, const QByteArray &samples, bool last)
{
    if (stream != m_streamed)
        return;
    m_output->append(stream, samples, last);
    if (last)
        m_streamed = 0;
}

// A file that cannot be decoded is answered exactly as a missing one, once per request.
void PulseWavePlayer::onFailed(const QString &path)
{
    const int requests = m_loading.take(path).requests;
    takeWanted(path);
    for (int i = 0; i < requests; ++i)
        m_alert();
}

bool PulseWavePlayer::takeWanted(const QString &path)
{
    if (m_wanted != path)
        return false;
    m_wanted.clear();
    return true;
}

void PulseWavePlayer::closeStreamed()
{
    if (!m_streamed)
        return;
    QMetaObject::invokeMethod(m_loader, [loader = m_loader, stream = m_streamed] { loader->closeStream(stream); });
    m_streamed = 0;
}
