// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/playsoundplayer.h"

#include <QCursor>
#include <QGuiApplication>

#include <windows.h>
#include <mmsystem.h>

PlaySoundPlayer::~PlaySoundPlayer()
{
    // A sound still playing from a program that has ended would be cut off by Windows anyway;
    // stopping it here keeps the end of the program quiet and immediate.
    PlaySoundW(nullptr, nullptr, 0);
}

void PlaySoundPlayer::playWave(const QString &name)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // An empty name would make Windows play its default sound; a silenced entry plays nothing.
    if (!name.isEmpty())
        PlaySoundW(reinterpret_cast<LPCWSTR>(name.utf16()), nullptr, SND_FILENAME | SND_ASYNC);
    QGuiApplication::restoreOverrideCursor();
}
