// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct BingoState;
struct GameJournal;
class WavePlayer;

// The question asked at start when the last run left a game behind.
QString carryOnQuestion(const GameJournal &journal);

// Turns a freshly loaded main window's state into the game of the journal, paused: the same
// board, count, banner, last number, speed, colours, sound switch and start button as the host
// saw, and a game that was calling paused as after a claim. The facts are played again, silently,
// through the handlers that first made them and in the order that decides what shows. A journal
// that is not playable, or a game already under way, is left alone.
void carryOn(BingoState &state, const GameJournal &journal);

// Calls the last number again, as a hall does after its equipment failed, so the room hears where
// the game stands. Through the number's sound-table entry: with sound off nothing is heard.
void callLastNumberAgain(const BingoState &state, WavePlayer &sound);
