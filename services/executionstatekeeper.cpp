// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/executionstatekeeper.h"

#include <windows.h>

namespace {

wchar_t kReason[] = L"Calling a bingo game";
constexpr POWER_REQUEST_TYPE kRequested[] = {PowerRequestDisplayRequired, PowerRequestSystemRequired};

HANDLE createPowerRequest()
{
    REASON_CONTEXT context {};
    context.Version = POWER_REQUEST_CONTEXT_VERSION;
    context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    context.Reason.SimpleReasonString = kReason;
    const HANDLE request = PowerCreateRequest(&context);
    return request == INVALID_HANDLE_VALUE ? nullptr : request;
}

} // namespace

ExecutionStateKeeper::~ExecutionStateKeeper()
{
    keepScreenOn(false);
    if (m_powerRequest)
        CloseHandle(m_powerRequest);
}

void ExecutionStateKeeper::keepScreenOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    SetThreadExecutionState(on ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
    if (on && !m_triedPowerRequest) {
        m_triedPowerRequest = true;
        m_powerRequest = createPowerRequest();
    }
    if (!m_powerRequest)
        return;
    for (const POWER_REQUEST_TYPE type : kRequested) {
        if (on)
            PowerSetRequest(m_powerRequest, type);
        else
            PowerClearRequest(m_powerRequest, type);
    }
}
