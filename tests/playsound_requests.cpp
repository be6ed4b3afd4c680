// SPDX-License-Identifier: GPL-3.0-or-later
// Hands sound requests to the Windows player, in order: an argument "@N" runs the event loop for
// N ms, any other is a request, announced on a line of its own as it is made. Its last line
// tells how long the longest request held the caller; then the player goes and the program ends.
#include "services/playsoundplayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PlaySoundPlayer player;
    qint64 longest = 0;
    for (const QString &argument : QApplication::arguments().mid(1)) {
        if (argument.startsWith(u'@')) {
            QEventLoop loop;
            QTimer::singleShot(argument.mid(1).toInt(), &loop, &QEventLoop::quit);
            loop.exec();
            continue;
        }
        std::printf("request %s\n", qPrintable(argument));
        std::fflush(stdout);
        QElapsedTimer clock;
        clock.start();
        player.playWave(argument);
        longest = std::max(longest, clock.elapsed());
    }
    std::printf("longest request: %lld ms\n", longest);
    std::fflush(stdout);
    return 0;
}
