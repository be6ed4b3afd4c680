// SPDX-License-Identifier: GPL-3.0-or-later
// Plays wave files through the caller's own player, in order: an argument "@N" runs the event
// loop for N ms, "?PATH" runs it until the file PATH exists (20 s at most), "+awake" and "-awake"
// keep the output awake or let it sleep, as the start and the pause of calling do, any other is a
// request. Prints when it kept the output awake or let it sleep and when a file it waited for
// came, by the clock, and how many requests sounded the alert.
//   play_waves [--random COUNT SEED NAME... --] ARGUMENT...
// With --random, COUNT requests for names drawn at random from those given come first, each
// after a random gap of 0 to 50 ms; most gaps are short, as a host's clicks come in bursts.
#include "services/sound/pulsewaveplayer.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace {

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void request(WavePlayer &player, const QString &argument)
{
    if (argument == u"+awake" || argument == u"-awake")
        player.keepOutputAwake(argument.front() == u'+');
    else
        player.playWave(argument);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int alerts = 0;
    PulseWavePlayer player(nullptr, [&alerts] { ++alerts; });
    QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.value(0) == u"--random") {
        const int count = arguments.value(1).toInt();
        QRandomGenerator random(arguments.value(2).toUInt());
        const qsizetype end = arguments.indexOf(QStringLiteral("--"));
        const QStringList names = arguments.mid(3, end - 3);
        arguments = arguments.mid(end + 1);
        for (int i = 0; i < count; ++i) {
            request(player, names.at(random.bounded(int(names.size()))));
            runEventsFor(int(50 * std::pow(random.generateDouble(), 3)));
        }
    }
    for (const QString &argument : arguments) {
        if (argument.startsWith(u'@'))
            runEventsFor(argument.mid(1).toInt());
        else if (argument.startsWith(u'?'))
            for (int waited = 0; waited < 20'000 && !QFile::exists(argument.mid(1)); waited += 50)
                runEventsFor(50);
        else
            request(player, argument);
        if (argument.endsWith(u"awake") || argument.startsWith(u'?'))
            std::printf("%s at %lld ms\n", qPrintable(argument), QDateTime::currentMSecsSinceEpoch());
    }
    std::printf("alerts: %d\n", alerts);
    return 0;
}
