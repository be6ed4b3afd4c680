// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "claims/claimcheck.h"
#include "engine/callingspeed.h"

#include <QByteArray>
#include <QList>

#include <optional>

struct BingoState;

// What survives an unexpected end of the program: the numbers of the game in progress in the
// order they were called, and what the main window needs to show them again. The count and the
// last number follow from the calls; the banner shows the last number unless a claim's verdict
// is on it.
struct GameJournal
{
    // What last painted the start button of the paused game: a claim, the start control's pause,
    // or a colour theme chosen after either. A game left calling is carried on as after a claim.
    enum class StartFace { Claim, Pause, Theme };

    QList<int> calls;
    std::optional<Verdict> verdict;
    int interval = kNormalInterval;
    // The colour theme, as its place in kColourThemes.
    int theme = 0;
    StartFace startFace = StartFace::Claim;
    bool soundOn = true;

    // One to 89 different numbers from 1 to 90, a speed the buttons can set, a theme there is,
    // and a "Bingo!" only where some card is full: a game that can be carried on.
    bool isPlayable() const;

    bool operator==(const GameJournal &) const = default;
};

// The journal of the game the state shows, or nothing when there is no game to carry on (no
// number called yet, or the game has ended).
std::optional<GameJournal> journalOf(const BingoState &state);

// A short text of a few hundred bytes at most, stamped with its format version.
QByteArray encodeJournal(const GameJournal &journal);
// The journal the bytes hold, or nothing for anything that is not exactly what encodeJournal
// writes for a playable journal: empty, cut short, of another format version, unreadable,
// or with fields that disagree with each other.
std::optional<GameJournal> decodeJournal(const QByteArray &bytes);
