// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/colourvalue.h"
#include "engine/loosevalue.h"
#include "services/soundtable.h"

#include <QList>
#include <QString>

#include <array>

constexpr int kBoardSize = 90;
inline constexpr char kCalledMark[] = "X";

struct LabelState
{
    QString caption;
    double fontPoints = 0;
    ColourValue backColour = 0;
    bool operator==(const LabelState &) const = default;
};

struct ButtonState
{
    QString caption;
    double fontPoints = 0;
    ColourValue backColour = 0;
    bool operator==(const ButtonState &) const = default;
};

struct TextBoxState
{
    QString text;
    ColourValue foreColour = 0;
    ColourValue backColour = 0;
    bool operator==(const TextBoxState &) const = default;
};

struct TimerState
{
    bool enabled = false;
    int interval = 0;
    bool operator==(const TimerState &) const = default;
};

// Everything the main window knows about a game: its variables and the parts of its controls
// that handlers read or change. The window draws this value; the handlers only edit it.
struct BingoState
{
    ColourValue backColour = 0;
    std::array<TextBoxState, kBoardSize> cells;
    TextBoxState Text2;
    LabelState Label1, Label2, Label3, Label4, Label5, Label8;
    ButtonState Command2, Command3, Command5, Command8;
    TimerState Timer1;

    LooseValue lastNumber;
    LooseValue calledCount;
    SoundTable soundFiles;
    // The numbers of the game in progress in the order they were called, kept by the tick as it
    // calls them, for the journal. Whether a number has been called is the board's to say alone.
    QList<int> calls;

    // Board cell n, for n from 1 to 90.
    TextBoxState &Text1(int n) { return cells.at(n - 1); }
    const TextBoxState &Text1(int n) const { return cells.at(n - 1); }

    // A number has been called when its cell reads exactly "X"; "x" or anything else does not count.
    bool isCalled(int n) const { return Text1(n).text == QLatin1String(kCalledMark); }

    // The values the window has straight after it is loaded, before its load step runs.
    static BingoState designValues();

    bool operator==(const BingoState &) const = default;
};
