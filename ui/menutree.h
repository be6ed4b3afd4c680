// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <array>
#include <string_view>

class QAction;
class QMenuBar;

// The main window's menu tree: File (Start, Reset, Print Cards, Exit Bingo),
// Options (Sound: On, Off; Colour: Blue, Black, Green) and Help, a command on the bar itself.
namespace MenuTree {

struct Item
{
    std::string_view name;
    std::string_view caption;
    qint16 index;
};

inline constexpr std::array<Item, 10> kCommands = {{
    {"Start", "Start", 14},
    {"Rest", "Reset", 13},
    {"print", "Print Cards", 12},
    {"exit", "Exit Bingo", 2},
    {"son", "On", 5},
    {"sOff", "Off", 6},
    {"blue", "Blue", 8},
    {"Black", "Black", 9},
    {"Green", "Green", 10},
    {"help", "Help", 11},
}};

// Builds the tree on the bar. Each command's QAction carries its item's name as object name
// and its index as data.
void build(QMenuBar *bar);

} // namespace MenuTree
