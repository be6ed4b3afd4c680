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
    SmallDisk()
    {
#ifdef Q_OS_LINUX
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0, "size=64k") == 0;
#endif
    }
    ~SmallDisk()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
#endif
    }

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }

    // Writes one file until no byte more fits.
    void fill()
    {
        QFile filler(fillerPath());
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    void makeRoom() { QFile::remove(fillerPath()); }

private:
    QString fillerPath() const { return m_folder.filePath(QStringLiteral("filler")); }

    QTemporaryDir m_folder;
    bool m_mounted = false;
};
