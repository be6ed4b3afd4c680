// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/gamejournal.h"

#include <QString>

#include <optional>

// The game journal on disk: "journal.txt" in a folder of its own, by default the user's
// application data folder. Each write replaces the whole file at once (QSaveFile), so the file
// holds either the old journal or the new one, whenever the program is stopped. A folder that
// cannot be written costs one failed attempt per change and says so once, on the program's error
// output: the game goes on as if there were no journal.
class JournalFile
{
public:
    explicit JournalFile(const QString &folder = defaultFolder());

    // QStandardPaths::AppDataLocation: ~/.local/share/Bingo on Linux, %APPDATA%\Bingo on Windows.
    static QString defaultFolder();
    QString path() const { return m_path; }

    // The journal the last run left, if the file holds one that can be carried on.
    std::optional<GameJournal> read() const;
    // Writes the journal, or removes the file when there is no game to carry on; only when that
    // changes what this run last left in the file.
    void keep(const std::optional<GameJournal> &journal);
    void remove() { keep(std::nullopt); }

private:
    QString m_folder;
    QString m_path;
    // What the file holds as far as this run knows, the empty text for no file; nothing before
    // the first write and after a failed one.
    std::optional<QByteArray> m_kept;
    bool m_failureReported = false;
};
