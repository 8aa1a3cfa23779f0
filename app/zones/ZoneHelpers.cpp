#include "app/zones/ZoneHelpers.h"

#include <wchar.h>

#include "graphics/time/FileTimeTicks.h"
#include "graphics/records/FixedText.h"

namespace {


bool ReadLocale(LCID lcid, LCTYPE type, WCHAR* buffer, int chars)
{
    return GetLocaleInfoW(lcid, type, buffer, chars) > 0;
}

}  // namespace

bool RefreshTimeLocale(TimeLocale* locale, LCID lcid)
{
    TimeLocale fresh = {};
    if (!ReadLocale(lcid, LOCALE_STIME, fresh.separator, FIELD_WIDTH(fresh.separator)))
        wcscpy(fresh.separator, L":");
    WCHAR mode[4] = {};
    // a failing call also means 24 hours
    fresh.is24Hour = !ReadLocale(lcid, LOCALE_ITIME, mode, 4) || mode[0] != L'0';
    if (!ReadLocale(lcid, LOCALE_S1159, fresh.am, FIELD_WIDTH(fresh.am)))
        fresh.am[0] = 0;
    if (!ReadLocale(lcid, LOCALE_S2359, fresh.pm, FIELD_WIDTH(fresh.pm)))
        fresh.pm[0] = 0;
    bool changed = fresh.is24Hour != locale->is24Hour || wcscmp(fresh.separator, locale->separator) != 0 ||
                   (!fresh.is24Hour && (wcscmp(fresh.am, locale->am) != 0 || wcscmp(fresh.pm, locale->pm) != 0));
    *locale = fresh;
    return changed;
}

int FormatTimeOfDay(const TimeLocale& locale, WCHAR* out, int chars, uint32_t seconds, bool withSeconds)
{
    unsigned hours = seconds / 3600 % 24, minutes = seconds / 60 % 60;
    unsigned shown = locale.is24Hour ? hours : (hours % 12 == 0 ? 12 : hours % 12);
    WCHAR secondsText[16] = L"";
    if (withSeconds)
        swprintf(secondsText, 16, L"%ls%02u", locale.separator, seconds % 60);
    int n;
    if (locale.is24Hour)
        n = swprintf(out, chars, L"%02u%ls%02u%ls", shown, locale.separator, minutes, secondsText);
    else
        n = swprintf(out, chars, L"%02u%ls%02u%ls %ls", shown, locale.separator, minutes, secondsText,
                     hours < 12 ? locale.am : locale.pm);
    if (n < 0 || n >= chars) {  // cut texts would read as a wrong time
        if (chars > 0)
            out[0] = 0;
        return 0;
    }
    return n;
}

int FormatSecondsOfDay(const TimeLocale& locale, WCHAR* out, int chars, uint32_t seconds)
{
    return FormatTimeOfDay(locale, out, chars, seconds, false);
}

namespace {

// At least `least` digits; the number, or -1 when there are too few.
int ReadDigits(const WCHAR*& p, int least)
{
    int value = 0, count = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p, ++count) {
        if (value < 1000)
            value = value * 10 + (*p - L'0');
    }
    return count >= least ? value : -1;
}

bool StartsWith(const WCHAR* text, const WCHAR* prefix)
{
    size_t n = wcslen(prefix);
    return n > 0 && _wcsnicmp(text, prefix, n) == 0;
}

}  // namespace

int ParseTimeOfDay(const TimeLocale& locale, const WCHAR* text)
{
    const WCHAR* p = text;
    int hour = ReadDigits(p, 1);
    if (hour < 0 || hour > 24)
        return kTimeOfDayBadHour;
    size_t separator = wcslen(locale.separator);
    if (separator == 0 || wcsncmp(p, locale.separator, separator) != 0)
        return kTimeOfDayNoSeparator;
    p += separator;
    int minutes = ReadDigits(p, 2);
    if (minutes < 0 || minutes > 59)
        return kTimeOfDayBadMinutes;
    int seconds = 0;
    if (wcsncmp(p, locale.separator, separator) == 0) {
        p += separator;
        seconds = ReadDigits(p, 2);
        if (seconds < 0 || seconds > 59)
            return kTimeOfDayBadSeconds;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    hour %= 24;
    if (*p) {
        // an empty designator would match any text
        bool morning = StartsWith(p, locale.am), afternoon = !morning && StartsWith(p, locale.pm);
        if (!morning && !afternoon)
            return kTimeOfDayBadDesignator;
        if (hour > 12)
            return kTimeOfDayBadHour;
        hour = hour % 12 + (afternoon ? 12 : 0);
    }
    return hour * 3600 + minutes * 60 + seconds;
}

bool FormatShowsSeconds(const WCHAR* format)
{
    if (!format || !format[0] || !wcscmp(format, L"Default") || !wcscmp(format, L"24 hours") ||
        !wcscmp(format, L"12 hours"))
        return false;
    return wcschr(format, L's') != nullptr;
}

bool DayAndSecondsToSystemTime(uint32_t day, uint32_t seconds, SYSTEMTIME* out)
{
    ULARGE_INTEGER t;
    t.QuadPart = ((uint64_t)day * 86400 + seconds) * kTicksPerSecond;
    FILETIME ft = {t.LowPart, t.HighPart};
    return FileTimeToSystemTime(&ft, out) != FALSE;
}

bool AddSecondsToFileTime(const FILETIME& time, int64_t seconds, SYSTEMTIME* out)
{
    ULARGE_INTEGER t;
    t.LowPart = time.dwLowDateTime;
    t.HighPart = time.dwHighDateTime;
    t.QuadPart += (uint64_t)(seconds * (int64_t)kTicksPerSecond);
    FILETIME ft = {t.LowPart, t.HighPart};
    return FileTimeToSystemTime(&ft, out) != FALSE;
}

int GetRuleDayOfMonth(const SYSTEMTIME& date, const SYSTEMTIME& rule)
{
    int length = GetDaysInMonth(date.wMonth, date.wYear);
    int firstWeekday = ((date.wDayOfWeek - (date.wDay - 1)) % 7 + 7) % 7;
    int day = 1 + (rule.wDayOfWeek - firstWeekday + 7) % 7 + 7 * ((rule.wDay < 1 ? 1 : rule.wDay) - 1);
    while (day > length)
        day -= 7;  // 5 = the last, and a fourth week that the month lacks
    return day;
}

bool GetTransitionOfDay(const SYSTEMTIME& date, const TimeZoneRecord& zone, int* minute, int* biasChange)
{
    const SYSTEMTIME& std = zone.tzi.StandardDate;
    const SYSTEMTIME& dst = zone.tzi.DaylightDate;
    if (std.wMonth == 0 || dst.wMonth == 0)
        return false;
    bool yearly = HasSystemRules(zone);
    auto onDay = [&](const SYSTEMTIME& rule) {
        if (yearly)
            return date.wMonth == rule.wMonth && date.wDay == GetRuleDayOfMonth(date, rule);
        return (rule.wYear == 0 || rule.wYear == date.wYear) && rule.wMonth == date.wMonth && rule.wDay == date.wDay;
    };
    if (onDay(dst)) {
        *minute = dst.wHour * 60 + dst.wMinute;
        *biasChange = -zone.tzi.DaylightBias;
        return true;
    }
    if (onDay(std)) {
        *minute = std.wHour * 60 + std.wMinute;
        *biasChange = zone.tzi.DaylightBias;
        return true;
    }
    return false;
}

int GetTransitionGap(const SYSTEMTIME& date, const TimeZoneRecord& zone, int* first, int* last)
{
    int minute, change;
    if (!GetTransitionOfDay(date, zone, &minute, &change))
        return -1;
    if (change > 0) {
        *first = minute;
        *last = minute + change;
        return 1;
    }
    *first = minute + change;
    *last = minute;
    return 0;
}

void ZoneTimeToUtc(SYSTEMTIME* out, const TimeZoneRecord& zone, const SYSTEMTIME& zoneTime)
{
    SYSTEMTIME t = zoneTime;
    // the transition day is found by weekday, and parsed times leave the field 0
    uint32_t day = GetDayNumber(t);
    if (day)
        t.wDayOfWeek = (WORD)WeekdayOfDayNumber(day);
    int d = GetDaylightState(zone, t);
    int first, last;
    if (d != kStateNoRule && GetTransitionGap(t, zone, &first, &last) == 1) {
        int minute = t.wHour * 60 + t.wMinute;
        if (minute >= first && minute < last) {
            // a time the clocks skip: the end of the gap
            t.wHour = (WORD)(last / 60);
            t.wMinute = (WORD)(last % 60);
            t.wSecond = 0;
        }
    }
    int offset = zone.tzi.Bias + (d == kStateStandard ? zone.tzi.StandardBias : zone.tzi.DaylightBias * d);
    AddMinutes(t, offset);
    *out = t;
}
