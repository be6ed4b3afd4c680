// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/gamejournal.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

// The game journal on disk: "journal.txt" in a folder of its own, by default the user's
// application data folder. Each write replaces the whole file at once (QSaveFile), so the file
// holds either the old journal or the new one, whenever the program is stopped, and a write that
// fails halfway (a full disk, a folder that cannot be written or has gone) leaves the old one.
//
// Writing waits for the disk (QSaveFile syncs the file before it takes the old one's place), so
// it happens on a thread of its own and a tick only hands over a few hundred bytes. The newest
// request wins: one not yet started gives way to a newer one. A failed write is tried again at
// the next request, even for the same journal; one that worked is not repeated. Failures cost one
// warning per run: the game goes on as if there were no journal.
//
// A game the host ended must never be offered again. Its journal is removed; where that cannot be
// done (another program holds the file open for longer than the attempts last, or the file may not
// be removed), a mark beside it, "journal.ended", holds the same bytes, and a journal that its mark
// matches counts as ended: it is never read back, and goes with its mark as soon as it can.
class JournalFile
{
public:
    // The longest the end of the program waits for the writer: a write that hangs on a disk or a
    // server that stopped answering is left to end with the process.
    static constexpr std::chrono::milliseconds kLongestWriterWait {1000};

    // What became of the last request: written (or the ended game removed or marked as ended),
    // failed, or still under way.
    enum class Outcome { Done, Failed, Busy };

    explicit JournalFile(const QString &folder = defaultFolder());
    ~JournalFile();

    // QStandardPaths::AppDataLocation: ~/.local/share/Bingo on Linux, %APPDATA%\Bingo on Windows.
    static QString defaultFolder();
    QString path() const { return m_path; }

    // The journal the last run left, if the file holds one that can be carried on and that no mark
    // calls ended. Only a regular file is read, opened so that it cannot block (a fifo at its
    // place would), and only its first few kilobytes. What it found counts as written: asking to
    // keep it writes nothing.
    std::optional<GameJournal> read();
    // Writes the journal, or ends the game in the file when there is none to carry on.
    void keep(const std::optional<GameJournal> &journal);
    void remove() { keep(std::nullopt); }
    // Waits until the last request is done or has failed, or `longest` has passed.
    Outcome flush(std::chrono::milliseconds longest = std::chrono::milliseconds::max());

private:
    struct Writer;

    const QString m_path;
    const QString m_endedPath;
    // Shared with the writer's thread, which a hung write may leave running past this object.
    std::shared_ptr<Writer> m_writer;
    std::thread m_thread;
    // A flush with a limit found the writer still busy: the end of the program waits no more.
    bool m_writerStuck = false;
};
