// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/gamejournal.h"

#include "claims/cardtable.h"
#include "engine/bingostate.h"
#include "engine/callingspeed.h"
#include "engine/numberdraw.h"

#include <algorithm>
#include <array>

namespace {

constexpr char kFormat[] = "bingo-caller journal 1";
// Far above the 300-odd bytes of a full game, so a larger file is not one of ours.
constexpr qsizetype kLargest = 1024;
constexpr const char *kThemeNames[] = {"Blue", "Black", "Green"};
constexpr char kFalseClaim[] = "False claim";

GameJournal::Theme themeShown(const BingoState &state)
{
    switch (state.backColour) {
    case Colours::ButtonText:
        return GameJournal::Theme::Black;
    case Colours::Green:
        return GameJournal::Theme::Green;
    default:
        return GameJournal::Theme::Blue;
    }
}

QByteArray bannerText(const GameJournal &journal)
{
    if (!journal.verdict)
        return QByteArray::number(journal.calls.last());
    return *journal.verdict == Verdict::Bingo ? kBingoText : kFalseClaim;
}

// The value after "key " on a line, or nothing when the line is about something else.
std::optional<QByteArray> field(const QByteArray &line, const char *key)
{
    const QByteArray prefix = QByteArray(key) + ' ';
    if (!line.startsWith(prefix))
        return std::nullopt;
    return line.mid(prefix.size());
}

} // namespace

bool GameJournal::isPlayable() const
{
    if (calls.isEmpty() || calls.size() > kLastCall)
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

std::optional<GameJournal> journalOf(const BingoState &state, const QList<int> &earlierCalls)
{
    const qint64 count = state.calledCount.toNumber();
    if (count < 1 || count > kLastCall)
        return std::nullopt;

    GameJournal journal;
    std::array<bool, kBoardSize + 1> listed {};
    auto list = [&](int n) {
        if (n >= 1 && n <= kBoardSize && !listed[size_t(n)] && state.isCalled(n)) {
            journal.calls.append(n);
            listed[size_t(n)] = true;
        }
    };
    for (int n : earlierCalls)
        list(n);
    // The tick marks one number and leaves it in lastNumber: it is the latest call.
    const int last = state.lastNumber.isNumber() ? int(state.lastNumber.toNumber()) : 0;
    for (int n = 1; n <= kBoardSize; ++n)
        if (n != last)
            list(n);
    list(last);

    journal.verdict = shownVerdict(state);
    journal.interval = state.Timer1.interval;
    journal.theme = themeShown(state);
    journal.soundOn = !state.soundFiles.entry(SoundTable::kLastSwitchedEntry).isEmpty();
    if (journal.calls.size() != count || !journal.isPlayable())
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
        + "colour " + kThemeNames[int(journal.theme)] + '\n'
        + "sound " + (journal.soundOn ? "on" : "off") + '\n'
        + "calls " + calls + '\n';
}

std::optional<GameJournal> decodeJournal(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > kLargest || !bytes.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.size() != 8 || lines[0] != kFormat)
        return std::nullopt;

    const auto banner = field(lines[3], "banner");
    const auto speed = field(lines[4], "speed");
    const auto colour = field(lines[5], "colour");
    const auto sound = field(lines[6], "sound");
    const auto calls = field(lines[7], "calls");
    if (!banner || !speed || !colour || !sound || !calls)
        return std::nullopt;

    GameJournal journal;
    for (const QByteArray &number : calls->split(' '))
        journal.calls.append(number.toInt());
    if (*banner == kBingoText)
        journal.verdict = Verdict::Bingo;
    else if (*banner == kFalseClaim)
        journal.verdict = Verdict::FalseClaim;
    journal.interval = speed->toInt();
    const auto theme = std::find(std::begin(kThemeNames), std::end(kThemeNames), *colour);
    if (theme == std::end(kThemeNames))
        return std::nullopt;
    journal.theme = GameJournal::Theme(theme - std::begin(kThemeNames));
    journal.soundOn = *sound == "on";

    // Whatever was read leniently above must write back to exactly these bytes: that rejects
    // leading zeros, stray spaces, a count or last number or banner that disagrees with the
    // calls, and any other hand edit that is not the program's own writing.
    if (!journal.isPlayable() || encodeJournal(journal) != bytes)
        return std::nullopt;
    return journal;
}
