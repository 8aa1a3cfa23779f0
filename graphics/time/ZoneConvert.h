// Zone conversion through the system where the zone's rules are the system's
// own yearly rules, else by the zone's own arithmetic.
#pragma once

#include "graphics/time/ZoneTime.h"

// The system's conversion; tests pass their own.
typedef BOOL(WINAPI* SystemZoneConvert)(const TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

bool UtcToZoneTime(const SYSTEMTIME& utc, SYSTEMTIME* out, const TimeZoneRecord& zone,
                   SystemZoneConvert convert = SystemTimeToTzSpecificLocalTime);
// Always a valid time: falls back to the own arithmetic when the system fails.
void GetClockLocalTime(const SYSTEMTIME& utc, SYSTEMTIME* out, const ClockRecord& clock,
                       SystemZoneConvert convert = SystemTimeToTzSpecificLocalTime);
// LOCALE_IFIRSTDAYOFWEEK of the thread's locale: 0 = Monday .. 6 = Sunday.
int GetLocaleFirstWeekday();
// Orders clocks by their current local time, latest first, then by caption.
int CompareClocksByTime(const ClockRecord& a, const ClockRecord& b);
