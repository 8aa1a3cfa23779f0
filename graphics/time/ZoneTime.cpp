#include "graphics/time/ZoneTime.h"

#include <string.h>

#include "graphics/records/FixedText.h"

extern const WCHAR kLocalZoneName[] = TL_W("Local System Time");

namespace {

const int kMonthLength[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

// Days from 1601-01-01 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t k1601 = 584694;  // days from 0000-03-01 to 1601-01-01
    return era * 146097 + doe - k1601;
}

// The inverse of DaysFromCivil.
void CivilFromDays(int64_t days, int* year, int* month, int* day)
{
    days += 584694;  // counted from 0000-03-01, so that leap days end a year
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t doe = days - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    *day = (int)(doy - (153 * mp + 2) / 5 + 1);
    *month = (int)(mp < 10 ? mp + 3 : mp - 9);
    *year = (int)(yoe + era * 400 + (*month <= 2));
}

void StepDay(SYSTEMTIME& t, bool forward)
{
    if (forward) {
        if (++t.wDay > GetDaysInMonth(t.wMonth, t.wYear)) {
            t.wDay = 1;
            if (++t.wMonth > 12) {
                t.wMonth = 1;
                ++t.wYear;
            }
        }
        t.wDayOfWeek = (t.wDayOfWeek + 1) % 7;
    } else {
        if (t.wDay <= 1) {
            if (t.wMonth <= 1) {
                t.wMonth = 12;
                --t.wYear;
            } else {
                --t.wMonth;
            }
            t.wDay = GetDaysInMonth(t.wMonth, t.wYear);
        } else {
            --t.wDay;
        }
        t.wDayOfWeek = (t.wDayOfWeek + 6) % 7;
    }
}

// Moves a copy to the first day of its week that starts on firstDay; returns
// the number of days stepped back from 1 January.
int StepsBackFromJan1(const SYSTEMTIME& date, int firstDay, SYSTEMTIME* weekStart)
{
    SYSTEMTIME t = date;
    t.wMonth = 1;
    t.wDay = 1;
    t.wDayOfWeek = (WORD)WeekdayOfDayNumber(GetDayNumber(t));
    int k = 0;
    while (t.wDayOfWeek != firstDay) {
        StepDay(t, false);
        ++k;
    }
    *weekStart = t;
    return k;
}

}  // namespace

// % keeps the sign of a negative number, and the week walks below look for
// an exact match.
int NormalWeekday(int day)
{
    return (day % 7 + 7) % 7;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int GetDaysInMonth(int month, int year)
{
    if (month < 0)
        return 0;
    return kMonthLength[IsLeapYear(year) ? 1 : 0][month % 13];
}

uint32_t GetDayNumber(const SYSTEMTIME& d)
{
    // the checks SystemTimeToFileTime makes
    if (d.wYear < 1601 || d.wYear > 30827 || d.wMonth < 1 || d.wMonth > 12 || d.wDay < 1 ||
        d.wDay > GetDaysInMonth(d.wMonth, d.wYear) || d.wHour > 23 || d.wMinute > 59 ||
        d.wSecond > 59 || d.wMilliseconds > 999)
        return 0;
    return (uint32_t)DaysFromCivil(d.wYear, d.wMonth, d.wDay);
}

int WeekdayOfDayNumber(uint32_t day)
{
    return (int)((day % 7 + 1) % 7);  // 1601-01-01 was a Monday
}

void DayNumberToDate(uint32_t day, SYSTEMTIME* date)
{
    int y, m, d;
    CivilFromDays(day, &y, &m, &d);
    *date = SYSTEMTIME{(WORD)y, (WORD)m, (WORD)WeekdayOfDayNumber(day), (WORD)d, 0, 0, 0, 0};
}

int GetNthWeekday(int month, int year, int n, int weekday)
{
    if (n < 1 || weekday < 0 || weekday > 6 || month < 1 || month > 12)
        return 0;
    int length = GetDaysInMonth(month, year);
    SYSTEMTIME first = {};
    first.wYear = (WORD)year;
    first.wMonth = (WORD)month;
    first.wDay = 1;
    int w1 = WeekdayOfDayNumber(GetDayNumber(first));
    int day = 1 + (weekday - w1 + 7) % 7;
    if (n <= 4) {
        day += 7 * (n - 1);
        return day > length ? 0 : day;
    }
    day += 42;
    while (day > length)
        day -= 7;
    return day;
}

int GetDayOfYear(const SYSTEMTIME& date)
{
    int days = date.wDay - 1;
    for (int m = 1; m < date.wMonth && m <= 12; ++m)
        days += GetDaysInMonth(m, date.wYear);
    return days;
}

void AddMinutes(SYSTEMTIME& date, int minutes)
{
    int t = date.wHour * 60 + date.wMinute + minutes;
    if (t < 0) {
        t += 1440;
        StepDay(date, false);
    }
    date.wHour = (WORD)(t / 60);
    date.wMinute = (WORD)(t % 60);
    if (date.wHour >= 24) {
        date.wHour -= 24;
        StepDay(date, true);
    }
}

void AddDays(SYSTEMTIME& date, int days)
{
    for (; days > 0; --days)
        StepDay(date, true);
    for (; days < 0; ++days)
        StepDay(date, false);
}

void AddMonths(SYSTEMTIME& date, int months)
{
    int count = 0;
    int month = date.wMonth;
    int year = date.wYear;
    for (; months > 0; --months) {
        count += GetDaysInMonth(month, year);
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    for (; months < 0; ++months) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        count -= GetDaysInMonth(month, year);
    }
    date.wMonth = (WORD)month;
    date.wYear = (WORD)year;
    int length = GetDaysInMonth(month, year);
    if (date.wDay > length) {
        count -= date.wDay - length;
        date.wDay = (WORD)length;
    }
    date.wDayOfWeek = (WORD)NormalWeekday(date.wDayOfWeek + count % 7);
}

int64_t PackedDateKey(const SYSTEMTIME& d)
{
    int64_t days = ((int64_t)d.wYear * 16 + d.wMonth) * 32 + d.wDay - 33;
    return days * 100000 + d.wHour * 3600 + d.wMinute * 60 + d.wSecond;
}

int GetTransitionKind(const SYSTEMTIME& date, int weekRule)
{
    if (date.wYear != 0)
        return kTransitionFixed;
    if (weekRule == 0)
        return date.wMonth != 0 ? kTransitionFixed : kTransitionNone;
    if (weekRule < -1 || weekRule > 5 || date.wDay < 1 || date.wDay > 5)
        return kTransitionFixed;
    return kTransitionWeekday;
}

bool HasSystemRules(const TimeZoneRecord& zone)
{
    int s = GetTransitionKind(zone.tzi.StandardDate, zone.standardRule);
    int d = GetTransitionKind(zone.tzi.DaylightDate, zone.daylightRule);
    return s == d && s != kTransitionFixed;
}

bool GetTransitionKeys(int year, const TimeZoneRecord& zone, int64_t* endKey, int64_t* startKey)
{
    *endKey = 0;
    *startKey = 0;
    if (zone.tzi.StandardDate.wMonth == 0 && zone.tzi.DaylightDate.wMonth == 0)
        return false;

    SYSTEMTIME dates[2] = {zone.tzi.StandardDate, zone.tzi.DaylightDate};
    const int rules[2] = {zone.standardRule, zone.daylightRule};
    for (int i = 0; i < 2; ++i) {
        SYSTEMTIME& d = dates[i];
        if (GetTransitionKind(d, rules[i]) != kTransitionFixed) {
            d.wYear = (WORD)year;
            d.wDay = (WORD)GetNthWeekday(d.wMonth, year, d.wDay, d.wDayOfWeek);
        } else if (d.wYear == 0) {
            d.wYear = (WORD)year;
        }
    }
    // the end is stated in daylight time, the start in standard time: move both to base time
    AddMinutes(dates[0], zone.tzi.DaylightBias);
    AddMinutes(dates[1], zone.tzi.StandardBias);
    *endKey = PackedDateKey(dates[0]);
    *startKey = PackedDateKey(dates[1]);
    return true;
}

int GetDaylightState(const TimeZoneRecord& zone, const SYSTEMTIME& t)
{
    int64_t e, s;
    if (!GetTransitionKeys(t.wYear, zone, &e, &s))
        return kStateNoRule;
    int64_t a = PackedDateKey(t);
    if (zone.tzi.StandardDate.wYear == 0 && zone.tzi.DaylightDate.wYear == 0) {
        if (e > s)
            return (a >= s && a < e) ? kStateDaylight : kStateStandard;
        return (a < e || a >= s) ? kStateDaylight : kStateStandard;
    }
    // switches of one particular year: only Bias before the first of them
    if (e < s)
        return a < e ? kStateNoRule : a < s ? kStateStandard : kStateDaylight;
    if (s < e)
        return a < s ? kStateNoRule : a < e ? kStateDaylight : kStateStandard;
    return kStateNoRule;
}

void UtcToZoneTimeOwn(const SYSTEMTIME& utc, SYSTEMTIME* out, const TimeZoneRecord& zone)
{
    *out = utc;
    AddMinutes(*out, -zone.tzi.Bias);
    int state = GetDaylightState(zone, *out);
    if (state == kStateStandard)
        AddMinutes(*out, -zone.tzi.StandardBias);
    else if (state == kStateDaylight)
        AddMinutes(*out, -zone.tzi.DaylightBias);
}

int GetWeekNumberJan1(const SYSTEMTIME& date, int firstDay)
{
    firstDay = NormalWeekday(firstDay);
    int a = GetDayOfYear(date);
    SYSTEMTIME start;
    int b = a + StepsBackFromJan1(date, firstDay, &start);
    int leap = IsLeapYear(date.wYear) ? 1 : 0;
    if (365 + leap - a < 7 - b % 7)
        return 1;  // the week holds 1 January of the next year
    return b / 7 + 1;
}

int GetWeekNumberIso(const SYSTEMTIME& date, int firstDay)
{
    firstDay = NormalWeekday(firstDay);
    int a = GetDayOfYear(date);
    SYSTEMTIME start;
    int k = StepsBackFromJan1(date, firstDay, &start);
    int b = k > 3 ? a + k - 7 : a + k;
    if (b < 0)
        return GetWeekNumberIso(start, firstDay);  // a week of December of the year before
    int leap = IsLeapYear(date.wYear) ? 1 : 0;
    if (365 + leap - a + 3 < 7 - b % 7)
        return 1;  // fewer than four days of this week lie in the date's year
    return b / 7 + 1;
}

int GetWeekNumber(const SYSTEMTIME& date, const WeekRules& rules)
{
    return rules.numbering == 1 ? GetWeekNumberIso(date, (int)rules.firstDay)
                                : GetWeekNumberJan1(date, (int)rules.firstDay);
}

int CompareDateTimes(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    int64_t ka = PackedDateKey(a), kb = PackedDateKey(b);
    return ka < kb ? 1 : ka > kb ? -1 : 0;
}

bool IsLocalZoneClock(const ClockRecord& clock, const LocalZoneState& local)
{
    const TimeZoneRecord& z = clock.zone;
    if (FixedEquals(z.zoneName, FIELD_WIDTH(z.zoneName), kLocalZoneName))
        return true;
    bool c = (clock.flags & kClockUseDaylight) && z.tzi.DaylightDate.wMonth != 0;
    bool l = local.daylight;
    const TIME_ZONE_INFORMATION& lz = local.zone.tzi;
    if (c != l || z.tzi.Bias != lz.Bias)
        return false;
    if (!l)
        return true;
    auto same = [](const SYSTEMTIME& x, const SYSTEMTIME& y) {
        return x.wMonth == y.wMonth && x.wDay == y.wDay && x.wHour == y.wHour && x.wMinute == y.wMinute;
    };
    return z.tzi.StandardBias == lz.StandardBias && z.tzi.DaylightBias == lz.DaylightBias &&
           same(z.tzi.DaylightDate, lz.DaylightDate) && same(z.tzi.StandardDate, lz.StandardDate);
}

bool IsUnanchoredTimer(const ClockRecord& clock)
{
    return (clock.kind & kClockTimer) && !(clock.kind & kClockFixedMoment);
}

void GetClockZone(const ClockRecord& clock, TimeZoneRecord* zone)
{
    memcpy(zone, &clock.zone, sizeof(*zone));
    if (!FixedEquals(zone->zoneName, FIELD_WIDTH(zone->zoneName), kLocalZoneName) &&
        !(clock.flags & kClockUseDaylight)) {
        zone->tzi.StandardBias = 0;
        zone->tzi.DaylightBias = 0;
    }
}
