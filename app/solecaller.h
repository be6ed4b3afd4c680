// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>

// One caller per user. The first start on a data folder takes the lock in it, which makes the
// folder's journal its own, and opens a local server named after the folder, however it is spelt. A later
// start finds the lock held, asks that server to bring the running caller to the front, and goes
// before it greets or plays anything. A lock left by a caller that was killed is stale and taken
// over at once. Runs given data folders of their own, as tests are, stay apart.
class SoleCaller : public QObject
{
    Q_OBJECT

public:
    // How long a second start keeps trying to reach the caller that holds the lock: one that
    // has just taken it opens its server a moment later.
    static constexpr std::chrono::milliseconds kLongestKnock {3000};

    explicit SoleCaller(const QString &folder);
    ~SoleCaller() override;

    // True when this start is the caller. False when another caller runs on the folder: it has
    // been asked to come to the front, and this start should end.
    bool claim();
    // The folder whose journal this caller keeps: empty when the lock cannot be had (a folder
    // that cannot be written), and the game goes on without a journal.
    QString journalFolder() const;
    // From now on the next start is a caller of its own: the farewell window counts as gone. A
    // folder that no longer answers (a disk or a server that hangs) is not touched: the lock is
    // left there, stale for the next start once this program has ended.
    void release(bool folderAnswers);

signals:
    // A later start asked for the caller's window.
    void frontWanted();

private:
    bool knock(std::chrono::milliseconds patience) const;
    void open();
    void onKnocked();

    const QString m_folder;
    // Named from the folder once it is there.
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};
