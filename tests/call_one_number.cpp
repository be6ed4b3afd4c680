// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the main window without sound and, as soon as a screen reader is connected, starts calling
// and runs one tick, then prints the number the banner shows. Ends when its input ends,
// so that a screen reader has the time it needs to read the announcement: what it heard is for
// announcement_heard.sh to judge.
#include "engine/startcontrol.h"
#include "fakes.h"
#include "ui/bingowindow.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    RecordingWavePlayer silent;
    ScriptedRandom random; // seeded: the same number every run
    BingoWindow window(silent, random);
    window.show();

    // A tick comes long after a screen reader has connected: call only once it has.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        if (!QAccessible::isActive())
            return;
        poll.stop();
        // The start button's handler, but not its announcement: the tick's is the only one.
        window.run([&silent](BingoState &state) { Command5_Click(state, silent); });
        window.Timer1_Timer();
        window.callingTimer().stop(); // one number only
        std::printf("%s\n", qPrintable(window.findChild<QLabel *>(QStringLiteral("Label1"))->text()));
        std::fflush(stdout);
    });
    poll.start(20);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&app] {
        char byte;
        if (read(STDIN_FILENO, &byte, 1) <= 0)
            app.quit();
    });
    return app.exec();
}
