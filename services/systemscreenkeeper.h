// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What keeps the screen on while a game is calling on the platform the program is built for:
// Windows' execution state there, the desktop's idle inhibit on the session bus elsewhere.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "services/executionstatekeeper.h"
using SystemScreenKeeper = ExecutionStateKeeper;
#else
#include "services/idleinhibitor.h"
using SystemScreenKeeper = IdleInhibitor;
#endif
