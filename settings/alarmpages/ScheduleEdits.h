// What the alarm page does to an AlarmRecord beyond reading its controls:
// the schedules a new kind starts from, the values that travel along when
// the kind changes, and the checks of the typed cron and duration fields.
// No Win32 calls.
#pragma once

#include <stddef.h>

#include "graphics/records/AlarmRecord.h"

// The reminder lead times the list offers, in minutes.
const int kLeadTimeCount = 12;
extern const int32_t kLeadTimes[kLeadTimeCount];
// A lead time's days, hours and minutes (each 0 when absent).
struct LeadTimeParts {
    int32_t days, hours, minutes;
};
LeadTimeParts SplitLeadTime(int32_t minutes);

// The schedules of every kind but the alarm's own, started from `zoneNow`
// (the clock's zone time; its seconds are dropped).
void FillScheduleDefaults(AlarmRecord* alarm, const SYSTEMTIME& zoneNow);

// After the kind changed from `kindLeft`: the values the kinds share (date,
// time of day, day, month, year, interval) go from the kind left to the
// others. A day that the target month lacks becomes its last day.
void CarryOverSchedule(AlarmRecord* alarm, int kindLeft);

// A yearly fixed day past its month's length (February counted with 29) is
// cut to that length; true when it was.
bool CutYearlyDay(AlarmRecord* alarm);

// The cron fields' bounds, minutes to weekdays.
enum CronFieldIndex { kCronMinutes = 0, kCronHours, kCronDays, kCronMonths, kCronWeekdays, kCronFieldCount };

// One typed cron field into its stored form (days and weekdays one bit
// down). The days field may instead be "-1" to "-30", counted from the
// month's end. False when the field is not read to its end or a number is
// out of bounds; `value` is then untouched.
bool ReadCronField(int field, const WCHAR* text, int64_t* value);
// The stored value as ReadCronField reads it back, into `out` of `chars`.
void WriteCronField(int field, int64_t value, WCHAR* out, size_t chars);
// The days field after it lost the focus: a text whose second character is
// "-" without a number in front of it becomes "*". True when it changed.
bool MendCronDaysText(WCHAR* text, size_t chars);

// The first of the four duration fields (days, hours, minutes, seconds)
// that makes the duration unreadable (no number, days above 999, a total
// that no timer holds), or -1 with the total in `seconds`.
int FirstBadDurationField(const WCHAR* const fields[4], int64_t* seconds);

// The fields' texts of a duration in seconds: days, hours 0..23, minutes and
// seconds 0..59.
void SplitDuration(int64_t seconds, int64_t parts[4]);
