// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/resource.h>

// Processor time used so far, user and system, in milliseconds: by the whole process (every
// thread, the sound threads included) or by the calling thread alone.
inline double cpuMilliseconds(int who = RUSAGE_SELF)
{
    rusage usage {};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}
