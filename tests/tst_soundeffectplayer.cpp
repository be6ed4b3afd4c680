// SPDX-License-Identifier: GPL-3.0-or-later
// The sound back end: names resolve in the working folder, missing files sound the alert,
// and the hourglass pointer is shown only for the instant of the request.
#include "services/soundcache.h"
#include "services/soundeffectplayer.h"
#include "services/soundloader.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

namespace {

constexpr quint16 kPcm = 1;
constexpr quint16 kFloat = 3;
constexpr quint16 kImaAdpcm = 0x11;

// A mono wave file at 22050 Hz: its header claims `claimed` bytes of samples, `present` bytes
// of `fill` follow it.
QByteArray wave(quint16 tag, quint16 bits, quint32 claimed, qint64 present, char fill = 0x40)
{
    QByteArray data;
    auto put32 = [&data](quint32 v) { for (int i = 0; i < 4; ++i) data.append(char((v >> (8 * i)) & 0xFF)); };
    auto put16 = [&data](quint16 v) { data.append(char(v & 0xFF)); data.append(char(v >> 8)); };
    const quint16 blockAlign = tag == kImaAdpcm ? 256 : bits / 8;
    data.append("RIFF");
    put32(36 + claimed);
    data.append("WAVEfmt ");
    put32(16);
    for (quint16 v : {tag, quint16(1)})
        put16(v);
    put32(22050);
    put32(22050 * blockAlign);
    for (quint16 v : {blockAlign, bits})
        put16(v);
    data.append("data");
    put32(claimed);
    return data + QByteArray(present, fill);
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

class TestSoundEffectPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_folder.path()));
        const QList<std::pair<const char *, QByteArray>> files = {
            {"7.wav", wave(kPcm, 16, 4410, 4410)},
            {"8bit.wav", wave(kPcm, 8, 2205, 2205, char(0xFF))},
            {"24bit.wav", wave(kPcm, 24, 6615, 6615)},
            {"float.wav", wave(kFloat, 32, 8820, 8820)},
            {"long.wav", wave(kPcm, 16, 0, 2 * SoundLoader::kLargestHeldSound + 2)},
            {"empty.wav", {}},
            {"header.wav", wave(kPcm, 16, 4410, 4410).left(30)},
            {"lying.wav", wave(kPcm, 16, 0x80000000, 1024)},
            {"adpcm.wav", wave(kImaAdpcm, 4, 4096, 4096)},
            {"random.wav", QByteArray::fromHex("52494646a3c1f05d9e7b22d1c48a0f3b6e915cd27a4f08e3b1d65c79e0a24f1d")},
        };
        for (const auto &[name, data] : files)
            writeFile(m_folder.filePath(QLatin1String(name)), data);
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
        QTest::newRow("8-bit samples play") << QStringLiteral("8bit.wav") << 0;
        QTest::newRow("24-bit samples play") << QStringLiteral("24bit.wav") << 0;
        QTest::newRow("floating-point samples play") << QStringLiteral("float.wav") << 0;
        QTest::newRow("a long recording plays") << QStringLiteral("long.wav") << 0;
        QTest::newRow("an empty file sounds the alert") << QStringLiteral("empty.wav") << 1;
        QTest::newRow("a header cut short sounds the alert") << QStringLiteral("header.wav") << 1;
        QTest::newRow("a header claiming 2 GB over 1 KB sounds the alert") << QStringLiteral("lying.wav") << 1;
        QTest::newRow("IMA-ADPCM sounds the alert") << QStringLiteral("adpcm.wav") << 1;
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
        SoundEffectPlayer player(nullptr, [&] {
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

    // The loader reads a pipe or a device no more than a missing file, even when the name was
    // a regular file a moment before, and hands a long recording out a chunk at a time.
    void loaderAnswers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("firstSample");
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("16-bit") << QStringLiteral("7.wav") << 0x4040 << qint64(4410);
        QTest::newRow("8-bit, unsigned") << QStringLiteral("8bit.wav") << 0x7F00 << qint64(4410);
        QTest::newRow("24-bit, high bytes kept") << QStringLiteral("24bit.wav") << 0x4040 << qint64(4410);
        QTest::newRow("float, clipped") << QStringLiteral("float.wav") << 32767 << qint64(4410);
        QTest::newRow("streamed") << QStringLiteral("long.wav") << 0x4040 << 2 * SoundLoader::kLargestHeldSound + 2;
        QTest::newRow("a named pipe fails") << QStringLiteral("fifo.wav") << 0 << qint64(0);
        QTest::newRow("/dev/zero fails") << QStringLiteral("zero.wav") << 0 << qint64(0);
    }

    void loaderAnswers()
    {
        QFETCH(QString, name);
        QFETCH(int, firstSample);
        QFETCH(qint64, bytes);
        SoundLoader loader;
        QSignalSpy loaded(&loader, &SoundLoader::loaded);
        QSignalSpy opened(&loader, &SoundLoader::streamOpened);
        QSignalSpy chunks(&loader, &SoundLoader::chunkRead);
        QSignalSpy failed(&loader, &SoundLoader::failed);
        loader.load(m_folder.filePath(name));
        QByteArray samples = loaded.isEmpty() ? QByteArray() : loaded.first().at(2).toByteArray();
        if (!opened.isEmpty()) {
            QCOMPARE(opened.first().at(3).toLongLong(), bytes);
            while (chunks.isEmpty() || !chunks.last().at(2).toBool())
                loader.readMore(opened.first().at(1).toULongLong());
            for (const QList<QVariant> &chunk : chunks) {
                QVERIFY(chunk.at(1).toByteArray().size() <= SoundLoader::kStreamChunk);
                samples += chunk.at(1).toByteArray();
            }
        }
        QCOMPARE(failed.size(), bytes ? 0 : 1);
        QCOMPARE(samples.size(), bytes);
        if (bytes)
            QCOMPARE(int(qFromLittleEndian<qint16>(samples.constData())), firstSample);
    }

    // The least recently used sounds make room; a changed file is loaded again.
    void cacheKeepsWithinItsBudget()
    {
        SoundCache cache(100);
        const SoundCache::Stamp stamp{40, {}};
        const SoundCache::Sound sound{{}, QByteArray(40, 'x')};
        for (const char *name : {"a", "b"})
            cache.insert(QLatin1String(name), stamp, sound);
        QVERIFY(cache.find(QStringLiteral("a"), stamp));
        cache.insert(QStringLiteral("c"), stamp, sound);
        QCOMPARE(cache.bytes(), 80);
        QVERIFY(cache.find(QStringLiteral("a"), stamp));
        QVERIFY(!cache.find(QStringLiteral("b"), stamp));
        QVERIFY(!cache.find(QStringLiteral("c"), {41, {}}));
        cache.insert(QStringLiteral("huge"), stamp, {{}, QByteArray(101, 'x')});
        QCOMPARE(cache.bytes(), 40);
    }

    // Without an audio device the requests go on being accepted, and none blocks.
    void manyRequestsInARowNeverLeaveTheHourglass()
    {
        int alerted = 0;
        SoundEffectPlayer player(nullptr, [&] { ++alerted; });
        // The audio back end may say once that it found no sound server; after that, calls stay quiet.
        QMediaDevices::defaultAudioOutput();
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
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

QTEST_MAIN(TestSoundEffectPlayer)
#include "tst_soundeffectplayer.moc"
