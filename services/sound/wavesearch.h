// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Where a sound's plain name is looked for, in order: the working folder, then the program's own
// folder (a build), then the voice folder installed beside it (share/bingo-caller/voice), so that
// the caller started from anywhere still finds its voice.
QStringList waveFolders();

// The absolute path of the first regular file called `name` in `folders`; empty if none.
QString findWaveFile(const QString &name, const QStringList &folders);
