#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include <string>

#include "app/clocks/ClockSettings.h"
#include "app/clocks/TimerClocks.h"
#include "app/settings/SettingsIni.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/system/Paths.h"
#include "graphics/text/DurationFormat.h"
#include "graphics/time/FileTimeTicks.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

const SYSTEMTIME kStart = MakeTime(2026, 3, 10, 12, 0, 0);
const int kNever = INT_MIN;  // a timer that never ran: no anchor, no moment

uint64_t TicksOf(const SYSTEMTIME& t)
{
    uint64_t ticks = 0;
    EXPECT_TRUE(SystemTimeToTicks(t, &ticks));
    return ticks;
}

uint64_t TicksAt(int seconds)
{
    return TicksOf(kStart) + (uint64_t)((int64_t)seconds * kTicksPerSecond);
}

SYSTEMTIME At(int seconds)
{
    SYSTEMTIME t = {};
    EXPECT_TRUE(TicksToSystemTime(TicksAt(seconds), &t));
    t.wMilliseconds = 640;  // the operations drop it
    return t;
}

uint64_t Seconds(int64_t n)
{
    return (uint64_t)(n * kTicksPerSecond);
}

const uint32_t kStopwatch = kClockTimer;
const uint32_t kCountdown = kClockTimer | kClockCountdown;
const uint32_t kDated = kClockFixedMoment;

class CFixedNowTimers : public CTimerClocks {
public:
    explicit CFixedNowTimers(ITimerClockHost* host = nullptr) : CTimerClocks(host), now(kStart) {}
    SYSTEMTIME now;

protected:
    SYSTEMTIME NowUtc() override { return now; }
};

}  // namespace

// Each case plays a timeline on one timer: S start, P stop, R reset, T the
// tick's advance; the state after the last step is checked.
TEST(TimerOperations, Timelines)
{
    struct Step {
        char op;
        int at;  // seconds after kStart
    };
    struct Case {
        const char* name;
        uint32_t kind;
        int32_t duration;
        int anchorAt;
        Step steps[6];
        uint32_t running, finished;
        int value, anchor;  // seconds
    } cases[] = {
        {"countdown paused with 4 of 10 minutes left ends 4 minutes after the start",
         kCountdown, 600, kNever, {{'S', 0}, {'T', 360}, {'P', 360}, {'S', 400}}, 1, 0, 240, 640},
        {"countdown paused past its old end still resumes with what was left",
         kCountdown, 600, kNever, {{'S', 0}, {'T', 360}, {'P', 360}, {'S', 1000}}, 1, 0, 240, 1240},
        {"finished countdown starts over", kCountdown, 600, kNever, {{'S', 0}, {'T', 600}, {'S', 700}}, 1, 0, 600,
         1300},
        {"finished then stopped countdown starts over", kCountdown, 600, kNever,
         {{'S', 0}, {'T', 600}, {'P', 650}, {'S', 700}}, 1, 0, 600, 1300},
        {"running countdown goes on", kCountdown, 600, kNever, {{'S', 0}, {'T', 100}, {'S', 200}}, 1, 0, 500, 600},
        {"reset countdown is stopped at its full duration", kCountdown, 600, kNever,
         {{'S', 0}, {'T', 100}, {'R', 150}}, 0, 0, 600, 750},
        {"stopwatch stopped at 5 s shows 5 s when started again", kStopwatch, 0, kNever,
         {{'S', 0}, {'T', 5}, {'P', 5}, {'S', 100}}, 1, 0, 5, 95},
        {"and counts on", kStopwatch, 0, kNever, {{'S', 0}, {'T', 5}, {'P', 5}, {'S', 100}, {'T', 110}}, 1, 0, 15,
         95},
        {"running stopwatch goes on", kStopwatch, 0, kNever, {{'S', 0}, {'T', 50}, {'S', 60}}, 1, 0, 50, 0},
        {"reset stopwatch starts at now", kStopwatch, 0, kNever, {{'S', 0}, {'T', 50}, {'R', 60}}, 0, 0, 0, 60},
        {"reset countdown to a past term shows 0", kCountdown | kDated, 0, 100, {{'R', 200}}, 0, 0, 0, 100},
        {"reset countdown to a coming term shows the time left", kCountdown | kDated, 0, 100, {{'R', 40}}, 0, 0, 60,
         100},
        {"countdown to a past term stays finished", kCountdown | kDated, 0, 100, {{'S', 200}}, 0, 1, 0, 100},
        {"countdown to a coming term runs", kCountdown | kDated, 0, 100, {{'S', 40}}, 1, 0, 60, 100},
        {"stopwatch from a coming moment stays at 0", kStopwatch | kDated, 0, 100, {{'S', 50}}, 0, 0, 0, 100},
        {"stopwatch from a past moment counts from it", kStopwatch | kDated, 0, 100, {{'S', 130}}, 1, 0, 30, 100},
        {"reset stopwatch from a past moment", kStopwatch | kDated, 0, 100, {{'S', 130}, {'R', 160}}, 0, 0, 60, 100},
    };
    CUnitNames names;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClockRecord clock = {};
        clock.kind = c.kind;
        clock.countdownSeconds = c.duration;
        wcscpy(clock.timerFormat, L"%S");
        if (c.anchorAt != kNever)
            clock.timerAnchorUtc = TicksAt(c.anchorAt);
        for (const Step& step : c.steps) {
            switch (step.op) {
            case 'S': StartTimerClock(clock, At(step.at)); break;
            case 'P': StopTimerClock(clock); break;
            case 'R': ResetTimerClock(clock, At(step.at)); break;
            case 'T': UpdateTimerText(clock, At(step.at), names); break;
            }
        }
        EXPECT_EQ(c.running, clock.timerRunning);
        EXPECT_EQ(c.finished, clock.timerFinished);
        EXPECT_EQ(Seconds(c.value), clock.timerValue);
        EXPECT_EQ(TicksAt(c.anchor), clock.timerAnchorUtc);
        // the moment of a clock without a set one is its anchor's time
        if (!(c.kind & kDated)) {
            EXPECT_EQ(TicksAt(c.anchor), TicksOf(clock.timerMoment));
        }
    }
}

TEST(TimerOperations, LeaveOtherClocksAlone)
{
    ClockRecord clock = {};
    clock.kind = kClockCountdown;  // no timer bit
    clock.timerRunning = 1;
    clock.timerFinished = 1;
    clock.countdownSeconds = 600;
    clock.timerAnchorUtc = TicksAt(-30);
    clock.timerValue = Seconds(7);
    const ClockRecord before = clock;
    StartTimerClock(clock, At(0));
    ResetTimerClock(clock, At(0));
    StopTimerClock(clock);
    EXPECT_EQ(0, memcmp(&before, &clock, sizeof(clock)));
}

namespace {

// A program folder with user "user" and the test zones.
class TimerState : public testing::Test {
protected:
    TimerState() : db(sys) {}
    void SetUp() override
    {
        ASSERT_TRUE(BuildIniPathsFor(folder.Path().c_str(), L"user", &paths));
        ASSERT_TRUE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        context = {&paths, &db, nullptr, &sys, &timers, kStart};
    }
    void TearDown() override { WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni); }
    void Set(const wchar_t* key, const wchar_t* value)
    {
        ASSERT_TRUE(WritePrivateProfileStringW(L"user:clock1", key, value, paths.userIni));
    }
    ClockRecord Read()
    {
        ClockRecord clock = {};
        clock.id = 1;
        EXPECT_TRUE(ReadClock(context, L"user", 1, &clock));
        FreeClockAlarms(&clock);
        return clock;
    }

    CTempFolder folder;
    SettingsPaths paths = {};
    CFakeSystemZone sys;
    CZoneDatabase db;
    CFixedNowTimers timers;
    ClockReadContext context = {};
};

}  // namespace

TEST_F(TimerState, SavedStateReadsBackForEveryKind)
{
    // past 2^32 ms (about 50 days)
    const uint64_t kLong = 5000000000ull * 10000;
    const SYSTEMTIME kLocal = MakeTime(2026, 7, 1, 18, 0, 0);  // zone-local
    const uint64_t kLocalAsUtc = TicksOf(MakeTime(2026, 7, 1, 16, 0, 0));
    const uint64_t kEnd = TicksOf(MakeTime(2026, 9, 8, 7, 6, 5));
    SYSTEMTIME endTime = {};
    TicksToSystemTime(kEnd, &endTime);
    struct Case {
        const char* name;
        const wchar_t* mode;
        const wchar_t* duration;
        uint32_t kind;
        uint32_t running;
        uint64_t value;
        SYSTEMTIME moment;
        uint64_t anchor;
        bool hasValue;
    } cases[] = {
        {"stopwatch", L"1", nullptr, kStopwatch, 1, kLong + Seconds(3), MakeTime(2026, 1, 2, 3, 4, 5),
         TicksOf(MakeTime(2026, 1, 2, 3, 4, 5)), true},
        {"stopwatch from a set moment", L"1", nullptr, kStopwatch | kDated, 0, kLong + Seconds(9), kLocal,
         kLocalAsUtc, true},
        {"countdown of a duration", L"-1", L"9000000", kCountdown, 1, kLong + Seconds(7), endTime, kEnd, true},
        {"countdown to a term", L"-1", L"0", kCountdown | kDated, 0, 0, kLocal, kLocalAsUtc, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WritePrivateProfileStringW(L"user:clock1", nullptr, nullptr, paths.userIni);
        WritePrivateProfileStringW(L"user:clock2", nullptr, nullptr, paths.userIni);
        Set(L"timer_mode", c.mode);
        Set(L"zone", L"W. Europe Standard Time");
        Set(L"usedaylight", L"1");
        if (c.duration)
            Set(L"duration", c.duration);
        // stale values that the save must replace
        Set(L"running", c.running ? L"0" : L"1");
        Set(L"elapsed", L"1");
        Set(L"remaining", L"1");
        Set(L"term_tsc", L"1");
        Set(L"term", L"2001.01.01 00:00:00");
        Set(L"start_time", L"2001.01.01 00:00:00");
        if (c.kind == (kStopwatch | kDated))
            Set(L"start_at", L"2001.01.01 00:00:00");

        ClockRecord clocks[2] = {Read(), {}};
        ASSERT_EQ(c.kind, clocks[0].kind);
        clocks[0].timerRunning = c.running;
        clocks[0].timerValue = c.value;
        clocks[0].timerMoment = c.moment;
        clocks[0].timerAnchorUtc = c.anchor;
        clocks[1].id = 2;  // a time clock: not written
        SaveTimerState(paths, clocks, 2);

        ClockRecord back = Read();
        EXPECT_EQ(c.kind, back.kind);
        EXPECT_EQ(c.running, back.timerRunning);
        if (c.hasValue) {
            EXPECT_EQ(c.value, back.timerValue);
        }
        EXPECT_EQ(c.anchor, back.timerAnchorUtc);
        EXPECT_EQ(TicksOf(c.moment), TicksOf(back.timerMoment));
        EXPECT_FALSE(KeyExists(paths.userIni, L"user:clock2", L"running"));
    }
}

TEST_F(TimerState, RunningTimerWithIncompleteStateRestartsOnLoad)
{
    timers.now = At(30);
    struct Case {
        const char* name;
        const wchar_t* mode;
        const wchar_t* duration;
        int value, anchor;  // seconds
    } cases[] = {
        {"stopwatch without its start", L"1", nullptr, 0, 30},
        {"countdown without its end", L"-1", L"600", 600, 630},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WritePrivateProfileStringW(L"user:clock1", nullptr, nullptr, paths.userIni);
        Set(L"timer_mode", c.mode);
        if (c.duration)
            Set(L"duration", c.duration);
        Set(L"running", L"1");
        Set(L"remaining", L"120000");
        Set(L"elapsed", L"120000");
        ClockRecord clock = Read();
        EXPECT_EQ(1u, clock.timerRunning);
        EXPECT_EQ(Seconds(c.value), clock.timerValue);
        EXPECT_EQ(TicksAt(c.anchor), clock.timerAnchorUtc);
    }
}

namespace {

class CFakeTimerHost : public ITimerClockHost {
public:
    ClockRecord* Clocks() override { return clocks; }
    int ClockCount() override { return count; }
    const SettingsPaths& Paths() override { return paths; }
    const CUnitNames& UnitNames() override { return names; }
    void SendDataToTrayClock() override { ++pushes; }
    HWND MainWindow() override { return nullptr; }

    ClockRecord clocks[3] = {};
    int count = 2;  // the third record lies past the array's end
    SettingsPaths paths = {};
    CUnitNames names;
    int pushes = 0;
};

}  // namespace

TEST(TimerControl, RunsTheOperationSavesAndPushesOnce)
{
    struct Case {
        const char* name;
        int index, operation;
        bool acts;
        const wchar_t* running;
        int elapsed, startAt;  // seconds
    } cases[] = {
        {"start resumes", 0, kTimerStart, true, L"1", 5, -5},
        {"stop", 0, kTimerStop, true, L"0", 5, -60},
        {"reset", 0, kTimerReset, true, L"0", 0, 0},
        {"unknown operation", 0, 3, false},
        {"negative index", -1, kTimerStart, false},
        {"index past the count", 2, kTimerStart, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTempFolder folder;
        CFakeTimerHost host;
        ASSERT_TRUE(BuildIniPathsFor(folder.Path().c_str(), L"user", &host.paths));
        // a stopwatch paused at 5 s that was started a minute ago; a time clock; a stray stopwatch
        ClockRecord& watch = host.clocks[0];
        watch.id = 1;
        watch.kind = kStopwatch;
        watch.timerValue = Seconds(5);
        watch.timerAnchorUtc = TicksAt(-60);
        TicksToSystemTime(watch.timerAnchorUtc, &watch.timerMoment);
        host.clocks[1].id = 2;
        host.clocks[2] = watch;
        host.clocks[2].id = 3;
        const ClockRecord before = watch;
        CFixedNowTimers timers(&host);

        timers.ControlTimerClock(c.index, c.operation);
        EXPECT_EQ(before.timerValue, host.clocks[2].timerValue);
        EXPECT_EQ(before.timerAnchorUtc, host.clocks[2].timerAnchorUtc);
        EXPECT_EQ(0u, host.clocks[2].timerRunning);
        if (!c.acts) {
            EXPECT_EQ(0, host.pushes);
            EXPECT_EQ(0, memcmp(&before, &watch, sizeof(before)));
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(host.paths.userIni));
            continue;
        }
        EXPECT_EQ(1, host.pushes);
        std::wstring running;
        EXPECT_TRUE(ReadProfileText(host.paths.userIni, L"user:clock1", L"running", L"", &running));
        EXPECT_EQ(c.running, running);
        int64_t elapsed = -1;
        EXPECT_TRUE(ReadMsKey(host.paths, L"user:clock1", L"elapsed", &elapsed));
        EXPECT_EQ((int64_t)Seconds(c.elapsed), elapsed);
        SYSTEMTIME start = {};
        EXPECT_TRUE(ReadTimeStampKey(host.paths, L"user:clock1", L"start_time", &start));
        EXPECT_EQ(TicksAt(c.startAt), TicksOf(start));
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, host.paths.userIni);
    }
}

namespace {

// The panel as the timers see it: notes what it is asked.
class CFakePanel : public ITimerPanel {
public:
    bool Show(HWND owner, const ClockRecord& clock, int clockIndex, HWND mainWindow) override
    {
        shownId = clock.id;
        shownIndex = clockIndex;
        shownOwner = owner;
        open = true;
        return true;
    }
    bool IsShown() const override { return open; }
    HWND Window() const override { return open ? GetDesktopWindow() : nullptr; }
    void Close() override
    {
        open = false;
        ++closes;
    }

    bool open = false;
    uint32_t shownId = 0;
    int shownIndex = -1;
    HWND shownOwner = nullptr;
    int closes = 0;
};

}  // namespace

TEST(TimerControl, ThePanelOpensForTimersOnlyAndAnOperationClosesIt)
{
    CTempFolder folder;
    CFakeTimerHost host;
    ASSERT_TRUE(BuildIniPathsFor(folder.Path().c_str(), L"user", &host.paths));
    host.clocks[0].id = 1;
    host.clocks[1].id = 7;
    host.clocks[1].kind = kStopwatch;
    host.clocks[2].id = 3;
    host.clocks[2].kind = kStopwatch;  // past the count
    CFakePanel panel;
    CFixedNowTimers timers(&host);
    timers.SetPanel(&panel);
    HWND beside = GetDesktopWindow();

    for (int index : {-1, 0, 2}) {
        SCOPED_TRACE(index);
        timers.ShowPanel(index, beside);
        EXPECT_FALSE(timers.IsPanelVisible());
    }
    timers.ShowPanel(1, beside);
    EXPECT_TRUE(timers.IsPanelVisible());
    EXPECT_EQ(7u, panel.shownId);
    EXPECT_EQ(1, panel.shownIndex);
    EXPECT_EQ(beside, panel.shownOwner);

    // an operation that does nothing leaves it; one that acts closes it
    timers.ControlTimerClock(1, 3);
    EXPECT_TRUE(timers.IsPanelVisible());
    timers.ControlTimerClock(1, kTimerStart);
    EXPECT_FALSE(timers.IsPanelVisible());
    EXPECT_EQ(1, panel.closes);
    EXPECT_EQ(1u, host.clocks[1].timerRunning);

    // without a panel nothing opens
    CFixedNowTimers bare(&host);
    bare.ShowPanel(1, beside);
    EXPECT_FALSE(bare.IsPanelVisible());
}
