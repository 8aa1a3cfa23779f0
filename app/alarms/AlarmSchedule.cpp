#include "app/alarms/AlarmSchedule.h"

#include <stdio.h>

#include "graphics/time/ZoneTime.h"

namespace {

const uint32_t kSecondsPerDay = 86400;
const int kCronFirstYear = 1980;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

uint32_t TimeOfDay(const SYSTEMTIME& t)
{
    return t.wHour * 3600u + t.wMinute * 60u + t.wSecond;
}

void SetTimeOfDay(SYSTEMTIME& t, uint32_t seconds)
{
    t.wHour = (WORD)((seconds / 3600) % 24);
    t.wMinute = (WORD)((seconds % 3600) / 60);
    t.wSecond = (WORD)(seconds % 60);
    t.wMilliseconds = 0;
}

// The moment `seconds` into day number `day`.
SYSTEMTIME Occurrence(uint32_t day, uint32_t seconds)
{
    SYSTEMTIME t;
    DayNumberToDate(day + seconds / kSecondsPerDay, &t);
    SetTimeOfDay(t, seconds % kSecondsPerDay);
    return t;
}

uint32_t DayOf(const SYSTEMTIME& t)
{
    SYSTEMTIME date = t;
    date.wHour = date.wMinute = date.wSecond = date.wMilliseconds = 0;
    return GetDayNumber(date);
}

int MonthIndex(int year, int month) { return year * 12 + month - 1; }

bool Once(const AlarmRecord& a, const SYSTEMTIME& now, SYSTEMTIME* out)
{
    if (CompareSystemTimes(a.once, now) > 0)
        return false;
    *out = a.once;
    out->wMilliseconds = 0;
    uint32_t day = DayOf(*out);
    if (day)
        out->wDayOfWeek = (WORD)WeekdayOfDayNumber(day);
    return true;
}

bool Daily(const AlarmRecord& a, const SYSTEMTIME& start, const SYSTEMTIME& now, SYSTEMTIME* out)
{
    const SYSTEMTIME& first = a.dailyStart;
    if (CompareDates(first, now) > 0)
        return false;
    int64_t d0 = DayOf(first), dN = DayOf(now), dS = DayOf(start);
    uint32_t tod = TimeOfDay(first), todN = TimeOfDay(now);
    if (d0 == 0 || dN == 0)
        return false;
    if (a.dailyInterval >= 1) {
        int64_t i = a.dailyInterval;
        int64_t d = d0 + (dN - d0) / i * i;
        if (d == dN && tod > todN)
            d -= i;
        if (d < d0)
            return false;
        *out = Occurrence((uint32_t)d, tod);
        return true;
    }
    // Monday to Friday
    if (dN < dS)
        return false;
    int w = WeekdayOfDayNumber((uint32_t)dN);
    for (int64_t d = dN; d >= d0 && d > 0 && d >= dS; --d, w = (w + 6) % 7) {
        if (w < 1 || w > 5)
            continue;
        if (d < dN || tod <= todN) {
            *out = Occurrence((uint32_t)d, tod);
            return true;
        }
    }
    return false;
}

bool Weekly(const AlarmRecord& a, const SYSTEMTIME& start, const SYSTEMTIME& now, SYSTEMTIME* out)
{
    const SYSTEMTIME& first = a.weeklyStart;
    uint32_t mask = a.weeklyMask & 0x7F;
    uint32_t tod = TimeOfDay(first), todN = TimeOfDay(now);
    if (!mask || CompareDates(first, now) > 0 || (CompareDates(first, now) == 0 && tod > todN))
        return false;
    int64_t k = a.weeklyInterval < 1 ? 1 : a.weeklyInterval;
    int64_t d0 = DayOf(first), dN = DayOf(now), dS = DayOf(start);
    if (d0 == 0 || dN == 0 || dN < dS)
        return false;
    int64_t w0 = d0 - WeekdayOfDayNumber((uint32_t)d0);  // the Sunday of the first week
    int64_t d = dN;
    for (;;) {
        if (d < d0 || d == 0)
            return false;
        int64_t weeks = (d - w0) / 7;
        if (weeks % k != 0) {
            d = w0 + 7 * k * (weeks / k) + 6;  // Saturday of the latest matching week
            if (d >= dN)
                return false;
        } else if ((mask & (1u << WeekdayOfDayNumber((uint32_t)d))) && (d < dN || tod <= todN)) {
            break;
        } else {
            --d;
        }
        if (d < dS)
            return false;
    }
    *out = Occurrence((uint32_t)d, tod);
    return true;
}

int TargetDay(bool nthForm, uint32_t fixedDay, uint32_t ordinal, uint32_t weekday, int month, int year)
{
    if (nthForm)
        return GetNthWeekday(month, year, (int)ordinal, (int)weekday);
    return (int)fixedDay;
}

// K moved to day `target` of its month at `tod`, its weekday moved with it.
SYSTEMTIME AtDay(SYSTEMTIME k, int target, uint32_t tod)
{
    int back = k.wDay - target;
    k.wDayOfWeek = (WORD)(((k.wDayOfWeek - back) % 7 + 7) % 7);
    k.wDay = (WORD)target;
    SetTimeOfDay(k, tod);
    return k;
}

bool Monthly(const AlarmRecord& a, const SYSTEMTIME& start, const SYSTEMTIME& now, SYSTEMTIME* out)
{
    int m0 = MonthIndex((int)a.monthlyFirstYear, (int)a.monthlyFirstMonth);
    int mN = MonthIndex(now.wYear, now.wMonth), mS = MonthIndex(start.wYear, start.wMonth);
    if (mN < m0 || mN < mS)
        return false;
    int k = a.monthlyInterval < 1 ? 1 : a.monthlyInterval;
    SYSTEMTIME K = now;
    for (int m = mN; m >= m0 && m > 0 && m >= mS; --m, StepBackToPreviousMonthEnd(K)) {
        if ((m - m0) % k != 0)
            continue;
        int target = TargetDay(a.monthlyNthForm != 0, a.monthlyDay, a.monthlyOrdinal, a.monthlyWeekday, K.wMonth,
                               K.wYear);
        if (target > 0 && K.wDay * kSecondsPerDay + TimeOfDay(K) >= target * kSecondsPerDay + a.monthlyTime) {
            *out = AtDay(K, target, a.monthlyTime);
            return true;
        }
    }
    return false;
}

bool Yearly(const AlarmRecord& a, const SYSTEMTIME& start, const SYSTEMTIME& now, SYSTEMTIME* out)
{
    SYSTEMTIME K = now;
    while (K.wMonth != a.yearlyMonth && K.wYear >= start.wYear && K.wYear > 0)
        StepBackToPreviousMonthEnd(K);
    if (K.wMonth != a.yearlyMonth)
        return false;
    int target;
    for (;;) {
        target = TargetDay(a.yearlyNthForm != 0, a.yearlyDay, a.yearlyOrdinal, a.yearlyWeekday, K.wMonth, K.wYear);
        if (target > 0 && K.wDay * kSecondsPerDay + TimeOfDay(K) >= target * kSecondsPerDay + a.yearlyTime)
            break;
        K.wYear -= 1;
        K.wDay = (WORD)GetDaysInMonth(K.wMonth, K.wYear);
        K.wHour = 23;
        K.wMinute = K.wSecond = 59;
        K.wMilliseconds = 0;
        if (K.wYear == 0 || CompareSystemTimes(K, start) <= 0)
            return false;
    }
    K.wDay = (WORD)target;
    SetTimeOfDay(K, a.yearlyTime);
    K.wDayOfWeek = (WORD)WeekdayOfDayNumber(DayOf(K));
    *out = K;
    return true;
}

// The highest set bit of `mask` not above `at`; -1 when there is none.
int HighestAtOrBelow(uint64_t mask, int at)
{
    for (int i = at; i >= 0; --i)
        if (mask & (1ull << i))
            return i;
    return -1;
}

void ToPreviousDay(SYSTEMTIME& t)
{
    if (!StepBackOneDay(t))
        StepBackToPreviousMonthEnd(t);
}

}  // namespace

int CompareDates(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    int ka = (a.wYear * 12 + a.wMonth) * 32 + a.wDay, kb = (b.wYear * 12 + b.wMonth) * 32 + b.wDay;
    return ka > kb ? 1 : ka < kb ? -1 : 0;
}

int CompareTimesOfDay(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    uint32_t ta = TimeOfDay(a), tb = TimeOfDay(b);
    return ta > tb ? 1 : ta < tb ? -1 : 0;
}

int CompareSystemTimes(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    int c = CompareDates(a, b);
    return c != 0 ? c : CompareTimesOfDay(a, b);
}

void StepBackToPreviousMonthEnd(SYSTEMTIME& t)
{
    int left = t.wDay;
    if (t.wMonth <= 1) {
        t.wMonth = 12;
        t.wYear -= 1;
    } else {
        t.wMonth -= 1;
    }
    t.wDay = (WORD)GetDaysInMonth(t.wMonth, t.wYear);
    t.wHour = 23;
    t.wMinute = t.wSecond = 59;
    t.wMilliseconds = 0;
    t.wDayOfWeek = (WORD)(((t.wDayOfWeek - left) % 7 + 7) % 7);
}

bool StepBackOneDay(SYSTEMTIME& t)
{
    if (t.wDay <= 1)
        return false;
    t.wDay -= 1;
    t.wHour = 23;
    t.wMinute = t.wSecond = 59;
    t.wMilliseconds = 0;
    t.wDayOfWeek = (WORD)((t.wDayOfWeek + 6) % 7);
    return true;
}

const char* ParseCronField(const char* p, uint64_t* mask, int low, int high)
{
    *mask = 0;
    while (IsBlank(*p))
        ++p;
    if (*p == '*') {
        ++p;
        while (IsBlank(*p))
            ++p;
        return p;
    }
    while (IsDigit(*p)) {
        int a = 0;
        for (; IsDigit(*p); ++p)
            if ((a = a * 10 + (*p - '0')) > high)
                return nullptr;
        if (a < low)
            return nullptr;
        int b = a;
        if (*p == '-') {
            ++p;
            if (!IsDigit(*p))
                return nullptr;
            for (b = 0; IsDigit(*p); ++p)
                if ((b = b * 10 + (*p - '0')) > high)
                    return nullptr;
            if (b < a)
                return nullptr;
        }
        for (int i = a; i <= b; ++i)
            *mask |= 1ull << i;
        while (IsBlank(*p) || *p == ',')
            ++p;
    }
    return p;
}

bool ParseCronSchedule(const char* text, CronSchedule* cron)
{
    *cron = CronSchedule{};
    uint64_t mask;
    const char* p = ParseCronField(text, &mask, 0, 59);
    if (!p || *p++ != ';')
        return false;
    cron->minutes = mask;
    if (!(p = ParseCronField(p, &mask, 0, 23)) || *p++ != ';')
        return false;
    cron->hours = (uint32_t)mask;

    const char* q = p;
    while (IsBlank(*q))
        ++q;
    if (*q == '-') {
        int v = 0;
        for (++q; IsDigit(*q); ++q)
            if ((v = v * 10 + (*q - '0')) > 31)
                return false;
        if (v < 1)
            return false;  // "-0" or no number
        while (IsBlank(*q))
            ++q;
        cron->days = -v;
        p = q;
    } else {
        if (!(p = ParseCronField(p, &mask, 1, 31)))
            return false;
        cron->days = (int32_t)(mask >> 1);
    }
    if (*p++ != ';')
        return false;
    if (!(p = ParseCronField(p, &mask, 1, 12)) || *p++ != ';')
        return false;
    cron->months = (uint32_t)mask;
    if (!(p = ParseCronField(p, &mask, 1, 7)))
        return false;
    cron->weekdays = (uint32_t)(mask >> 1);
    return true;
}

char* FormatCronField(uint64_t mask, char* out, size_t chars)
{
    if (chars == 0)
        return out;
    size_t n = 0;
    auto put = [&](const char* text) {
        for (; *text && n + 1 < chars; ++text)
            out[n++] = *text;
    };
    if (mask == 0) {
        put("*");
    } else {
        char part[32];
        for (int bit = 0; bit < 64;) {
            if (!(mask >> bit & 1)) {
                ++bit;
                continue;
            }
            int last = bit;
            while (last + 1 < 64 && (mask >> (last + 1) & 1))
                ++last;
            if (last - bit >= 2)
                snprintf(part, sizeof(part), "%d-%d,", bit, last);
            else if (last > bit)
                snprintf(part, sizeof(part), "%d,%d,", bit, last);
            else
                snprintf(part, sizeof(part), "%d,", bit);
            put(part);
            bit = last + 1;
        }
        if (n > 0 && out[n - 1] == ',')
            --n;  // the last separator
    }
    out[n] = 0;
    return out + n;
}

void FormatCronSchedule(const CronSchedule& cron, char* out, size_t chars)
{
    if (chars == 0)
        return;
    out[0] = 0;
    char* p = out;
    char* end = out + chars;
    auto field = [&](uint64_t mask, bool separator) {
        p = FormatCronField(mask, p, (size_t)(end - p));
        if (separator && p + 1 < end) {
            *p++ = ';';
            *p = 0;
        }
    };
    field(cron.minutes, true);
    field(cron.hours, true);
    if (cron.days < 0) {
        int n = snprintf(p, (size_t)(end - p), "%d;", (int)cron.days);
        p += n > 0 && p + n < end ? n : 0;
    } else {
        field((uint64_t)(uint32_t)cron.days << 1, true);
    }
    field(cron.months, true);
    field((uint64_t)cron.weekdays << 1, false);
}

bool ParseAlarmSchedule(int kind, const char* text, AlarmRecord* a)
{
    unsigned short y, mo, d, h, mi, s;
    switch (kind) {
    case kAlarmOnce:
        if (sscanf(text, "%4hu.%2hu.%2hu %2hu:%2hu:%2hu", &y, &mo, &d, &h, &mi, &s) != 6)
            return false;
        a->once = SYSTEMTIME{y, mo, 0, d, h, mi, s, 0};
        return true;
    case kAlarmDaily: {
        int interval;
        if (sscanf(text, "%4hu.%2hu.%2hu %2hu:%2hu:%2hu %i", &y, &mo, &d, &h, &mi, &s, &interval) != 7)
            return false;
        a->dailyStart = SYSTEMTIME{y, mo, 0, d, h, mi, s, 0};
        a->dailyInterval = interval;
        return true;
    }
    case kAlarmWeekly: {
        int interval;
        unsigned mask;
        if (sscanf(text, "%4hu.%2hu.%2hu %2hu:%2hu:%2hu %i %2X", &y, &mo, &d, &h, &mi, &s, &interval, &mask) != 8)
            return false;
        a->weeklyStart = SYSTEMTIME{y, mo, 0, d, h, mi, s, 0};
        a->weeklyInterval = interval;
        a->weeklyMask = mask;
        return true;
    }
    case kAlarmMonthly: {
        unsigned hh, mm, ss, form, day, ordinal, weekday, month, year;
        int interval;
        if (sscanf(text, "%2u:%2u:%2u %u %u %u %u %i %2u.%4u", &hh, &mm, &ss, &form, &day, &ordinal, &weekday,
                   &interval, &month, &year) != 10)
            return false;
        a->monthlyTime = hh * 3600 + mm * 60 + ss;
        a->monthlyNthForm = form != 0;
        a->monthlyDay = day;
        a->monthlyOrdinal = ordinal;
        a->monthlyWeekday = weekday;
        a->monthlyInterval = interval;
        a->monthlyFirstMonth = month;
        a->monthlyFirstYear = year;
        return true;
    }
    case kAlarmYearly: {
        unsigned hh, mm, ss, form, month, day, ordinal, weekday;
        if (sscanf(text, "%2u:%2u:%2u %u %2u %2u %2u %1u", &hh, &mm, &ss, &form, &month, &day, &ordinal,
                   &weekday) != 8)
            return false;
        a->yearlyTime = hh * 3600 + mm * 60 + ss;
        a->yearlyNthForm = form != 0;
        a->yearlyMonth = month;
        a->yearlyDay = day;
        a->yearlyOrdinal = ordinal;
        a->yearlyWeekday = weekday;
        return true;
    }
    case kAlarmCron: {
        CronSchedule cron;
        if (!ParseCronSchedule(text, &cron))
            return false;
        a->cronMinutes = cron.minutes;
        a->cronHours = cron.hours;
        a->cronDays = cron.days;
        a->cronMonths = cron.months;
        a->cronWeekdays = cron.weekdays;
        return true;
    }
    }
    return false;
}

CronSchedule CronOf(const AlarmRecord& a)
{
    return CronSchedule{a.cronMinutes, a.cronHours, a.cronDays, a.cronMonths, a.cronWeekdays};
}

// Searches back from the candidate field by field. Where a field is lowered,
// the fields below it start again from their highest allowed values, and a day
// with nothing left continues from the day before: stepping only the lowered
// field back, as a plain look-back would, misses "30;9;*;*;*" at 10:05 and
// finds nothing before 09:00 for "0;9;*;*;*".
bool MatchCronSchedule(const CronSchedule& cron, const SYSTEMTIME& start, SYSTEMTIME* candidate)
{
    SYSTEMTIME& K = *candidate;
    if (K.wYear < start.wYear || K.wYear < kCronFirstYear)
        return false;
    for (;;) {
        // every pass moves K back; nothing at or before the window start counts, which also ends the search
        if (CompareSystemTimes(K, start) <= 0 || K.wYear < kCronFirstYear)
            return false;
        if (cron.months && !(cron.months & (1u << K.wMonth))) {
            StepBackToPreviousMonthEnd(K);
            continue;
        }
        if (cron.days > 0 && !(cron.days & (1 << (K.wDay - 1)))) {
            ToPreviousDay(K);
            continue;
        }
        if (cron.days < 0) {
            int target = GetDaysInMonth(K.wMonth, K.wYear) + cron.days + 1;
            if (target < 1 || K.wDay < target) {
                StepBackToPreviousMonthEnd(K);
                continue;
            }
            if (K.wDay > target) {
                // an earlier day: its last second, so that the whole day is searched
                K.wDay = (WORD)target;
                K.wHour = 23;
                K.wMinute = K.wSecond = 59;
                K.wMilliseconds = 0;
            }
            K.wDayOfWeek = (WORD)WeekdayOfDayNumber(DayOf(K));
        }
        if (cron.weekdays && !(cron.weekdays & (1u << K.wDayOfWeek))) {
            ToPreviousDay(K);
            continue;
        }
        // the latest hour and minute of this day not after K; a lowered hour may use any of its minutes
        const uint64_t anyMinute = (1ull << 60) - 1;
        for (int h = K.wHour; h >= 0; --h) {
            if (cron.hours && !(cron.hours & (1u << h)))
                continue;
            int m = HighestAtOrBelow(cron.minutes ? cron.minutes : anyMinute, h == K.wHour ? K.wMinute : 59);
            if (m < 0)
                continue;
            K.wHour = (WORD)h;
            K.wMinute = (WORD)m;
            K.wSecond = 0;
            K.wMilliseconds = 0;
            return CompareSystemTimes(K, start) > 0;
        }
        // nothing left on this day: the day before
        ToPreviousDay(K);
    }
}

bool LastAlarmOccurrence(const AlarmRecord& alarm, const SYSTEMTIME& start, const SYSTEMTIME& now,
                         SYSTEMTIME* occurrence)
{
    if (!alarm.enabled)
        return false;
    switch (alarm.kind) {
    case kAlarmOnce:
        return Once(alarm, now, occurrence);
    case kAlarmDaily:
        return Daily(alarm, start, now, occurrence);
    case kAlarmWeekly:
        return Weekly(alarm, start, now, occurrence);
    case kAlarmMonthly:
        return Monthly(alarm, start, now, occurrence);
    case kAlarmYearly:
        return Yearly(alarm, start, now, occurrence);
    case kAlarmCron: {
        SYSTEMTIME k = now;
        if (!MatchCronSchedule(CronOf(alarm), start, &k))
            return false;
        k.wSecond = 0;
        k.wMilliseconds = 0;
        *occurrence = k;
        return true;
    }
    }
    return false;
}
