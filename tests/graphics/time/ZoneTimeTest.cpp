#include <gtest/gtest.h>

#include <limits.h>

#include "graphics/time/ZoneTime.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

TimeZoneRecord ZoneOf(const TIME_ZONE_INFORMATION& tzi, int standardRule, int daylightRule)
{
    TimeZoneRecord z = {};
    z.tzi = tzi;
    z.standardRule = standardRule;
    z.daylightRule = daylightRule;
    return z;
}

// An independent ISO 8601 week number, by the Thursday of the date's week.
int IsoWeek(const SYSTEMTIME& t)
{
    uint32_t day = GetDayNumber(t);
    int weekday = (WeekdayOfDayNumber(day) + 6) % 7;  // Monday = 0
    uint32_t thursday = day - weekday + 3;
    SYSTEMTIME jan1 = MakeTime(t.wYear - 1, 1, 1);
    for (int y = t.wYear + 1; y >= t.wYear - 1; --y) {
        jan1 = MakeTime(y, 1, 1);
        if (GetDayNumber(jan1) <= thursday)
            break;
    }
    return (int)(thursday - GetDayNumber(jan1)) / 7 + 1;
}

}  // namespace

TEST(Calendar, LeapYearsAndMonthLengths)
{
    struct { int month, year, days; } cases[] = {
        {2, 2008, 29}, {2, 2009, 28}, {2, 1900, 28}, {2, 2000, 29}, {12, 2009, 31},
        {4, 2009, 30}, {0, 2009, 0}, {13, 2009, 0}, {14, 2008, 31},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.month << "/" << c.year);
        EXPECT_EQ(c.days, GetDaysInMonth(c.month, c.year));
    }
}

TEST(Calendar, DayNumberCountsFrom1601AndRejectsInvalidDates)
{
    EXPECT_EQ(0u, GetDayNumber(MakeTime(1601, 1, 1)));
    EXPECT_EQ(1u, WeekdayOfDayNumber(0));  // a Monday
    EXPECT_EQ(134774u, GetDayNumber(MakeTime(1970, 1, 1)));
    EXPECT_EQ(4, WeekdayOfDayNumber(GetDayNumber(MakeTime(1970, 1, 1))));  // Thursday
    SYSTEMTIME bad[] = {MakeTime(2009, 2, 29), MakeTime(2009, 13, 1), MakeTime(1600, 12, 31), MakeTime(2009, 1, 1, 24)};
    for (auto& t : bad) {
        SCOPED_TRACE(FormatTime(t));
        EXPECT_EQ(0u, GetDayNumber(t));
    }
}

TEST(Calendar, NthWeekday)
{
    struct { int month, year, n, weekday, day; } cases[] = {
        {2, 2009, 5, 0, 22},   // last Sunday of February 2009
        {2, 2009, 4, 0, 22},   // the fourth is also the last
        {3, 2009, 5, 0, 29},
        {3, 2009, 1, 0, 1},    // the 1st itself
        {3, 2009, 9, 0, 29},   // 5 or more is the last
        {5, 2009, 5, 5, 29},
        {2, 2009, 0, 0, 0}, {2, 2009, 1, 7, 0},
        // months outside 1..12 and n below 1 give no day
        {0, 2009, 1, 0, 0}, {13, 2009, 1, 0, 0}, {13, 2009, 5, 3, 0}, {3, 2009, -1, 0, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.month << "/" << c.year << " n=" << c.n << " w=" << c.weekday);
        EXPECT_EQ(c.day, GetNthWeekday(c.month, c.year, c.n, c.weekday));
    }
}

TEST(Calendar, AddMinutesCarriesDateAndWeekday)
{
    struct { SYSTEMTIME from; int minutes; SYSTEMTIME to; } cases[] = {
        {MakeTime(2009, 1, 1, 0, 30), -60, MakeTime(2008, 12, 31, 23, 30)},
        {MakeTime(2008, 2, 28, 23, 30), 60, MakeTime(2008, 2, 29, 0, 30)},
        {MakeTime(2009, 2, 28, 23, 30), 60, MakeTime(2009, 3, 1, 0, 30)},
        {MakeTime(2008, 3, 1, 0, 10), -30, MakeTime(2008, 2, 29, 23, 40)},
        {MakeTime(2009, 12, 31, 22, 0), 150, MakeTime(2010, 1, 1, 0, 30)},
        {MakeTime(2009, 6, 15, 12, 0), -345, MakeTime(2009, 6, 15, 6, 15)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(FormatTime(c.from));
        SYSTEMTIME t = c.from;
        t.wSecond = 17;
        AddMinutes(t, c.minutes);
        c.to.wSecond = 17;
        EXPECT_EQ(FormatTime(c.to), FormatTime(t));
    }
}

TEST(Calendar, AddDaysAndMonths)
{
    SYSTEMTIME t = MakeTime(2009, 1, 31);
    AddMonths(t, 1);
    EXPECT_EQ(FormatTime(MakeTime(2009, 2, 28)), FormatTime(t));
    t = MakeTime(2009, 3, 31);
    AddMonths(t, -1);
    EXPECT_EQ(FormatTime(MakeTime(2009, 2, 28)), FormatTime(t));
    t = MakeTime(2008, 11, 30);
    AddMonths(t, 15);
    EXPECT_EQ(FormatTime(MakeTime(2010, 2, 28)), FormatTime(t));
    t = MakeTime(2010, 1, 5);
    AddMonths(t, -25);
    EXPECT_EQ(FormatTime(MakeTime(2007, 12, 5)), FormatTime(t));
    t = MakeTime(2008, 12, 20);
    AddDays(t, 45);
    EXPECT_EQ(FormatTime(MakeTime(2009, 2, 3)), FormatTime(t));
    AddDays(t, -45);
    EXPECT_EQ(FormatTime(MakeTime(2008, 12, 20)), FormatTime(t));
}

TEST(Calendar, DayOfYearAndCompare)
{
    EXPECT_EQ(0, GetDayOfYear(MakeTime(2009, 1, 1)));
    EXPECT_EQ(365, GetDayOfYear(MakeTime(2008, 12, 31)));
    EXPECT_EQ(59, GetDayOfYear(MakeTime(2009, 3, 1)));
    // reverse sign: +1 when the first is earlier; milliseconds do not count
    SYSTEMTIME a = MakeTime(2009, 3, 1, 10, 0, 0), b = a;
    b.wMilliseconds = 999;
    EXPECT_EQ(0, CompareDateTimes(a, b));
    b.wSecond = 1;
    EXPECT_EQ(1, CompareDateTimes(a, b));
    EXPECT_EQ(-1, CompareDateTimes(b, a));
    EXPECT_EQ(1, CompareDateTimes(MakeTime(2008, 12, 31, 23, 59, 59), MakeTime(2009, 1, 1)));
}

TEST(WeekNumbers, KnownDates)
{
    struct { SYSTEMTIME date; int rule, firstDay, week; } cases[] = {
        {MakeTime(2008, 12, 29), 1, 1, 1},   // Monday, four-day rule
        {MakeTime(2008, 12, 28), 1, 1, 52},
        {MakeTime(2010, 1, 1), 1, 1, 53},    // Friday, still week 53 of 2009
        {MakeTime(2010, 1, 3), 1, 1, 53},
        {MakeTime(2010, 1, 4), 1, 1, 1},
        {MakeTime(2008, 12, 31), 0, 0, 1},   // 1-January rule, Sunday first
        {MakeTime(2009, 1, 1), 0, 0, 1},
        {MakeTime(2009, 1, 4), 0, 0, 2},
        {MakeTime(2009, 12, 26), 0, 0, 52},
        {MakeTime(2009, 12, 27), 0, 0, 1},   // its week holds 1 January 2010
    };
    for (auto& c : cases) {
        SCOPED_TRACE(FormatTime(c.date));
        EXPECT_EQ(c.week, GetWeekNumber(c.date, WeekRules{(uint32_t)c.rule, (uint32_t)c.firstDay}));
    }
}

TEST(WeekNumbers, FourDayRuleWithMondayIsIso8601)
{
    SYSTEMTIME t = MakeTime(1999, 12, 1);
    for (int i = 0; i < 366 * 32; ++i, AddDays(t, 1)) {
        int expected = IsoWeek(t);
        int got = GetWeekNumberIso(t, 1);
        if (expected != got) {
            ADD_FAILURE() << FormatTime(t) << " expected " << expected << " got " << got;
            return;
        }
    }
}

// A first day outside 0..6 counts modulo 7, negative ones too (-1 is Saturday).
TEST(WeekNumbers, FirstDayCountsModuloSeven)
{
    struct { int firstDay, weekday; } cases[] = {
        {-1, 6}, {-7, 0}, {-8, 6}, {-13, 1}, {7, 0}, {8, 1}, {13, 6}, {INT_MIN, 5},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.firstDay);
        SYSTEMTIME t = MakeTime(2008, 12, 1);
        for (int i = 0; i < 400; ++i, AddDays(t, 1)) {
            ASSERT_EQ(GetWeekNumberJan1(t, c.weekday), GetWeekNumberJan1(t, c.firstDay)) << FormatTime(t);
            ASSERT_EQ(GetWeekNumberIso(t, c.weekday), GetWeekNumberIso(t, c.firstDay)) << FormatTime(t);
            ASSERT_EQ(GetWeekNumber(t, WeekRules{1, (uint32_t)c.weekday}),
                      GetWeekNumber(t, WeekRules{1, (uint32_t)c.firstDay})) << FormatTime(t);
        }
    }
    // 1 January 2009 is a Thursday: its Saturday week began on 27 December
    EXPECT_EQ(1, GetWeekNumberJan1(MakeTime(2009, 1, 2), -1));
    EXPECT_EQ(2, GetWeekNumberJan1(MakeTime(2009, 1, 3), -1));
}

TEST(Transitions, Kinds)
{
    struct { SYSTEMTIME date; int rule, kind; } cases[] = {
        {SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0}, -1, kTransitionWeekday},
        {SYSTEMTIME{0, 3, 0, 2, 2, 0, 0, 0}, 2, kTransitionWeekday},
        {SYSTEMTIME{2009, 3, 0, 5, 2, 0, 0, 0}, -1, kTransitionFixed},   // carries a year
        {SYSTEMTIME{0, 3, 0, 21, 0, 0, 0, 0}, 0, kTransitionFixed},      // same day every year
        {SYSTEMTIME{0, 0, 0, 0, 0, 0, 0, 0}, 0, kTransitionNone},
        {SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0}, 7, kTransitionFixed},       // rule out of range
        {SYSTEMTIME{0, 3, 0, 6, 2, 0, 0, 0}, 1, kTransitionFixed},       // day out of range
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.date.wMonth << "/" << c.date.wDay << " rule " << c.rule);
        EXPECT_EQ(c.kind, GetTransitionKind(c.date, c.rule));
    }
    TimeZoneRecord z = ZoneOf(CentralEuropeTzi(), -1, -1);
    EXPECT_TRUE(HasSystemRules(z));
    z.daylightRule = 0;
    z.tzi.DaylightDate.wDay = 29;
    EXPECT_FALSE(HasSystemRules(z));
    int64_t e = 1, s = 1;
    EXPECT_FALSE(GetTransitionKeys(2009, ZoneOf(TIME_ZONE_INFORMATION{}, 0, 0), &e, &s));
    EXPECT_EQ(0, e);
    EXPECT_EQ(0, s);
}

TEST(Transitions, NorthernZoneSwitchesAtTheSecond)
{
    // weekday rules, but converted by the own arithmetic
    TimeZoneRecord z = ZoneOf(CentralEuropeTzi(), -1, -1);
    struct { SYSTEMTIME utc; SYSTEMTIME local; int state; } cases[] = {
        {MakeTime(2009, 1, 15, 12), MakeTime(2009, 1, 15, 13), kStateStandard},
        {MakeTime(2009, 3, 29, 0, 59, 59), MakeTime(2009, 3, 29, 1, 59, 59), kStateStandard},
        {MakeTime(2009, 3, 29, 1, 0, 0), MakeTime(2009, 3, 29, 3, 0, 0), kStateDaylight},
        {MakeTime(2009, 7, 1, 22, 30), MakeTime(2009, 7, 2, 0, 30), kStateDaylight},
        {MakeTime(2009, 10, 25, 0, 59, 59), MakeTime(2009, 10, 25, 2, 59, 59), kStateDaylight},
        {MakeTime(2009, 10, 25, 1, 0, 0), MakeTime(2009, 10, 25, 2, 0, 0), kStateStandard},
        {MakeTime(2009, 12, 31, 23, 30), MakeTime(2010, 1, 1, 0, 30), kStateStandard},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(FormatTime(c.utc));
        SYSTEMTIME local, base = c.utc;
        UtcToZoneTimeOwn(c.utc, &local, z);
        EXPECT_EQ(FormatTime(c.local), FormatTime(local));
        AddMinutes(base, 60);
        EXPECT_EQ(c.state, GetDaylightState(z, base));
    }
}

TEST(Transitions, SouthernZoneIsDaylightAtBothEndsOfTheYear)
{
    // UTC-3, daylight from the first Sunday of October to the first Sunday of April
    TIME_ZONE_INFORMATION tzi = {};
    tzi.Bias = 180;
    tzi.StandardDate = SYSTEMTIME{0, 4, 0, 1, 0, 0, 0, 0};
    tzi.DaylightDate = SYSTEMTIME{0, 10, 0, 1, 0, 0, 0, 0};
    tzi.DaylightBias = -60;
    TimeZoneRecord z = ZoneOf(tzi, 1, 1);
    struct { SYSTEMTIME base; int state; } cases[] = {
        {MakeTime(2009, 1, 10, 12), kStateDaylight},
        {MakeTime(2009, 4, 4, 22, 59, 59), kStateDaylight},    // 23:59:59 daylight on 4 April
        {MakeTime(2009, 4, 4, 23, 0, 0), kStateStandard},      // the end, stated in daylight time
        {MakeTime(2009, 6, 21, 12), kStateStandard},
        {MakeTime(2009, 10, 3, 23, 59, 59), kStateStandard},
        {MakeTime(2009, 10, 4, 0, 0, 0), kStateDaylight},
        {MakeTime(2009, 12, 31, 23, 59, 59), kStateDaylight},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(FormatTime(c.base));
        EXPECT_EQ(c.state, GetDaylightState(z, c.base));
    }
}

TEST(Transitions, FixedDatesAndDatesOfOneYear)
{
    TIME_ZONE_INFORMATION tzi = {};
    tzi.Bias = -210;
    tzi.StandardDate = SYSTEMTIME{0, 9, 0, 21, 23, 59, 59, 0};  // same day every year
    tzi.DaylightDate = SYSTEMTIME{0, 3, 0, 21, 0, 0, 0, 0};
    tzi.DaylightBias = -60;
    TimeZoneRecord z = ZoneOf(tzi, 0, 0);
    EXPECT_FALSE(HasSystemRules(z));
    SYSTEMTIME local;
    UtcToZoneTimeOwn(MakeTime(2011, 3, 20, 20, 29, 59), &local, z);
    EXPECT_EQ(FormatTime(MakeTime(2011, 3, 20, 23, 59, 59)), FormatTime(local));
    UtcToZoneTimeOwn(MakeTime(2011, 3, 20, 20, 30, 0), &local, z);
    EXPECT_EQ(FormatTime(MakeTime(2011, 3, 21, 1, 0, 0)), FormatTime(local));

    // switches in one particular year: only Bias before the first of them
    z.tzi.StandardDate.wYear = 2011;
    z.tzi.DaylightDate.wYear = 2011;
    EXPECT_EQ(kStateNoRule, GetDaylightState(z, MakeTime(2011, 2, 1)));
    EXPECT_EQ(kStateDaylight, GetDaylightState(z, MakeTime(2011, 6, 1)));
    EXPECT_EQ(kStateStandard, GetDaylightState(z, MakeTime(2011, 11, 1)));
    UtcToZoneTimeOwn(MakeTime(2011, 2, 1, 12), &local, z);
    EXPECT_EQ(FormatTime(MakeTime(2011, 2, 1, 15, 30)), FormatTime(local));
    // yearly rules whose two switches fall on one moment: daylight all year
    z.tzi.StandardDate = z.tzi.DaylightDate;
    z.tzi.StandardDate.wYear = z.tzi.DaylightDate.wYear = 0;
    z.tzi.StandardDate.wHour = 1;  // stated in daylight time
    EXPECT_EQ(kStateDaylight, GetDaylightState(z, MakeTime(2011, 1, 1)));
    EXPECT_EQ(kStateDaylight, GetDaylightState(z, MakeTime(2011, 3, 21)));
}

TEST(LocalZoneClock, MatchesTheComputersZone)
{
    LocalZoneState local = {};
    local.zone.tzi = CentralEuropeTzi();
    local.daylight = true;

    ClockRecord clock = {};
    clock.zone.tzi = CentralEuropeTzi();
    clock.flags = kClockUseDaylight;
    EXPECT_TRUE(IsLocalZoneClock(clock, local));

    ClockRecord c = clock;
    c.zone.tzi.StandardDate.wYear = 2020;       // not compared
    c.zone.tzi.DaylightDate.wDayOfWeek = 3;
    c.zone.tzi.StandardDate.wSecond = 30;
    EXPECT_TRUE(IsLocalZoneClock(c, local));
    c = clock;
    c.zone.tzi.DaylightDate.wHour = 1;
    EXPECT_FALSE(IsLocalZoneClock(c, local));
    c = clock;
    c.flags = 0;                                 // clock ignores daylight saving, the computer does not
    EXPECT_FALSE(IsLocalZoneClock(c, local));
    local.daylight = false;
    EXPECT_TRUE(IsLocalZoneClock(c, local));     // same bias, neither side with daylight saving
    c.zone.tzi.Bias = -120;
    EXPECT_FALSE(IsLocalZoneClock(c, local));
    wcscpy(c.zone.zoneName, L"Local System Time");
    EXPECT_TRUE(IsLocalZoneClock(c, local));     // whatever its record holds
}

TEST(Calendar, DayNumbersRoundTrip)
{
    for (uint32_t day = 0; day < 600000; day += 13) {
        SYSTEMTIME date;
        DayNumberToDate(day, &date);
        ASSERT_EQ(day, GetDayNumber(date)) << FormatTime(date);
        ASSERT_EQ(WeekdayOfDayNumber(day), date.wDayOfWeek);
    }
    SYSTEMTIME date;
    DayNumberToDate(GetDayNumber(MakeTime(2024, 2, 29)), &date);
    EXPECT_EQ(FormatTime(MakeTime(2024, 2, 29)), FormatTime(date));
}
