// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/colourvalue.h"

#include <optional>

struct BingoState;
class WavePlayer;

// "Pause/ Check Card": stops the calling and turns the start button into a red "Restart".
// If the card-number box names one of the 50 cards, the card wins only when all 15 of its
// numbers read "X" on the board: the banner then shows "Bingo!", else the false-claim message,
// each with its cue. The box is emptied whatever it held.
void Command4_Click(BingoState &state, WavePlayer &sound);

// The banner's answer to a claim on a named card.
enum class Verdict { Bingo, FalseClaim };
// What the banner shows for a card that wins, and for one that does not.
inline constexpr char kBingoText[] = "Bingo!";
inline constexpr char kFalseClaimText[] = "False Claim press the 'Restart' button to continue!";
// The colour a claim gives the start button, which then reads "Restart".
inline constexpr ColourValue kClaimFace = Colours::Red;

// Shows the verdict in the banner, "Bingo!" at 80 points or the false-claim message at 30, and
// plays its cue.
void showVerdict(BingoState &state, WavePlayer &sound, Verdict verdict);
// The verdict the banner shows, if it shows one rather than a number.
std::optional<Verdict> shownVerdict(const BingoState &state);
