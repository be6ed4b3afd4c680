// SPDX-License-Identifier: GPL-3.0-or-later
// The game journal's file: what the program writes is read back, every damaged form of it and
// anything but a regular file at its place is refused at once, which leaves a fresh game, and a
// write that fails leaves the last good journal. Games played, written, read back and carried on
// are checked in tst_gameinvariants.
#include "app/journalfile.h"
#include "smalldisk.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

#ifdef Q_OS_LINUX
#include <atomic>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

namespace {

enum class AtPath { File, Fifo, Folder };
enum class Failure { FullDisk, RenameRefused };

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
// An append-only folder takes new files but lets none be renamed over: QSaveFile's commit fails.
bool setAppendOnly(const QString &folder, bool on)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0
        && ::ioctl(fd, FS_IOC_SETFLAGS, (flags = on ? flags | FS_APPEND_FL : flags & ~FS_APPEND_FL, &flags)) == 0;
    ::close(fd);
    return done;
}
#endif

} // namespace

Q_DECLARE_METATYPE(AtPath)
Q_DECLARE_METATYPE(Failure)

class TestGameJournal : public QObject
{
    Q_OBJECT

    const QByteArray m_written = "bingo-caller journal 1\ncount 3\nlast 42\nbanner 42\nspeed 5000\ncolour Blue\n"
                                 "sound on\ncalls 7 12 42\n";

private slots:
    void damagedJournalIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<AtPath>("atPath");
        auto edited = [this](const char *from, const char *to) { return QByteArray(m_written).replace(from, to); };
        QTest::newRow("empty") << QByteArray() << AtPath::File;
        QTest::newRow("cut short") << m_written.chopped(3) << AtPath::File;
        QTest::newRow("later version") << edited("journal 1", "journal 2") << AtPath::File;
        QTest::newRow("count disagrees") << edited("count 3", "count 4") << AtPath::File;
        QTest::newRow("banner shows another number") << edited("banner 42", "banner 12") << AtPath::File;
        QTest::newRow("Bingo! with no card full") << edited("banner 42", "banner Bingo!") << AtPath::File;
        QTest::newRow("number repeated") << edited("7 12 42", "7 42 42") << AtPath::File;
        QTest::newRow("number 91") << edited("calls 7", "calls 91") << AtPath::File;
        QTest::newRow("all 90 numbers") << encodeJournal(calling(90)) << AtPath::File;
        QTest::newRow("leading zero") << edited("calls 7", "calls 07") << AtPath::File;
        QTest::newRow("unknown colour") << edited("Blue", "Pink") << AtPath::File;
        QTest::newRow("unreadable bytes") << QByteArray("\xff\xfe\0\x01journal", 11) << AtPath::File;
        QTest::newRow("a folder") << QByteArray() << AtPath::Folder;
#ifdef Q_OS_LINUX
        QTest::newRow("a fifo") << QByteArray() << AtPath::Fifo;
#endif
    }

    void damagedJournalIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(AtPath, atPath);
        QTemporaryDir folder;
        JournalFile file(folder.path());
        write(file.path(), m_written);
        QVERIFY(file.read());
        QVERIFY(QFile::remove(file.path()));
        if (atPath == AtPath::File)
            write(file.path(), bytes);
        if (atPath == AtPath::Folder)
            QVERIFY(QDir().mkdir(file.path()));
        if (atPath != AtPath::Fifo) {
            QVERIFY(!file.read());
            return;
        }
#ifdef Q_OS_LINUX
        // A reader that waits on the fifo for a writer gets one after three seconds, so that the
        // test fails rather than hangs.
        const QByteArray fifo = QFile::encodeName(file.path());
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        std::atomic<bool> returned = false;
        bool waited = false;
        std::thread writer([&] {
            for (int i = 0; i < 300 && !returned; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            const int fd = returned ? -1 : ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            waited = fd >= 0;
            ::close(fd);
        });
        const bool refused = !file.read();
        returned = true;
        writer.join();
        QVERIFY2(!waited, "reading the journal waited for a writer on the fifo");
        QVERIFY(refused);
#endif
    }

    // Once writing works again, the next change is written; a journal already written is not
    // written again, so an edit by hand stays until the game changes.
    void failedWriteLeavesTheLastGoodJournal_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::newRow("full disk") << Failure::FullDisk;
        QTest::newRow("rename refused") << Failure::RenameRefused;
    }

    void failedWriteLeavesTheLastGoodJournal()
    {
        QFETCH(Failure, failure);
        SmallDisk disk;
        if (!disk.isMounted())
            QSKIP("Mounting a small tmpfs to fill needs root on Linux");
#ifdef Q_OS_LINUX
        JournalFile file(disk.path());
        file.keep(calling(3));
        file.flush();
        const QByteArray good = contents(file.path());
        QCOMPARE(good, encodeJournal(calling(3)));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be kept up to date")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        if (failure == Failure::FullDisk)
            disk.fill();
        else
            QVERIFY(setAppendOnly(disk.path(), true));
        for (int n : {4, 5}) {
            file.keep(calling(n));
            file.flush();
            QCOMPARE(contents(file.path()), good);
        }
        if (failure == Failure::FullDisk)
            disk.makeRoom();
        else
            QVERIFY(setAppendOnly(disk.path(), false));
        file.keep(calling(6));
        file.flush();
        QCOMPARE(contents(file.path()), encodeJournal(calling(6)));

        write(file.path(), "edited by hand");
        file.keep(calling(6));
        file.flush();
        QCOMPARE(contents(file.path()), QByteArray("edited by hand"));
#endif
    }
};

QTEST_GUILESS_MAIN(TestGameJournal)
#include "tst_gamejournal.moc"
