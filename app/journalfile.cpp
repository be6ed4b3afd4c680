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
    if (m_path.isEmpty() || m_kept == bytes)
        return;
    m_kept.reset();

    bool kept = false;
    if (bytes.isEmpty()) {
        kept = !QFile::exists(m_path) || QFile::remove(m_path);
    } else if (QDir().mkpath(m_folder)) {
        QSaveFile file(m_path);
        kept = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    }
    if (kept) {
        m_kept = bytes;
    } else if (!m_failureReported) {
        m_failureReported = true;
        qWarning("The game journal %s cannot be kept up to date; the game goes on without it.", qPrintable(m_path));
    }
}
