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
constexpr char kEndedName[] = "journal.ended";
// Enough for any journal the program writes; reading stops there whatever the file holds.
constexpr qint64 kReadLimit = 4096;
// One write or removal, tried again while the file is held for a moment: 60 ms in all.
constexpr int kAttempts = 4;
constexpr std::chrono::milliseconds kBetweenAttempts {20};

// A file just replaced can be held open for a moment by someone else (on Windows a virus scanner
// or the indexer; under Wine the replacement itself, now and then): removing or replacing it then
// fails with a sharing violation and works a few milliseconds later. Each attempt is therefore
// made a few times before it counts as failed.
template <typename Attempt>
bool attemptAFewTimes(Attempt attempt)
{
    for (int made = 1;; ++made) {
        if (attempt())
            return true;
        if (made == kAttempts)
            return false;
        std::this_thread::sleep_for(kBetweenAttempts);
    }
}

bool removeFile(const QString &path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

// Unbuffered, every write reaches the temporary file at once and says whether it did. Buffered,
// a full disk would show only inside commit(), which then reports success and puts the empty
// file in the old one's place.
bool writeFile(const QString &folder, const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && file.write(bytes) == bytes.size() && file.commit();
}

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
    Writer(const QString &folder, const QString &path, const QString &endedPath)
        : folder(folder), path(path), endedPath(endedPath) {}

    const QString folder;
    const QString path;
    const QString endedPath;

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
    // The writer's thread's own: a mark may be there, left by this run or an earlier one.
    bool markMayBeLeft = true;

    void writeRequests();
    bool writeJournal(const QByteArray &bytes);
    bool endGame();
    void removeMark();
};

JournalFile::JournalFile(const QString &folder)
    // With no folder, no file either: never one in the working folder.
    : m_path(folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1String(kFileName)))
    , m_endedPath(folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1String(kEndedName)))
{
    if (m_path.isEmpty())
        return;
    m_writer = std::make_shared<Writer>(folder, m_path, m_endedPath);
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
    if (journal && readRegularFile(m_endedPath, kReadLimit) == bytes)
        journal.reset();
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

JournalFile::Outcome JournalFile::flush(std::chrono::milliseconds longest)
{
    if (!m_writer)
        return Outcome::Done;
    std::unique_lock lock(m_writer->mutex);
    auto idle = [this] { return !m_writer->pending && !m_writer->writing; };
    if (longest == std::chrono::milliseconds::max()) {
        m_writer->changed.wait(lock, idle);
        m_writerStuck = false;
    } else {
        m_writerStuck = !m_writer->changed.wait_for(lock, longest, idle);
    }
    if (m_writerStuck)
        return Outcome::Busy;
    return m_writer->failed ? Outcome::Failed : Outcome::Done;
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
        const bool done = bytes.isEmpty() ? endGame() : writeJournal(bytes);
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

// A mark left beside an earlier game goes once a later game's journal is written: were that game
// to come to exactly the same bytes, the mark would call it ended.
bool JournalFile::Writer::writeJournal(const QByteArray &bytes)
{
    if (!attemptAFewTimes([&] { return writeFile(folder, path, bytes); }))
        return false;
    removeMark();
    return true;
}

// Done when no start can offer the game any more: the journal is gone, or the mark beside it
// holds its bytes. A file there that is no journal of ours is never offered anyway.
bool JournalFile::Writer::endGame()
{
    if (attemptAFewTimes([&] { return removeFile(path); })) {
        removeMark();
        return true;
    }
    // A file that is not one of ours is never offered; one that cannot be read may be later.
    const QByteArray left = readRegularFile(path, kReadLimit);
    if (!decodeJournal(left))
        return !left.isEmpty() || !QFileInfo(path).isFile();
    if (readRegularFile(endedPath, kReadLimit) == left)
        return true;
    markMayBeLeft = true;
    return attemptAFewTimes([&] { return writeFile(folder, endedPath, left); });
}

void JournalFile::Writer::removeMark()
{
    if (markMayBeLeft)
        markMayBeLeft = !removeFile(endedPath);
}
