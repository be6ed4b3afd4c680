// SPDX-License-Identifier: GPL-3.0-or-later
// Plays wave files through the caller's own player, in order: an argument "@N" runs the event
// loop for N ms, any other is a request. Prints how many requests sounded the alert.
#include "services/soundeffectplayer.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int alerts = 0;
    SoundEffectPlayer player(nullptr, [&alerts] { ++alerts; });
    for (const QString &argument : QApplication::arguments().mid(1)) {
        if (!argument.startsWith(u'@')) {
            player.playWave(argument);
            continue;
        }
        QEventLoop loop;
        QTimer::singleShot(argument.mid(1).toInt(), &loop, &QEventLoop::quit);
        loop.exec();
    }
    std::printf("alerts: %d\n", alerts);
    return 0;
}
