#include "settings/frame/ZoneChangeWatch.h"

#include "app/zones/ZoneDatabase.h"

CZoneChangeWatch::CZoneChangeWatch(IUtcClock& clock, CZoneDatabase& zones)
    : m_clock(clock), m_zones(zones), m_lastDateKey(-1), m_lastSecond(-1)
{
}

bool CZoneChangeWatch::Check(ClockRecord* clocks, int count)
{
    SYSTEMTIME now = m_clock.NowUtc();
    // the timer runs three times a second; the rules change at most once in one
    int64_t dateKey = ((int64_t)now.wYear * 16 + now.wMonth) * 32 + now.wDay - 33;
    int32_t second = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    if (dateKey == m_lastDateKey && second == m_lastSecond)
        return false;
    m_lastDateKey = dateKey;
    m_lastSecond = second;
    return m_zones.UpdateZoneChanges(now, clocks, count);
}
