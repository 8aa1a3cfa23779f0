// Alarm schedules: the schedule strings of the settings file, the cron form,
// and the search for the latest occurrence. All times are the clock's zone
// time. No Win32 calls.
#pragma once

#include <stddef.h>

#include "graphics/records/AlarmRecord.h"

// The minutes, hours, days, months and weekdays of a cron schedule, as stored
// in AlarmRecord (0 = any; days may be -1..-31, counted from the month's end).
struct CronSchedule {
    uint64_t minutes;
    uint32_t hours;
    int32_t days;
    uint32_t months;
    uint32_t weekdays;
};

// One field: sets bits low..high of `mask` (0 = any). Returns the position
// after the field, or null when a number lies outside the bounds or a range
// runs backwards.
const char* ParseCronField(const char* text, uint64_t* mask, int low, int high);
bool ParseCronSchedule(const char* text, CronSchedule* cron);
// The text ParseCronField reads back: "*" for 0, else the set bits rising,
// runs of three or more as "a-b", shorter ones one by one, comma-separated.
// Writes at most `chars` - 1 characters; returns the end of the text.
char* FormatCronField(uint64_t mask, char* out, size_t chars);
// "minutes;hours;days;months;weekdays" as ParseCronSchedule reads it: days
// and weekdays are stored one bit down and written one up, a day counted
// from the month's end as its negative number.
void FormatCronSchedule(const CronSchedule& cron, char* out, size_t chars);

// Fills the schedule block of `kind` from its settings string; false when the
// string does not give every field.
bool ParseAlarmSchedule(int kind, const char* text, AlarmRecord* alarm);

// Date comparisons: 1 when a is later, -1 when earlier, 0 when equal.
int CompareDates(const SYSTEMTIME& a, const SYSTEMTIME& b);
int CompareTimesOfDay(const SYSTEMTIME& a, const SYSTEMTIME& b);
int CompareSystemTimes(const SYSTEMTIME& a, const SYSTEMTIME& b);
// To the last second of the previous month.
void StepBackToPreviousMonthEnd(SYSTEMTIME& t);
// To the last second of the previous day; false, changing nothing, on the 1st.
bool StepBackOneDay(SYSTEMTIME& t);

// The latest occurrence of the alarm's schedule at or before `now`, searching
// back as far as `windowStart`; false when disabled or there is none.
bool LastAlarmOccurrence(const AlarmRecord& alarm, const SYSTEMTIME& windowStart, const SYSTEMTIME& now,
                         SYSTEMTIME* occurrence);
// Moves `candidate` back to the latest moment, to the minute, that the cron
// schedule matches; false when there is none after `windowStart`.
bool MatchCronSchedule(const CronSchedule& cron, const SYSTEMTIME& windowStart, SYSTEMTIME* candidate);

CronSchedule CronOf(const AlarmRecord& alarm);
