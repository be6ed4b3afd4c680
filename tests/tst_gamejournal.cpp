// SPDX-License-Identifier: GPL-3.0-or-later
// The game journal's file: what the program writes is read back, every damaged form of it and
// anything but a regular file at its place is refused at once, which leaves a fresh game, and a
// write that fails leaves the last good journal. Games played, written, read back and carried on
// are checked in tst_gameinvariants.
#include "app/journalfile.h"
#include "smalldisk.h"

#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <numeric>
#include <utility>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// A game of the numbers 1 to n.
GameJournal calling(int n)
{
    GameJournal journal;
    journal.calls = QList<int>(n);
    std::iota(journal.calls.begin(), journal.calls.end(), 1);
    return journal;
}

#ifdef Q_OS_LINUX
bool setInodeFlag(const QString &path, int flag, bool on)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    int flags = 0;
    const bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0
        && ::ioctl(fd, FS_IOC_SETFLAGS, (flags = on ? flags | flag : flags & ~flag, &flags)) == 0;
    ::close(fd);
    return done;
}
#endif

// An append-only folder takes new files but lets none be renamed over: QSaveFile's commit fails.
bool setAppendOnly(const QString &folder, bool on)
{
#ifdef Q_OS_LINUX
    return setInodeFlag(folder, FS_APPEND_FL, on);
#else
    Q_UNUSED(folder);
    Q_UNUSED(on);
    return false;
#endif
}

// Holds a file so that it cannot be removed, and returns what lets it go: on Linux it is made
// immutable, which root cannot get round either; on Windows it is held open, as a virus scanner
// holds it. Nothing where it cannot be held.
std::function<void()> hold(const QString &path)
{
#ifdef Q_OS_LINUX
    if (setInodeFlag(path, FS_IMMUTABLE_FL, true))
        return [path] { setInodeFlag(path, FS_IMMUTABLE_FL, false); };
#else
    if (auto file = std::make_shared<QFile>(path); file->open(QIODevice::ReadOnly))
        return [file] { file->close(); };
#endif
    return {};
}

} // namespace

Q_DECLARE_METATYPE(JournalFile::Outcome)

class TestGameJournal : public QObject
{
    Q_OBJECT

    const QByteArray m_written = "bingo-caller journal 2\ncount 3\nlast 42\nbanner 42\nspeed 5000\ncolour Blue\n"
                                 "start pause\nsound on\ncalls 7 12 42\n";

private slots:
    void damagedJournalIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        auto edited = [this](const char *from, const char *to) { return QByteArray(m_written).replace(from, to); };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << m_written.chopped(3);
        QTest::newRow("later version") << edited("journal 2", "journal 3");
        QTest::newRow("count disagrees") << edited("count 3", "count 4");
        QTest::newRow("banner shows another number") << edited("banner 42", "banner 12");
        QTest::newRow("Bingo! with no card full") << edited("banner 42", "banner Bingo!");
        QTest::newRow("number repeated") << edited("7 12 42", "7 42 42");
        QTest::newRow("number 91") << edited("calls 7", "calls 91");
        QTest::newRow("all 90 numbers") << encodeJournal(calling(90));
        QTest::newRow("leading zero") << edited("calls 7", "calls 07");
        QTest::newRow("unknown colour") << edited("Blue", "Pink");
        QTest::newRow("unknown start button") << edited("start pause", "start press");
        QTest::newRow("unreadable bytes") << QByteArray("\xff\xfe\0\x01journal", 11);
        QTest::newRow("a folder") << QByteArray();
#ifdef Q_OS_LINUX
        // Opened to read as a plain file is, a fifo waits for a writer for ever: the test would
        // hang until QTEST_FUNCTION_TIMEOUT ends it.
        QTest::newRow("a fifo") << QByteArray();
#endif
    }

    // Each is put at the journal's place and read as the program reads it.
    void damagedJournalIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        JournalFile file(folder.path());
        write(file.path(), m_written);
        QVERIFY(file.read());
        QVERIFY(QFile::remove(file.path()));
        const QByteArray place = QTest::currentDataTag();
        if (place == "a folder")
            QVERIFY(QDir().mkdir(file.path()));
#ifdef Q_OS_LINUX
        else if (place == "a fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(file.path()).constData(), 0600), 0);
#endif
        else
            write(file.path(), bytes);
        QVERIFY(!file.read());
    }

    // Once writing works again, the next request is written, even of the journal that failed
    // last (a change of the game that leaves the journal as it was, such as a pause, asks for it
    // again); a journal already written is not written again, so an edit by hand stays until the
    // game changes.
    void failedWriteLeavesTheLastGoodJournal_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<int>("next");
        QTest::newRow("full disk, then a change") << true << 6;
        QTest::newRow("full disk, then the journal that failed") << true << 5;
        QTest::newRow("rename refused, then a change") << false << 6;
        QTest::newRow("rename refused, then the journal that failed") << false << 5;
    }

    void failedWriteLeavesTheLastGoodJournal()
    {
        QFETCH(bool, diskFull);
        QFETCH(int, next);
        SmallDisk disk;
        if (!disk.isMounted())
            QSKIP("Mounting a small tmpfs to fill needs root on Linux");
        JournalFile file(disk.path());
        file.keep(calling(3));
        file.flush();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be kept up to date")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        QVERIFY(diskFull ? disk.fill() : setAppendOnly(disk.path(), true));
        for (int n : {4, 5}) {
            file.keep(calling(n));
            file.flush();
            QCOMPARE(contents(file.path()), encodeJournal(calling(3)));
        }
        QVERIFY(diskFull ? disk.makeRoom() : setAppendOnly(disk.path(), false));
        file.keep(calling(next));
        file.flush();
        QCOMPARE(contents(file.path()), encodeJournal(calling(next)));

        write(file.path(), "edited by hand");
        file.keep(calling(next));
        file.flush();
        QCOMPARE(contents(file.path()), QByteArray("edited by hand"));
    }

    // A game the host ended is never offered again, even when its journal cannot be removed at
    // once: a mark beside it says that it has ended, and the next start takes both away once it
    // can. A game the program did not end (a crash, a kill) is offered; so is an ended one that
    // could be neither removed nor marked, and the end says so.
    void endedGameIsNeverOfferedAgain_data()
    {
        QTest::addColumn<bool>("ended");
        QTest::addColumn<bool>("held");
        QTest::addColumn<JournalFile::Outcome>("outcome");
        QTest::newRow("killed") << false << false << JournalFile::Outcome::Done;
        QTest::newRow("ended") << true << false << JournalFile::Outcome::Done;
        QTest::newRow("ended, the journal held") << true << true << JournalFile::Outcome::Done;
        QTest::newRow("ended, the journal held, no room for a mark") << true << true << JournalFile::Outcome::Failed;
    }

    void endedGameIsNeverOfferedAgain()
    {
        QFETCH(bool, ended);
        QFETCH(bool, held);
        QFETCH(JournalFile::Outcome, outcome);
        QTemporaryDir folder;
        std::function<void()> letGo;
        const auto atEnd = qScopeGuard([&] {
            if (letGo)
                letGo();
        });
        {
            JournalFile file(folder.path());
            file.keep(calling(3));
            QCOMPARE(file.flush(), JournalFile::Outcome::Done);
            if (held && !(letGo = hold(file.path())))
                QSKIP("Making a file immutable needs root and a filesystem that allows it");
            // A folder at the mark's place leaves no room for it.
            if (outcome == JournalFile::Outcome::Failed) {
                QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("journal.ended")));
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be kept up to date")));
            }
            if (ended) {
                file.remove();
                QCOMPARE(file.flush(), outcome);
            }
        }
        JournalFile next(folder.path());
        QCOMPARE(next.read().has_value(), !ended || outcome == JournalFile::Outcome::Failed);
        if (letGo)
            std::exchange(letGo, nullptr)();
        next.remove();
        QCOMPARE(next.flush(), JournalFile::Outcome::Done);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestGameJournal)
#include "tst_gamejournal.moc"
