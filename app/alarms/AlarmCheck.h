// The once-a-second due check of a clock's alarms and reminders.
#pragma once

#include "graphics/records/ClockRecord.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/SettingsPaths.h"

// Where due alarms and reminders go: the firing and the reminder log. The
// sink owns the clock table; a call may replace it (a settings change handled
// in a message loop of the firing).
class IAlarmSink {
public:
    virtual ~IAlarmSink() = default;
    virtual ClockRecord* Clocks() = 0;
    virtual int ClockCount() = 0;
    virtual void FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) = 0;
    virtual void AddReminder(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) = 0;
};

// Program-wide: the previous tick (UTC), which the tick moves on after all
// clocks were checked, the synchronise-before-alarm flag that it consumes,
// and whether a tick has run since the program started (before that the
// previous tick is only the start time or the stored last check).
struct AlarmCheckState {
    SYSTEMTIME previousTick;
    bool syncBeforeAlarm;
    bool ticked;
};

const int kSyncLookAheadSeconds = 300;
const int kTimerSyncLookAheadSeconds = 5;

// Fires what fell due after the previous tick and not after `nowUtc`, adds
// reminders shown their lead time ahead, and sets the synchronise flag for
// alarms due within the look-ahead. `clock` must be a record of
// sink.Clocks() (others are not checked); after each call into the sink the
// clock is found again by its index, so the reference may be stale then.
void CheckDueAlarms(ClockRecord& clock, const SYSTEMTIME& nowUtc, AlarmCheckState& state, IAlarmSink& sink);

// The moment of a timer clock's alarm, as a FILETIME value.
uint64_t TimerAlarmMoment(const ClockRecord& clock, const AlarmRecord& alarm);

// "lastalarmcheck" of the user's main section: the previous tick of the last
// run, so that alarms due while the program was closed fire once at start.
// The stored check becomes the previous tick; false (nothing changed) when
// it is missing or no valid time.
bool RestoreLastAlarmCheck(const SettingsPaths& paths, AlarmCheckState& alarms);
// Writes the previous tick, only once a tick has run.
bool SaveLastAlarmCheck(const SettingsPaths& paths, const AlarmCheckState& alarms);
