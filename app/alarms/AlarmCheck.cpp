#include "app/alarms/AlarmCheck.h"

#include <stdint.h>

#include "graphics/time/FileTimeTicks.h"
#include "graphics/time/ZoneConvert.h"
#include "app/alarms/AlarmSchedule.h"
#include "app/settings/SettingsIni.h"

namespace {

bool Shifted(const SYSTEMTIME& t, int64_t seconds, SYSTEMTIME* out)
{
    uint64_t ticks;
    return SystemTimeToTicks(t, &ticks) && TicksToSystemTime(ticks + (uint64_t)(seconds * (int64_t)kTicksPerSecond), out);
}

// The latest occurrence in the window (start, now] moved `seconds` ahead.
bool DueIn(const AlarmRecord& alarm, const SYSTEMTIME& start, const SYSTEMTIME& now, int64_t seconds,
           SYSTEMTIME* occurrence)
{
    SYSTEMTIME s, n;
    if (!Shifted(start, seconds, &s) || !Shifted(now, seconds, &n))
        return false;
    return LastAlarmOccurrence(alarm, s, n, occurrence) && CompareSystemTimes(*occurrence, s) > 0;
}

// One clock of the owner's table, found again by its index after every call
// into the sink: firing can run a message loop, and a settings change handled
// there frees the table and its alarm lists.
class CClockSlot {
public:
    CClockSlot(IAlarmSink& sink, int index, bool timer) : m_sink(sink), m_index(index), m_timer(timer) {}
    // Null when the table lost the clock, its alarms or its kind.
    ClockRecord* Get() const
    {
        ClockRecord* table = m_sink.Clocks();
        if (!table || m_index < 0 || m_index >= m_sink.ClockCount())
            return nullptr;
        ClockRecord* clock = &table[m_index];
        if (!clock->alarms.ptr || !clock->alarmsEnabled || ((clock->kind & kClockTimer) != 0) != m_timer)
            return nullptr;
        return clock;
    }

private:
    IAlarmSink& m_sink;
    int m_index;
    bool m_timer;
};

// The clock's zone times of the previous and this tick.
bool ClockWindow(const ClockRecord& clock, const SYSTEMTIME& nowUtc, const AlarmCheckState& state, SYSTEMTIME* now,
                 SYSTEMTIME* previous)
{
    uint64_t ticks;
    GetClockLocalTime(nowUtc, now, clock);
    GetClockLocalTime(state.previousTick, previous, clock);
    return SystemTimeToTicks(*now, &ticks) && SystemTimeToTicks(*previous, &ticks);
}

void CheckClockAlarms(const CClockSlot& slot, const SYSTEMTIME& nowUtc, AlarmCheckState& state, IAlarmSink& sink)
{
    ClockRecord* clock = slot.Get();
    SYSTEMTIME now, previous;
    if (!clock || !ClockWindow(*clock, nowUtc, state, &now, &previous))
        return;
    // each call into the sink may replace the table: read the clock again after it
    auto reread = [&] {
        clock = slot.Get();
        return clock && ClockWindow(*clock, nowUtc, state, &now, &previous);
    };
    for (uint32_t i = 0; i < clock->alarmCount; ++i) {
        if (!clock->alarms.ptr[i].enabled)
            continue;
        // a copy: the record may go with the table during a call
        const AlarmRecord alarm = clock->alarms.ptr[i];
        SYSTEMTIME fired, ahead, reminder;
        bool didFire = DueIn(alarm, previous, now, 0, &fired);
        if (didFire) {
            sink.FireAlarm(alarm, fired, *clock);
            if (!reread())
                return;
        }
        if (!state.syncBeforeAlarm && DueIn(alarm, previous, now, kSyncLookAheadSeconds, &ahead) &&
            (!didFire || CompareSystemTimes(ahead, fired) > 0))
            state.syncBeforeAlarm = true;
        if (alarm.reminderMinutes > 0 &&
            DueIn(alarm, previous, now, (int64_t)alarm.reminderMinutes * 60, &reminder) &&
            !(didFire && CompareSystemTimes(reminder, fired) <= 0)) {
            sink.AddReminder(alarm, reminder, *clock);
            if (!reread())
                return;
        }
    }
}

// Occurrences go out in the clock's zone time, whose text macros convert
// them back to UTC. GetClockLocalTime keeps UTC for a timer that counts from
// no set moment (its display needs no zone), so convert by the zone here.
void TimerZoneTime(const ClockRecord& clock, const SYSTEMTIME& utc, SYSTEMTIME* out)
{
    TimeZoneRecord zone;
    GetClockZone(clock, &zone);
    if (!UtcToZoneTime(utc, out, zone))
        UtcToZoneTimeOwn(utc, out, zone);
}

void CheckTimerAlarms(const CClockSlot& slot, const SYSTEMTIME& nowUtc, AlarmCheckState& state, IAlarmSink& sink)
{
    ClockRecord* clock = slot.Get();
    if (!clock || (!clock->timerRunning && !clock->timerFinished))
        return;
    clock->timerFinished = 0;
    uint64_t now, previous;
    if (!SystemTimeToTicks(nowUtc, &now) || !SystemTimeToTicks(state.previousTick, &previous))
        return;
    auto within = [&](uint64_t moment) { return previous < moment && moment <= now; };
    for (uint32_t i = 0; i < clock->alarmCount; ++i) {
        if (!clock->alarms.ptr[i].enabled)
            continue;
        // a copy: the record may go with the table during a call
        const AlarmRecord alarm = clock->alarms.ptr[i];
        uint64_t t = TimerAlarmMoment(*clock, alarm);
        if (within(t)) {
            SYSTEMTIME occurrence, utc;
            if (!(clock->kind & kClockFixedMoment) || !TicksToSystemTime(t, &utc))
                utc = nowUtc;
            TimerZoneTime(*clock, utc, &occurrence);
            sink.FireAlarm(alarm, occurrence, *clock);
            clock = slot.Get();
            if (!clock)
                return;
        }
        if (within(t - kTimerSyncLookAheadSeconds * kTicksPerSecond))
            state.syncBeforeAlarm = true;
        uint64_t lead = (uint64_t)alarm.reminderMinutes * 60 * kTicksPerSecond;
        SYSTEMTIME utc, local;
        if (alarm.reminderMinutes > 0 && within(t - lead) && TicksToSystemTime(t - lead, &utc)) {
            TimerZoneTime(*clock, utc, &local);
            sink.AddReminder(alarm, local, *clock);
            clock = slot.Get();
            if (!clock)
                return;
        }
    }
}

}  // namespace

uint64_t TimerAlarmMoment(const ClockRecord& clock, const AlarmRecord& alarm)
{
    int64_t offset = (int64_t)alarm.timerOffset * (int64_t)kTicksPerSecond;
    bool countdown = (clock.kind & kClockCountdown) != 0;
    return countdown ? clock.timerAnchorUtc - offset : clock.timerAnchorUtc + offset;
}

void CheckDueAlarms(ClockRecord& clock, const SYSTEMTIME& nowUtc, AlarmCheckState& state, IAlarmSink& sink)
{
    ClockRecord* table = sink.Clocks();
    int count = sink.ClockCount();
    uintptr_t first = (uintptr_t)table, at = (uintptr_t)&clock;
    if (!table || count <= 0 || at < first || at >= first + (uintptr_t)count * sizeof(ClockRecord))
        return;
    CClockSlot slot(sink, (int)(&clock - table), (clock.kind & kClockTimer) != 0);
    if (clock.kind & kClockTimer)
        CheckTimerAlarms(slot, nowUtc, state, sink);
    else
        CheckClockAlarms(slot, nowUtc, state, sink);
}

namespace {

const WCHAR kLastCheckKey[] = L"lastalarmcheck";

}  // namespace

bool RestoreLastAlarmCheck(const SettingsPaths& paths, AlarmCheckState& alarms)
{
    SYSTEMTIME lastCheck;
    std::wstring section = UserSection(paths.userPrefix, L":main");
    if (!ReadTimeStampKey(paths, section.c_str(), kLastCheckKey, &lastCheck))
        return false;
    alarms.previousTick = lastCheck;
    return true;
}

bool SaveLastAlarmCheck(const SettingsPaths& paths, const AlarmCheckState& alarms)
{
    if (!alarms.ticked)
        return false;
    std::wstring section = UserSection(paths.userPrefix, L":main");
    return WriteTimeStampKey(paths, section.c_str(), kLastCheckKey, alarms.previousTick);
}
