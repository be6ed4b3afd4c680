// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/wavesearch.h"

#include <QCoreApplication>
#include <QDir>

QStringList waveFolders()
{
    const QString program = QCoreApplication::applicationDirPath();
    return {QDir::currentPath(), program, program + QStringLiteral("/../share/bingo-caller/voice/plain")};
}

QFileInfo findWaveFile(const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QFileInfo file(QDir(folder), name);
        if (file.isFile())
            return file;
    }
    return {};
}
