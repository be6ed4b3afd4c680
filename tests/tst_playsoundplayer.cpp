// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/playsoundplayer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// Windows' own sound service takes whatever the host keeps in the caller's folder: each request
// returns at once, the hourglass is gone again afterwards, and nothing hangs at the end.
class TestPlaySoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.isValid()); QDir::setCurrent(m_folder.path()); }

    void everyFileReturnsAtOnce_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("header only") << waveHeader(0).left(30) << true;
        QTest::newRow("header claims 2 GB") << waveHeader(0x7ff00000) + QByteArray(1024, 'a') << true;
        QTest::newRow("random bytes") << QByteArray(4096, char(0xa5)) << true;
        QTest::newRow("good file") << waveHeader(8820) + QByteArray(8820, 0) << true;
    }

    void everyFileReturnsAtOnce()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, present);
        if (present) {
            QFile file(QStringLiteral("7.wav"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        {
            PlaySoundPlayer player;
            player.playWave(QStringLiteral("7.wav"));
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
            player.playWave(QStringLiteral("7.wav"));   // cuts off the first
            player.playWave(QString());
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        }
        QFile::remove(QStringLiteral("7.wav"));
    }

private:
    // A 16-bit mono 22050 Hz wave header announcing dataBytes of samples.
    static QByteArray waveHeader(quint32 dataBytes)
    {
        QByteArray header(44, 0);
        auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, header.data() + at); };
        auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, header.data() + at); };
        header.replace(0, 4, "RIFF");
        put32(4, 36 + dataBytes);
        header.replace(8, 8, "WAVEfmt ");
        put32(16, 16);
        put16(20, 1);
        put16(22, 1);
        put32(24, 22050);
        put32(28, 44100);
        put16(32, 2);
        put16(34, 16);
        header.replace(36, 4, "data");
        put32(40, dataBytes);
        return header;
    }

    QTemporaryDir m_folder;
};

QTEST_MAIN(TestPlaySoundPlayer)
#include "tst_playsoundplayer.moc"
