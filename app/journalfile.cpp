// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/journalfile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr char kFileName[] = "journal.txt";
// Enough for any journal the program writes; reading stops there whatever the file holds.
constexpr qint64 kReadLimit = 4096;

} // namespace

JournalFile::JournalFile(const QString &folder)
    : m_folder(folder)
    // With no folder, no file either: never one in the working folder.
    , m_path(folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1String(kFileName)))
{
    if (!m_path.isEmpty())
        m_writer = std::thread(&JournalFile::writeRequests, this);
}

JournalFile::~JournalFile()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

QString JournalFile::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

std::optional<GameJournal> JournalFile::read() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeJournal(file.read(kReadLimit));
}

void JournalFile::keep(const std::optional<GameJournal> &journal)
{
    const QByteArray bytes = journal ? encodeJournal(*journal) : QByteArray();
    if (m_path.isEmpty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        if (m_asked == bytes && !m_failed)
            return;
        m_asked = bytes;
        m_failed = false;
        m_pending = bytes;
    }
    m_changed.notify_all();
}

void JournalFile::flush()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pending && !m_writing; });
}

// The writer thread: takes the newest request, writes it with the lock released, and ends once
// asked to with nothing left to do.
void JournalFile::writeRequests()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            return;
        const QByteArray bytes = *std::exchange(m_pending, std::nullopt);
        m_writing = true;
        lock.unlock();
        const bool done = replaceFile(bytes);
        lock.lock();
        m_writing = false;
        m_failed = !done;
        if (!done && !m_failureReported) {
            m_failureReported = true;
            qWarning("The game journal %s cannot be kept up to date; the game goes on without it.",
                     qPrintable(m_path));
        }
        m_changed.notify_all();
    }
}

bool JournalFile::replaceFile(const QByteArray &bytes) const
{
    if (bytes.isEmpty())
        return !QFile::exists(m_path) || QFile::remove(m_path);
    QSaveFile file(m_path);
    return QDir().mkpath(m_folder) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && file.commit();
}
