#include "graphics/time/ZoneConvert.h"

#include "graphics/records/FixedText.h"

bool UtcToZoneTime(const SYSTEMTIME& utc, SYSTEMTIME* out, const TimeZoneRecord& zone, SystemZoneConvert convert)
{
    if (!HasSystemRules(zone)) {
        UtcToZoneTimeOwn(utc, out, zone);
        return true;
    }
    return convert(&zone.tzi, &utc, out) != FALSE;
}

void GetClockLocalTime(const SYSTEMTIME& utc, SYSTEMTIME* out, const ClockRecord& clock, SystemZoneConvert convert)
{
    if (IsUnanchoredTimer(clock)) {
        *out = utc;
        return;
    }
    TimeZoneRecord zone;
    GetClockZone(clock, &zone);
    // a failed system call leaves `out` undefined; the clocks must never show that
    if (!UtcToZoneTime(utc, out, zone, convert))
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
