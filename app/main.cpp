// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/randomsource.h"
#include "services/soundeffectplayer.h"
#include "ui/bingowindow.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Bingo"));

    SoundEffectPlayer sound;
    ClockSeededRandom random;
    BingoWindow window(sound, random);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    return app.exec();
}
