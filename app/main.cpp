// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/caller.h"
#include "app/solecaller.h"
#include "engine/randomsource.h"
#include "services/desktopservices.h"
#include "services/systemscreenkeeper.h"
#include "services/systemwaveplayer.h"

#include <QApplication>

// The program starts with the splash window and ends when the farewell window has gone, or at
// once when the main window is closed with its close box. Its exit status is always 0. Any other
// end leaves the game's journal behind, and the next start offers to carry on with it. A start
// while the user's caller runs brings that caller to the front and ends at once.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Bingo"));

    SoleCaller sole(JournalFile::defaultFolder());
    if (!sole.claim())
        return 0;
    SystemWavePlayer sound;
    SystemScreenKeeper screen;
    ClockSeededRandom random;
    MessageBoxQuestion question;
    Caller caller(sole, sound, screen, random, question);
    caller.shell().start();
    return app.exec();
}
