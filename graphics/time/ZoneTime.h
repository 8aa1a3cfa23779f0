// Calendar arithmetic and zone conversion by a zone's own rules. Plain
// functions over SYSTEMTIME values; no Win32 calls.
#pragma once

#include "graphics/records/ClockRecord.h"

// Transition kinds of a zone date
const int kTransitionFixed = 0;     // a date with a year, or the same month and day every year
const int kTransitionNone = 1;
const int kTransitionWeekday = 2;   // the n-th (5 = last) weekday of a month

// Daylight states
const int kStateDaylight = 1;
const int kStateStandard = -1;
const int kStateNoRule = 0;

// The computer's own zone, one copy per process.
struct LocalZoneState {
    TimeZoneRecord zone;
    bool daylight;              // its daylight saving is in force
};

// Week numbering of the settings: numbering 1 = the first week with four days
// of the year is week 1, else the week holding 1 January; firstDay 0 = Sunday.
struct WeekRules {
    uint32_t numbering;
    uint32_t firstDay;
};

bool IsLeapYear(int year);
int GetDaysInMonth(int month, int year);

// 0..6 for any weekday number, also a negative one.
int NormalWeekday(int day);

// Whole days since 1 January 1601; 0 when the date is not a valid time.
uint32_t GetDayNumber(const SYSTEMTIME& date);
// Weekday (0 = Sunday) of a day number.
int WeekdayOfDayNumber(uint32_t day);
// The date of a day number with its weekday; the time of day is cleared.
void DayNumberToDate(uint32_t day, SYSTEMTIME* date);

// Day of the month of the n-th (5 or more = last) weekday; 0 when there is none
// or the month is outside 1..12.
int GetNthWeekday(int month, int year, int n, int weekday);
int GetDayOfYear(const SYSTEMTIME& date);   // 1 January = 0

// Moves by less than a day either way, carrying day, weekday, month and year.
void AddMinutes(SYSTEMTIME& date, int minutes);
// Steps day by day: meant for a few weeks at most.
void AddDays(SYSTEMTIME& date, int days);
// Clamps the day to the new month's length.
void AddMonths(SYSTEMTIME& date, int months);

// ((year*16 + month)*32 + day - 33)*100000 + seconds of the day; orders as the moments do.
int64_t PackedDateKey(const SYSTEMTIME& date);

int GetTransitionKind(const SYSTEMTIME& date, int weekRule);
// True when the system's own conversion applies: both dates of one kind, not fixed.
bool HasSystemRules(const TimeZoneRecord& zone);
// Keys, in the zone's base time, of the end and start of daylight saving in `year`.
bool GetTransitionKeys(int year, const TimeZoneRecord& zone, int64_t* endKey, int64_t* startKey);
// 1 daylight, -1 standard, 0 no rule, at a time in the zone's base time (UTC - Bias).
int GetDaylightState(const TimeZoneRecord& zone, const SYSTEMTIME& baseTime);
// The conversion by the zone's own rules, without the system.
void UtcToZoneTimeOwn(const SYSTEMTIME& utc, SYSTEMTIME* out, const TimeZoneRecord& zone);

int GetWeekNumberJan1(const SYSTEMTIME& date, int firstDay);
int GetWeekNumberIso(const SYSTEMTIME& date, int firstDay);
int GetWeekNumber(const SYSTEMTIME& date, const WeekRules& rules);

// +1 when a is earlier, -1 when later, 0 for the same second.
int CompareDateTimes(const SYSTEMTIME& a, const SYSTEMTIME& b);

// True when the clock shows the computer's own zone.
bool IsLocalZoneClock(const ClockRecord& clock, const LocalZoneState& local);

// The zone copy a clock converts with: biases cleared for a named zone whose
// clock does not follow daylight saving.
void GetClockZone(const ClockRecord& clock, TimeZoneRecord* zone);
// A timer that is not anchored to a moment of its zone runs on UTC.
bool IsUnanchoredTimer(const ClockRecord& clock);
