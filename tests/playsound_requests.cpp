// SPDX-License-Identifier: GPL-3.0-or-later
// Hands sound requests to the Windows player, in order: an argument "@N" runs the event loop for
// N ms, "+awake" and "-awake" keep the output awake or let it sleep, as the start and the pause
// of calling do, any other is a request; each is announced on a line of its own as it is made,
// the awake switches with the time by the clock. Its last line tells how long the longest
// request held the caller; then the player goes and the program ends.
#include "services/playsoundplayer.h"

#include <QApplication>
#include <QDateTime>
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
        const bool awakeSwitch = argument == u"+awake" || argument == u"-awake";
        if (awakeSwitch)
            std::printf("%s at %lld ms\n", qPrintable(argument), QDateTime::currentMSecsSinceEpoch());
        else
            std::printf("request %s\n", qPrintable(argument));
        std::fflush(stdout);
        QElapsedTimer clock;
        clock.start();
        if (awakeSwitch)
            player.keepOutputAwake(argument.front() == u'+');
        else
            player.playWave(argument);
        longest = std::max(longest, clock.elapsed());
    }
    std::printf("longest request: %lld ms\n", longest);
    std::fflush(stdout);
    return 0;
}
