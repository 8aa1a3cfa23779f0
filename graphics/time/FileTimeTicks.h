// FILETIME values as 64-bit counts of 100-ns ticks since 1601, and their
// conversion to and from SYSTEMTIME.
#pragma once

#include "graphics/records/WinTypes.h"

// signed: offsets between moments may be negative
const int64_t kTicksPerSecond = 10000000;

#ifdef _WIN32
// False for a time that SystemTimeToFileTime rejects.
inline bool SystemTimeToTicks(const SYSTEMTIME& t, uint64_t* ticks)
{
    FILETIME ft;
    if (!SystemTimeToFileTime(&t, &ft))
        return false;
    *ticks = ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return true;
}

inline bool TicksToSystemTime(uint64_t ticks, SYSTEMTIME* t)
{
    FILETIME ft = {(DWORD)ticks, (DWORD)(ticks >> 32)};
    return FileTimeToSystemTime(&ft, t) != FALSE;
}
#endif
