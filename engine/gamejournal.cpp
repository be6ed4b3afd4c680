// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/gamejournal.h"

#include "claims/cardtable.h"
#include "engine/bingostate.h"
#include "engine/callingspeed.h"
#include "engine/numberdraw.h"
#include "engine/startcontrol.h"
#include "ui/colourthemes.h"

#include <algorithm>
#include <array>

namespace {

constexpr char kFormat[] = "bingo-caller journal 2";
// Far above the 300-odd bytes of a full game, so a larger file is not one of ours.
constexpr qsizetype kLargest = 1024;
constexpr const char *kStartFaceNames[] = {"claim", "pause", "theme"};

QByteArray bannerText(const GameJournal &journal)
{
    if (!journal.verdict)
        return QByteArray::number(journal.calls.last());
    return *journal.verdict == Verdict::Bingo ? kBingoText : kFalseClaimText;
}

// Which handler painted the start button last, told by the colour each one gives it. Where two
// give the same colour, either rebuilds what the host saw.
GameJournal::StartFace startFace(const BingoState &state)
{
    if (state.Timer1.enabled || state.Command5.backColour == kClaimFace)
        return GameJournal::StartFace::Claim;
    if (state.Command5.backColour == kStartControlFace)
        return GameJournal::StartFace::Pause;
    return GameJournal::StartFace::Theme;
}

// The value after "key " on a line, or nothing when the line is about something else.
std::optional<QByteArray> field(const QByteArray &line, const char *key)
{
    const QByteArray prefix = QByteArray(key) + ' ';
    if (!line.startsWith(prefix))
        return std::nullopt;
    return line.mid(prefix.size());
}

// The place of `name` in a table of names, or -1.
template <typename Names, typename NameOf>
int placeOf(const Names &names, const QByteArray &name, NameOf nameOf)
{
    const auto found = std::find_if(std::begin(names), std::end(names), [&](const auto &entry) { return name == nameOf(entry); });
    return found == std::end(names) ? -1 : int(found - std::begin(names));
}

} // namespace

bool GameJournal::isPlayable() const
{
    if (calls.isEmpty() || calls.size() > kLastCall || theme < 0 || theme >= int(kColourThemes.size()))
        return false;
    std::array<bool, kBoardSize + 1> called {};
    for (int n : calls) {
        if (n < 1 || n > kBoardSize || called[size_t(n)])
            return false;
        called[size_t(n)] = true;
    }
    if (std::find(kIntervals.begin(), kIntervals.end(), interval) == kIntervals.end())
        return false;
    if (verdict != Verdict::Bingo)
        return true;
    return std::any_of(cardTable().begin(), cardTable().end(), [&called](const Card &card) {
        return std::all_of(card.numbers.begin(), card.numbers.end(), [&called](int n) { return called[size_t(n)]; });
    });
}

std::optional<GameJournal> journalOf(const BingoState &state)
{
    GameJournal journal;
    journal.calls = state.calls;
    journal.verdict = shownVerdict(state);
    journal.interval = state.Timer1.interval;
    journal.theme = int(&shownTheme(state) - kColourThemes.data());
    journal.startFace = startFace(state);
    journal.soundOn = !state.soundFiles.entry(SoundTable::kLastSwitchedEntry).isEmpty();
    if (journal.calls.size() != state.calledCount.toNumber() || !journal.isPlayable())
        return std::nullopt;
    return journal;
}

QByteArray encodeJournal(const GameJournal &journal)
{
    QByteArray calls;
    for (int n : journal.calls)
        calls += (calls.isEmpty() ? "" : " ") + QByteArray::number(n);
    return QByteArray(kFormat) + '\n'
        + "count " + QByteArray::number(journal.calls.size()) + '\n'
        + "last " + QByteArray::number(journal.calls.isEmpty() ? 0 : journal.calls.last()) + '\n'
        + "banner " + (journal.calls.isEmpty() ? QByteArray() : bannerText(journal)) + '\n'
        + "speed " + QByteArray::number(journal.interval) + '\n'
        + "colour " + kColourThemes.at(size_t(journal.theme)).name + '\n'
        + "start " + kStartFaceNames[int(journal.startFace)] + '\n'
        + "sound " + (journal.soundOn ? "on" : "off") + '\n'
        + "calls " + calls + '\n';
}

std::optional<GameJournal> decodeJournal(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > kLargest || !bytes.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.size() != 9 || lines[0] != kFormat)
        return std::nullopt;

    const auto banner = field(lines[3], "banner");
    const auto speed = field(lines[4], "speed");
    const auto colour = field(lines[5], "colour");
    const auto start = field(lines[6], "start");
    const auto sound = field(lines[7], "sound");
    const auto calls = field(lines[8], "calls");
    if (!banner || !speed || !colour || !start || !sound || !calls)
        return std::nullopt;

    GameJournal journal;
    for (const QByteArray &number : calls->split(' '))
        journal.calls.append(number.toInt());
    if (*banner == kBingoText)
        journal.verdict = Verdict::Bingo;
    else if (*banner == kFalseClaimText)
        journal.verdict = Verdict::FalseClaim;
    journal.interval = speed->toInt();
    journal.theme = placeOf(kColourThemes, *colour, [](const ColourTheme &theme) { return theme.name; });
    const int face = placeOf(kStartFaceNames, *start, [](const char *name) { return name; });
    if (journal.theme < 0 || face < 0)
        return std::nullopt;
    journal.startFace = GameJournal::StartFace(face);
    journal.soundOn = *sound == "on";

    // Whatever was read leniently above must write back to exactly these bytes: that rejects
    // leading zeros, stray spaces, a count or last number or banner that disagrees with the
    // calls, and any other hand edit that is not the program's own writing.
    if (!journal.isPlayable() || encodeJournal(journal) != bytes)
        return std::nullopt;
    return journal;
}
