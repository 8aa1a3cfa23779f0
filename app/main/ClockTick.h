// The once-a-second tick of the main program, driven by its 64 ms timer:
// zone changes, timers, alarms, the synchronisation before alarms and the
// news refresh, in that order. GUI thread only.
#pragma once

#include "graphics/records/WinTypes.h"
#include "app/alarms/AlarmCheck.h"

// What a tick reaches. The main program implements it; tests fake it.
class ITickHost {
public:
    virtual ~ITickHost() = default;
    virtual SYSTEMTIME NowUtc() = 0;
    // Undoes or applies the dated zone changes; true when the clocks changed.
    virtual bool UpdateZones(const SYSTEMTIME& nowUtc) = 0;
    // Sends the clocks to the tray clock again (only when one is attached).
    virtual void ResendClocks() = 0;
    virtual ClockRecord* Clocks() = 0;
    virtual int ClockCount() = 0;
    // A timer clock that no desktop window advances.
    virtual void AdvanceTimer(ClockRecord& clock, const SYSTEMTIME& nowUtc) = 0;
    virtual void CheckAlarms(ClockRecord& clock, const SYSTEMTIME& nowUtc, AlarmCheckState& state) = 0;
    // Automatic synchronisation on, of the kind "before alarms".
    virtual bool WantsSyncBeforeAlarms() = 0;
    virtual void RequestSync() = 0;
    virtual void RefreshNews() = 0;
};

const DWORD kTickIntervalMs = 1000;
const int kNewsRefreshMinutes = 3;

class CClockTick {
public:
    explicit CClockTick(ITickHost& host);
    CClockTick(const CClockTick&) = delete;
    CClockTick& operator=(const CClockTick&) = delete;

    // The 64 ms timer: runs the tick when `tickCount` (ms) is at least a
    // second past the last one.
    void OnTimer(DWORD tickCount);
    // One tick; a tick reached again from inside it (a modal loop of an
    // alarm) does nothing.
    void Tick();

    AlarmCheckState& Alarms() { return m_alarms; }

private:
    void RefreshNewsWhenDue(const SYSTEMTIME& now);

    ITickHost& m_host;
    AlarmCheckState m_alarms;
    DWORD m_lastTickMs;
    bool m_started;
    bool m_inTick;
    uint32_t m_newsDay;
    int m_newsMinute;
};
