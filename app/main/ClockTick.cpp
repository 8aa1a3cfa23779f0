#include "app/main/ClockTick.h"

#include "graphics/records/ClockRecord.h"

namespace {

const uint32_t kTimerKinds = kClockTimer;

uint32_t DayKey(const SYSTEMTIME& t)
{
    return ((uint32_t)t.wYear * 16 + t.wMonth) * 32 + t.wDay - 33;
}

}  // namespace

CClockTick::CClockTick(ITickHost& host)
    : m_host(host), m_alarms(), m_lastTickMs(0), m_started(false), m_inTick(false),
      m_newsDay(0), m_newsMinute(0)
{
}

void CClockTick::OnTimer(DWORD tickCount)
{
    // the first timer message ticks at once, whatever the count
    if (m_started && tickCount - m_lastTickMs < kTickIntervalMs)
        return;
    if (m_inTick)
        return;
    m_started = true;
    m_lastTickMs = tickCount;
    Tick();
}

void CClockTick::Tick()
{
    if (m_inTick)
        return;
    m_inTick = true;
    SYSTEMTIME now = m_host.NowUtc();
    if (m_host.UpdateZones(now))
        m_host.ResendClocks();

    // the array is asked for again each time: a settings change handled
    // while an alarm runs replaces it
    for (int i = 0; i < m_host.ClockCount() && m_host.Clocks(); ++i) {
        ClockRecord& clock = m_host.Clocks()[i];
        if ((clock.kind & kTimerKinds) && !(clock.flags & kClockOnDesktop))
            m_host.AdvanceTimer(clock, now);
    }
    for (int i = 0; i < m_host.ClockCount() && m_host.Clocks(); ++i) {
        ClockRecord& clock = m_host.Clocks()[i];
        if (clock.alarmsEnabled)
            m_host.CheckAlarms(clock, now, m_alarms);
    }
    m_alarms.previousTick = now;

    if (m_host.WantsSyncBeforeAlarms() && (!m_alarms.ticked || m_alarms.syncBeforeAlarm))
        m_host.RequestSync();
    m_alarms.syncBeforeAlarm = false;
    m_alarms.ticked = true;

    RefreshNewsWhenDue(now);
    m_inTick = false;
}

void CClockTick::RefreshNewsWhenDue(const SYSTEMTIME& now)
{
    uint32_t day = DayKey(now);
    int minute = now.wHour * 60 + now.wMinute;
    bool due = day > m_newsDay || (day == m_newsDay && minute - m_newsMinute >= kNewsRefreshMinutes);
    if (!due)
        return;
    m_newsDay = day;
    m_newsMinute = minute;
    m_host.RefreshNews();
}
