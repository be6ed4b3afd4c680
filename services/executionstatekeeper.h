// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/screenkeeper.h"

// Keeps Windows' display and the system awake while asked to, for as long as the thread that
// asked lives: SetThreadExecutionState on the window's thread, and beside it a power request
// that `powercfg /requests` lists as "Calling a bingo game", where Windows grants one (Wine does
// not). Both belong to the process, so a killed caller leaves nothing held.
class ExecutionStateKeeper : public ScreenKeeper
{
public:
    ExecutionStateKeeper() = default;
    ~ExecutionStateKeeper() override;
    ExecutionStateKeeper(const ExecutionStateKeeper &) = delete;
    ExecutionStateKeeper &operator=(const ExecutionStateKeeper &) = delete;

    void keepScreenOn(bool on) override;

private:
    void *m_powerRequest = nullptr;
    bool m_triedPowerRequest = false;
    bool m_on = false;
};
