// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

// A filesystem of 64 KiB of the test's own, to be filled for real: a tmpfs mounted on a
// temporary folder. Mounting needs root on Linux; elsewhere isMounted() says no.
class SmallDisk
{
public:
#ifdef Q_OS_LINUX
    SmallDisk() { m_mounted = ::mount("tmpfs", where().constData(), "tmpfs", 0, "size=64k") == 0; }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(where().constData(), MNT_DETACH);
    }
#endif

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }

    // Writes one file until no byte more fits.
    bool fill()
    {
        QFile filler(fillerPath());
        const QByteArray more(128 * 1024, 'x');
        return filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && filler.write(more) < more.size();
    }
    bool makeRoom() { return QFile::remove(fillerPath()); }

private:
    QByteArray where() const { return QFile::encodeName(m_folder.path()); }
    QString fillerPath() const { return m_folder.filePath(QStringLiteral("filler")); }

    QTemporaryDir m_folder;
    bool m_mounted = false;
};
