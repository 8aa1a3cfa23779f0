#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "app/clocks/ClockSettings.h"
#include "graphics/records/FixedText.h"
#include "tests/support/FakeSystemZone.h"

namespace {

ClockRecord UtcClock(uint32_t kind)
{
    ClockRecord clock = {};
    clock.kind = kind;
    CopyFixed(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), L"UTC");
    return clock;
}

// 100-ns units since 1601 of a UTC date and time
uint64_t FileTimeOf(int y, int mo, int d, int h, int mi, int s)
{
    SYSTEMTIME t = {(WORD)y, (WORD)mo, 0, (WORD)d, (WORD)h, (WORD)mi, (WORD)s, 0};
    FILETIME ft;
    EXPECT_TRUE(SystemTimeToFileTime(&t, &ft));
    return ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

}  // namespace

TEST(ClockProfile, TimeWindowForms)
{
    const ClockRecord timeClock = UtcClock(0);
    struct Case {
        const wchar_t* text;
        bool ok;
        uint32_t enabled, start, end, color, weight, weekdays;
        const wchar_t* label;
    } cases[] = {
        // the settings program's form: flag, window, RRGGBB, weight, weekday digits, label
        {L"0,08:00-17:00, FF0000, 40, 12345, label", true, 0, 480, 1020, 0x000000FF, 0x40, 0x3E, L"label"},
        {L"1, 08:00-17:00, 00FF00, ff, 06, Week end", true, 1, 480, 1020, 0x0000FF00, 0xFF, 0x41, L"Week end"},
        // without the flag the profile is enabled
        {L"22:30-23:59, 123456, 8, 0123456, Night", true, 1, 1350, 1439, 0x00563412, 8, 0x7F, L"Night"},
        // no weekday digits: an empty set
        {L"9:05-9:10, 0000FF, 1, , Coffee", true, 1, 545, 550, 0x00FF0000, 1, 0, L"Coffee"},
        {L"9:05-9:10, 0000FF, 1, 1", true, 1, 545, 550, 0x00FF0000, 1, 2, L""},
        // 24:00 lies beyond the last minute of the day
        {L"08:00-24:00, FF0000, 40, 12345, label", false},
        {L"-1:00-08:00, FF0000, 40, 12345, label", false},
        {L"08:00-17:00, FF0000, 40, 78, label", false},
        {L"08:00-17:00, FF0000", false},
        {L"08:00 17:00, FF0000, 40, 1, label", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
        ClockProfileRecord p;
        memset(&p, 0xCC, sizeof(p));
        ASSERT_EQ(c.ok, ParseClockProfile(c.text, &p, &timeClock));
        ClockProfileRecord alone;
        EXPECT_EQ(c.ok, ParseClockProfile(c.text, &alone, nullptr));
        if (!c.ok)
            continue;
        EXPECT_EQ(c.enabled, p.enabled);
        EXPECT_EQ(c.start, p.startMinute);
        EXPECT_EQ(c.end, p.endMinute);
        EXPECT_EQ(c.color, p.color);
        EXPECT_EQ(c.weight, p.weight);
        EXPECT_EQ(c.weekdays, p.weekdays);
        EXPECT_TRUE(FixedEquals(p.label, FIELD_WIDTH(p.label), c.label));
        EXPECT_EQ(0, memcmp(&p, &alone, sizeof(p)));
    }
}

TEST(ClockProfile, LabelIsCutTo77Characters)
{
    std::wstring text = L"08:00-09:00, FF0000, 40, 1, " + std::wstring(100, L'x') + L"\r\nnext";
    ClockProfileRecord p;
    ASSERT_TRUE(ParseClockProfile(text.c_str(), &p, nullptr));
    EXPECT_EQ(77u, wcslen((const wchar_t*)p.label));
}

TEST(ClockProfile, FixedMomentRangeIsConvertedWithTheClocksZone)
{
    ClockRecord timer = UtcClock(kClockTimer | kClockCountdown | kClockFixedMoment);
    timer.zone.tzi.Bias = -120;  // UTC+2, no daylight saving
    const wchar_t* forms[] = {L"2026.12.24 18:00:00-2026.12.24 19:30:15, 0000FF, 20, Eve",
                              L"1, 2026.12.24 18:00:00-2026.12.24 19:30:15, 0000FF, 20, Eve"};
    for (const wchar_t* text : forms) {
        SCOPED_TRACE(testing::Message() << std::string(text, text + wcslen(text)));
        ClockProfileRecord p;
        ASSERT_TRUE(ParseClockProfile(text, &p, &timer));
        EXPECT_EQ(1u, p.enabled);
        EXPECT_EQ(18, p.rangeStart.wHour);
        EXPECT_EQ(15, p.rangeEnd.wSecond);
        EXPECT_EQ(FileTimeOf(2026, 12, 24, 16, 0, 0), p.rangeStartUtc);
        EXPECT_EQ(FileTimeOf(2026, 12, 24, 17, 30, 15), p.rangeEndUtc);
        EXPECT_EQ(0x00FF0000u, p.color);
        EXPECT_EQ(0x20, p.weight);
        EXPECT_TRUE(FixedEquals(p.label, FIELD_WIDTH(p.label), L"Eve"));
    }
    ClockProfileRecord p;
    ASSERT_TRUE(ParseClockProfile(L"0, 2026.12.24 18:00:00-2026.12.24 19:30:15, 0000FF, 20, Off", &p, &timer));
    EXPECT_EQ(0u, p.enabled);
    // a day that does not exist, and a missing second
    EXPECT_FALSE(ParseClockProfile(L"2026.02.30 18:00:00-2026.03.01 19:30:15, 0000FF, 20, x", &p, &timer));
    EXPECT_FALSE(ParseClockProfile(L"2026.12.24 18:00:00-2026.12.24 19:30, 0000FF, 20, x", &p, &timer));
}

// The parsed range carries no weekday: 25 March 2026 is a Wednesday in the
// week before the spring switch, on standard time all day.
TEST(ClockProfile, FixedMomentRangeInTheWeekBeforeTheSwitch)
{
    ClockRecord timer = UtcClock(kClockTimer | kClockCountdown | kClockFixedMoment);
    timer.zone.tzi = CentralEuropeTzi();
    timer.zone.standardRule = timer.zone.daylightRule = -1;
    timer.flags = kClockUseDaylight;
    ClockProfileRecord p;
    ASSERT_TRUE(ParseClockProfile(L"2026.03.25 02:30:00-2026.03.25 03:30:00, 0000FF, 20, Night", &p, &timer));
    EXPECT_EQ(FileTimeOf(2026, 3, 25, 1, 30, 0), p.rangeStartUtc);
    EXPECT_EQ(FileTimeOf(2026, 3, 25, 2, 30, 0), p.rangeEndUtc);
}

TEST(ClockProfile, TimerOffsetsInSeconds)
{
    const ClockRecord stopwatch = UtcClock(kClockTimer);
    struct Case {
        const wchar_t* text;
        bool ok;
        uint32_t enabled;
        uint64_t start, end;
    } cases[] = {
        {L"60 120, 00FF00, 80, Lap", true, 1, 600000000, 1200000000},
        {L"0, 0  \t 3600, 00FF00, 80, Lap", true, 0, 0, 36000000000},
        {L"60,120, 00FF00, 80, Lap", false},
        {L"60 -120, 00FF00, 80, Lap", false},
        {L"99999999999999999999 1, 00FF00, 80, Lap", false},
        // a time window is not a timer's form
        {L"08:00-09:00, 00FF00, 80, 1, Lap", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.text, c.text + wcslen(c.text)));
        ClockProfileRecord p;
        ASSERT_EQ(c.ok, ParseClockProfile(c.text, &p, &stopwatch));
        if (!c.ok)
            continue;
        EXPECT_EQ(c.enabled, p.enabled);
        EXPECT_EQ(c.start, p.rangeStartUtc);
        EXPECT_EQ(c.end, p.rangeEndUtc);
        EXPECT_EQ(0x0000FF00u, p.color);
        EXPECT_EQ(0x80, p.weight);
    }
}
