// Zone and date helpers of the main program: local time of day settings,
// zone time to UTC across the transition days.
#pragma once

#include "graphics/time/ZoneTime.h"

// The time-of-day look of the language's locale.
struct TimeLocale {
    WCHAR separator[7];
    bool is24Hour;
    WCHAR am[9];
    WCHAR pm[9];
};

// Reads the locale's settings; true when anything the time texts show changed.
bool RefreshTimeLocale(TimeLocale* locale, LCID lcid);
// "HH:MM" (24 hours) or "h:MM am" of seconds of the day; returns the length.
int FormatSecondsOfDay(const TimeLocale& locale, WCHAR* out, int chars, uint32_t seconds);
// The same, with ":SS" after the minutes when `withSeconds`.
int FormatTimeOfDay(const TimeLocale& locale, WCHAR* out, int chars, uint32_t seconds, bool withSeconds);
// Errors of ParseTimeOfDay
const int kTimeOfDayBadHour = -1;
const int kTimeOfDayNoSeparator = -2;
const int kTimeOfDayBadMinutes = -3;
const int kTimeOfDayBadSeconds = -4;
const int kTimeOfDayBadDesignator = -5;
// A typed time of day ("7:30", "07:30:15", "7:30 PM" in the locale's
// separator and designators) as seconds of the day, or one of the errors.
int ParseTimeOfDay(const TimeLocale& locale, const WCHAR* text);
// False for none, "", "Default", "24 hours" and "12 hours"; else whether the picture holds an "s".
bool FormatShowsSeconds(const WCHAR* timeFormat);

bool DayAndSecondsToSystemTime(uint32_t day, uint32_t seconds, SYSTEMTIME* out);
bool AddSecondsToFileTime(const FILETIME& time, int64_t seconds, SYSTEMTIME* out);

// Day of the date's month of the rule date's n-th (5 = last) weekday.
int GetRuleDayOfMonth(const SYSTEMTIME& date, const SYSTEMTIME& rule);
// Whether the date is a transition day of the zone; the transition's minute of
// the day and the change of the bias (negative when the clocks go forward).
bool GetTransitionOfDay(const SYSTEMTIME& date, const TimeZoneRecord& zone, int* minute, int* biasChange);
// 1 when the clocks go forward on that day (a gap of minutes first..last), 0 back, -1 no transition.
int GetTransitionGap(const SYSTEMTIME& date, const TimeZoneRecord& zone, int* first, int* last);
// A zone-local time to UTC; a time inside a spring gap counts as the gap's end.
// The weekday of `zoneTime` is not read: it comes from the date.
void ZoneTimeToUtc(SYSTEMTIME* out, const TimeZoneRecord& zone, const SYSTEMTIME& zoneTime);
