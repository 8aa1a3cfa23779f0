#include "settings/alarmpages/ScheduleEdits.h"

#include <initializer_list>

#include "app/alarms/AlarmSchedule.h"
#include "app/settings/SettingsValues.h"
#include "graphics/time/ZoneTime.h"

const int32_t kLeadTimes[kLeadTimeCount] = {1, 5, 15, 30, 60, 240, 480, 720, 1440, 2880, 5760, 10080};

namespace {

const int kMinutesPerDay = 1440;
const uint32_t kSecondsPerDay = 86400;
// a typed day counted from the month's end; -31 would only ever hit months of 31 days
const int kLowestDayFromEnd = 30;

struct CronBounds {
    int low, high;
    int shift;  // days and weekdays are kept one bit down
};
const CronBounds kCronBounds[kCronFieldCount] = {{0, 59, 0}, {0, 23, 0}, {1, 31, 1}, {1, 12, 0}, {1, 7, 1}};

bool IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(WCHAR c)
{
    return c >= '0' && c <= '9';
}

uint32_t SecondsOfDay(const SYSTEMTIME& t)
{
    return t.wHour * 3600u + t.wMinute * 60u + t.wSecond;
}

void SetSecondsOfDay(SYSTEMTIME* t, uint32_t seconds)
{
    seconds %= kSecondsPerDay;
    t->wHour = (WORD)(seconds / 3600);
    t->wMinute = (WORD)(seconds / 60 % 60);
    t->wSecond = (WORD)(seconds % 60);
    t->wMilliseconds = 0;
}

// A day no later than the month's last, so that the date stays a date.
void SetDay(SYSTEMTIME* t, uint32_t day)
{
    if (day < 1)
        return;
    int last = GetDaysInMonth(t->wMonth, t->wYear);
    t->wDay = (WORD)(last > 0 && (int)day > last ? last : day);
}

void SetMonth(SYSTEMTIME* t, uint32_t month)
{
    if (month < 1 || month > 12)
        return;
    t->wMonth = (WORD)month;
    SetDay(t, t->wDay);
}

void SetYear(SYSTEMTIME* t, uint32_t year)
{
    // the date pickers and the file's four digits end there
    if (year < 1601 || year > 9999)
        return;
    t->wYear = (WORD)year;
    SetDay(t, t->wDay);
}

// The date-and-time kinds' fields of the alarm.
SYSTEMTIME* DatedField(AlarmRecord* alarm, int kind)
{
    switch (kind) {
    case kAlarmOnce:
        return &alarm->once;
    case kAlarmDaily:
        return &alarm->dailyStart;
    case kAlarmWeekly:
        return &alarm->weeklyStart;
    }
    return nullptr;
}

// From a kind with a date: its month, year and time of day to the monthly
// and yearly schedules.
void CarryFromDate(AlarmRecord* alarm, const SYSTEMTIME& from)
{
    alarm->monthlyFirstMonth = from.wMonth;
    alarm->yearlyMonth = from.wMonth;
    alarm->monthlyFirstYear = from.wYear;
    alarm->monthlyTime = SecondsOfDay(from);
    alarm->yearlyTime = SecondsOfDay(from);
}

// From the monthly or yearly schedule to the three dated ones.
void CarryToDates(AlarmRecord* alarm, uint32_t time, uint32_t day, uint32_t month, uint32_t year)
{
    for (int kind : {kAlarmOnce, kAlarmDaily, kAlarmWeekly}) {
        SYSTEMTIME* t = DatedField(alarm, kind);
        SetSecondsOfDay(t, time);
        SetYear(t, year);
        SetMonth(t, month);
        SetDay(t, day);
    }
}

}  // namespace

LeadTimeParts SplitLeadTime(int32_t minutes)
{
    if (minutes < 0)
        minutes = -minutes;
    return {minutes / kMinutesPerDay, minutes % kMinutesPerDay / 60, minutes % 60};
}

void FillScheduleDefaults(AlarmRecord* alarm, const SYSTEMTIME& zoneNow)
{
    SYSTEMTIME now = zoneNow;
    now.wSecond = 0;
    now.wMilliseconds = 0;
    if (alarm->kind != kAlarmOnce)
        alarm->once = now;
    if (alarm->kind != kAlarmDaily) {
        alarm->dailyStart = now;
        alarm->dailyInterval = 1;
    }
    if (alarm->kind != kAlarmWeekly) {
        alarm->weeklyStart = now;
        alarm->weeklyInterval = 1;
        alarm->weeklyMask = 1u << (now.wDayOfWeek % 7);
    }
    if (alarm->kind != kAlarmMonthly) {
        alarm->monthlyNthForm = 0;
        alarm->monthlyDay = now.wDay;
        alarm->monthlyOrdinal = 1;
        alarm->monthlyWeekday = 0;
        alarm->monthlyTime = SecondsOfDay(now);
        alarm->monthlyInterval = 1;
        alarm->monthlyFirstMonth = now.wMonth;
        alarm->monthlyFirstYear = now.wYear;
    }
    if (alarm->kind != kAlarmYearly) {
        alarm->yearlyNthForm = 0;
        alarm->yearlyDay = now.wDay;
        alarm->yearlyMonth = now.wMonth;
        alarm->yearlyOrdinal = 1;
        alarm->yearlyWeekday = 1;
        alarm->yearlyTime = SecondsOfDay(now);
    }
    if (alarm->kind != kAlarmCron) {
        alarm->cronMinutes = 1;
        alarm->cronHours = 0;
        alarm->cronDays = 0;
        alarm->cronMonths = 0;
        alarm->cronWeekdays = 0;
    }
}

void CarryOverSchedule(AlarmRecord* alarm, int kindLeft)
{
    switch (kindLeft) {
    case kAlarmOnce:
    case kAlarmDaily:
    case kAlarmWeekly: {
        const SYSTEMTIME from = *DatedField(alarm, kindLeft);
        for (int kind : {kAlarmOnce, kAlarmDaily, kAlarmWeekly}) {
            if (kind != kindLeft)
                *DatedField(alarm, kind) = from;
        }
        if (kindLeft == kAlarmOnce) {
            alarm->monthlyDay = from.wDay;
            alarm->yearlyDay = from.wDay;
        }
        if (kindLeft == kAlarmWeekly)
            alarm->monthlyInterval = alarm->weeklyInterval;
        CarryFromDate(alarm, from);
        break;
    }
    case kAlarmMonthly:
        alarm->yearlyTime = alarm->monthlyTime;
        alarm->yearlyDay = alarm->monthlyDay;
        alarm->yearlyMonth = alarm->monthlyFirstMonth;
        alarm->weeklyInterval = alarm->monthlyInterval;
        CarryToDates(alarm, alarm->monthlyTime, alarm->monthlyDay, alarm->monthlyFirstMonth,
                     alarm->monthlyFirstYear);
        break;
    case kAlarmYearly:
        alarm->monthlyTime = alarm->yearlyTime;
        alarm->monthlyDay = alarm->yearlyDay;
        alarm->monthlyFirstMonth = alarm->yearlyMonth;
        CarryToDates(alarm, alarm->yearlyTime, alarm->yearlyDay, alarm->yearlyMonth, 0);
        break;
    default:
        break;
    }
}

bool CutYearlyDay(AlarmRecord* alarm)
{
    // 2000 is a leap year: a yearly 29 February stays
    int last = GetDaysInMonth((int)alarm->yearlyMonth, 2000);
    if (last <= 0 || alarm->yearlyDay <= (uint32_t)last)
        return false;
    alarm->yearlyDay = (uint32_t)last;
    return true;
}

bool ReadCronField(int field, const WCHAR* text, int64_t* value)
{
    if (field < 0 || field >= kCronFieldCount || !text)
        return false;
    const CronBounds& bounds = kCronBounds[field];
    const WCHAR* p = text;
    while (IsBlank(*p))
        ++p;
    if (field == kCronDays && *p == '-') {
        int days = 0;
        for (++p; IsDigit(*p); ++p) {
            if ((days = days * 10 + (*p - '0')) > kLowestDayFromEnd)
                return false;
        }
        while (IsBlank(*p))
            ++p;
        if (days < 1 || *p)
            return false;
        *value = -days;
        return true;
    }
    // the parser reads ASCII; any other character ends it early
    char narrow[256];
    size_t n = 0;
    for (; text[n] && n + 1 < sizeof(narrow); ++n)
        narrow[n] = text[n] < 0x80 ? (char)text[n] : '?';
    if (text[n])
        return false;
    narrow[n] = 0;
    uint64_t mask = 0;
    const char* end = ParseCronField(narrow, &mask, bounds.low, bounds.high);
    if (!end || *end)
        return false;
    *value = (int64_t)(mask >> bounds.shift);
    return true;
}

void WriteCronField(int field, int64_t value, WCHAR* out, size_t chars)
{
    if (!chars)
        return;
    char narrow[256];
    if (field == kCronDays && value < 0) {
        // "%d" by hand: WCHAR is not wchar_t everywhere
        char digits[24];
        int n = 0;
        for (uint64_t v = (uint64_t)(-value); v; v /= 10)
            digits[n++] = (char)('0' + v % 10);
        size_t k = 0;
        narrow[k++] = '-';
        while (n)
            narrow[k++] = digits[--n];
        narrow[k] = 0;
    } else {
        int shift = field >= 0 && field < kCronFieldCount ? kCronBounds[field].shift : 0;
        FormatCronField((uint64_t)value << shift, narrow, sizeof(narrow));
    }
    size_t i = 0;
    for (; narrow[i] && i + 1 < chars; ++i)
        out[i] = (WCHAR)narrow[i];
    out[i] = 0;
}

bool MendCronDaysText(WCHAR* text, size_t chars)
{
    if (!text || chars < 2 || !text[0] || text[1] != '-' || IsDigit(text[0]))
        return false;
    text[0] = '*';
    text[1] = 0;
    return true;
}

int FirstBadDurationField(const WCHAR* const fields[4], int64_t* seconds)
{
    static const WCHAR kZero[] = {'0', 0};
    // the reader takes all four at once: the fields are added one by one to
    // find the one that spoils the duration
    const WCHAR* part[4] = {kZero, kZero, kZero, kZero};
    for (int i = 0; i < 4; ++i) {
        part[i] = fields[i];
        if (!ParseDurationFields(part[0], part[1], part[2], part[3], seconds))
            return i;
    }
    return -1;
}

void SplitDuration(int64_t seconds, int64_t parts[4])
{
    if (seconds < 0)
        seconds = 0;
    parts[0] = seconds / 86400;
    parts[1] = seconds / 3600 % 24;
    parts[2] = seconds / 60 % 60;
    parts[3] = seconds % 60;
}
