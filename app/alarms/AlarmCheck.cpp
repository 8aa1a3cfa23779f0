#include "app/alarms/AlarmCheck.h"

#include "graphics/time/FileTimeTicks.h"
#include "graphics/time/ZoneConvert.h"
#include "app/alarms/AlarmSchedule.h"

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

void CheckClockAlarms(ClockRecord& clock, const SYSTEMTIME& nowUtc, AlarmCheckState& state, IAlarmSink& sink)
{
    SYSTEMTIME now, previous;
    uint64_t ticks;
    GetClockLocalTime(nowUtc, &now, clock);
    GetClockLocalTime(state.previousTick, &previous, clock);
    if (!SystemTimeToTicks(now, &ticks) || !SystemTimeToTicks(previous, &ticks) || clock.alarmCount == 0)
        return;
    AlarmRecord* alarms = clock.alarms.ptr;
    for (uint32_t i = 0; i < clock.alarmCount; ++i) {
        const AlarmRecord& alarm = alarms[i];
        if (!alarm.enabled)
            continue;
        SYSTEMTIME fired, ahead, reminder;
        bool didFire = DueIn(alarm, previous, now, 0, &fired);
        if (didFire)
            sink.FireAlarm(alarm, fired, clock);
        if (!state.syncBeforeAlarm && DueIn(alarm, previous, now, kSyncLookAheadSeconds, &ahead) &&
            (!didFire || CompareSystemTimes(ahead, fired) > 0))
            state.syncBeforeAlarm = true;
        if (alarm.reminderMinutes > 0 &&
            DueIn(alarm, previous, now, (int64_t)alarm.reminderMinutes * 60, &reminder) &&
            !(didFire && CompareSystemTimes(reminder, fired) <= 0))
            sink.AddReminder(alarm, reminder, clock);
    }
}

void CheckTimerAlarms(ClockRecord& clock, const SYSTEMTIME& nowUtc, AlarmCheckState& state, IAlarmSink& sink)
{
    if (!clock.timerRunning && !clock.timerFinished)
        return;
    clock.timerFinished = 0;
    uint64_t now, previous;
    if (!SystemTimeToTicks(nowUtc, &now) || !SystemTimeToTicks(state.previousTick, &previous) || clock.alarmCount == 0)
        return;
    bool anchored = (clock.kind & kClockFixedMoment) != 0;
    AlarmRecord* alarms = clock.alarms.ptr;
    for (uint32_t i = 0; i < clock.alarmCount; ++i) {
        const AlarmRecord& alarm = alarms[i];
        if (!alarm.enabled)
            continue;
        uint64_t t = TimerAlarmMoment(clock, alarm);
        auto within = [&](uint64_t moment) { return previous < moment && moment <= now; };
        if (within(t)) {
            SYSTEMTIME occurrence = nowUtc, utc;
            if (anchored && TicksToSystemTime(t, &utc))
                GetClockLocalTime(utc, &occurrence, clock);
            sink.FireAlarm(alarm, occurrence, clock);
        }
        if (within(t - kTimerSyncLookAheadSeconds * kTicksPerSecond))
            state.syncBeforeAlarm = true;
        uint64_t lead = (uint64_t)alarm.reminderMinutes * 60 * kTicksPerSecond;
        SYSTEMTIME utc, local;
        if (alarm.reminderMinutes > 0 && within(t - lead) && TicksToSystemTime(t - lead, &utc)) {
            GetClockLocalTime(utc, &local, clock);
            sink.AddReminder(alarm, local, clock);
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
    if (!clock.alarms.ptr || !clock.alarmsEnabled)
        return;
    if (clock.kind & kClockTimer)
        CheckTimerAlarms(clock, nowUtc, state, sink);
    else
        CheckClockAlarms(clock, nowUtc, state, sink);
}
