// One due check of the tick over 30 clocks with 20 alarms each, of every
// schedule kind, against one zone conversion; and its share of the tick's
// one-second budget.
#include <stdio.h>
#include <string.h>

#include <vector>

#include "app/alarms/AlarmCheck.h"
#include "app/alarms/AlarmSchedule.h"
#include "graphics/time/ZoneConvert.h"
#include "tests/bench/BenchTimer.h"

namespace {

const int kClocks = 30;
const int kAlarmsPerClock = 20;
const int kTicks = 64;
const int kRounds = 7;

class CNullSink : public IAlarmSink {
public:
    ClockRecord* Clocks() override { return clocks->data(); }
    int ClockCount() override { return (int)clocks->size(); }
    void FireAlarm(const AlarmRecord&, const SYSTEMTIME&, ClockRecord&) override { ++fired; }
    void AddReminder(const AlarmRecord&, const SYSTEMTIME&, ClockRecord&) override { ++reminders; }
    std::vector<ClockRecord>* clocks = nullptr;
    int fired = 0, reminders = 0;
};

const struct { int kind; const char* schedule; } kSchedules[] = {
    {kAlarmOnce, "2026.12.24 18:00:00"},
    {kAlarmDaily, "2026.01.05 09:00:00 1"},
    {kAlarmDaily, "2026.01.05 07:30:00 0"},
    {kAlarmWeekly, "2026.01.07 07:30:00 2 0A"},
    {kAlarmMonthly, "17:00:00 1 0 5 5 1 01.2026"},
    {kAlarmMonthly, "12:00:00 0 31 0 0 1 01.2026"},
    {kAlarmYearly, "07:00:00 0 02 29 0 0"},
    {kAlarmCron, "0;9;*;*;2-6"},
    {kAlarmCron, "30;*;-1;*;*"},
    {kAlarmCron, "0,15,30,45;8-18;*;*;*"},
};

}  // namespace

int main()
{
    std::vector<AlarmRecord> alarms(kClocks * kAlarmsPerClock);
    std::vector<ClockRecord> clocks(kClocks);
    for (int c = 0; c < kClocks; ++c) {
        ClockRecord& clock = clocks[c];
        memset(&clock, 0, sizeof(clock));
        clock.zone.tzi.Bias = -60 * (c % 12 - 5);
        clock.zone.tzi.StandardDate = SYSTEMTIME{0, 10, 0, 5, 3, 0, 0, 0};
        clock.zone.tzi.DaylightDate = SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0};
        clock.zone.tzi.DaylightBias = -60;
        clock.zone.standardRule = clock.zone.daylightRule = -1;
        clock.flags = kClockUseDaylight;
        clock.alarmsEnabled = 1;
        clock.alarmCount = kAlarmsPerClock;
        clock.alarms.ptr = &alarms[c * kAlarmsPerClock];
        for (int a = 0; a < kAlarmsPerClock; ++a) {
            AlarmRecord& alarm = clock.alarms.ptr[a];
            memset(&alarm, 0, sizeof(alarm));
            const auto& s = kSchedules[(c + a) % (sizeof(kSchedules) / sizeof(kSchedules[0]))];
            alarm.kind = s.kind;
            alarm.enabled = 1;
            alarm.reminderMinutes = a % 3 == 0 ? 15 : 0;
            ParseAlarmSchedule(s.kind, s.schedule, &alarm);
        }
    }

    // consecutive ticks one second apart, across the full minute
    std::vector<SYSTEMTIME> ticks(kTicks + 1);
    SYSTEMTIME base = {2026, 12, 4, 10, 8, 59, 30, 0};
    FILETIME ft;
    SystemTimeToFileTime(&base, &ft);
    ULARGE_INTEGER t = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    for (int i = 0; i <= kTicks; ++i, t.QuadPart += 10000000) {
        FILETIME next = {t.LowPart, t.HighPart};
        FileTimeToSystemTime(&next, &ticks[i]);
    }
    std::vector<int> tickIndex(kTicks);
    for (int i = 0; i < kTicks; ++i)
        tickIndex[i] = i;

    CNullSink sink;
    sink.clocks = &clocks;
    AlarmCheckState state = {};
    double pass = BestNsPerItem(tickIndex, kRounds, [&](int i) {
        state.previousTick = ticks[i];
        for (ClockRecord& clock : clocks)
            CheckDueAlarms(clock, ticks[i + 1], state, sink);
        state.syncBeforeAlarm = false;
        return sink.fired;
    });
    SYSTEMTIME out;
    std::vector<SYSTEMTIME> instants = BenchInstants(4096, 127);
    double conversion = BestNsPerItem(instants, kRounds, [&](const SYSTEMTIME& utc) {
        UtcToZoneTime(utc, &out, clocks[0].zone);
        return out.wMinute;
    });
    printf("UtcToZoneTime                          %10.1f ns/call (anchor)\n", conversion);
    printf("CheckDueAlarms, 30 clocks x 20 alarms   %10.1f ns/pass  ratio %.1f  (%.3f%% of the 1 s tick; goal < 1%%)\n",
           pass, pass / conversion, pass / 1e7);
    return 0;
}
