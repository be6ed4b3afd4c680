// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/gamejournal.h"

#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

// The game journal on disk: "journal.txt" in a folder of its own, by default the user's
// application data folder. Each write replaces the whole file at once (QSaveFile), so the file
// holds either the old journal or the new one, whenever the program is stopped.
//
// Writing waits for the disk (QSaveFile syncs the file before it takes the old one's place), so
// it happens on a thread of its own and a tick only hands over a few hundred bytes. Writes and
// removals happen in the order asked; a request not yet started gives way to a newer one, and
// the last one asked for is done before the object goes. A folder that cannot be written costs
// one failed attempt per change and one warning per run: the game goes on as if there were no
// journal.
class JournalFile
{
public:
    explicit JournalFile(const QString &folder = defaultFolder());
    ~JournalFile();

    // QStandardPaths::AppDataLocation: ~/.local/share/Bingo on Linux, %APPDATA%\Bingo on Windows.
    static QString defaultFolder();
    QString path() const { return m_path; }

    // The journal the last run left, if the file holds one that can be carried on.
    std::optional<GameJournal> read() const;
    // Writes the journal, or removes the file when there is no game to carry on; only when that
    // changes what was last asked for, or when the last attempt failed.
    void keep(const std::optional<GameJournal> &journal);
    void remove() { keep(std::nullopt); }
    // Returns once the file holds what was last asked for, or the attempt has failed.
    void flush();

private:
    void writeRequests();
    bool replaceFile(const QByteArray &bytes) const;

    const QString m_folder;
    const QString m_path;
    // What keep() last asked for, the empty text for no file.
    std::optional<QByteArray> m_asked;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<QByteArray> m_pending;
    bool m_writing = false;
    bool m_failed = false;
    bool m_failureReported = false;
    bool m_stopping = false;
    std::thread m_writer;
};
