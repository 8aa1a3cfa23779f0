#include "windows/allclocks/AllClocksMoment.h"

#include "graphics/time/FileTimeTicks.h"
#include "graphics/time/ZoneConvert.h"
#include "app/zones/ZoneHelpers.h"

namespace {

const uint64_t kTicksPerMinute = 60 * kTicksPerSecond;
const uint64_t kTicksPerHour = 60 * kTicksPerMinute;

SYSTEMTIME ZoneToUtc(const ClockRecord& clock, const SYSTEMTIME& zoneTime)
{
    TimeZoneRecord zone;
    GetClockZone(clock, &zone);
    SYSTEMTIME utc;
    ZoneTimeToUtc(&utc, zone, zoneTime);
    return utc;
}

SYSTEMTIME Shift(const SYSTEMTIME& moment, int minutes)
{
    uint64_t ticks;
    SYSTEMTIME out = moment;
    if (SystemTimeToTicks(moment, &ticks))
        TicksToSystemTime(ticks + (int64_t)minutes * (int64_t)kTicksPerMinute, &out);
    return out;
}

}  // namespace

bool NextWholeHour(const SYSTEMTIME& utcNow, SYSTEMTIME* out)
{
    uint64_t ticks;
    if (!SystemTimeToTicks(utcNow, &ticks))
        return false;
    ticks += kTicksPerHour;
    return TicksToSystemTime(ticks - ticks % kTicksPerHour, out);
}

SYSTEMTIME MomentForPickedTime(const ClockRecord& clock, const SYSTEMTIME& moment, int hour, int minute)
{
    SYSTEMTIME shown;
    GetClockLocalTime(moment, &shown, clock);
    SYSTEMTIME picked = shown;
    picked.wHour = (WORD)hour;
    picked.wMinute = (WORD)minute;
    picked.wSecond = 0;
    picked.wMilliseconds = 0;
    SYSTEMTIME utc = ZoneToUtc(clock, picked);
    SYSTEMTIME after;
    GetClockLocalTime(utc, &after, clock);
    if (after.wHour != hour || after.wMinute != minute) {
        // a time the zone skips: move by what was asked for instead
        int asked = (hour * 60 + minute) - (shown.wHour * 60 + shown.wMinute);
        SYSTEMTIME start = moment;
        start.wSecond = 0;
        start.wMilliseconds = 0;
        utc = Shift(start, asked);
    }
    return utc;
}

SYSTEMTIME MomentForPickedDate(const ClockRecord& clock, const SYSTEMTIME& moment, const SYSTEMTIME& date)
{
    SYSTEMTIME shown;
    GetClockLocalTime(moment, &shown, clock);
    shown.wYear = date.wYear;
    shown.wMonth = date.wMonth;
    shown.wDay = date.wDay;
    return ZoneToUtc(clock, shown);
}

void TimeFormatWithoutSeconds(const WCHAR* format, const WCHAR* separator, WCHAR* out, int chars)
{
    int sepLength = 0;
    while (separator[sepLength])
        ++sepLength;
    int n = 0;
    bool cut = false;
    for (int i = 0; format[i] && n < chars - 1;) {
        if (!cut && sepLength > 0) {
            bool atSeparator = true;
            for (int k = 0; k < sepLength; ++k)
                if (format[i + k] != separator[k]) {
                    atSeparator = false;
                    break;
                }
            if (atSeparator && format[i + sepLength] == 's') {
                cut = true;
                i += sepLength;
                continue;
            }
        }
        if (format[i] == 's') {
            ++i;
            continue;
        }
        out[n++] = format[i++];
    }
    out[n] = 0;
}
