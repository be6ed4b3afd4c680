// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/journalfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr char kFileName[] = "journal.txt";
// Enough for any journal the program writes; reading stops there whatever the file holds.
constexpr qint64 kReadLimit = 4096;
// One write or removal, tried again while the file is held for a moment: 60 ms in all.
constexpr int kAttempts = 4;
constexpr std::chrono::milliseconds kBetweenAttempts {20};

// The first `limit` bytes of a regular file, or nothing. On Linux the file is opened without
// blocking and then looked at: opening a fifo to read would wait for a writer for ever. Windows has
// no such files at a plain path, so there a look at the path first is enough.
QByteArray readRegularFile(const QString &path, qint64 limit)
{
    QFile file;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
#else
    file.setFileName(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
#endif
    return file.read(limit);
}

} // namespace

// What the program's thread and the writer's thread share, under `mutex`.
struct JournalFile::Writer
{
    Writer(const QString &folder, const QString &path) : folder(folder), path(path) {}

    const QString folder;
    const QString path;

    std::mutex mutex;
    std::condition_variable changed;
    // What keep() last asked for, the empty text for no file.
    std::optional<QByteArray> asked;
    std::optional<QByteArray> pending;
    bool writing = false;
    bool failed = false;
    bool failureReported = false;
    bool stopping = false;
    bool stopped = false;

    void writeRequests();
    bool replaceFile(const QByteArray &bytes) const;
    bool removeFile() const;
    bool writeFile(const QByteArray &bytes) const;
};

JournalFile::JournalFile(const QString &folder)
    // With no folder, no file either: never one in the working folder.
    : m_path(folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1String(kFileName)))
{
    if (m_path.isEmpty())
        return;
    m_writer = std::make_shared<Writer>(folder, m_path);
    m_thread = std::thread([writer = m_writer] { writer->writeRequests(); });
}

// The last request is done first, unless the writer is stuck: then the program does not wait, or
// not again.
JournalFile::~JournalFile()
{
    if (!m_writer)
        return;
    std::unique_lock lock(m_writer->mutex);
    m_writer->stopping = true;
    m_writer->changed.notify_all();
    const auto longest = m_writerStuck ? std::chrono::milliseconds(0) : kLongestWriterWait;
    const bool ended = m_writer->changed.wait_for(lock, longest, [this] { return m_writer->stopped; });
    lock.unlock();
    if (ended)
        m_thread.join();
    else
        m_thread.detach();
}

QString JournalFile::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

std::optional<GameJournal> JournalFile::read()
{
    if (!m_writer)
        return std::nullopt;
    const QByteArray bytes = readRegularFile(m_path, kReadLimit);
    std::optional<GameJournal> journal = decodeJournal(bytes);
    const std::lock_guard lock(m_writer->mutex);
    if (journal && !m_writer->asked)
        m_writer->asked = bytes;
    return journal;
}

void JournalFile::keep(const std::optional<GameJournal> &journal)
{
    if (!m_writer)
        return;
    const QByteArray bytes = journal ? encodeJournal(*journal) : QByteArray();
    {
        const std::lock_guard lock(m_writer->mutex);
        if (m_writer->asked == bytes && !m_writer->failed)
            return;
        m_writer->asked = bytes;
        m_writer->failed = false;
        m_writer->pending = bytes;
    }
    m_writer->changed.notify_all();
}

bool JournalFile::flush(std::chrono::milliseconds longest)
{
    if (!m_writer)
        return true;
    std::unique_lock lock(m_writer->mutex);
    auto idle = [this] { return !m_writer->pending && !m_writer->writing; };
    if (longest == std::chrono::milliseconds::max()) {
        m_writer->changed.wait(lock, idle);
        return true;
    }
    m_writerStuck = !m_writer->changed.wait_for(lock, longest, idle);
    return !m_writerStuck;
}

// The writer's thread: takes the newest request, writes it with the lock released, and ends once
// asked to with nothing left to do.
void JournalFile::Writer::writeRequests()
{
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return pending || stopping; });
        if (!pending)
            break;
        const QByteArray bytes = *std::exchange(pending, std::nullopt);
        writing = true;
        lock.unlock();
        const bool done = replaceFile(bytes);
        lock.lock();
        writing = false;
        failed = !done;
        if (!done && !failureReported) {
            failureReported = true;
            qWarning("The game journal %s cannot be kept up to date; the game goes on without it.",
                     qPrintable(path));
        }
        changed.notify_all();
    }
    stopped = true;
    changed.notify_all();
}

// A file just replaced can be held open for a moment by someone else (on Windows a virus scanner
// or the indexer; under Wine the replacement itself, now and then): removing or replacing it then
// fails with a sharing violation and works a few milliseconds later. Each attempt is therefore
// made a few times before it counts as failed.
bool JournalFile::Writer::replaceFile(const QByteArray &bytes) const
{
    for (int attempt = 1;; ++attempt) {
        if (bytes.isEmpty() ? removeFile() : writeFile(bytes))
            return true;
        if (attempt == kAttempts)
            return false;
        std::this_thread::sleep_for(kBetweenAttempts);
    }
}

bool JournalFile::Writer::removeFile() const
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

// Unbuffered, every write reaches the temporary file at once and says whether it did. Buffered,
// a full disk would show only inside commit(), which then reports success and puts the empty
// file in the journal's place.
bool JournalFile::Writer::writeFile(const QByteArray &bytes) const
{
    QSaveFile file(path);
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && file.write(bytes) == bytes.size() && file.commit();
}
