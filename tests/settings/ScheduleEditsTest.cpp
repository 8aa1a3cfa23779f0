#include <gtest/gtest.h>

#include "settings/alarmpages/ScheduleEdits.h"
#include "tests/support/TestFiles.h"

namespace {

SYSTEMTIME At(int y, int mo, int d, int h, int mi, int s = 0)
{
    return MakeTime(y, mo, d, h, mi, s);
}

// 19 July 2026, a Sunday, 09:45:30 in the clock's zone.
const SYSTEMTIME kNow = At(2026, 7, 19, 9, 45, 30);

TEST(ScheduleEdits, DefaultsStartFromNowExceptTheAlarmsOwnKind)
{
    AlarmRecord alarm = {};
    alarm.kind = kAlarmWeekly;
    alarm.weeklyInterval = 3;
    alarm.weeklyMask = 0x41;
    FillScheduleDefaults(&alarm, kNow);
    EXPECT_EQ(3, alarm.weeklyInterval);
    EXPECT_EQ(0x41u, alarm.weeklyMask);
    EXPECT_EQ(19, alarm.once.wDay);
    EXPECT_EQ(0, alarm.once.wSecond);
    EXPECT_EQ(1, alarm.dailyInterval);
    EXPECT_EQ(19u, alarm.monthlyDay);
    EXPECT_EQ(1u, alarm.monthlyOrdinal);
    EXPECT_EQ(0u, alarm.monthlyWeekday);
    EXPECT_EQ(9u * 3600 + 45 * 60, alarm.monthlyTime);
    EXPECT_EQ(7u, alarm.monthlyFirstMonth);
    EXPECT_EQ(2026u, alarm.monthlyFirstYear);
    EXPECT_EQ(1u, alarm.yearlyWeekday);
    EXPECT_EQ(7u, alarm.yearlyMonth);
    EXPECT_EQ(1ull, alarm.cronMinutes);
    EXPECT_EQ(0u, alarm.cronHours);

    alarm = {};
    alarm.kind = kAlarmOnce;
    alarm.once = At(2030, 1, 2, 3, 4);
    FillScheduleDefaults(&alarm, kNow);
    EXPECT_EQ(2030, alarm.once.wYear);
    EXPECT_EQ(1u << 0, alarm.weeklyMask);  // today is a Sunday
}

TEST(ScheduleEdits, CarryOverByTheKindLeft)
{
    AlarmRecord base = {};
    FillScheduleDefaults(&base, At(2020, 1, 1, 0, 0));
    base.kind = kAlarmCron;
    base.once = At(2027, 3, 31, 6, 15, 20);
    base.dailyStart = At(2028, 4, 30, 7, 0);
    base.weeklyStart = At(2029, 5, 9, 8, 30);
    base.weeklyInterval = 4;
    base.monthlyDay = 31;
    base.monthlyFirstMonth = 2;
    base.monthlyFirstYear = 2031;
    base.monthlyTime = 22 * 3600 + 5 * 60;
    base.monthlyInterval = 6;
    base.yearlyDay = 29;
    base.yearlyMonth = 2;
    base.yearlyTime = 12 * 3600;

    struct Case {
        int left;
        void (*check)(const AlarmRecord& a);
    } cases[] = {
        {kAlarmOnce,
         [](const AlarmRecord& a) {
             EXPECT_EQ(31, a.dailyStart.wDay);
             EXPECT_EQ(2027, a.weeklyStart.wYear);
             EXPECT_EQ(20, a.weeklyStart.wSecond);
             EXPECT_EQ(31u, a.monthlyDay);
             EXPECT_EQ(31u, a.yearlyDay);
             EXPECT_EQ(3u, a.monthlyFirstMonth);
             EXPECT_EQ(3u, a.yearlyMonth);
             EXPECT_EQ(2027u, a.monthlyFirstYear);
             EXPECT_EQ(6u * 3600 + 15 * 60 + 20, a.monthlyTime);
             EXPECT_EQ(a.monthlyTime, a.yearlyTime);
             EXPECT_EQ(6, a.monthlyInterval);
         }},
        {kAlarmDaily,
         [](const AlarmRecord& a) {
             EXPECT_EQ(2028, a.once.wYear);
             EXPECT_EQ(30, a.weeklyStart.wDay);
             EXPECT_EQ(31u, a.monthlyDay);  // the day stays
             EXPECT_EQ(4u, a.monthlyFirstMonth);
             EXPECT_EQ(4u, a.yearlyMonth);
             EXPECT_EQ(7u * 3600, a.yearlyTime);
         }},
        {kAlarmWeekly,
         [](const AlarmRecord& a) {
             EXPECT_EQ(9, a.once.wDay);
             EXPECT_EQ(2029, a.dailyStart.wYear);
             EXPECT_EQ(4, a.monthlyInterval);
             EXPECT_EQ(2029u, a.monthlyFirstYear);
         }},
        {kAlarmMonthly,
         [](const AlarmRecord& a) {
             EXPECT_EQ(a.monthlyTime, a.yearlyTime);
             EXPECT_EQ(31u, a.yearlyDay);
             EXPECT_EQ(2u, a.yearlyMonth);
             EXPECT_EQ(6, a.weeklyInterval);
             // 31 February of 2031 is its 28th
             for (const SYSTEMTIME* t : {&a.once, &a.dailyStart, &a.weeklyStart}) {
                 EXPECT_EQ(2031, t->wYear);
                 EXPECT_EQ(2, t->wMonth);
                 EXPECT_EQ(28, t->wDay);
                 EXPECT_EQ(22, t->wHour);
                 EXPECT_EQ(5, t->wMinute);
             }
         }},
        {kAlarmYearly,
         [](const AlarmRecord& a) {
             EXPECT_EQ(12u * 3600, a.monthlyTime);
             EXPECT_EQ(29u, a.monthlyDay);
             EXPECT_EQ(2u, a.monthlyFirstMonth);
             // the years stay: 2027 has no 29 February
             EXPECT_EQ(2027, a.once.wYear);
             EXPECT_EQ(28, a.once.wDay);
             EXPECT_EQ(2028, a.dailyStart.wYear);
             EXPECT_EQ(29, a.dailyStart.wDay);
             EXPECT_EQ(12, a.weeklyStart.wHour);
         }},
        {kAlarmCron,
         [](const AlarmRecord& a) {
             EXPECT_EQ(31, a.once.wDay);
             EXPECT_EQ(31u, a.monthlyDay);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        AlarmRecord alarm = base;
        CarryOverSchedule(&alarm, c.left);
        c.check(alarm);
    }
}

TEST(ScheduleEdits, YearlyDayCutToItsMonth)
{
    struct Case {
        uint32_t month, day, kept;
        bool cut;
    } cases[] = {{4, 31, 30, true}, {2, 29, 29, false}, {2, 30, 29, true}, {12, 31, 31, false}, {0, 31, 31, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.day << "/" << c.month);
        AlarmRecord alarm = {};
        alarm.yearlyMonth = c.month;
        alarm.yearlyDay = c.day;
        EXPECT_EQ(c.cut, CutYearlyDay(&alarm));
        EXPECT_EQ(c.kept, alarm.yearlyDay);
    }
}

TEST(ScheduleEdits, CronFields)
{
    struct Case {
        int field;
        const wchar_t* text;
        bool ok;
        int64_t value;
        const wchar_t* written;  // null: the text itself
    } cases[] = {
        {kCronMinutes, L"0-3,15", true, 0x800F, nullptr},
        {kCronMinutes, L"5, 6 ", true, 0x60, L"5,6"},
        {kCronMinutes, L"*", true, 0, nullptr},
        {kCronMinutes, L"", true, 0, L"*"},
        {kCronMinutes, L"60", false, 0, nullptr},
        {kCronMinutes, L"5-3", false, 0, nullptr},
        {kCronMinutes, L"5;", false, 0, nullptr},
        {kCronHours, L"24", false, 0, nullptr},
        {kCronDays, L"1,15", true, (1 << 0) | (1 << 14), nullptr},
        {kCronDays, L"0", false, 0, nullptr},
        {kCronDays, L"-1", true, -1, nullptr},
        {kCronDays, L"-30", true, -30, nullptr},
        {kCronDays, L"-31", false, 0, nullptr},
        {kCronDays, L"-0", false, 0, nullptr},
        {kCronDays, L"-5x", false, 0, nullptr},
        {kCronMonths, L"12", true, 1 << 12, nullptr},
        {kCronWeekdays, L"2-6", true, 0x3E, nullptr},
        {kCronWeekdays, L"8", false, 0, nullptr},
        {kCronWeekdays, L"1\u00e9", false, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        int64_t value = 777;
        EXPECT_EQ(c.ok, ReadCronField(c.field, c.text, &value));
        if (!c.ok) {
            EXPECT_EQ(777, value);
            continue;
        }
        EXPECT_EQ(c.value, value);
        WCHAR written[64];
        WriteCronField(c.field, value, written, 64);
        EXPECT_STREQ(c.written ? c.written : c.text, written);
    }
}

TEST(ScheduleEdits, CronDaysTextMendedOnLeaving)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* after;
    } cases[] = {{L"x-3", L"*"}, {L"*-", L"*"}, {L"1-3", L"1-3"}, {L"-3", L"-3"}, {L"", L""}};
    for (const Case& c : cases) {
        WCHAR text[16];
        lstrcpynW(text, c.text, 16);
        MendCronDaysText(text, 16);
        EXPECT_STREQ(c.after, text) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(ScheduleEdits, FirstBadDurationField)
{
    struct Case {
        const wchar_t* fields[4];
        int bad;
        int64_t seconds;
    } cases[] = {
        {{L"999", L"25", L"0", L"0"}, -1, 999LL * 86400 + 25 * 3600},
        {{L"1000", L"0", L"0", L"0"}, 0, 0},
        {{L"1", L"", L"0", L"0"}, 1, 0},
        {{L"0", L"0", L"abc", L"0"}, 2, 0},
        {{L"24855", L"0", L"0", L"0"}, 0, 0},
        {{L"0", L"596523", L"14", L"7"}, -1, 2147483647LL},
        {{L"0", L"596523", L"14", L"8"}, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.fields[0]) + L"/" + c.fields[1] + L"/" + c.fields[2] +
                                            L"/" + c.fields[3]));
        int64_t seconds = -1;
        EXPECT_EQ(c.bad, FirstBadDurationField(c.fields, &seconds));
        if (c.bad < 0) {
            EXPECT_EQ(c.seconds, seconds);
        }
    }
}

TEST(ScheduleEdits, LeadTimeParts)
{
    LeadTimeParts parts = SplitLeadTime(2945);
    EXPECT_EQ(2, parts.days);
    EXPECT_EQ(1, parts.hours);
    EXPECT_EQ(5, parts.minutes);
    parts = SplitLeadTime(-90);
    EXPECT_EQ(0, parts.days);
    EXPECT_EQ(1, parts.hours);
    EXPECT_EQ(30, parts.minutes);
}

}  // namespace
