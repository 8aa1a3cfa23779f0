#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "app/alarms/AlarmCheck.h"
#include "app/alarms/AlarmSchedule.h"
#include "graphics/records/FixedText.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

class CRecordingSink : public IAlarmSink {
public:
    ClockRecord* Clocks() override { return clocks; }
    int ClockCount() override { return clocks ? 1 : 0; }
    void FireAlarm(const AlarmRecord&, const SYSTEMTIME& occurrence, ClockRecord&) override
    {
        fired.push_back(FormatTime(occurrence));
    }
    void AddReminder(const AlarmRecord&, const SYSTEMTIME& occurrence, ClockRecord&) override
    {
        reminders.push_back(FormatTime(occurrence));
    }
    ClockRecord* clocks = nullptr;
    std::vector<std::string> fired, reminders;
};

// A clock of UTC+1 (winter) with one alarm.
class AlarmCheck : public testing::Test {
protected:
    void SetUp() override
    {
        memset(&clock, 0, sizeof(clock));
        memset(&alarm, 0, sizeof(alarm));
        clock.zone.tzi = CentralEuropeTzi();
        clock.zone.standardRule = clock.zone.daylightRule = -1;
        clock.flags = kClockUseDaylight;
        clock.alarmsEnabled = 1;
        clock.alarmCount = 1;
        clock.alarms.ptr = &alarm;
        alarm.enabled = 1;
        state = {};
        sink.clocks = &clock;
    }
    // One tick per second from `from` to `to` (UTC), as the main window runs them.
    void Tick(SYSTEMTIME from, const SYSTEMTIME& to)
    {
        state.previousTick = from;
        FILETIME ft;
        SystemTimeToFileTime(&from, &ft);
        ULARGE_INTEGER t = {{ft.dwLowDateTime, ft.dwHighDateTime}};
        for (;;) {
            t.QuadPart += 10000000;
            FILETIME next = {t.LowPart, t.HighPart};
            SYSTEMTIME now;
            FileTimeToSystemTime(&next, &now);
            if (CompareSystemTimes(now, to) > 0)
                break;
            CheckDueAlarms(clock, now, state, sink);
            if (state.syncBeforeAlarm) {
                syncs.push_back(FormatTime(now));
                state.syncBeforeAlarm = false;  // the tick consumes it
            }
            state.previousTick = now;
        }
    }
    ClockRecord clock;
    AlarmRecord alarm;
    AlarmCheckState state;
    CRecordingSink sink;
    std::vector<std::string> syncs;
};

}  // namespace

TEST_F(AlarmCheck, FiresOnceWithLookAheadAndReminder)
{
    alarm.kind = kAlarmOnce;
    ASSERT_TRUE(ParseAlarmSchedule(kAlarmOnce, "2026.12.10 10:00:00", &alarm));
    alarm.reminderMinutes = 15;
    Tick(MakeTime(2026, 12, 10, 8, 40), MakeTime(2026, 12, 10, 9, 10));  // 09:40 to 10:10 local
    ASSERT_EQ(1u, sink.fired.size());
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 10)), sink.fired[0]);
    ASSERT_EQ(1u, sink.reminders.size());     // once, when now + 15 minutes passed it
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 10)), sink.reminders[0]);
    ASSERT_EQ(1u, syncs.size());              // 300 s ahead
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 8, 55)), syncs[0]);
}

TEST_F(AlarmCheck, CatchesUpAfterAPauseOnce)
{
    alarm.kind = kAlarmDaily;
    ASSERT_TRUE(ParseAlarmSchedule(kAlarmDaily, "2026.12.01 07:00:00 1", &alarm));
    state.previousTick = MakeTime(2026, 12, 8, 20);    // the last check before the program closed
    CheckDueAlarms(clock, MakeTime(2026, 12, 10, 12), state, sink);
    ASSERT_EQ(1u, sink.fired.size());
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 7)), sink.fired[0]);  // the latest occurrence only
    state.previousTick = MakeTime(2026, 12, 10, 12);
    CheckDueAlarms(clock, MakeTime(2026, 12, 10, 12, 0, 1), state, sink);
    EXPECT_EQ(1u, sink.fired.size());

    clock.alarmsEnabled = 0;
    state.previousTick = MakeTime(2026, 12, 8, 20);
    CheckDueAlarms(clock, MakeTime(2026, 12, 10, 12), state, sink);
    EXPECT_EQ(1u, sink.fired.size());
}

TEST_F(AlarmCheck, TimerAlarmsCountFromTheAnchor)
{
    // a countdown ending at 12:00:00 UTC with an alarm one minute before the end
    clock.kind = kClockTimer | kClockCountdown;
    clock.timerRunning = 1;
    SYSTEMTIME end = MakeTime(2026, 12, 10, 12);
    FILETIME ft;
    SystemTimeToFileTime(&end, &ft);
    clock.timerAnchorUtc = ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    alarm.timerOffset = 60;
    alarm.reminderMinutes = 2;
    Tick(MakeTime(2026, 12, 10, 11, 55), MakeTime(2026, 12, 10, 12, 1));
    ASSERT_EQ(1u, sink.fired.size());
    // now, in the clock's zone time (UTC+1) as every occurrence: not anchored to a date
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 12, 59)), sink.fired[0]);
    ASSERT_EQ(1u, syncs.size());
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 11, 58, 55)), syncs[0]);
    ASSERT_EQ(1u, sink.reminders.size());
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 12, 57)), sink.reminders[0]);

    // a stopped timer checks nothing; a finished one once, and the flag is cleared
    clock.timerRunning = 0;
    Tick(MakeTime(2026, 12, 10, 11, 58, 59), MakeTime(2026, 12, 10, 11, 59));
    EXPECT_EQ(1u, sink.fired.size());
    clock.timerFinished = 1;
    Tick(MakeTime(2026, 12, 10, 11, 58, 59), MakeTime(2026, 12, 10, 11, 59));
    EXPECT_EQ(2u, sink.fired.size());
    EXPECT_EQ(0u, clock.timerFinished);
}

namespace {

// The clock table as the main program owns it. The first alarm fired
// reloads the settings: a smaller table takes the place of the old one,
// whose records are overwritten. They stay allocated, so that a stale read
// fires the "stale" alarms instead of crashing the run.
class CReloadingSink : public IAlarmSink {
public:
    struct Table {
        std::vector<ClockRecord> clocks;
        std::vector<std::vector<AlarmRecord>> alarms;
    };
    // `alarms[c]` names the alarms of clock c, each a daily 07:00 local.
    static void Build(Table& table, const std::vector<std::vector<const wchar_t*>>& alarms)
    {
        table.clocks.assign(alarms.size(), ClockRecord());
        table.alarms.assign(alarms.size(), {});
        for (size_t c = 0; c < alarms.size(); ++c) {
            for (const wchar_t* name : alarms[c])
                table.alarms[c].push_back(Daily(name));
            ClockRecord& clock = table.clocks[c];
            memset(&clock, 0, sizeof(clock));
            clock.zone.tzi = CentralEuropeTzi();
            clock.zone.standardRule = clock.zone.daylightRule = -1;
            clock.flags = kClockUseDaylight;
            clock.alarmsEnabled = 1;
            clock.alarmCount = (uint32_t)table.alarms[c].size();
            clock.alarms.ptr = table.alarms[c].data();
        }
    }
    static AlarmRecord Daily(const wchar_t* name)
    {
        AlarmRecord alarm;
        memset(&alarm, 0, sizeof(alarm));
        alarm.kind = kAlarmDaily;
        alarm.enabled = 1;
        EXPECT_TRUE(ParseAlarmSchedule(kAlarmDaily, "2026.12.01 07:00:00 1", &alarm));
        CopyFixed(alarm.comment, FIELD_WIDTH(alarm.comment), name);
        return alarm;
    }

    ClockRecord* Clocks() override { return current->clocks.data(); }
    int ClockCount() override { return (int)current->clocks.size(); }
    void FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME&, ClockRecord& clock) override
    {
        fired.push_back(Name(alarm) + " of " + std::to_string(&clock - Clocks()));
        if (current == &next)
            return;
        current = &next;
        for (auto& list : old.alarms)
            for (AlarmRecord& a : list)
                a = Daily(L"stale");
    }
    void AddReminder(const AlarmRecord& alarm, const SYSTEMTIME&, ClockRecord&) override
    {
        fired.push_back("reminder " + Name(alarm));
    }
    static std::string Name(const AlarmRecord& alarm)
    {
        std::string name;
        for (size_t i = 0; i < FIELD_WIDTH(alarm.comment) && alarm.comment[i]; ++i)
            name += (char)alarm.comment[i];
        return name;
    }

    Table old, next;
    Table* current = &old;
    std::vector<std::string> fired;
};

}  // namespace

// Firing can run a message loop in which a settings change replaces the
// clock table: the check goes on with the new table, by index.
TEST(AlarmCheckReload, GoesOnWithTheTableThatReplacedTheOld)
{
    struct Case {
        const char* name;
        std::vector<std::vector<const wchar_t*>> before, after;
        int clock;
        std::vector<std::string> fired;
    } cases[] = {
        {"the clock keeps fewer alarms", {{L"a", L"b", L"c"}}, {{L"a", L"fresh"}}, 0, {"a of 0", "fresh of 0"}},
        {"the clock is gone", {{L"x"}, {L"a", L"b", L"c"}}, {{L"x"}}, 1, {"a of 1"}},
        {"the clock lost its alarms", {{L"a", L"b"}}, {{}}, 0, {"a of 0"}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        CReloadingSink sink;
        CReloadingSink::Build(sink.old, c.before);
        CReloadingSink::Build(sink.next, c.after);
        AlarmCheckState state = {};
        state.previousTick = MakeTime(2026, 12, 10, 5, 59, 59);  // 07:00 local is due
        CheckDueAlarms(sink.old.clocks[c.clock], MakeTime(2026, 12, 10, 6), state, sink);
        EXPECT_EQ(c.fired, sink.fired);
    }
}
