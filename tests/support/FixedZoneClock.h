// Clocks of zones a fixed number of minutes ahead of UTC, without daylight
// saving: the same times whatever the date and the machine's zone.
#pragma once

#include <wchar.h>

#include "graphics/records/ClockRecord.h"

inline TimeZoneRecord FixedZone(int minutesAhead, const WCHAR* name)
{
    TimeZoneRecord zone = {};
    zone.tzi.Bias = -minutesAhead;
    wcsncpy(zone.zoneName, name, 39);
    return zone;
}

// An enabled time clock of FixedZone(minutesAhead), captioned and named `caption`.
inline ClockRecord FixedZoneClock(int minutesAhead, const WCHAR* caption)
{
    ClockRecord clock = {};
    clock.enabled = 1;
    clock.zone = FixedZone(minutesAhead, caption);
    wcsncpy(clock.caption, caption, 77);
    return clock;
}
