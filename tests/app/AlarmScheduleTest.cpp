#include <gtest/gtest.h>

#include <string.h>

#include "app/alarms/AlarmSchedule.h"
#include "graphics/time/ZoneTime.h"
#include "tests/support/TestFiles.h"

namespace {

AlarmRecord Alarm(int kind, const char* schedule)
{
    AlarmRecord a;
    memset(&a, 0, sizeof(a));
    a.kind = kind;
    a.enabled = 1;
    EXPECT_TRUE(ParseAlarmSchedule(kind, schedule, &a)) << schedule;
    return a;
}

// The occurrence due in the one-second tick that ends at `now`, as text ("" for none).
std::string DueAt(const AlarmRecord& a, const SYSTEMTIME& now)
{
    SYSTEMTIME start = now, found;
    AddMinutes(start, 0);
    start.wSecond = now.wSecond;
    // the previous tick: one second earlier
    if (start.wSecond > 0) {
        start.wSecond -= 1;
    } else {
        start.wSecond = 59;
        AddMinutes(start, -1);
    }
    if (!LastAlarmOccurrence(a, start, now, &found) || CompareSystemTimes(found, start) <= 0)
        return "";
    return FormatTime(found);
}

std::string Latest(const AlarmRecord& a, const SYSTEMTIME& start, const SYSTEMTIME& now)
{
    SYSTEMTIME found;
    return LastAlarmOccurrence(a, start, now, &found) ? FormatTime(found) : "";
}

}  // namespace

TEST(AlarmSchedule, ScheduleStrings)
{
    struct { int kind; const char* text; bool ok; } cases[] = {
        {kAlarmOnce, "2026.12.24 18:00:00", true},
        {kAlarmOnce, "2026.12.24 18:00", false},
        {kAlarmDaily, "2026.01.05 09:00:00 3", true},
        {kAlarmDaily, "2026.01.05 09:00:00", false},
        {kAlarmWeekly, "2026.01.07 07:30:00 2 0A", true},
        {kAlarmWeekly, "2026.01.07 07:30:00 2", false},
        {kAlarmMonthly, "08:15:00 1 0 5 5 1 01.2026", true},
        {kAlarmMonthly, "08:15:00 1 0 5 5 1 01", false},
        {kAlarmYearly, "07:00:00 0 02 29 0 0", true},
        {kAlarmYearly, "07:00:00 0 02 29 0", false},
        {kAlarmCron, "0;9;*;*;2-6", true},
        {kAlarmCron, "0;9;*;*;", true},         // an empty weekday field: any
        {kAlarmCron, "0;9;*;*", false},         // the months field must end at ";"
        {kAlarmCron, "0;9;*", false},           // a missing ";"
        {kAlarmCron, "0;9;5-3;*;*", false},     // a range that runs backwards
        {kAlarmCron, "60;9;*;*;*", false},      // out of bounds
        {kAlarmCron, "0;24;*;*;*", false},
        {kAlarmCron, "0;9;0;*;*", false},
        {kAlarmCron, "0;9;*;*;8", false},
        {kAlarmCron, "0;9;-0;*;*", false},
        {kAlarmCron, "0;9;-32;*;*", false},
        {kAlarmCron, "0;9; -31 ;*;*", true},
        {6, "anything", false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        AlarmRecord a = {};
        EXPECT_EQ(c.ok, ParseAlarmSchedule(c.kind, c.text, &a));
    }
    AlarmRecord a = Alarm(kAlarmWeekly, "2026.01.07 07:30:00 2 0A");
    EXPECT_EQ(0x0Au, a.weeklyMask);
    EXPECT_EQ(2, a.weeklyInterval);
    a = Alarm(kAlarmMonthly, "08:15:00 1 0 5 5 1 01.2026");
    EXPECT_EQ(8 * 3600u + 15 * 60u, a.monthlyTime);
    EXPECT_EQ(1, a.monthlyNthForm);
    EXPECT_EQ(5u, a.monthlyOrdinal);
    EXPECT_EQ(2026u, a.monthlyFirstYear);
}

TEST(AlarmSchedule, CronFields)
{
    CronSchedule cron;
    ASSERT_TRUE(ParseCronSchedule("0,15, 30-32;9-10;1,31;12;1 7", &cron));
    EXPECT_EQ((1ull << 0) | (1ull << 15) | (7ull << 30), cron.minutes);
    EXPECT_EQ((1u << 9) | (1u << 10), cron.hours);
    EXPECT_EQ((1 << 0) | (1 << 30), cron.days);      // bit d-1
    EXPECT_EQ(1u << 12, cron.months);                // bit m
    EXPECT_EQ((1u << 0) | (1u << 6), cron.weekdays); // bit w-1: Sunday, Saturday
    ASSERT_TRUE(ParseCronSchedule("*;*;-1;*;*", &cron));
    EXPECT_EQ(-1, cron.days);
    EXPECT_EQ(0u, cron.minutes);
}

TEST(AlarmSchedule, OnceFiresForItsMomentOnly)
{
    AlarmRecord a = Alarm(kAlarmOnce, "2026.12.24 18:00:00");
    // passed while the program was closed: due at the first tick after the start
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 24, 18)), Latest(a, MakeTime(2026, 12, 24, 9), MakeTime(2026, 12, 25, 8)));
    EXPECT_EQ("", Latest(a, MakeTime(2026, 12, 24, 9), MakeTime(2026, 12, 24, 17, 59, 59)));
    a.enabled = 0;
    EXPECT_EQ("", Latest(a, MakeTime(2026, 12, 24, 9), MakeTime(2026, 12, 25, 8)));
}

TEST(AlarmSchedule, Daily)
{
    AlarmRecord workdays = Alarm(kAlarmDaily, "2026.11.30 07:00:00 0");
    SYSTEMTIME now = MakeTime(2026, 11, 30, 7);
    for (int i = 0; i < 14; ++i, AddDays(now, 1)) {
        std::string due = DueAt(workdays, now);
        SCOPED_TRACE(FormatTime(now));
        if (now.wDayOfWeek == 0 || now.wDayOfWeek == 6)
            EXPECT_EQ("", due);
        else
            EXPECT_EQ(FormatTime(now), due);
    }
    // on Saturday the latest is Friday's
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 4, 7)), Latest(workdays, MakeTime(2026, 12, 1), MakeTime(2026, 12, 5, 12)));

    AlarmRecord every3 = Alarm(kAlarmDaily, "2026.01.05 09:00:00 3");
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 5, 9)), DueAt(every3, MakeTime(2026, 1, 5, 9)));
    EXPECT_EQ("", DueAt(every3, MakeTime(2026, 1, 6, 9)));
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 8, 9)), DueAt(every3, MakeTime(2026, 1, 8, 9)));
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 8, 9)), Latest(every3, MakeTime(2026, 1, 1), MakeTime(2026, 1, 11, 8, 59)));
    EXPECT_EQ("", Latest(every3, MakeTime(2026, 1, 1), MakeTime(2026, 1, 5, 8, 59)));
}

TEST(AlarmSchedule, WeeklyEveryOtherWeek)
{
    // Monday and Wednesday, every second week from the week of Wednesday 7 January 2026
    AlarmRecord a = Alarm(kAlarmWeekly, "2026.01.07 07:30:00 2 0A");
    struct { SYSTEMTIME now; const char* due; } cases[] = {
        {MakeTime(2026, 1, 7, 7, 30), "2026-01-07"},
        {MakeTime(2026, 1, 12, 7, 30), ""},          // an odd week
        {MakeTime(2026, 1, 14, 7, 30), ""},
        {MakeTime(2026, 1, 19, 7, 30), "2026-01-19"},
        {MakeTime(2026, 1, 21, 7, 30), "2026-01-21"},
        {MakeTime(2026, 1, 20, 7, 30), ""},          // Tuesday
    };
    for (auto& c : cases) {
        SCOPED_TRACE(FormatTime(c.now));
        EXPECT_EQ(c.due, DueAt(a, c.now).substr(0, 10));
    }
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 7, 7, 30)), Latest(a, MakeTime(2026, 1, 1), MakeTime(2026, 1, 15, 12)));
    a.weeklyMask = 0;
    EXPECT_EQ("", Latest(a, MakeTime(2026, 1, 1), MakeTime(2026, 1, 21, 12)));
}

TEST(AlarmSchedule, MonthlyAndYearly)
{
    AlarmRecord day31 = Alarm(kAlarmMonthly, "12:00:00 0 31 0 0 1 01.2026");
    EXPECT_EQ(FormatTime(MakeTime(2026, 3, 31, 12)), Latest(day31, MakeTime(2026, 1, 1), MakeTime(2026, 4, 30, 13)));
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 31, 12)), Latest(day31, MakeTime(2026, 1, 1), MakeTime(2026, 3, 30, 13)));

    AlarmRecord lastFriday = Alarm(kAlarmMonthly, "17:00:00 1 0 5 5 1 01.2026");
    EXPECT_EQ(FormatTime(MakeTime(2026, 2, 27, 17)), DueAt(lastFriday, MakeTime(2026, 2, 27, 17)));
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 30, 17)), Latest(lastFriday, MakeTime(2026, 1, 1), MakeTime(2026, 2, 20, 17)));

    AlarmRecord leap = Alarm(kAlarmYearly, "07:00:00 0 02 29 0 0");
    EXPECT_EQ(FormatTime(MakeTime(2024, 2, 29, 7)), Latest(leap, MakeTime(2020, 6, 1), MakeTime(2027, 3, 1)));
    EXPECT_EQ("", Latest(leap, MakeTime(2025, 1, 1), MakeTime(2027, 3, 1)));
    EXPECT_EQ(FormatTime(MakeTime(2028, 2, 29, 7)), DueAt(leap, MakeTime(2028, 2, 29, 7)));

    AlarmRecord thanksgiving = Alarm(kAlarmYearly, "10:00:00 1 11 0 4 4");
    EXPECT_EQ(FormatTime(MakeTime(2026, 11, 26, 10)), Latest(thanksgiving, MakeTime(2026, 1, 1), MakeTime(2026, 12, 10)));
}

TEST(AlarmSchedule, Cron)
{
    AlarmRecord weekdays9 = Alarm(kAlarmCron, "0;9;*;*;2-6");
    SYSTEMTIME now = MakeTime(2026, 12, 6, 9);  // a Sunday
    for (int i = 0; i < 7; ++i, AddDays(now, 1)) {
        SCOPED_TRACE(FormatTime(now));
        bool workday = now.wDayOfWeek >= 1 && now.wDayOfWeek <= 5;
        EXPECT_EQ(workday ? FormatTime(now) : "", DueAt(weekdays9, now));
        SYSTEMTIME later = now;
        later.wMinute = 1;
        EXPECT_EQ("", DueAt(weekdays9, later));
    }

    AlarmRecord lastDay = Alarm(kAlarmCron, "30;*;-1;*;*");
    EXPECT_EQ(FormatTime(MakeTime(2026, 2, 28, 13, 30)), DueAt(lastDay, MakeTime(2026, 2, 28, 13, 30)));
    EXPECT_EQ("", DueAt(lastDay, MakeTime(2026, 2, 27, 13, 30)));

    AlarmRecord day31 = Alarm(kAlarmCron, "0;10;-31;*;*");
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 1, 10)), DueAt(day31, MakeTime(2026, 1, 1, 10)));
    EXPECT_EQ("", DueAt(day31, MakeTime(2026, 4, 1, 10)));

    AlarmRecord any = Alarm(kAlarmCron, "*;*;*;*;*");
    EXPECT_EQ("", DueAt(any, MakeTime(1979, 12, 31, 10)));
    EXPECT_EQ(FormatTime(MakeTime(1980, 1, 1, 10)), DueAt(any, MakeTime(1980, 1, 1, 10)));
}

TEST(AlarmSchedule, CronCatchesUpOnEarlierHoursAndDays)
{
    // after a pause: the latest occurrence, not only one in the current hour or day
    AlarmRecord nine = Alarm(kAlarmCron, "0;9;*;*;*");
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 9, 9)), Latest(nine, MakeTime(2026, 12, 8, 12), MakeTime(2026, 12, 10, 8)));
    AlarmRecord halfPast = Alarm(kAlarmCron, "30;9;*;*;*");
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 10, 9, 30)),
              Latest(halfPast, MakeTime(2026, 12, 10, 9), MakeTime(2026, 12, 10, 10, 5)));
    AlarmRecord lastButOne = Alarm(kAlarmCron, "30;*;-2;*;*");
    EXPECT_EQ(FormatTime(MakeTime(2026, 12, 30, 23, 30)),
              Latest(lastButOne, MakeTime(2026, 12, 29), MakeTime(2026, 12, 31, 10, 5)));
    // never past the window start, even where nothing can ever match
    AlarmRecord never = Alarm(kAlarmCron, "0;0;-31;2;*");
    EXPECT_EQ("", Latest(never, MakeTime(1990, 1, 1), MakeTime(2026, 12, 10)));
}

TEST(AlarmSchedule, StepsBack)
{
    SYSTEMTIME t = MakeTime(2026, 3, 15, 10);
    StepBackToPreviousMonthEnd(t);
    EXPECT_EQ(FormatTime(MakeTime(2026, 2, 28, 23, 59, 59)), FormatTime(t));
    t = MakeTime(2026, 1, 1, 10);
    StepBackToPreviousMonthEnd(t);
    EXPECT_EQ(FormatTime(MakeTime(2025, 12, 31, 23, 59, 59)), FormatTime(t));
    EXPECT_TRUE(StepBackOneDay(t));
    EXPECT_EQ(FormatTime(MakeTime(2025, 12, 30, 23, 59, 59)), FormatTime(t));
    t = MakeTime(2026, 1, 1, 10);
    EXPECT_FALSE(StepBackOneDay(t));
    EXPECT_EQ(FormatTime(MakeTime(2026, 1, 1, 10)), FormatTime(t));
    EXPECT_EQ(1, CompareDates(MakeTime(2026, 1, 2), MakeTime(2026, 1, 1, 23)));
    EXPECT_EQ(0, CompareDates(MakeTime(2026, 1, 2, 5), MakeTime(2026, 1, 2, 1)));
    EXPECT_EQ(1, CompareSystemTimes(MakeTime(2026, 1, 2, 5), MakeTime(2026, 1, 2, 1)));
}

TEST(CronText, FieldsAreWrittenAsTheirReaderTakesThem)
{
    struct Case {
        uint64_t mask;
        const char* text;
    };
    const Case cases[] = {
        {0, "*"},
        {0x800F, "0-3,15"},
        {0x60, "5,6"},
        {0x2, "1"},
        {0x7, "0-2"},
        {0x1ull << 59 | 0x1ull << 58, "58,59"},
        {0xAAAA, "1,3,5,7,9,11,13,15"},
        {~0ull, "0-63"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char out[256];
        char* end = FormatCronField(c.mask, out, sizeof(out));
        EXPECT_STREQ(c.text, out);
        EXPECT_EQ(out + strlen(c.text), end);
    }
    char small[4];
    FormatCronField(0xAAAA, small, sizeof(small));  // cut, never overrun
    EXPECT_EQ(3u, strlen(small));
}

TEST(CronText, SchedulesRoundTripThroughTheReader)
{
    struct Case {
        CronSchedule cron;
        const char* text;
    };
    const Case cases[] = {
        // minutes 0-3 and 15, 9 o'clock, any day, every month, Monday to
        // Friday (bits 1-5 as stored, 2-6 as written)
        {{0x800F, 1u << 9, 0, 0, 0x3E}, "0-3,15;9;*;*;2-6"},
        // a day counted from the month's end
        {{0x60, 0, -1, 1u << 12, 0}, "5,6;*;-1;12;*"},
        // the 1st and 15th (stored one bit down)
        {{1, 0, (int32_t)((1u << 0) | (1u << 14)), 0, 0}, "0;*;1,15;*;*"},
        {{0, 0, 0, 0, 0}, "*;*;*;*;*"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char out[256];
        FormatCronSchedule(c.cron, out, sizeof(out));
        EXPECT_STREQ(c.text, out);
        CronSchedule back;
        ASSERT_TRUE(ParseCronSchedule(out, &back));
        EXPECT_EQ(c.cron.minutes, back.minutes);
        EXPECT_EQ(c.cron.hours, back.hours);
        EXPECT_EQ(c.cron.days, back.days);
        EXPECT_EQ(c.cron.months, back.months);
        EXPECT_EQ(c.cron.weekdays, back.weekdays);
    }
}
