// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowshell.h"
#include "engine/randomsource.h"
#include "services/systemwaveplayer.h"

#include <QApplication>

// The program starts with the splash window and ends when the farewell window has gone, or at
// once when the main window is closed with its close box. Its exit status is always 0.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Bingo"));

    SystemWavePlayer sound;
    ClockSeededRandom random;
    WindowShell shell(sound, random);
    shell.start();
    return app.exec();
}
