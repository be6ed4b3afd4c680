// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct BingoState;
class WavePlayer;

// Opens a web page in the host's default browser, handing the request over and returning at once.
// The address carries no scheme; the platform layer adds the one it needs.
class PageOpener
{
public:
    virtual ~PageOpener() = default;
    virtual void openPage(const QString &address) = 0;
};

// The page from which players print their cards: the maker's host followed by "/cards/".
QString cardsPageAddress();

// "Print Cards", button and menu item alike: the print cue, then the cards page.
// Whether the browser opens is not looked at, and the game goes on as it was.
void Command8_Click(BingoState &state, WavePlayer &sound, PageOpener &pages);
void print_Click(BingoState &state, WavePlayer &sound, PageOpener &pages, qint16 index);
