// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/journalfile.h"
#include "app/windowshell.h"
#include "engine/randomsource.h"
#include "services/desktopservices.h"
#include "services/systemwaveplayer.h"

#include <QApplication>

// The program starts with the splash window and ends when the farewell window has gone, or at
// once when the main window is closed with its close box. Its exit status is always 0. Any other
// end leaves the game's journal behind, and the next start offers to carry on with it.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Bingo"));

    SystemWavePlayer sound;
    ClockSeededRandom random;
    JournalFile journal;
    MessageBoxQuestion question;
    WindowShell shell(sound, random);
    shell.keepJournal(journal, question);
    shell.start();
    return app.exec();
}
