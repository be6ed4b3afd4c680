// SPDX-License-Identifier: GPL-3.0-or-later
// The sound back end: names resolve in the working folder, missing files sound the alert,
// and the hourglass pointer is shown only for the instant of the request.
#include "services/soundeffectplayer.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A short, valid 16-bit PCM wave file of silence.
void writeWave(const QString &path)
{
    QByteArray data;
    const quint32 samples = 2205;
    const quint32 dataBytes = samples * 2;
    auto put32 = [&data](quint32 v) { for (int i = 0; i < 4; ++i) data.append(char((v >> (8 * i)) & 0xFF)); };
    auto put16 = [&data](quint16 v) { data.append(char(v & 0xFF)); data.append(char(v >> 8)); };
    data.append("RIFF");
    put32(36 + dataBytes);
    data.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(22050);
    put32(44100);
    put16(2);
    put16(16);
    data.append("data");
    put32(dataBytes);
    data.append(QByteArray(int(dataBytes), '\0'));
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
        writeWave(m_folder.filePath(QStringLiteral("7.wav")));
    }
    void cleanupTestCase() { QDir::setCurrent(m_previous); }

    void requests_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("alerts");
        QTest::newRow("a file in the working folder plays") << QStringLiteral("7.wav") << 0;
        QTest::newRow("an empty name plays nothing") << QString() << 0;
        QTest::newRow("a missing file sounds the alert") << QStringLiteral("17.wav") << 1;
        QTest::newRow("a folder is no wave file") << QStringLiteral(".") << 1;
    }

    void requests()
    {
        QFETCH(QString, name);
        QFETCH(int, alerts);
        int alerted = 0;
        Qt::CursorShape pointerDuringRequest = Qt::ArrowCursor;
        SoundEffectPlayer player(nullptr, [&] {
            ++alerted;
            if (const QCursor *cursor = QGuiApplication::overrideCursor())
                pointerDuringRequest = cursor->shape();
        });
        player.playWave(name);
        QCOMPARE(alerted, alerts);
        if (alerts > 0)
            QCOMPARE(pointerDuringRequest, Qt::WaitCursor);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    // Without an audio device the requests go on being accepted, and none blocks.
    void manyRequestsInARowNeverLeaveTheHourglass()
    {
        int alerted = 0;
        SoundEffectPlayer player(nullptr, [&] { ++alerted; });
        // The audio back end may say once that it found no sound server; after that, calls stay quiet.
        player.playWave(QStringLiteral("7.wav"));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        for (int i = 0; i < 500; ++i)
            player.playWave(i % 2 ? QStringLiteral("7.wav") : QStringLiteral("missing.wav"));
        QCoreApplication::processEvents();
        QCOMPARE(alerted, 250);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

private:
    QTemporaryDir m_folder;
    QString m_previous;
};

QTEST_MAIN(TestSoundEffectPlayer)
#include "tst_soundeffectplayer.moc"
