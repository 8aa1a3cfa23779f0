#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "app/main/ClockTick.h"

namespace {

SYSTEMTIME Utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    SYSTEMTIME t = {};
    t.wYear = (WORD)year;
    t.wMonth = (WORD)month;
    t.wDay = (WORD)day;
    t.wHour = (WORD)hour;
    t.wMinute = (WORD)minute;
    t.wSecond = (WORD)second;
    return t;
}

// Notes every step as one word; the fields steer the answers.
class CFakeTickHost : public ITickHost {
public:
    CFakeTickHost()
    {
        memset(clocks, 0, sizeof(clocks));
        clocks[0].kind = kClockTimer | kClockCountdown;             // advanced by the tick
        clocks[1].kind = kClockTimer;
        clocks[1].flags = kClockOnDesktop;                          // advanced by its window
        clocks[2].alarmsEnabled = 1;
        now = Utc(2026, 3, 10, 12, 0);
    }
    SYSTEMTIME NowUtc() override { return now; }
    bool UpdateZones(const SYSTEMTIME&) override
    {
        steps.push_back("zones");
        return zonesChanged;
    }
    void ResendClocks() override { steps.push_back("resend"); }
    ClockRecord* Clocks() override { return clocks; }
    int ClockCount() override { return count; }
    void AdvanceTimer(ClockRecord& clock, const SYSTEMTIME&) override
    {
        steps.push_back("timer" + std::to_string(&clock - clocks));
    }
    void CheckAlarms(ClockRecord& clock, const SYSTEMTIME&, AlarmCheckState& state) override
    {
        steps.push_back("alarms" + std::to_string(&clock - clocks));
        previousTicks.push_back(state.previousTick);
        state.syncBeforeAlarm = state.syncBeforeAlarm || alarmDueSoon;
        if (onAlarm)
            onAlarm();
    }
    bool WantsSyncBeforeAlarms() override { return syncBeforeAlarms; }
    void RequestSync() override { steps.push_back("sync"); }
    void RefreshNews() override { steps.push_back("news"); }

    int Count(const std::string& step) const
    {
        int n = 0;
        for (const std::string& s : steps)
            n += s == step;
        return n;
    }

    ClockRecord clocks[3];
    int count = 3;
    SYSTEMTIME now;
    bool zonesChanged = false;
    bool alarmDueSoon = false;
    bool syncBeforeAlarms = false;
    void (*onAlarm)() = nullptr;
    std::vector<std::string> steps;
    std::vector<SYSTEMTIME> previousTicks;
};

CClockTick* g_reentered = nullptr;
CFakeTickHost* g_reloaded = nullptr;

}  // namespace

TEST(ClockTick, StepsInOrder)
{
    CFakeTickHost host;
    host.zonesChanged = true;
    host.syncBeforeAlarms = true;
    CClockTick tick(host);
    tick.Tick();
    std::vector<std::string> expected = {"zones", "resend", "timer0", "alarms2", "sync", "news"};
    EXPECT_EQ(expected, host.steps);
}

TEST(ClockTick, OncePerSecondOfTheInjectedClock)
{
    CFakeTickHost host;
    CClockTick tick(host);
    struct { DWORD ms; int zoneSteps; } timeline[] = {
        {5000, 1},  // the first timer message ticks
        {5064, 1}, {5600, 1},  // 600 ms later: no tick
        {5999, 1}, {6000, 2},  // the next one 1000 ms after the last
        {6900, 2}, {7064, 3},
    };
    for (auto& t : timeline) {
        SCOPED_TRACE(t.ms);
        tick.OnTimer(t.ms);
        EXPECT_EQ(t.zoneSteps, host.Count("zones"));
    }
}

TEST(ClockTick, TheTickCountMayWrap)
{
    CFakeTickHost host;
    CClockTick tick(host);
    tick.OnTimer(0xFFFFFE00u);
    tick.OnTimer(0x00000100u);  // 768 ms later
    EXPECT_EQ(1, host.Count("zones"));
    tick.OnTimer(0x00000200u);  // 1024 ms later
    EXPECT_EQ(2, host.Count("zones"));
}

TEST(ClockTick, AlarmWindowRunsFromThePreviousTick)
{
    CFakeTickHost host;
    CClockTick tick(host);
    tick.Alarms().previousTick = Utc(2026, 3, 10, 11, 0);  // "lastalarmcheck"
    // until a tick ran, the previous tick is no check and is not saved
    EXPECT_FALSE(tick.Alarms().ticked);
    tick.Tick();
    EXPECT_TRUE(tick.Alarms().ticked);
    host.now = Utc(2026, 3, 10, 12, 0, 1);
    tick.Tick();
    ASSERT_EQ(2u, host.previousTicks.size());
    EXPECT_EQ(11, host.previousTicks[0].wHour);
    EXPECT_EQ(12, host.previousTicks[1].wHour);
    EXPECT_EQ(0, host.previousTicks[1].wSecond);
}

TEST(ClockTick, AModalLoopInsideAnAlarmDoesNotTickAgain)
{
    CFakeTickHost host;
    CClockTick tick(host);
    g_reentered = &tick;
    host.onAlarm = [] {
        // a message box of the alarm pumps the timer messages
        g_reentered->OnTimer(90000);
        g_reentered->Tick();
    };
    tick.OnTimer(10000);
    g_reentered = nullptr;
    EXPECT_EQ(1, host.Count("alarms2"));
    EXPECT_EQ(1, host.Count("zones"));
    // the guard is released afterwards
    host.onAlarm = nullptr;
    tick.OnTimer(11000);
    EXPECT_EQ(2, host.Count("alarms2"));
}

TEST(ClockTick, ASettingsReloadDuringAnAlarmEndsTheLoopAtTheNewCount)
{
    CFakeTickHost host;
    host.clocks[1].alarmsEnabled = 1;
    g_reloaded = &host;
    host.onAlarm = [] { g_reloaded->count = 1; };  // the reload left one clock
    CClockTick tick(host);
    tick.Tick();
    g_reloaded = nullptr;
    EXPECT_EQ(1, host.Count("alarms1"));
    EXPECT_EQ(0, host.Count("alarms2"));
}

TEST(ClockTick, SyncAtTheFirstTickThenOnlyWhenAnAlarmIsNear)
{
    CFakeTickHost host;
    CClockTick tick(host);
    host.syncBeforeAlarms = true;
    tick.Tick();
    tick.Tick();
    EXPECT_EQ(1, host.Count("sync"));
    host.alarmDueSoon = true;
    tick.Tick();
    EXPECT_EQ(2, host.Count("sync"));
    host.alarmDueSoon = false;
    tick.Tick();  // the flag was consumed
    EXPECT_EQ(2, host.Count("sync"));
    EXPECT_FALSE(tick.Alarms().syncBeforeAlarm);

    CFakeTickHost off;
    off.alarmDueSoon = true;
    CClockTick other(off);
    other.Tick();
    EXPECT_EQ(0, off.Count("sync"));
    EXPECT_FALSE(other.Alarms().syncBeforeAlarm);
}

TEST(ClockTick, NewsRefreshFirstThenEveryThreeMinutesAndAfterMidnight)
{
    CFakeTickHost host;
    CClockTick tick(host);
    struct { SYSTEMTIME now; int refreshes; } timeline[] = {
        {Utc(2026, 3, 10, 23, 55), 1},
        {Utc(2026, 3, 10, 23, 57), 1},
        {Utc(2026, 3, 10, 23, 58), 2},
        {Utc(2026, 3, 11, 0, 0), 3},   // a new day
        {Utc(2026, 3, 10, 23, 59), 3},  // an earlier day does nothing
        {Utc(2026, 3, 11, 0, 2), 3},
        {Utc(2026, 3, 11, 0, 3), 4},
        {Utc(2026, 4, 1, 0, 0), 5},    // a new month
    };
    for (auto& t : timeline) {
        SCOPED_TRACE(t.now.wDay * 10000 + t.now.wHour * 100 + t.now.wMinute);
        host.now = t.now;
        tick.Tick();
        EXPECT_EQ(t.refreshes, host.Count("news"));
    }
}

TEST(ClockTick, ResendOnlyWhenZonesChanged)
{
    CFakeTickHost host;
    CClockTick tick(host);
    tick.Tick();
    EXPECT_EQ(0, host.Count("resend"));
    host.zonesChanged = true;
    tick.Tick();
    EXPECT_EQ(1, host.Count("resend"));
}
