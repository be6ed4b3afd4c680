// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/spoken.h"

#include "claims/cardtable.h"
#include "engine/bingostate.h"

namespace Spoken {

QString afterTick(const BingoState &, const BingoState &after)
{
    // A tick that calls a number leaves the timer running; the one that ends the game stops it.
    return after.Timer1.enabled ? after.Label1.caption : QLatin1String(kGameOver);
}

QString afterClaim(const BingoState &before, const BingoState &after)
{
    return findCard(before.Text2.text) ? after.Label1.caption : after.Command5.caption;
}

QString afterStartControl(const BingoState &before, const BingoState &after)
{
    return after.Command5.caption != before.Command5.caption ? after.Command5.caption : QString();
}

QString afterSpeedChange(const BingoState &, const BingoState &after)
{
    return QLatin1String(kSpeedReading).arg(after.Label8.caption);
}

} // namespace Spoken
