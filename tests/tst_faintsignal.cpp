// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/faintsignal.h"

#include <QtTest>

// The signal keeping an output awake reaches the device as the smallest step its format holds,
// up and down, whatever format the device mixes in: never zeros, never loud.
class TestFaintSignal : public QObject
{
    Q_OBJECT

private slots:
    void eachFormatHoldsTheStep_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<QByteArray>("up");
        QTest::addColumn<QByteArray>("down");
        const float step = 1.0f / 32768.0f;
        QTest::newRow("float") << 4 << true << bytesOf(step) << bytesOf(-step);
        QTest::newRow("8-bit, unsigned") << 1 << false << QByteArray("\x81", 1) << QByteArray("\x7f", 1);
        QTest::newRow("16-bit") << 2 << false << QByteArray("\x01\x00", 2) << QByteArray("\xff\xff", 2);
        QTest::newRow("24-bit") << 3 << false << QByteArray("\x00\x01\x00", 3) << QByteArray("\x00\xff\xff", 3);
        QTest::newRow("32-bit") << 4 << false << QByteArray("\x00\x00\x01\x00", 4)
                                << QByteArray("\x00\x00\xff\xff", 4);
    }

    void eachFormatHoldsTheStep()
    {
        QFETCH(int, bytes);
        QFETCH(bool, isFloat);
        QFETCH(QByteArray, up);
        QFETCH(QByteArray, down);
        // A whole period, with a guard byte after each sample that nothing may touch.
        QByteArray written(int(FaintSignal::kPeriod) * (bytes + 1), '\x5a');
        for (int n = 0; n < FaintSignal::kPeriod; ++n)
            FaintSignal::write(reinterpret_cast<unsigned char *>(written.data()) + n * (bytes + 1), bytes, isFloat,
                               FaintSignal::sample(n));
        for (int n = 0; n < FaintSignal::kPeriod; ++n) {
            const QByteArray expected = (n < FaintSignal::kPeriod / 2 ? up : down) + '\x5a';
            QCOMPARE(written.mid(n * (bytes + 1), bytes + 1).toHex(' '), expected.toHex(' '));
        }
    }

private:
    static QByteArray bytesOf(float value)
    {
        return QByteArray(reinterpret_cast<const char *>(&value), sizeof value);
    }
};

QTEST_APPLESS_MAIN(TestFaintSignal)
#include "tst_faintsignal.moc"
