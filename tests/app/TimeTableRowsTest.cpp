// The time table's rows computed for a fixed date: the steps of the day in
// local time, the clocks' times beside them and the cells tinted by their
// active profiles.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

#include "app/dialogs/TimeTableRows.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/FixedZoneClock.h"

namespace {

// A zone `minutes` ahead of UTC all year.
class TimeTableRowsTest : public testing::Test {
protected:
    TimeTableRowsTest()
    {
        local.zone = FixedZone(0, L"Local System Time");
        input.language = &language;
        input.localZone = &local;
        input.localHighlight = nullptr;
        input.weekRules = {0, 0};
        input.date = {2026, 3, 0, 1, 17, 45, 12, 0};   // Sunday; the time of day is not read
        input.interval = 15;
        input.mode = kTableMode24Hours;
        input.window = RGB(255, 255, 255);
    }
    void Fill(ClockRecord* const* clocks, int count)
    {
        input.clocks = clocks;
        input.clockCount = count;
        rows.Fill(input);
    }

    CFakeLanguage language;
    LocalZoneState local = {};
    TimeTableInput input = {};
    CTimeTableRows rows;
};

}  // namespace

// A quarter-hour day has 96 steps from local midnight; a clock 5:30 ahead
// shows them shifted and turns to the next day at its own midnight.
TEST_F(TimeTableRowsTest, StepsThroughTheLocalDayAndShiftsEachClock)
{
    ClockRecord india = FixedZoneClock(330, L"Mumbai");
    ClockRecord* clocks[] = {&india};
    Fill(clocks, 1);
    ASSERT_EQ(96, rows.Rows());
    ASSERT_EQ(2, rows.Columns());
    struct Case {
        int row;
        const WCHAR* local;
        const WCHAR* clock;
    } cases[] = {
        {0, L"Sun 0:00", L"Sun 5:30"},  {1, L"Sun 0:15", L"Sun 5:45"},  {73, L"Sun 18:15", L"Sun 23:45"},
        {74, L"Sun 18:30", L"Mon 0:00"}, {95, L"Sun 23:45", L"Mon 5:15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_STREQ(c.local, rows.Text(c.row, 0));
        EXPECT_STREQ(c.clock, rows.Text(c.row, 1));
    }
    EXPECT_EQ(0, rows.Moment(0).wHour);
    EXPECT_EQ(1, rows.Moment(0).wDay);
}

// The local midnight is taken through the local zone: three hours behind
// UTC, the first step is 03:00 UTC.
TEST_F(TimeTableRowsTest, TheFirstStepIsLocalMidnight)
{
    local.zone = FixedZone(-180, L"Local System Time");
    ClockRecord utc = FixedZoneClock(0, L"UTC");
    ClockRecord* clocks[] = {&utc};
    input.interval = 60;
    Fill(clocks, 1);
    ASSERT_EQ(24, rows.Rows());
    EXPECT_EQ(3, rows.Moment(0).wHour);
    EXPECT_STREQ(L"Sun 0:00", rows.Text(0, 0));
    EXPECT_STREQ(L"Sun 3:00", rows.Text(0, 1));
    EXPECT_STREQ(L"Mon 2:00", rows.Text(23, 1));
}

// The modes: fixed pictures for all, or each clock's own formats, where an
// empty or "None" date keeps the day name.
TEST_F(TimeTableRowsTest, ModesChooseTheFormats)
{
    ClockRecord own = FixedZoneClock(0, L"Own");
    wcscpy(own.timeFormat, L"HH.mm.ss");
    wcscpy(own.dateFormat, L"yyyy");
    ClockRecord noDate = FixedZoneClock(0, L"NoDate");
    wcscpy(noDate.timeFormat, L"H:mm");
    wcscpy(noDate.dateFormat, L"None");
    ClockRecord* clocks[] = {&own, &noDate};
    input.interval = 60;
    struct Case {
        int mode;
        const WCHAR* local;
        const WCHAR* own;
        const WCHAR* noDate;
    } cases[] = {
        {kTableMode12Hours, L"Sun 1:00 PM", L"Sun 1:00 PM", L"Sun 1:00 PM"},
        {kTableMode24Hours, L"Sun 13:00", L"Sun 13:00", L"Sun 13:00"},
        {kTableModeClock, L"Sun 1:00 PM", L"2026 13.00.00", L"Sun 13:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        input.mode = c.mode;
        Fill(clocks, 2);
        EXPECT_STREQ(c.local, rows.Text(13, 0));
        EXPECT_STREQ(c.own, rows.Text(13, 1));
        EXPECT_STREQ(c.noDate, rows.Text(13, 2));
    }
}

// A working-hours profile tints the clock's cells while it is active at the
// row's moment, blended into the window colour by its weight.
TEST_F(TimeTableRowsTest, ActiveProfilesTintTheCells)
{
    ClockRecord india = FixedZoneClock(330, L"Mumbai");
    india.profilesEnabled = 1;
    india.profileCount = 1;
    ClockProfileRecord& work = india.profiles[0];
    work.enabled = 1;
    work.weekdays = 0x7F;
    work.startMinute = 9 * 60;
    work.endMinute = 17 * 60;
    work.color = RGB(0, 0, 255);
    work.weight = 128;
    ClockRecord plain = FixedZoneClock(0, L"Plain");
    ClockRecord* clocks[] = {&india, &plain};
    input.window = RGB(255, 255, 255);
    Fill(clocks, 2);
    // (window * (256 - 128) + colour * 128) >> 8 per byte
    const COLORREF tinted = RGB(127, 127, 255);
    // Mumbai's 09:00 is 03:30 here: row 14; its 17:00 is 11:30: row 46
    EXPECT_EQ(RGB(255, 255, 255), rows.Colour(13, 0));
    EXPECT_EQ(tinted, rows.Colour(14, 0));
    EXPECT_EQ(tinted, rows.Colour(45, 0));
    EXPECT_EQ(RGB(255, 255, 255), rows.Colour(46, 0));
    for (int row = 0; row < rows.Rows(); ++row)
        EXPECT_EQ(RGB(255, 255, 255), rows.Colour(row, 1));
}

TEST(TimeTableModes, NamesReadBackAsTheirModes)
{
    for (int mode = 0; mode < kTableModeCount; ++mode)
        EXPECT_EQ(mode, TableModeFromName(kTableModeNames[mode]));
    EXPECT_EQ(kTableMode24Hours, TableModeFromName(L"24 HOURS"));
    EXPECT_EQ(-1, TableModeFromName(L"Hourly"));
    EXPECT_EQ(-1, TableModeFromName(L""));
}
