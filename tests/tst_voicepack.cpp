// SPDX-License-Identifier: GPL-3.0-or-later
//
// Checks the spoken voice pack made by assets/voice/make-voice-pack.sh.
//
// The folder to check is taken from the environment variable
// BINGO_VOICE_DIR; without it the pack checks are skipped (the checks of
// the wave reader itself always run). Every file must be a plain 16-bit
// PCM mono wave file at one common sample rate, start speaking at once,
// fit the calling interval, and be as loud as the others.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

// --- What the pack has to meet ----------------------------------------------

// A sample counts as sound from 2 % of full scale on; the speech must start
// within 30 ms of the start of the file.
constexpr double kSoundThreshold = 0.02;
constexpr double kMaxLeadingSilence = 0.030;
// The faster calling speed draws a number every 2.5 s; a call must be over
// before the next one cuts it off.
constexpr double kMaxNumberDuration = 2.3;
// Cues are short phrases.
constexpr double kMaxCueDuration = 2.0;
// Level window, dBFS over the whole file: normalised, never clipped, and
// all files within a few dB of each other.
constexpr double kMinPeakDb = -12.0;
constexpr double kMaxPeakDb = -0.5;
constexpr double kMinRmsDb = -23.0;
constexpr double kMaxRmsDb = -17.0;
constexpr double kMaxRmsSpreadDb = 3.0;

const QStringList kCueNames = {
    QStringLiteral("bingo"),   QStringLiteral("false"),   QStringLiteral("restart"),
    QStringLiteral("reset"),   QStringLiteral("print"),   QStringLiteral("black"),
    QStringLiteral("blue"),    QStringLiteral("green"),   QStringLiteral("soundon"),
    QStringLiteral("soundoff"), QStringLiteral("welcome"), QStringLiteral("thanks"),
};

// All file names of the pack: "1.wav" to "90.wav", then the cues.
QStringList packFileNames()
{
    QStringList names;
    for (int n = 1; n <= 90; ++n)
        names << QString::number(n) + QStringLiteral(".wav");
    for (const QString &cue : kCueNames)
        names << cue + QStringLiteral(".wav");
    return names;
}

// --- A small RIFF WAVE reader -------------------------------------------------

struct Wave {
    quint16 format = 0;        // 1 = integer PCM
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
    QByteArray data;           // the bytes of the "data" chunk

    // Samples of a 16-bit file, all channels interleaved.
    QList<qint16> samples16() const
    {
        QList<qint16> out;
        out.reserve(data.size() / 2);
        for (qsizetype i = 0; i + 1 < data.size(); i += 2)
            out << qFromLittleEndian<qint16>(data.constData() + i);
        return out;
    }

    double durationSeconds() const
    {
        return blockAlign && sampleRate ? double(data.size() / blockAlign) / sampleRate : 0.0;
    }
};

quint32 le32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 le16(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }

// Parses a RIFF WAVE file held in memory. Returns nothing, and says why in
// *error, when the bytes are not a complete wave file with a "fmt " chunk
// and a "data" chunk.
std::optional<Wave> parseWave(const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &why) {
        *error = why;
        return std::optional<Wave>();
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return fail(QStringLiteral("not a RIFF WAVE file"));
    const qint64 riffEnd = qint64(le32(bytes, 4)) + 8;
    if (riffEnd > bytes.size())
        return fail(QStringLiteral("RIFF size %1 runs past the end of the file (%2 bytes)")
                        .arg(riffEnd).arg(bytes.size()));

    Wave wave;
    bool haveFormat = false;
    bool haveData = false;
    qint64 at = 12;
    while (at + 8 <= riffEnd) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 size = le32(bytes, at + 4);
        const qint64 body = at + 8;
        if (body + size > riffEnd)
            return fail(QStringLiteral("chunk '%1' runs past the end of the file")
                            .arg(QString::fromLatin1(id)));
        if (id == "fmt ") {
            if (size < 16)
                return fail(QStringLiteral("'fmt ' chunk too short"));
            wave.format = le16(bytes, body);
            wave.channels = le16(bytes, body + 2);
            wave.sampleRate = le32(bytes, body + 4);
            wave.byteRate = le32(bytes, body + 8);
            wave.blockAlign = le16(bytes, body + 12);
            wave.bitsPerSample = le16(bytes, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wave.data = bytes.mid(body, size);
            haveData = true;
        }
        at = body + size + (size & 1);   // chunks are padded to even sizes
    }
    if (!haveFormat)
        return fail(QStringLiteral("no 'fmt ' chunk"));
    if (!haveData)
        return fail(QStringLiteral("no 'data' chunk"));
    return wave;
}

std::optional<Wave> readWave(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    return parseWave(file.readAll(), error);
}

// --- Measurements on mono 16-bit samples ------------------------------------------

// Index of the first sample at or above threshold (a fraction of full
// scale), or -1 when there is none.
qsizetype firstSoundIndex(const QList<qint16> &samples, double threshold)
{
    const int level = int(std::ceil(threshold * 32768.0));
    const auto it = std::find_if(samples.cbegin(), samples.cend(),
                                 [level](qint16 s) { return std::abs(int(s)) >= level; });
    return it == samples.cend() ? -1 : it - samples.cbegin();
}

double toDb(double fraction)
{
    return fraction > 0 ? 20.0 * std::log10(fraction) : -1000.0;
}

double peakDb(const QList<qint16> &samples)
{
    int peak = 0;
    for (qint16 s : samples)
        peak = std::max(peak, std::abs(int(s)));
    return toDb(peak / 32768.0);
}

double rmsDb(const QList<qint16> &samples)
{
    if (samples.isEmpty())
        return toDb(0);
    double sum = 0;
    for (qint16 s : samples)
        sum += double(s) * s;
    return toDb(std::sqrt(sum / samples.size()) / 32768.0);
}

// A wave file image, for the reader's own checks.
QByteArray makeWave(const QList<qint16> &samples, quint16 format = 1, quint16 bits = 16,
                    const QByteArray &extraChunk = {})
{
    auto put16 = [](QByteArray &b, quint16 v) { char c[2]; qToLittleEndian(v, c); b.append(c, 2); };
    auto put32 = [](QByteArray &b, quint32 v) { char c[4]; qToLittleEndian(v, c); b.append(c, 4); };
    QByteArray body("WAVE");
    body += extraChunk;
    body += "fmt ";
    put32(body, 16);
    put16(body, format);
    put16(body, 1);
    put32(body, 8000);
    put32(body, 8000 * bits / 8);
    put16(body, bits / 8);
    put16(body, bits);
    body += "data";
    put32(body, quint32(samples.size() * 2));
    for (qint16 s : samples)
        put16(body, quint16(s));
    QByteArray file("RIFF");
    put32(file, quint32(body.size()));
    return file + body;
}

} // namespace

class TestVoicePack : public QObject
{
    Q_OBJECT

private:
    QDir m_dir;
    bool m_havePack = false;
    QString m_skipReason;

    // Loads one file of the pack; fails the running test when it is unreadable.
    bool load(const QString &name, Wave *wave)
    {
        QString error;
        const std::optional<Wave> read = readWave(m_dir.filePath(name), &error);
        if (!read) {
            QTest::qFail(qPrintable(name + QStringLiteral(": ") + error), __FILE__, __LINE__);
            return false;
        }
        *wave = *read;
        return true;
    }

    void addFileRows()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : packFileNames())
            QTest::newRow(qPrintable(name)) << name;
    }

private slots:
    void initTestCase()
    {
        const QString dir = qEnvironmentVariable("BINGO_VOICE_DIR");
        if (dir.isEmpty()) {
            m_skipReason = QStringLiteral("BINGO_VOICE_DIR is not set: no voice pack to check");
        } else if (!QDir(dir).exists()) {
            m_skipReason = QStringLiteral("BINGO_VOICE_DIR names no folder: ") + dir;
        } else {
            m_dir = QDir(dir);
            m_havePack = true;
        }
    }

    // --- The reader and the measurements, on made-up files -------------------

    void readerReadsPcm()
    {
        const QList<qint16> samples = {0, 100, -100, 32767, -32768};
        QString error;
        const std::optional<Wave> wave = parseWave(makeWave(samples, 1, 16, QByteArray("LIST\x03\0\0\0abc\0", 12)), &error);
        QVERIFY2(wave, qPrintable(error));
        QCOMPARE(wave->format, quint16(1));
        QCOMPARE(wave->channels, quint16(1));
        QCOMPARE(wave->sampleRate, quint32(8000));
        QCOMPARE(wave->bitsPerSample, quint16(16));
        QCOMPARE(wave->samples16(), samples);
        QCOMPARE(wave->durationSeconds(), 5.0 / 8000);
    }

    void readerRejects_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = makeWave({1, 2, 3, 4});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not RIFF") << QByteArray("RIFX") + good.mid(4);
        QTest::newRow("not WAVE") << good.left(8) + "AVI " + good.mid(12);
        QTest::newRow("truncated") << good.left(good.size() - 2);
        QTest::newRow("no data chunk") << good.left(36).replace(4, 4, QByteArray("\x1c\0\0\0", 4));
    }

    void readerRejects()
    {
        QFETCH(QByteArray, bytes);
        QString error;
        QVERIFY(!parseWave(bytes, &error));
        QVERIFY(!error.isEmpty());
    }

    void measurements()
    {
        QList<qint16> samples(300, 0);
        samples << 600 << -700 << 16384 << 0;   // 600 is below 2 % of full scale, 700 above
        QCOMPARE(firstSoundIndex(samples, kSoundThreshold), qsizetype(301));
        QCOMPARE(firstSoundIndex(QList<qint16>(10, 600), kSoundThreshold), qsizetype(-1));
        QVERIFY(std::abs(peakDb(samples) - toDb(0.5)) < 1e-9);
        QVERIFY(std::abs(rmsDb(QList<qint16>(8, 16384)) - toDb(0.5)) < 1e-9);
        QVERIFY(std::abs(peakDb({-32768}) - 0.0) < 1e-9);
    }

    // --- The voice pack --------------------------------------------------------

    void allFilesPresent()
    {
        if (!m_havePack)
            QSKIP(qPrintable(m_skipReason));
        QStringList missing;
        for (const QString &name : packFileNames()) {
            if (!m_dir.exists(name))
                missing << name;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("missing in %1: %2")
                                                   .arg(m_dir.path(), missing.join(u' '))));
    }

    void format_data()
    {
        if (!m_havePack)
            QSKIP(qPrintable(m_skipReason));
        addFileRows();
    }

    void format()
    {
        QFETCH(QString, name);
        Wave wave;
        if (!load(name, &wave))
            return;
        QCOMPARE(wave.format, quint16(1));
        QCOMPARE(wave.bitsPerSample, quint16(16));
        QCOMPARE(wave.channels, quint16(1));
        QCOMPARE(wave.blockAlign, quint16(2));
        QCOMPARE(wave.byteRate, wave.sampleRate * 2);
        QVERIFY2(wave.sampleRate >= 8000, qPrintable(QString::number(wave.sampleRate)));
        QVERIFY2(wave.data.size() % 2 == 0, "data chunk ends inside a sample");
    }

    void oneSampleRate()
    {
        if (!m_havePack)
            QSKIP(qPrintable(m_skipReason));
        QSet<quint32> rates;
        for (const QString &name : packFileNames()) {
            Wave wave;
            if (!load(name, &wave))
                return;
            rates << wave.sampleRate;
        }
        QCOMPARE(rates.size(), 1);
    }

    void startsAtOnce_data()
    {
        if (!m_havePack)
            QSKIP(qPrintable(m_skipReason));
        addFileRows();
    }

    void startsAtOnce()
    {
        QFETCH(QString, name);
        Wave wave;
        if (!load(name, &wave))
            return;
        const qsizetype first = firstSoundIndex(wave.samples16(), kSoundThreshold);
        QVERIFY2(first >= 0, "no sound at all");
        const double silence = double(first) / wave.sampleRate;
        QVERIFY2(silence <= kMaxLeadingSilence,
                 qPrintable(QStringLiteral("%1 ms of silence before the speech")
                                .arg(silence * 1000, 0, 'f', 1)));
    }

    void duration_data()
    {
        if (!m_havePack)
            QSKIP(qPrintable(m_skipReason));
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("limit");
        for (int n = 1; n <= 90; ++n) {
            const QString name = QString::number(n) + QStringLiteral(".wav");
            QTest::newRow(qPrintable(name)) << name << kMaxNumberDuration;
        }
        for (const QString &cue : kCueNames) {
            const QString name = cue + QStringLiteral(".wav");
            QTest::newRow(qPrintable(name)) << name << kMaxCueDuration;
        }
    }

    void duration()
    {
        QFETCH(QString, name);
        QFETCH(double, limit);
        Wave wave;
        if (!load(name, &wave))
            return;
        const double seconds = wave.durationSeconds();
        QVERIFY2(seconds > 0.2, qPrintable(QStringLiteral("only %1 s").arg(seconds)));
        QVERIFY2(seconds <= limit,
                 qPrintable(QStringLiteral("%1 s, more than %2 s").arg(seconds).arg(limit)));
    }

    void level_data()
    {
        if (!m_havePack)
            QSKIP(qPrintable(m_skipReason));
        addFileRows();
    }

    void level()
    {
        QFETCH(QString, name);
        Wave wave;
        if (!load(name, &wave))
            return;
        const QList<qint16> samples = wave.samples16();
        const double peak = peakDb(samples);
        const double rms = rmsDb(samples);
        QVERIFY2(peak >= kMinPeakDb && peak <= kMaxPeakDb,
                 qPrintable(QStringLiteral("peak %1 dBFS, outside %2 to %3")
                                .arg(peak, 0, 'f', 2).arg(kMinPeakDb).arg(kMaxPeakDb)));
        QVERIFY2(rms >= kMinRmsDb && rms <= kMaxRmsDb,
                 qPrintable(QStringLiteral("RMS %1 dBFS, outside %2 to %3")
                                .arg(rms, 0, 'f', 2).arg(kMinRmsDb).arg(kMaxRmsDb)));
    }

    void levelsAlike()
    {
        if (!m_havePack)
            QSKIP(qPrintable(m_skipReason));
        double lowest = 0, highest = -1000;
        QString quietest, loudest;
        for (const QString &name : packFileNames()) {
            Wave wave;
            if (!load(name, &wave))
                return;
            const double rms = rmsDb(wave.samples16());
            if (quietest.isEmpty() || rms < lowest) {
                lowest = rms;
                quietest = name;
            }
            if (loudest.isEmpty() || rms > highest) {
                highest = rms;
                loudest = name;
            }
        }
        QVERIFY2(highest - lowest <= kMaxRmsSpreadDb,
                 qPrintable(QStringLiteral("%1 at %2 dBFS against %3 at %4 dBFS")
                                .arg(loudest).arg(highest, 0, 'f', 2)
                                .arg(quietest).arg(lowest, 0, 'f', 2)));
    }
};

QTEST_GUILESS_MAIN(TestVoicePack)
#include "tst_voicepack.moc"
