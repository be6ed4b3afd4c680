// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/journalfile.h"
#include "engine/gamejournal.h"

#include <QObject>
#include <QPointer>

#include <optional>

class BingoWindow;
class WavePlayer;
class WindowShell;
class YesNoQuestion;

// Keeps the journal of the game the main window shows, and decides, once the splash window has
// handed over, whether to carry on with the game the last run left: the host answers the
// question, and Yes brings that game back paused and calls its last number again. Until then the
// fresh window leaves the old journal alone; from then on every change of the game replaces it,
// and a game the host ends (Exit, the close box, Reset, the end of the game, No) removes it.
class JournalKeeper : public QObject
{
    Q_OBJECT

public:
    JournalKeeper(JournalFile &file, YesNoQuestion &question, WavePlayer &sound, WindowShell &shell);

signals:
    // The host ended the game: Done when no start can offer it any more, Failed when the journal
    // could be neither removed nor marked as ended, Busy when the writer could not say so in time,
    // stuck on a folder that no longer answers.
    void journalClosed(JournalFile::Outcome outcome);

private:
    void onMainWindowLoaded(BingoWindow *bingo);
    void onHandedOver();
    void offerToCarryOn();
    void settle();
    void journalGame();
    void onGameEnded();

    JournalFile &m_file;
    YesNoQuestion &m_question;
    WavePlayer &m_sound;
    QPointer<BingoWindow> m_bingo;
    // The question is behind us, whatever its answer, or was never asked.
    bool m_settled = false;
    // The game the last run left, read at the hand-over.
    std::optional<GameJournal> m_left;
};
