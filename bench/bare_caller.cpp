// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the caller's tick: a bare Qt program that does what a tick shows and plays
// and nothing else. Every interval it shows a new number in a 260-point banner and plays that
// number's wave file from the working folder with one QSoundEffect. It prints the processor time
// a tick costs, for the whole process and for its main thread.
//   bare_caller TICKS INTERVAL_MS
#include "processcpu.h"

#include <QApplication>
#include <QLabel>
#include <QRandomGenerator>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <numeric>
#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int ticks = QApplication::arguments().value(1, QStringLiteral("20")).toInt();
    const int interval = QApplication::arguments().value(2, QStringLiteral("2500")).toInt();

    QLabel banner;
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(260);
    banner.setFont(font);
    banner.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    banner.setWordWrap(true);
    banner.resize(377, 361);
    banner.show();

    std::vector<int> numbers(90);
    std::iota(numbers.begin(), numbers.end(), 1);
    std::shuffle(numbers.begin(), numbers.end(), *QRandomGenerator::global());

    QSoundEffect sound;
    int done = 0;
    double startProcess = 0;
    double startMain = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        // The first tick, which sets the sound up, is not counted.
        if (done == 1) {
            startProcess = cpuMilliseconds();
            startMain = cpuMilliseconds(RUSAGE_THREAD);
        }
        if (done == ticks + 1) {
            std::printf("bare Qt program, QSoundEffect:  %6.2f ms a tick (main thread %5.2f ms)\n",
                        (cpuMilliseconds() - startProcess) / ticks, (cpuMilliseconds(RUSAGE_THREAD) - startMain) / ticks);
            app.quit();
            return;
        }
        const int n = numbers[size_t(done++ % 90)];
        banner.setText(QString::number(n));
        sound.setSource(QUrl::fromLocalFile(QStringLiteral("%1.wav").arg(n)));
        sound.play();
    });
    timer.start(interval);
    return app.exec();
}
