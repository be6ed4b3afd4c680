// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>

// Where a sound's plain name is looked for, in order: the working folder, then the program's own
// folder (a build, or the Windows program folder), then the plain voice folder installed beside
// it (share/bingo-caller/voice/plain), so that the caller started from anywhere still finds its
// voice, and one started in a folder of number calls alone still finds the cues.
QStringList waveFolders();

// The first regular file called `name` in `folders`; an empty file info if there is none.
QFileInfo findWaveFile(const QString &name, const QStringList &folders);
