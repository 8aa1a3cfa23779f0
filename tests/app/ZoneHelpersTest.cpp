#include <gtest/gtest.h>

#include <string>

#include "app/zones/ZoneHelpers.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

TimeZoneRecord Europe()
{
    TimeZoneRecord z = {};
    z.tzi = CentralEuropeTzi();
    z.standardRule = z.daylightRule = -1;
    return z;
}

}  // namespace

TEST(ZoneHelpers, ZoneTimeToUtcAcrossTransitions)
{
    TimeZoneRecord z = Europe();
    struct { SYSTEMTIME local, utc; } cases[] = {
        {MakeTime(2026, 1, 15, 12), MakeTime(2026, 1, 15, 11)},
        {MakeTime(2026, 7, 15, 12), MakeTime(2026, 7, 15, 10)},
        {MakeTime(2026, 3, 29, 1, 59), MakeTime(2026, 3, 29, 0, 59)},
        {MakeTime(2026, 3, 29, 2, 30), MakeTime(2026, 3, 29, 1, 0)},   // in the gap: as 03:00
        {MakeTime(2026, 3, 29, 2, 0), MakeTime(2026, 3, 29, 1, 0)},
        {MakeTime(2026, 3, 29, 3, 0), MakeTime(2026, 3, 29, 1, 0)},
        {MakeTime(2026, 10, 25, 4, 0), MakeTime(2026, 10, 25, 3, 0)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(FormatTime(c.local));
        SYSTEMTIME utc;
        ZoneTimeToUtc(&utc, z, c.local);
        EXPECT_EQ(FormatTime(c.utc), FormatTime(utc));
    }
    TimeZoneRecord india = {};
    india.tzi.Bias = -330;
    SYSTEMTIME utc;
    ZoneTimeToUtc(&utc, india, MakeTime(2026, 1, 1, 3));
    EXPECT_EQ(FormatTime(MakeTime(2025, 12, 31, 21, 30)), FormatTime(utc));
}

// The weekday field of the zone time is not trusted: callers that parse a
// date leave it 0, which made days of the week before the switch look like
// the last Sunday of March.
TEST(ZoneHelpers, ZoneTimeToUtcIgnoresTheGivenWeekday)
{
    TimeZoneRecord z = Europe();
    struct { SYSTEMTIME local; int weekday; SYSTEMTIME utc; } cases[] = {
        {MakeTime(2026, 3, 22, 2, 30), 0, MakeTime(2026, 3, 22, 1, 30)},   // a Sunday, a week early
        {MakeTime(2026, 3, 23, 2, 30), 0, MakeTime(2026, 3, 23, 1, 30)},
        {MakeTime(2026, 3, 25, 2, 30), 0, MakeTime(2026, 3, 25, 1, 30)},
        {MakeTime(2026, 3, 25, 2, 30), 6, MakeTime(2026, 3, 25, 1, 30)},
        {MakeTime(2026, 3, 28, 2, 30), 0, MakeTime(2026, 3, 28, 1, 30)},
        {MakeTime(2026, 3, 28, 2, 30), 3, MakeTime(2026, 3, 28, 1, 30)},
        {MakeTime(2026, 3, 29, 2, 30), 3, MakeTime(2026, 3, 29, 1, 0)},    // the switch: in the gap
        {MakeTime(2026, 3, 29, 1, 30), 5, MakeTime(2026, 3, 29, 0, 30)},
        {MakeTime(2026, 3, 30, 2, 30), 0, MakeTime(2026, 3, 30, 0, 30)},
        {MakeTime(2026, 3, 31, 2, 30), 1, MakeTime(2026, 3, 31, 0, 30)},
        {MakeTime(2024, 3, 25, 2, 30), 0, MakeTime(2024, 3, 25, 1, 30)},   // the switch is on 31 March
        {MakeTime(2024, 3, 31, 2, 15), 2, MakeTime(2024, 3, 31, 1, 0)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(FormatTime(c.local) + " given w" + std::to_string(c.weekday));
        SYSTEMTIME local = c.local, utc;
        local.wDayOfWeek = (WORD)c.weekday;
        ZoneTimeToUtc(&utc, z, local);
        EXPECT_EQ(FormatTime(c.utc), FormatTime(utc));
    }
}

TEST(ZoneHelpers, TransitionDays)
{
    TimeZoneRecord z = Europe();
    int first, last;
    EXPECT_EQ(1, GetTransitionGap(MakeTime(2026, 3, 29), z, &first, &last));
    EXPECT_EQ(120, first);
    EXPECT_EQ(180, last);
    EXPECT_EQ(0, GetTransitionGap(MakeTime(2026, 10, 25), z, &first, &last));
    EXPECT_EQ(-1, GetTransitionGap(MakeTime(2026, 10, 18), z, &first, &last));
    EXPECT_EQ(-1, GetTransitionGap(MakeTime(2026, 3, 22), z, &first, &last));
    EXPECT_EQ(29, GetRuleDayOfMonth(MakeTime(2026, 3, 10), z.tzi.DaylightDate));
    EXPECT_EQ(31, GetRuleDayOfMonth(MakeTime(2024, 3, 10), z.tzi.DaylightDate));
    SYSTEMTIME second = {0, 3, 0, 2, 2, 0, 0, 0};  // second Sunday
    EXPECT_EQ(8, GetRuleDayOfMonth(MakeTime(2026, 3, 31), second));
    TimeZoneRecord plain = {};
    EXPECT_EQ(-1, GetTransitionGap(MakeTime(2026, 3, 29), plain, &first, &last));
}

TEST(ZoneHelpers, TimeTexts)
{
    TimeLocale locale = {};
    wcscpy(locale.separator, L":");
    wcscpy(locale.am, L"AM");
    wcscpy(locale.pm, L"PM");
    WCHAR text[32];
    locale.is24Hour = true;
    EXPECT_EQ(5, FormatSecondsOfDay(locale, text, 32, 13 * 3600 + 5 * 60 + 59));
    EXPECT_STREQ(L"13:05", text);
    locale.is24Hour = false;
    FormatSecondsOfDay(locale, text, 32, 0);
    EXPECT_STREQ(L"12:00 AM", text);
    FormatSecondsOfDay(locale, text, 32, 13 * 3600);
    EXPECT_STREQ(L"01:00 PM", text);
    FormatSecondsOfDay(locale, text, 4, 13 * 3600);  // too small: empty, never past the buffer
    EXPECT_STREQ(L"", text);

    struct { const wchar_t* format; bool seconds; } cases[] = {
        {L"HH:mm:ss", true}, {L"HH:mm", false}, {L"Default", false}, {L"24 hours", false},
        {L"12 hours", false}, {L"", false}, {nullptr, false},
    };
    for (auto& c : cases)
        EXPECT_EQ(c.seconds, FormatShowsSeconds(c.format)) << (c.format ? c.format : L"(none)");

    TimeLocale us = {};
    EXPECT_TRUE(RefreshTimeLocale(&us, MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)));
    EXPECT_FALSE(us.is24Hour);
    EXPECT_STREQ(L"AM", us.am);
    EXPECT_FALSE(RefreshTimeLocale(&us, MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)));
    EXPECT_TRUE(RefreshTimeLocale(&us, MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT)));
    EXPECT_TRUE(us.is24Hour);
}

TEST(ZoneHelpers, DayAndSecondConversions)
{
    SYSTEMTIME t;
    ASSERT_TRUE(DayAndSecondsToSystemTime(GetDayNumber(MakeTime(2026, 12, 10)), 3661, &t));
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 1, 1, 1)), FormatTime(t));
    FILETIME ft;
    SYSTEMTIME base = MakeTime(2026, 12, 31, 23, 59, 30);
    SystemTimeToFileTime(&base, &ft);
    ASSERT_TRUE(AddSecondsToFileTime(ft, 45, &t));
    EXPECT_EQ(FormatTime(MakeTime(2027, 1, 1, 0, 0, 15)), FormatTime(t));
    ASSERT_TRUE(AddSecondsToFileTime(ft, -86400, &t));
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 30, 23, 59, 30)), FormatTime(t));
    FILETIME huge = {0xFFFFFFFF, 0xFFFFFFF0};
    EXPECT_FALSE(AddSecondsToFileTime(huge, 0, &t));
}

TEST(TimeOfDayText, FormatsWithAndWithoutSeconds)
{
    TimeLocale h24 = {L":", true, L"AM", L"PM"};
    TimeLocale h12 = {L":", false, L"AM", L"PM"};
    TimeLocale dots = {L".", true, L"", L""};
    struct Case {
        const TimeLocale* locale;
        uint32_t seconds;
        bool withSeconds;
        const wchar_t* text;
    };
    const Case cases[] = {
        {&h24, 3725, true, L"01:02:05"},
        {&h24, 3725, false, L"01:02"},
        {&h12, 46800, false, L"01:00 PM"},
        {&h12, 0, true, L"12:00:00 AM"},
        {&h12, 43200, false, L"12:00 PM"},
        {&dots, 86399, true, L"23.59.59"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.seconds);
        WCHAR out[32];
        EXPECT_EQ((int)wcslen(c.text), FormatTimeOfDay(*c.locale, out, 32, c.seconds, c.withSeconds));
        EXPECT_EQ(std::wstring(c.text), std::wstring(out));
    }
    WCHAR out[32];
    FormatSecondsOfDay(h12, out, 32, 46800);
    EXPECT_EQ(std::wstring(L"01:00 PM"), std::wstring(out));
}

TEST(TimeOfDayText, ParsesTypedTimesAndNamesWhatIsWrong)
{
    TimeLocale us = {L":", false, L"AM", L"PM"};
    TimeLocale noDesignators = {L":", true, L"", L""};
    struct Case {
        const TimeLocale* locale;
        const wchar_t* text;
        int result;
    };
    const Case cases[] = {
        {&us, L"7:30 PM", 70200},
        {&us, L"7:30 am", 27000},
        {&us, L"12:00 AM", 0},
        {&us, L"12:00 PM", 43200},
        {&us, L"07:30:15", 27015},
        {&us, L"24:00", 0},
        {&us, L"9:5", kTimeOfDayBadMinutes},
        {&us, L"9:60", kTimeOfDayBadMinutes},
        {&us, L"13:00 PM", kTimeOfDayBadHour},
        {&us, L"25:00", kTimeOfDayBadHour},
        {&us, L":30", kTimeOfDayBadHour},
        {&us, L"7.30", kTimeOfDayNoSeparator},
        {&us, L"7:30:5", kTimeOfDayBadSeconds},
        {&us, L"7:30 xyz", kTimeOfDayBadDesignator},
        // an empty designator matches nothing
        {&noDesignators, L"7:30 xyz", kTimeOfDayBadDesignator},
        {&noDesignators, L"19:30  ", 70200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.text).c_str());
        EXPECT_EQ(c.result, ParseTimeOfDay(*c.locale, c.text));
    }
}
