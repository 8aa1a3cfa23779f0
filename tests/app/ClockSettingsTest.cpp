#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "app/alarms/AlarmCheck.h"
#include "app/clocks/ClockSettings.h"
#include "app/settings/SettingsIni.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/system/Paths.h"
#include "graphics/records/ZoneRecord.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

class CFakeStrings : public ILanguageStrings {
public:
    int GetString(UINT id, WCHAR* buffer, int chars) const override
    {
        lstrcpynW(buffer, id == 222 ? L"'Wk' ww" : L"", chars);
        return lstrlenW(buffer);
    }
    LCID GetLcid() const override { return 0x409; }
};

class CFakeTimers : public ITimerRestart {
public:
    void RestartTimer(ClockRecord& clock) override { restarted.push_back(clock.id); }
    std::vector<uint32_t> restarted;
};

uint64_t FileTimeOf(const SYSTEMTIME& t)
{
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&t, &ft));
    return ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

const int64_t kSecond = 10000000;

// A program folder per test with user "user"; clock 1 is read unless told otherwise.
class ClockSettings : public testing::Test {
protected:
    ClockSettings() : db(sys) {}
    void SetUp() override
    {
        ASSERT_TRUE(BuildIniPathsFor(folder.Path().c_str(), L"user", &paths));
        ASSERT_TRUE(db.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        context = {&paths, &db, &strings, &sys, &timers, MakeTime(2026, 3, 10, 12, 34, 56)};
        context.nowUtc.wMilliseconds = 789;
    }
    void TearDown() override
    {
        FreeClockAlarms(&clock);
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.defaultIni);
    }
    void Set(const wchar_t* section, const wchar_t* key, const wchar_t* value)
    {
        std::wstring name = std::wstring(L"user:") + section;
        // a null value removes the key
        BOOL written = WritePrivateProfileStringW(name.c_str(), key, value, paths.userIni);
        if (value) {
            ASSERT_TRUE(written);
        }
    }
    void Set(const wchar_t* key, const wchar_t* value) { Set(L"clock1", key, value); }
    void SetDefault(const wchar_t* key, const wchar_t* value)
    {
        BOOL written = WritePrivateProfileStringW(L"default:newclock", key, value, paths.defaultIni);
        if (value) {
            ASSERT_TRUE(written);
        }
    }
    // Reads clock 1 afresh; the alarm array goes with the fixture.
    const ClockRecord& Read()
    {
        FreeAlarms();
        EXPECT_TRUE(ReadClock(context, L"user", 1, &clock));
        return clock;
    }
    void FreeAlarms()
    {
        FreeClockAlarms(&clock);
        clock = {};
    }
    const AlarmRecord& Alarm(uint32_t i) const { return clock.alarms.ptr[i]; }

    CTempFolder folder;
    SettingsPaths paths = {};
    CFakeSystemZone sys;
    CZoneDatabase db;
    CFakeStrings strings;
    CFakeTimers timers;
    ClockReadContext context = {};
    ClockRecord clock = {};
};

}  // namespace

TEST_F(ClockSettings, EmptySectionTakesTheDefaults)
{
    Set(L"location", L"");
    const ClockRecord& c = Read();
    EXPECT_EQ(0u, c.kind);
    EXPECT_EQ(0u, c.enabled);
    EXPECT_EQ(255, c.alpha);
    EXPECT_TRUE(FixedEquals(c.zone.zoneName, FIELD_WIDTH(c.zone.zoneName), kLocalZoneName));
    EXPECT_EQ(kClockTransparent | kClockSuffix | kClockUseDaylight | kClockDaylightInUse, c.flags);
    EXPECT_TRUE(FixedEquals(c.timeFormat, FIELD_WIDTH(c.timeFormat), L"Default"));
    EXPECT_TRUE(FixedEquals(c.dateFormat, FIELD_WIDTH(c.dateFormat), L"None"));
    EXPECT_EQ(1u, c.profilesEnabled);
    EXPECT_EQ(0u, c.profileCount);
    EXPECT_EQ(1u, c.alarmsEnabled);
    EXPECT_EQ(0u, c.alarmCount);
    EXPECT_EQ(0u, c.clickAction);
    EXPECT_EQ(0u, c.expanded);
}

TEST_F(ClockSettings, AlphaIsClampedAndZeroTakesTheNewClocks)
{
    struct Case {
        const wchar_t* alpha;         // null: missing
        const wchar_t* defaultAlpha;  // of "default:newclock"; null: missing
        int expected;
    } cases[] = {
        {L"5", L"77", 10},  {L"0", L"77", 77},   {nullptr, L"77", 77}, {L"0", nullptr, 255},
        {L"300", L"77", 255}, {L"-4", L"77", 10}, {L"200", L"77", 200}, {L"0", L"3", 10},
        {L"0", L"999", 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Set(L"alpha", c.alpha);
        SetDefault(L"alpha", c.defaultAlpha);
        EXPECT_EQ(c.expected, Read().alpha);
    }
}

TEST_F(ClockSettings, TransparentAndSkinFallBackOnTheNewClock)
{
    SetDefault(L"transparent", L"0");
    SetDefault(L"skin", L"Glass");
    EXPECT_EQ(0u, Read().flags & kClockTransparent);
    EXPECT_TRUE(FixedEquals(clock.skin, FIELD_WIDTH(clock.skin), L"Glass"));

    Set(L"transparent", L"1");
    Set(L"skin", L"Brass");
    EXPECT_NE(0u, Read().flags & kClockTransparent);
    EXPECT_TRUE(FixedEquals(clock.skin, FIELD_WIDTH(clock.skin), L"Brass"));
}

TEST_F(ClockSettings, ZoneAndDaylight)
{
    const uint32_t both = kClockUseDaylight | kClockDaylightInUse;
    struct Case {
        const wchar_t* zone;
        const wchar_t* usedaylight;
        bool systemDisablesDaylight;
        const wchar_t* expectedZone;
        uint32_t bits;
        int standardBias, daylightBias;
    } cases[] = {
        {L"", L"0", false, kLocalZoneName, both, 0, -60},
        {L"", L"1", true, kLocalZoneName, 0, 0, -60},
        {L"Nowhere Standard Time", L"0", false, kLocalZoneName, both, 0, -60},
        {L"Nowhere Standard Time", L"1", true, kLocalZoneName, 0, 0, -60},
        {L"W. Europe Standard Time", L"1", false, L"W. Europe Standard Time", both, 0, -60},
        {L"W. Europe Standard Time", L"yes", true, L"W. Europe Standard Time", both, 0, -60},
        // standard time all year
        {L"W. Europe Standard Time", L"0", false, L"W. Europe Standard Time", kClockDaylightInUse, 0, 0},
        {L"UTC", L"1", false, L"UTC", kClockUseDaylight, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.zone, c.zone + wcslen(c.zone)) << " " << c.bits);
        sys.hasDisableValue = true;
        sys.disableValue = c.systemDisablesDaylight ? 1 : 0;
        Set(L"zone", c.zone);
        Set(L"usedaylight", c.usedaylight);
        const ClockRecord& r = Read();
        EXPECT_TRUE(FixedEquals(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), c.expectedZone));
        EXPECT_EQ(c.bits, r.flags & both);
        EXPECT_EQ(c.standardBias, r.zone.tzi.StandardBias);
        EXPECT_EQ(c.daylightBias, r.zone.tzi.DaylightBias);
    }
    // the registry value missing counts as daylight saving followed
    sys.hasDisableValue = false;
    Set(L"zone", L"");
    EXPECT_EQ(both, Read().flags & both);
}

TEST_F(ClockSettings, TextsAndTheWeekFormat)
{
    Set(L"enabled", L"yes");
    Set(L"prefix", L"Head office of the company, Berlin");  // 34 characters
    Set(L"location", L"Berlin");
    Set(L"dateformat", L"Week w");
    Set(L"action", L"3");
    Set(L"url", L"https://example.invalid/");
    Set(L"expanded", L"1");
    const ClockRecord& c = Read();
    EXPECT_EQ(1u, c.enabled);
    EXPECT_TRUE(FixedEquals(c.prefix, FIELD_WIDTH(c.prefix), L"Head office of the company, Berl"));
    EXPECT_TRUE(FixedEquals(c.caption, FIELD_WIDTH(c.caption), L"Head office of the company, Berl"));
    EXPECT_TRUE(FixedEquals(c.location, FIELD_WIDTH(c.location), L"Berlin"));
    EXPECT_TRUE(FixedEquals(c.dateFormat, FIELD_WIDTH(c.dateFormat), L"'Wk' ww"));
    EXPECT_EQ(3u, c.clickAction);
    EXPECT_TRUE(FixedEquals(c.clickUrl, FIELD_WIDTH(c.clickUrl), L"https://example.invalid/"));
    EXPECT_EQ(1u, c.expanded);

    Set(L"enabled", L"0 (off)");
    Set(L"action", L"8");
    EXPECT_EQ(0u, Read().enabled);
    EXPECT_EQ(0u, clock.clickAction);
}

TEST_F(ClockSettings, SecondsBitAndSecondsHand)
{
    struct Case {
        const wchar_t* format;
        const wchar_t* hand;  // null: missing
        uint32_t bits;
    } cases[] = {
        {L"HH:mm:ss", nullptr, kClockShowsSeconds | kClockSecondsHand},
        {L"HH:mm:ss", L"0", kClockShowsSeconds},
        {L"HH:mm", nullptr, 0},
        {L"Default", L"1", kClockSecondsHand},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        Set(L"timeformat", c.format);
        Set(L"seconds_hand", c.hand);
        EXPECT_EQ(c.bits, Read().flags & (kClockShowsSeconds | kClockSecondsHand));
    }
}

TEST_F(ClockSettings, ProfilesStopAtTheFirstGap)
{
    Set(L"profiles", L"0");
    Set(L"profile1", L"08:00-12:00, FF0000, 40, 12345, Morning");
    Set(L"profile2", L"0,13:00-17:00, 00FF00, 40, 12345, Afternoon");
    Set(L"profile4", L"18:00-20:00, 0000FF, 40, 12345, Evening");
    const ClockRecord& c = Read();
    EXPECT_EQ(0u, c.profilesEnabled);
    ASSERT_EQ(2u, c.profileCount);
    EXPECT_EQ(1u, c.profiles[0].enabled);
    EXPECT_EQ(0u, c.profiles[1].enabled);
    EXPECT_EQ(780u, c.profiles[1].startMinute);

    Set(L"profile3", L"08:00-24:00, FF0000, 40, 12345, Late");
    EXPECT_EQ(2u, Read().profileCount);
}

TEST_F(ClockSettings, CountdownForms)
{
    Set(L"timer_mode", L"-1");
    Set(L"zone", L"UTC");
    Set(L"prefix", L"Egg");
    // duration 0 without a term: it ends when it was read
    const ClockRecord& c = Read();
    EXPECT_EQ(kClockTimer | kClockCountdown | kClockFixedMoment, c.kind);
    SYSTEMTIME now = context.nowUtc;
    now.wMilliseconds = 0;
    EXPECT_EQ(FileTimeOf(now), c.timerAnchorUtc);
    EXPECT_EQ(56, c.timerMoment.wSecond);
    EXPECT_EQ(0, c.timerMoment.wMilliseconds);
    EXPECT_TRUE(FixedEquals(c.caption, FIELD_WIDTH(c.caption), L"Egg"));
    EXPECT_TRUE(FixedEquals(c.timerFormat, FIELD_WIDTH(c.timerFormat), L"%H:%02m:%02s"));
    EXPECT_NE(0u, c.flags & kClockShowsSeconds);

    // a term in the zone's time, converted to UTC
    Set(L"zone", L"W. Europe Standard Time");
    Set(L"usedaylight", L"1");
    Set(L"term", L"2026.07.01 18:00:00");
    Set(L"tooltip", L"Launch");
    Set(L"remaining", L"5000");
    Read();
    EXPECT_EQ(18, clock.timerMoment.wHour);
    EXPECT_EQ(FileTimeOf(MakeTime(2026, 7, 1, 16, 0, 0)), clock.timerAnchorUtc);
    EXPECT_EQ(5000u * 10000u, clock.timerValue);
    EXPECT_TRUE(FixedEquals(clock.caption, FIELD_WIDTH(clock.caption), L"Launch"));

    // a countdown of a duration: the end is the UTC milliseconds form
    uint64_t end = FileTimeOf(MakeTime(2026, 3, 10, 13, 0, 0));
    Set(L"duration", L"600");
    Set(L"running", L"1");
    Set(L"exec_action", L"1");
    Set(L"term_tsc", std::to_wstring(end / 10000).c_str());
    Read();
    EXPECT_EQ(kClockTimer | kClockCountdown, clock.kind);
    EXPECT_EQ(600, clock.countdownSeconds);
    EXPECT_EQ(end, clock.timerAnchorUtc);
    EXPECT_EQ(13, clock.timerMoment.wHour);
    EXPECT_EQ(1u, clock.timerRunning);
    EXPECT_EQ(1u, clock.execAction);
    EXPECT_TRUE(timers.restarted.empty());

    // running without its end: stopped, then restarted by the timers' code
    Set(L"term_tsc", nullptr);
    Read();
    EXPECT_EQ(0u, clock.timerRunning);
    EXPECT_EQ(FileTimeOf(now), clock.timerAnchorUtc);
    EXPECT_EQ(1u, timers.restarted.size());
}

TEST_F(ClockSettings, StopwatchForms)
{
    Set(L"timer_mode", L"1");
    Set(L"zone", L"W. Europe Standard Time");
    Set(L"usedaylight", L"1");
    Set(L"running", L"1");
    Set(L"elapsed", L"1500");
    Set(L"start_at", L"2026.01.01 00:00:00");
    Set(L"start_time", L"2026.02.01 00:00:00");
    Read();
    EXPECT_EQ(kClockTimer | kClockFixedMoment, clock.kind);
    EXPECT_EQ(FileTimeOf(MakeTime(2025, 12, 31, 23, 0, 0)), clock.timerAnchorUtc);
    EXPECT_EQ(1500u * 10000u, clock.timerValue);

    Set(L"start_at", nullptr);
    Read();
    EXPECT_EQ(kClockTimer, clock.kind);
    EXPECT_EQ(FileTimeOf(MakeTime(2026, 2, 1)), clock.timerAnchorUtc);
    EXPECT_EQ(1u, clock.timerRunning);
    EXPECT_TRUE(timers.restarted.empty());

    Set(L"start_time", nullptr);
    Read();
    EXPECT_EQ(0u, clock.timerRunning);
    EXPECT_EQ(1u, timers.restarted.size());
    // not running: nothing to restart
    Set(L"running", L"0");
    Read();
    EXPECT_EQ(1u, timers.restarted.size());
}

TEST_F(ClockSettings, AlarmSectionsOfEveryKind)
{
    struct Case {
        const wchar_t* type;
        const wchar_t* key;
        const wchar_t* schedule;
    } cases[] = {
        {L"0", L"once", L"2026.03.10 07:30:00"},
        {L"1", L"daily", L"2026.03.10 07:30:00 0"},
        {L"2", L"weekly", L"2026.03.10 07:30:00 2 3E"},
        {L"3", L"monthly", L"07:30:00 1 0 5 5 1 3.2026"},
        {L"4", L"yearly", L"07:30:00 0 2 29 0 0"},
        {L"5", L"cron", L"30;7;*;*;2-6"},
    };
    int m = 1;
    for (const Case& c : cases) {
        std::wstring section = L"clock1:alarm" + std::to_wstring(m++);
        Set(section.c_str(), L"type", c.type);
        Set(section.c_str(), c.key, c.schedule);
        Set(section.c_str(), L"comment", c.key);
        Set(section.c_str(), L"action", L"8");
        Set(section.c_str(), L"reminder", L"15");
        Set(section.c_str(), L"text", L"C:\\wake.wav");
    }
    Set(L"clock1:alarm3", L"enabled", L"0");
    ASSERT_EQ(6u, Read().alarmCount);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(i, Alarm(i).kind);
        EXPECT_EQ(i == 2 ? 0 : 1, Alarm(i).enabled);
        EXPECT_TRUE(FixedEquals(Alarm(i).comment, FIELD_WIDTH(Alarm(i).comment), cases[i].key));
        EXPECT_EQ(8, Alarm(i).action);
        EXPECT_EQ(15, Alarm(i).reminderMinutes);
        EXPECT_TRUE(FixedEquals(Alarm(i).text, FIELD_WIDTH(Alarm(i).text), L"C:\\wake.wav"));
    }
    EXPECT_EQ(30, Alarm(0).once.wMinute);
    EXPECT_EQ(0, Alarm(1).dailyInterval);
    EXPECT_EQ(0x3Eu, Alarm(2).weeklyMask);
    EXPECT_EQ(7u * 3600 + 30 * 60, Alarm(3).monthlyTime);
    EXPECT_EQ(29u, Alarm(4).yearlyDay);
    EXPECT_EQ(0x3Eu, Alarm(5).cronWeekdays);
}

TEST_F(ClockSettings, AnInvalidAlarmSectionEndsTheList)
{
    struct Case {
        const wchar_t* key;
        const wchar_t* value;
    } breakers[] = {
        {L"type", nullptr}, {L"type", L"6"},           {L"type", L"-1"},    {L"once", nullptr},
        {L"once", L""},     {L"once", L"2026.03.10"}, {L"action", L"9"},   {L"action", L"-1"},
    };
    for (const Case& b : breakers) {
        SCOPED_TRACE(testing::Message() << std::string(b.key, b.key + wcslen(b.key)));
        for (int m = 1; m <= 3; ++m) {
            std::wstring section = L"clock1:alarm" + std::to_wstring(m);
            Set(section.c_str(), L"type", L"0");
            Set(section.c_str(), L"once", L"2026.03.10 07:30:00");
            Set(section.c_str(), L"action", L"0");
        }
        Set(L"clock1:alarm2", b.key, b.value);
        EXPECT_EQ(1u, Read().alarmCount);
    }
}

TEST_F(ClockSettings, AlarmArrayGrowsInSteps)
{
    for (int m = 1; m <= 19; ++m) {
        std::wstring section = L"clock1:alarm" + std::to_wstring(m);
        Set(section.c_str(), L"type", L"0");
        Set(section.c_str(), L"once", (L"2026.03.10 07:" + std::to_wstring(10 + m) + L":00").c_str());
    }
    ASSERT_EQ(19u, Read().alarmCount);
    EXPECT_EQ(29, Alarm(18).once.wMinute);
    EXPECT_EQ(11, Alarm(0).once.wMinute);
}

TEST_F(ClockSettings, TimerAlarmsAreMomentsOfTheRun)
{
    // a countdown of a duration: offsets in 100-ns units, whole seconds kept
    Set(L"timer_mode", L"-1");
    Set(L"duration", L"3600");
    Set(L"clock1:alarm1", L"timestamp", L"3000000000");
    Set(L"clock1:alarm2", L"timestamp", L"12345678");
    Set(L"clock1:alarm3", L"timestamp", L"x1");
    Set(L"clock1:alarm4", L"timestamp", L"10000000");
    ASSERT_EQ(2u, Read().alarmCount);
    EXPECT_EQ(kAlarmOnce, Alarm(0).kind);
    EXPECT_EQ(300, Alarm(0).timerOffset);
    EXPECT_EQ(1, Alarm(1).timerOffset);

    // a countdown to a term: the alarm's zone time, ten minutes before the end
    Set(L"duration", L"0");
    Set(L"zone", L"W. Europe Standard Time");
    Set(L"usedaylight", L"1");
    Set(L"term", L"2026.07.01 18:00:00");
    Set(L"clock1:alarm1", L"time", L"2026.07.01 17:50:00");
    Set(L"clock1:alarm2", L"time", L"2026.07.01 16:00:00");
    Set(L"clock1:alarm3", L"time", L"2026.02.30 16:00:00");
    ASSERT_EQ(2u, Read().alarmCount);
    EXPECT_EQ(600, Alarm(0).timerOffset);
    EXPECT_EQ(50, Alarm(0).once.wMinute);
    EXPECT_EQ(7200, Alarm(1).timerOffset);

    // a stopwatch from a moment counts forward
    Set(L"timer_mode", L"1");
    Set(L"start_at", L"2026.07.01 17:00:00");
    Read();
    ASSERT_EQ(2u, clock.alarmCount);
    EXPECT_EQ(3000, Alarm(0).timerOffset);
    EXPECT_EQ(-3600, Alarm(1).timerOffset);
}

// A parsed "time" carries no weekday: in the week before the spring switch
// 02:30 is an ordinary standard time, not a time in the gap.
TEST_F(ClockSettings, TimerAlarmTimeInTheWeekBeforeTheSwitch)
{
    Set(L"timer_mode", L"-1");
    Set(L"zone", L"W. Europe Standard Time");
    Set(L"usedaylight", L"1");
    Set(L"term", L"2026.03.25 04:00:00");
    Set(L"clock1:alarm1", L"time", L"2026.03.25 02:30:00");
    ASSERT_EQ(1u, Read().alarmCount);
    EXPECT_EQ(FileTimeOf(MakeTime(2026, 3, 25, 3)), clock.timerAnchorUtc);
    EXPECT_EQ(FileTimeOf(MakeTime(2026, 3, 25, 1, 30)), TimerAlarmMoment(clock, Alarm(0)));
}

TEST_F(ClockSettings, AlarmTimeNeedsAnAnchoredTimer)
{
    AlarmRecord alarm = {};
    ClockRecord timeClock = {};
    EXPECT_FALSE(AlarmTimeToFileTime(MakeTime(2026, 1, 1), timeClock, &alarm));
    ClockRecord stopwatch = {};
    stopwatch.kind = kClockTimer;
    EXPECT_FALSE(AlarmTimeToFileTime(MakeTime(2026, 1, 1), stopwatch, &alarm));
    stopwatch.kind |= kClockFixedMoment;
    stopwatch.timerAnchorUtc = FileTimeOf(MakeTime(2026, 1, 1));
    ASSERT_TRUE(AlarmTimeToFileTime(MakeTime(2026, 1, 1, 0, 1, 0), stopwatch, &alarm));
    EXPECT_EQ(60, alarm.timerOffset);
}

TEST_F(ClockSettings, TableEnablesTheLastClockWhenNoneIs)
{
    for (const wchar_t* s : {L"clock1", L"clock2", L"clock3"}) {
        Set(s, L"enabled", L"0");
        Set(s, L"prefix", s);
    }
    Set(L"clock2:alarm1", L"type", L"5");
    Set(L"clock2:alarm1", L"cron", L"0;9;*;*;*");
    ClockRecord* table = nullptr;
    ASSERT_EQ(1, BuildClockTable(context, 3, &table));
    ASSERT_TRUE(table != nullptr);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(i + 1, table[i].id);
        EXPECT_EQ(0x80000012u, table[i].textColor);
        EXPECT_EQ(i == 2 ? 1u : 0u, table[i].enabled);
    }
    EXPECT_TRUE(FixedEquals(table[1].prefix, FIELD_WIDTH(table[1].prefix), L"clock2"));
    EXPECT_EQ(1u, table[1].alarmCount);
    FreeClockTable(table, 3);

    Set(L"clock1", L"enabled", L"1");
    Set(L"clock2", L"enabled", L"1");
    ASSERT_EQ(2, BuildClockTable(context, 3, &table));
    EXPECT_EQ(0u, table[2].enabled);
    FreeClockTable(table, 3);

    EXPECT_EQ(0, BuildClockTable(context, 0, &table));
    EXPECT_TRUE(table == nullptr);
}

TEST_F(ClockSettings, ProfilesAreWrittenAsTheyAreRead)
{
    ClockRecord timeClock = {};
    ClockRecord stopwatch = {};
    stopwatch.kind = kClockTimer;
    ClockRecord dated = {};
    dated.kind = kClockTimer | kClockFixedMoment;
    CopyFixed(dated.zone.zoneName, FIELD_WIDTH(dated.zone.zoneName), L"UTC");

    ClockProfileRecord window = {};
    window.enabled = 1;
    window.startMinute = 8 * 60 + 5;
    window.endMinute = 17 * 60 + 30;
    window.color = 0x0000FF;  // red
    window.weight = 0x40;
    window.weekdays = 0x41;   // Sunday and Saturday
    CopyFixed(window.label, FIELD_WIDTH(window.label), L"Weekend, office");
    ClockProfileRecord counts = {};
    counts.rangeStartUtc = 90 * kSecond;
    counts.rangeEndUtc = 3600 * kSecond;
    counts.color = 0x123456;
    counts.weight = 0xFF;
    ClockProfileRecord moments = {};
    moments.enabled = 1;
    moments.rangeStart = MakeTime(2026, 12, 24, 18, 0, 0);
    moments.rangeEnd = MakeTime(2026, 12, 26, 6, 30, 15);
    moments.color = 0xABCDEF;
    moments.weight = 1;
    CopyFixed(moments.label, FIELD_WIDTH(moments.label), L"Holidays");

    struct Case {
        const char* name;
        const ClockRecord* clock;
        const ClockProfileRecord* profile;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"time window", &timeClock, &window, L"1, 08:05-17:30, FF0000, 40, 06, Weekend, office"},
        {"second counts", &stopwatch, &counts, L"0, 00090 03600, 563412, FF, "},
        {"moments", &dated, &moments, L"1, 2026.12.24 18:00:00-2026.12.26 06:30:15, EFCDAB, 01, Holidays"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR text[512];
        WriteClockProfile(*c.profile, text, 512, *c.clock);
        EXPECT_EQ(std::wstring(c.text), std::wstring(text));
        ClockProfileRecord back = {};
        ASSERT_TRUE(ParseClockProfile(text, &back, c.clock));
        EXPECT_EQ(c.profile->enabled, back.enabled);
        EXPECT_EQ(c.profile->color, back.color);
        EXPECT_EQ(c.profile->weight, back.weight);
        EXPECT_TRUE(FixedFieldsEqual(c.profile->label, back.label, FIELD_WIDTH(back.label)));
        if (c.profile == &window) {
            EXPECT_EQ(window.startMinute, back.startMinute);
            EXPECT_EQ(window.endMinute, back.endMinute);
            EXPECT_EQ(window.weekdays, back.weekdays);
        } else if (c.profile == &counts) {
            EXPECT_EQ(counts.rangeStartUtc, back.rangeStartUtc);
            EXPECT_EQ(counts.rangeEndUtc, back.rangeEndUtc);
        } else {
            // the day of the week is not written
            back.rangeStart.wDayOfWeek = moments.rangeStart.wDayOfWeek;
            back.rangeEnd.wDayOfWeek = moments.rangeEnd.wDayOfWeek;
            EXPECT_EQ(0, memcmp(&moments.rangeStart, &back.rangeStart, sizeof(SYSTEMTIME)));
            EXPECT_EQ(0, memcmp(&moments.rangeEnd, &back.rangeEnd, sizeof(SYSTEMTIME)));
        }
    }
}

TEST_F(ClockSettings, AlarmsAreWrittenAsTheyAreRead)
{
    auto base = [](int kind) {
        AlarmRecord a = {};
        a.kind = kind;
        a.enabled = 1;
        a.reminderMinutes = 15;
        a.action = 3;
        CopyFixed(a.comment, FIELD_WIDTH(a.comment), L"Call \"home\"");
        CopyFixed(a.text, FIELD_WIDTH(a.text), L"notepad.exe C:\\notes.txt");
        return a;
    };
    std::vector<AlarmRecord> alarms;
    AlarmRecord once = base(kAlarmOnce);
    once.once = MakeTime(2027, 1, 2, 3, 4, 5);
    alarms.push_back(once);
    AlarmRecord daily = base(kAlarmDaily);
    daily.dailyStart = MakeTime(2026, 12, 1, 7, 30, 0);
    daily.dailyInterval = 0;  // Monday to Friday
    alarms.push_back(daily);
    AlarmRecord weekly = base(kAlarmWeekly);
    weekly.weeklyStart = MakeTime(2026, 12, 7, 9, 0, 0);
    weekly.weeklyInterval = 2;
    weekly.weeklyMask = 0x2A;
    alarms.push_back(weekly);
    AlarmRecord monthly = base(kAlarmMonthly);
    monthly.monthlyTime = 10 * 3600 + 15 * 60 + 30;
    monthly.monthlyNthForm = 1;
    monthly.monthlyDay = 0;
    monthly.monthlyOrdinal = 5;
    monthly.monthlyWeekday = 5;
    monthly.monthlyInterval = 3;
    monthly.monthlyFirstMonth = 2;
    monthly.monthlyFirstYear = 2027;
    alarms.push_back(monthly);
    AlarmRecord yearly = base(kAlarmYearly);
    yearly.yearlyTime = 23 * 3600 + 59 * 60 + 59;
    yearly.yearlyMonth = 12;
    yearly.yearlyDay = 31;
    alarms.push_back(yearly);
    AlarmRecord cron = base(kAlarmCron);
    cron.cronMinutes = 0x800F;
    cron.cronHours = 1u << 9;
    cron.cronDays = -1;
    cron.cronWeekdays = 0x3E;
    alarms.push_back(cron);

    ClockRecord plain = {};
    for (size_t i = 0; i < alarms.size(); ++i) {
        SCOPED_TRACE(alarms[i].kind);
        ASSERT_TRUE(WriteAlarmSection(paths.userIni, L"user:clock1", plain, (int)i + 1, alarms[i]));
        AlarmRecord back;
        ASSERT_TRUE(ReadAlarmSection(context, L"user:clock1", plain, (int)i + 1, &back));
        // the day of the week is not written
        for (SYSTEMTIME AlarmRecord::*t : {&AlarmRecord::once, &AlarmRecord::dailyStart, &AlarmRecord::weeklyStart})
            (back.*t).wDayOfWeek = (alarms[i].*t).wDayOfWeek;
        EXPECT_EQ(0, memcmp(&alarms[i], &back, sizeof(AlarmRecord)));
    }

    // a timer's alarm 90 s after its start: the offset in 100-ns units
    ClockRecord stopwatch = {};
    stopwatch.kind = kClockTimer;
    AlarmRecord offset = base(kAlarmOnce);
    offset.timerOffset = 90;
    ASSERT_TRUE(WriteAlarmSection(paths.userIni, L"user:clock2", stopwatch, 1, offset));
    WCHAR value[64];
    GetPrivateProfileStringW(L"user:clock2:alarm1", L"timestamp", L"", value, 64, paths.userIni);
    EXPECT_EQ(std::wstring(L"900000000"), std::wstring(value));
    AlarmRecord back;
    ASSERT_TRUE(ReadAlarmSection(context, L"user:clock2", stopwatch, 1, &back));
    EXPECT_EQ(90, back.timerOffset);
    GetPrivateProfileStringW(L"user:clock1:alarm6", L"cron", L"", value, 64, paths.userIni);
    EXPECT_EQ(std::wstring(L"0-3,15;9;-1;*;2-6"), std::wstring(value));
}

TEST_F(ClockSettings, ClockSectionsAreReadBackAsTheyWereWritten)
{
    auto plain = [&]() {
        ClockRecord c = {};
        c.id = 1;
        c.enabled = 1;
        c.zone = db.Zone(0);  // the computer's zone
        c.alpha = 200;
        c.flags = kClockTransparent | kClockSuffix | kClockUseDaylight | kClockDaylightInUse;
        CopyFixed(c.timeFormat, FIELD_WIDTH(c.timeFormat), L"HH:mm");
        CopyFixed(c.dateFormat, FIELD_WIDTH(c.dateFormat), L"None");
        CopyFixed(c.skin, FIELD_WIDTH(c.skin), L"Blue LCD");
        c.profilesEnabled = 1;
        c.alarmsEnabled = 1;
        return c;
    };
    int berlin = db.FindZoneByName(L"W. Europe Standard Time");
    ASSERT_GT(berlin, 0);
    struct Case {
        const char* name;
        std::function<void(ClockRecord&)> change;
    };
    const Case cases[] = {
        {"local zone", [](ClockRecord&) {}},
        {"named zone, daylight on", [&](ClockRecord& c) { c.zone = db.Zone(berlin); }},
        {"named zone, daylight off", [&](ClockRecord& c) {
             // the zone keeps its rules (in use), the clock does not follow them
             c.zone = db.Zone(berlin);
             c.zone.tzi.StandardBias = c.zone.tzi.DaylightBias = 0;
             c.flags &= ~kClockUseDaylight;
         }},
        {"a prefix with a leading blank, quotes and Greek",
         [](ClockRecord& c) {
             CopyFixed(c.prefix, FIELD_WIDTH(c.prefix), L" \"\x0391\x03B8\x03AE\x03BD\x03B1\" time");
             CopyFixed(c.caption, FIELD_WIDTH(c.caption), L" \"\x0391\x03B8\x03AE\x03BD\x03B1\" time");
         }},
        {"alpha 16, on the desktop", [](ClockRecord& c) {
             c.alpha = 16;
             c.flags |= kClockOnDesktop;
         }},
        {"alpha 255, opaque, seconds hand", [](ClockRecord& c) {
             c.alpha = 255;
             c.flags = (c.flags & ~kClockTransparent) | kClockSecondsHand;
         }},
        {"a click action", [](ClockRecord& c) {
             c.clickAction = 1;
             CopyFixed(c.clickUrl, FIELD_WIDTH(c.clickUrl), L"https://example.invalid/a b");
             c.expanded = 5;
         }},
        {"two profiles", [](ClockRecord& c) {
             c.profileCount = 2;
             for (int i = 0; i < 2; ++i) {
                 c.profiles[i].enabled = 1;
                 c.profiles[i].startMinute = 60 * (i + 1);
                 c.profiles[i].endMinute = 60 * (i + 2);
                 c.profiles[i].color = 0x0000FF;
                 c.profiles[i].weight = 0x80;
                 c.profiles[i].weekdays = 0x3E;
             }
         }},
    };
    // the settings program keeps the file in UTF-16, where any text survives
    ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", "\xFF\xFE"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WritePrivateProfileStringW(L"user:clock1", nullptr, nullptr, paths.userIni);
        ClockRecord written = plain();
        c.change(written);
        WriteClockSection(paths, written);
        const ClockRecord& back = Read();
        EXPECT_EQ(written.enabled, back.enabled);
        EXPECT_TRUE(FixedFieldsEqual(written.zone.zoneName, back.zone.zoneName, FIELD_WIDTH(back.zone.zoneName)));
        EXPECT_EQ(written.zone.tzi.DaylightBias, back.zone.tzi.DaylightBias);
        EXPECT_EQ(written.alpha, back.alpha);
        EXPECT_EQ(written.flags, back.flags);
        EXPECT_TRUE(FixedFieldsEqual(written.prefix, back.prefix, FIELD_WIDTH(back.prefix)));
        EXPECT_TRUE(FixedFieldsEqual(written.timeFormat, back.timeFormat, FIELD_WIDTH(back.timeFormat)));
        EXPECT_TRUE(FixedFieldsEqual(written.skin, back.skin, FIELD_WIDTH(back.skin)));
        EXPECT_TRUE(FixedFieldsEqual(written.clickUrl, back.clickUrl, FIELD_WIDTH(back.clickUrl)));
        EXPECT_EQ(written.clickAction, back.clickAction);
        EXPECT_EQ(written.expanded, back.expanded);
        EXPECT_EQ(written.profileCount, back.profileCount);
        for (uint32_t i = 0; i < back.profileCount; ++i)
            EXPECT_EQ(written.profiles[i].startMinute, back.profiles[i].startMinute);
    }
}

TEST_F(ClockSettings, AClockSectionKeepsItsKeyOrderAndDropsStaleKeys)
{
    ClockRecord c = {};
    c.id = 1;
    c.enabled = 1;
    c.zone = db.Zone(0);
    c.alpha = 255;
    c.profilesEnabled = 1;
    c.alarmsEnabled = 1;
    // left behind by an earlier save: five profiles, a stopwatch's keys, three alarms
    for (int i = 1; i <= 5; ++i)
        Set((L"profile" + std::to_wstring(i)).c_str(), L"1, 01:00-02:00, FF0000, 80, 12, x");
    Set(L"timer_mode", L"1");
    Set(L"expanded", L"3");
    for (int i = 1; i <= 3; ++i)
        Set((L"clock1:alarm" + std::to_wstring(i)).c_str(), L"type", L"0");
    c.profileCount = 2;
    for (int i = 0; i < 2; ++i) {
        c.profiles[i].enabled = 1;
        c.profiles[i].startMinute = 60;
        c.profiles[i].endMinute = 120;
    }
    WriteClockSection(paths, c);

    std::vector<std::wstring> lines;
    ASSERT_TRUE(ReadSectionLines(paths.userIni, L"user:clock1", &lines));
    std::vector<std::wstring> keys;
    for (const std::wstring& line : lines)
        keys.push_back(line.substr(0, line.find(L'=')));
    // the keys written first keep the places the earlier save gave them;
    // the new ones follow in the writer's order
    const std::vector<std::wstring> expected = {L"profile1", L"profile2", L"profile4", L"profile5", L"enabled",
                                                L"zone", L"timezone", L"location", L"usedaylight", L"on_desktop",
                                                L"transparent", L"alpha", L"skin", L"timeformat", L"dateformat",
                                                L"suffix", L"seconds_hand", L"prefix", L"action", L"url",
                                                L"profiles", L"alarms"};
    EXPECT_EQ(expected, keys);
    WCHAR value[64];
    GetPrivateProfileStringW(L"user:clock1", L"zone", L"<none>", value, 64, paths.userIni);
    EXPECT_EQ(std::wstring(L""), std::wstring(value));  // the local zone: present and empty
    EXPECT_TRUE(KeyExists(paths.userIni, L"user:clock1:alarm2", L"type"));
    EXPECT_FALSE(KeyExists(paths.userIni, L"user:clock1:alarm1", L"type"));  // the first past none
    EXPECT_EQ(2u, Read().profileCount);  // the reader stops at the missing third
}

TEST_F(ClockSettings, AStopwatchNoLongerBoundToADateLosesItsStart)
{
    ClockRecord c = {};
    c.id = 1;
    c.enabled = 1;
    c.zone = db.Zone(0);
    c.kind = kClockTimer | kClockFixedMoment;
    c.timerMoment = MakeTime(2026, 12, 24, 18, 0, 0);
    CopyFixed(c.timerFormat, FIELD_WIDTH(c.timerFormat), L"%H:%02m:%02s");
    WriteClockSection(paths, c);
    EXPECT_TRUE(KeyExists(paths.userIni, L"user:clock1", L"start_at"));
    EXPECT_EQ(kClockTimer | kClockFixedMoment, Read().kind);

    c.kind = kClockTimer;
    WriteClockSection(paths, c);
    EXPECT_FALSE(KeyExists(paths.userIni, L"user:clock1", L"start_at"));
    EXPECT_EQ(kClockTimer, Read().kind);
}

TEST_F(ClockSettings, TimerSectionsAreReadBackAsTheyWereWritten)
{
    struct Case {
        const char* name;
        uint32_t kind;
        int32_t seconds;
        SYSTEMTIME moment;          // zone time of a timer bound to a date
        const wchar_t* format;      // the timer format, or a plain clock's date format
    } cases[] = {
        {"countdown of ten minutes", kClockTimer | kClockCountdown, 600, {}, L"%M:%02s"},
        {"countdown to a date", kClockTimer | kClockCountdown | kClockFixedMoment, 0,
         MakeTime(2026, 12, 31, 23, 59, 0), L"%d days %H:%02m"},
        {"stopwatch", kClockTimer, 0, {}, L"%H:%02m:%02s.%t"},
        {"stopwatch from a date", kClockTimer | kClockFixedMoment, 0, MakeTime(2026, 1, 2, 3, 4, 5), L"%H:%02m"},
        // what the reader makes of "Week w", quotes and all
        {"plain clock with the week format", 0, 0, {}, L"'Wk' ww"},
    };
    ASSERT_TRUE(folder.WriteBytes(L"tempolan.ini", "\xFF\xFE"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WritePrivateProfileStringW(L"user:clock1", nullptr, nullptr, paths.userIni);
        ClockRecord written = {};
        written.id = 1;
        written.enabled = 1;
        written.zone = db.Zone(0);
        written.kind = c.kind;
        written.countdownSeconds = c.seconds;
        written.timerMoment = c.moment;
        if (c.kind & kClockTimer) {
            CopyFixed(written.timerFormat, FIELD_WIDTH(written.timerFormat), c.format);
        } else {
            CopyFixed(written.timeFormat, FIELD_WIDTH(written.timeFormat), L"HH:mm");
            CopyFixed(written.dateFormat, FIELD_WIDTH(written.dateFormat), c.format);
        }
        WriteClockSection(paths, written);
        const ClockRecord& back = Read();
        EXPECT_EQ(written.kind, back.kind);
        EXPECT_EQ(written.countdownSeconds, back.countdownSeconds);
        EXPECT_EQ(0u, back.timerRunning);
        if (c.kind & kClockFixedMoment) {
            EXPECT_EQ(FormatTime(c.moment), FormatTime(back.timerMoment));
        }
        if (c.kind & kClockTimer) {
            EXPECT_TRUE(FixedFieldsEqual(written.timerFormat, back.timerFormat, FIELD_WIDTH(back.timerFormat)));
        } else {
            EXPECT_TRUE(FixedFieldsEqual(written.dateFormat, back.dateFormat, FIELD_WIDTH(back.dateFormat)));
        }
    }
}
