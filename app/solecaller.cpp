// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/solecaller.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr char kLockName[] = "journal.lock";
// No destructor may touch a lock left on a folder that hangs: it stays reachable here to the end.
QLockFile *lockLeftBehind = nullptr;
// How long a second start waits for the caller to see it and let go.
constexpr int kLongestVisit = 1000;

// The same folder gives the same name, however it is spelt (through a link, or on Windows in other
// letters' case); another folder, another name, within the 100-odd characters a Unix socket's path
// may have. The folder must be there for its one spelling to be known.
QString serverNameFor(const QString &folder)
{
    const QFileInfo info(folder);
    QString where = info.canonicalFilePath();
    if (where.isEmpty())
        where = QDir::cleanPath(info.absoluteFilePath());
#ifdef Q_OS_WIN
    where = where.toLower();
#endif
    const QByteArray digest = QCryptographicHash::hash(where.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return QStringLiteral("bingo-caller-") + QString::fromLatin1(digest);
}

} // namespace

SoleCaller::SoleCaller(const QString &folder)
    : m_folder(folder)
    , m_lock(std::make_unique<QLockFile>(QDir(folder).filePath(QLatin1String(kLockName))))
{
    // Only a caller that no longer runs leaves a stale lock; a long evening of calling does not.
    m_lock->setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SoleCaller::onKnocked);
}

SoleCaller::~SoleCaller() = default;

bool SoleCaller::claim()
{
    QDir().mkpath(m_folder);
    m_serverName = serverNameFor(m_folder);
    // Qt calls a lock stale when no process of its name has its process id; but the system may
    // have given that id to another program already, under Wine even to this start. The lock
    // file itself is sure: its owner keeps it open and locked, so while the owner runs it cannot
    // be removed.
    if (m_lock->tryLock(0)
        || (m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile() && m_lock->tryLock(0))) {
        open();
        return true;
    }
    // Held by a running caller, which answers; or a folder that cannot be locked at all, where
    // one that runs all the same still answers.
    const bool held = m_lock->error() == QLockFile::LockFailedError;
    if (knock(held ? kLongestKnock : std::chrono::milliseconds(0)))
        return false;
    if (held) {
        qWarning("A caller that does not answer holds %s; this start ends.", qPrintable(m_lock->fileName()));
        return false;
    }
    open();
    return true;
}

QString SoleCaller::journalFolder() const
{
    return m_lock && m_lock->isLocked() ? m_folder : QString();
}

void SoleCaller::release(bool folderAnswers)
{
    m_server.close();
    if (!m_lock)
        return;
    if (folderAnswers)
        m_lock->unlock();
    else
        lockLeftBehind = m_lock.release();
}

bool SoleCaller::knock(std::chrono::milliseconds patience) const
{
#ifdef Q_OS_WIN
    // The host has just started this program, which may therefore hand the foreground on.
    AllowSetForegroundWindow(ASFW_ANY);
#endif
    const QDeadlineTimer deadline(patience);
    QLocalSocket door;
    for (;;) {
        door.connectToServer(m_serverName);
        if (door.waitForConnected(kLongestVisit)) {
            door.waitForDisconnected(kLongestVisit);
            return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

// On Linux a server left by a killed caller is still in the way; the lock says it is no one's.
void SoleCaller::open()
{
    if (m_server.listen(m_serverName) || m_server.serverError() != QAbstractSocket::AddressInUseError)
        return;
    QLocalServer::removeServer(m_serverName);
    m_server.listen(m_serverName);
}

// The window comes to the front while the later start still waits, so that Windows lets it.
void SoleCaller::onKnocked()
{
    emit frontWanted();
    while (QLocalSocket *visitor = m_server.nextPendingConnection())
        visitor->deleteLater();
}
