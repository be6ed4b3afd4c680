// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux sound player: names resolve in the working folder and then the voice folders, every
// encoding libsndfile reads decodes to the same sound in the stream's format, files that cannot
// be played sound the alert, and the hourglass pointer is shown only for the instant of the
// request.
#include "services/sound/pulsewaveplayer.h"
#include "services/sound/soundcache.h"
#include "services/sound/soundloader.h"
#include "services/sound/streamformat.h"
#include "services/wavesearch.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <vector>

#include <sys/stat.h>

namespace {

// A sine at half of full scale, the same in every channel, written by libsndfile as `format`.
void writeTone(const QString &path, int format, int rate, int channels, double seconds)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY2(file, sf_strerror(nullptr));
    const auto frames = sf_count_t(seconds * rate);
    std::vector<float> samples(size_t(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[size_t(i * channels + c)] = 0.5f * float(std::sin(2 * M_PI * 440 * double(i) / rate));
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

int peakOf(const QByteArray &samples)
{
    int peak = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        peak = std::max(peak, std::abs(int(qint16(quint8(samples[i]) | quint8(samples[i + 1]) << 8))));
    return peak;
}

} // namespace

class TestPulseWavePlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_folder.path()));
        const QList<std::tuple<const char *, int, int, int>> tones = {
            {"7.wav", SF_FORMAT_PCM_16, 16000, 1},     {"8bit.wav", SF_FORMAT_PCM_U8, 22050, 1},
            {"24bit.wav", SF_FORMAT_PCM_24, 48000, 1}, {"32bit.wav", SF_FORMAT_PCM_32, 16000, 1},
            {"float.wav", SF_FORMAT_FLOAT, 44100, 1},  {"mulaw.wav", SF_FORMAT_ULAW, 8000, 1},
            {"alaw.wav", SF_FORMAT_ALAW, 8000, 1},     {"ima.wav", SF_FORMAT_IMA_ADPCM, 22050, 1},
            {"msadpcm.wav", SF_FORMAT_MS_ADPCM, 11025, 2}, {"stereo.wav", SF_FORMAT_PCM_16, 44100, 2},
        };
        for (const auto &[name, format, rate, channels] : tones)
            writeTone(m_folder.filePath(QLatin1String(name)), format, rate, channels, 0.5);
        writeTone(m_folder.filePath(QStringLiteral("long.wav")), SF_FORMAT_PCM_U8, 8000, 1, 12.5);
        writeTone(m_folder.filePath(QStringLiteral("large.wav")), SF_FORMAT_PCM_16, 48000, 2, 23.0);
        writeFile(m_folder.filePath(QStringLiteral("empty.wav")), {});
        QFile tone(m_folder.filePath(QStringLiteral("7.wav")));
        QVERIFY(tone.open(QIODevice::ReadOnly));
        writeFile(m_folder.filePath(QStringLiteral("header.wav")), tone.read(30));
        writeFile(m_folder.filePath(QStringLiteral("random.wav")),
                  QByteArray::fromHex("52494646a3c1f05d9e7b22d1c48a0f3b6e915cd27a4f08e3b1d65c79e0a24f1d"));
        QVERIFY(::mkfifo(QFile::encodeName(m_folder.filePath(QStringLiteral("fifo.wav"))).constData(), 0600) == 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_folder.filePath(QStringLiteral("zero.wav"))));
    }
    void cleanupTestCase() { QDir::setCurrent(m_previous); }

    // A name that cannot be played, missing or undecodable, sounds the alert once; the loader
    // answers "empty.wav", played after each request, only after it answered the request.
    void requests_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("alerts");
        QTest::newRow("a file in the working folder plays") << QStringLiteral("7.wav") << 0;
        QTest::newRow("an empty name plays nothing") << QString() << 0;
        QTest::newRow("a missing file sounds the alert") << QStringLiteral("17.wav") << 1;
        QTest::newRow("a folder is no wave file") << QStringLiteral(".") << 1;
        QTest::newRow("IMA ADPCM plays") << QStringLiteral("ima.wav") << 0;
        QTest::newRow("a long recording plays") << QStringLiteral("long.wav") << 0;
        QTest::newRow("an empty file sounds the alert") << QStringLiteral("empty.wav") << 1;
        QTest::newRow("a header cut short sounds the alert") << QStringLiteral("header.wav") << 1;
        QTest::newRow("random bytes sound the alert") << QStringLiteral("random.wav") << 1;
        QTest::newRow("a named pipe sounds the alert") << QStringLiteral("fifo.wav") << 1;
        QTest::newRow("a link to /dev/zero sounds the alert") << QStringLiteral("zero.wav") << 1;
    }

    void requests()
    {
        QFETCH(QString, name);
        QFETCH(int, alerts);
        int alerted = 0;
        Qt::CursorShape pointerDuringRequest = Qt::WaitCursor;
        PulseWavePlayer player(nullptr, [&] {
            ++alerted;
            if (const QCursor *cursor = QGuiApplication::overrideCursor())
                pointerDuringRequest = cursor->shape();
        });
        player.playWave(name);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(pointerDuringRequest, Qt::WaitCursor);
        player.playWave(QStringLiteral("empty.wav"));
        QTRY_COMPARE(alerted, alerts + 1);
    }

    // Whatever the encoding, rate and channels, the loader hands out the same half-scale tone in
    // the stream's format, as long as the file; a long recording a chunk at a time. It reads a
    // pipe or a device no more than a missing file, even when the name was a regular file a
    // moment before.
    void loaderAnswers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("seconds");
        QTest::newRow("16-bit at 16 kHz, as stored") << QStringLiteral("7.wav") << 0.5;
        QTest::newRow("8-bit unsigned at 22.05 kHz") << QStringLiteral("8bit.wav") << 0.5;
        QTest::newRow("24-bit at 48 kHz") << QStringLiteral("24bit.wav") << 0.5;
        QTest::newRow("32-bit") << QStringLiteral("32bit.wav") << 0.5;
        QTest::newRow("floating point at 44.1 kHz") << QStringLiteral("float.wav") << 0.5;
        QTest::newRow("mu-law at 8 kHz") << QStringLiteral("mulaw.wav") << 0.5;
        QTest::newRow("A-law at 8 kHz") << QStringLiteral("alaw.wav") << 0.5;
        QTest::newRow("IMA ADPCM") << QStringLiteral("ima.wav") << 0.5;
        QTest::newRow("MS ADPCM, stereo") << QStringLiteral("msadpcm.wav") << 0.5;
        QTest::newRow("stereo at 44.1 kHz") << QStringLiteral("stereo.wav") << 0.5;
        QTest::newRow("streamed") << QStringLiteral("long.wav") << 12.5;
        QTest::newRow("streamed, too large to read whole") << QStringLiteral("large.wav") << 23.0;
        QTest::newRow("a named pipe fails") << QStringLiteral("fifo.wav") << 0.0;
        QTest::newRow("/dev/zero fails") << QStringLiteral("zero.wav") << 0.0;
    }

    void loaderAnswers()
    {
        QFETCH(QString, name);
        QFETCH(double, seconds);
        SoundLoader loader;
        QSignalSpy loaded(&loader, &SoundLoader::loaded);
        QSignalSpy opened(&loader, &SoundLoader::streamOpened);
        QSignalSpy chunks(&loader, &SoundLoader::chunkRead);
        QSignalSpy failed(&loader, &SoundLoader::failed);
        loader.load(m_folder.filePath(name));
        QByteArray samples = loaded.isEmpty() ? QByteArray() : loaded.first().at(1).toByteArray();
        if (!opened.isEmpty()) {
            samples = opened.first().at(2).toByteArray();
            while (chunks.isEmpty() || !chunks.last().at(2).toBool())
                loader.readMore(opened.first().at(1).toULongLong());
            for (const QList<QVariant> &chunk : chunks) {
                QVERIFY(chunk.at(1).toByteArray().size() <= SoundLoader::kStreamChunk);
                samples += chunk.at(1).toByteArray();
            }
        }
        QCOMPARE(failed.size(), seconds > 0 ? 0 : 1);
        QCOMPARE(opened.size(), seconds * 1000 > 10'000 ? 1 : 0);
        // ADPCM pads its last block with up to a tenth of a second of silence.
        const qint64 expected = StreamFormat::bytesFor(qint64(seconds * 1000));
        QVERIFY2(samples.size() >= expected - expected / 100 - 64 && samples.size() <= expected + StreamFormat::bytesFor(100),
                 qPrintable(QStringLiteral("%1 bytes for %2").arg(samples.size()).arg(expected)));
        if (seconds > 0)
            QVERIFY2(std::abs(peakOf(samples) - 16384) < 1200, qPrintable(QString::number(peakOf(samples))));
    }

    // The least recently used sounds make room; a changed file is loaded again.
    void cacheKeepsWithinItsBudget()
    {
        SoundCache cache(100);
        const SoundCache::Stamp stamp {40, {}};
        const QByteArray sound(40, 'x');
        for (const char *name : {"a", "b"})
            cache.insert(QLatin1String(name), stamp, sound);
        QVERIFY(cache.find(QStringLiteral("a"), stamp));
        cache.insert(QStringLiteral("c"), stamp, sound);
        QCOMPARE(cache.bytes(), 80);
        QVERIFY(cache.find(QStringLiteral("a"), stamp));
        QVERIFY(!cache.find(QStringLiteral("b"), stamp));
        QVERIFY(!cache.find(QStringLiteral("c"), {41, {}}));
        cache.insert(QStringLiteral("huge"), stamp, QByteArray(101, 'x'));
        QCOMPARE(cache.bytes(), 40);
    }

    // A name is looked for in each folder in turn; the first regular file wins.
    void nameSearch_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        QTest::newRow("the working folder comes first") << QStringLiteral("7.wav") << QStringLiteral("work");
        QTest::newRow("a name only in the voice folder") << QStringLiteral("90.wav") << QStringLiteral("voice");
        QTest::newRow("a folder of that name is passed over") << QStringLiteral("sub") << QStringLiteral("voice");
        QTest::newRow("a name in no folder") << QStringLiteral("17.wav") << QString();
    }

    void nameSearch()
    {
        QFETCH(QString, name);
        QFETCH(QString, found);
        QTemporaryDir root;
        for (const char *path : {"work/7.wav", "voice/7.wav", "voice/90.wav", "voice/sub"}) {
            QVERIFY(QDir(root.path()).mkpath(QFileInfo(QLatin1String(path)).path()));
            writeFile(root.filePath(QLatin1String(path)), "x");
        }
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("work/sub")));
        const QFileInfo file = findWaveFile(name, {root.filePath(QStringLiteral("work")), root.filePath(QStringLiteral("voice"))});
        QCOMPARE(file.filePath().isEmpty() ? QString() : file.absoluteFilePath(),
                 found.isEmpty() ? QString() : root.filePath(found + u'/' + name));
    }

    // Without an audio device the requests go on being accepted, and none blocks.
    void manyRequestsInARowNeverLeaveTheHourglass()
    {
        int alerted = 0;
        PulseWavePlayer player(nullptr, [&] { ++alerted; });
        for (int i = 0; i < 500; ++i)
            player.playWave(i % 2 ? QStringLiteral("7.wav") : QStringLiteral("missing.wav"));
        QCOMPARE(alerted, 250);
        player.playWave(QStringLiteral("empty.wav"));
        QTRY_COMPARE(alerted, 251);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

private:
    QTemporaryDir m_folder;
    QString m_previous;
};

QTEST_MAIN(TestPulseWavePlayer)
#include "tst_pulsewaveplayer.moc"
