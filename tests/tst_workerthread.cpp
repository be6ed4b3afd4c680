// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/workerthread.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <semaphore>

// A thread of an object's own ends before its owner is gone, unless it is stuck, and then the
// owner is held up no longer than the longest wait.
class TestWorkerThread : public QObject
{
    Q_OBJECT

private slots:
    void itsOwnerWaitsForItsEnd()
    {
        std::atomic<bool> told = false, ended = false;
        {
            WorkerThread thread([&] {
                while (!told)
                    QThread::msleep(1);
                QThread::msleep(200); // letting go of what it holds
                ended = true;
            });
            told = true;
        }
        QVERIFY(ended);
    }

    void aStuckOneHoldsItsOwnerUpNoLongerThanTheLongestWait()
    {
        auto stuck = std::make_shared<std::binary_semaphore>(0);
        QElapsedTimer clock;
        clock.start();
        { WorkerThread thread([stuck] { stuck->acquire(); }); }
        const qint64 held = clock.elapsed();
        stuck->release(); // lets the thread left behind end before the test does
        QVERIFY2(held >= WorkerThread::kLongestWait.count() && held < 2 * WorkerThread::kLongestWait.count(),
                 qPrintable(QStringLiteral("held up %1 ms").arg(held)));
        QThread::msleep(50);
    }
};

QTEST_APPLESS_MAIN(TestWorkerThread)
#include "tst_workerthread.moc"
