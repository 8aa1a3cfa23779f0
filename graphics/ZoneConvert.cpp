#include "ZoneConvert.h"

#include "FixedText.h"

bool UtcToZoneTime(const SYSTEMTIME& utc, SYSTEMTIME* out, const TimeZoneRecord& zone)
{
    if (!HasSystemRules(zone)) {
        UtcToZoneTimeOwn(utc, out, zone);
        return true;
    }
    TIME_ZONE_INFORMATION tzi = zone.tzi;
    return SystemTimeToTzSpecificLocalTime(&tzi, &utc, out) != FALSE;
}

void GetClockLocalTime(const SYSTEMTIME& utc, SYSTEMTIME* out, const ClockRecord& clock)
{
    if (IsUnanchoredTimer(clock)) {
        *out = utc;
        return;
    }
    TimeZoneRecord zone;
    GetClockZone(clock, &zone);
    if (!UtcToZoneTime(utc, out, zone))
        UtcToZoneTimeOwn(utc, out, zone);
}

int GetLocaleFirstWeekday()
{
    WCHAR text[4] = {};
    if (!GetLocaleInfoW(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, text, 4))
        return 0;
    return text[0] >= L'0' && text[0] <= L'6' ? text[0] - L'0' : 0;
}

int CompareClocksByTime(const ClockRecord& a, const ClockRecord& b)
{
    int c = CompareDateTimes(a.localTime, b.localTime);
    if (c != 0)
        return c;
    int r = CompareStringW(LOCALE_USER_DEFAULT, 0, a.caption, (int)FixedLength(a.caption, FIELD_WIDTH(a.caption)),
                           b.caption, (int)FixedLength(b.caption, FIELD_WIDTH(b.caption)));
    return r == 0 ? 0 : r - CSTR_EQUAL;
}
