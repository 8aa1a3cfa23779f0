#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "app/main/TrayPush.h"
#include "graphics/records/AlarmRecord.h"
#include "tests/support/RecordingWindow.h"

namespace {

class TrayPush : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, tray);
        memset(clocks, 0, sizeof(clocks));
        memset(alarms, 0, sizeof(alarms));
        memset(&settings, 0, sizeof(settings));
        clocks[1].alarms.ptr = alarms;
        clocks[1].alarmCount = 2;
        clocks[2].alarms.ptr = alarms;  // an array, but no alarms
    }

    // a stand-in tray clock that notes every block
    CRecordingWindow recorder;
    HWND tray = recorder.Window();
    std::vector<CRecordingWindow::Block>& received = recorder.blocks;
    HWND main = (HWND)0x1234;
    SettingsBlock settings;
    ClockRecord clocks[3];
    AlarmRecord alarms[2];
};

}  // namespace

TEST_F(TrayPush, BlocksInOrderWithTheirSizes)
{
    CityRecord cities[4] = {};
    SendDataToTrayClock(main, tray, true, settings, cities, 4, clocks, 3);
    ASSERT_EQ(4u, received.size());
    EXPECT_EQ(0u, received[0].id);
    EXPECT_EQ(1704u, received[0].bytes);
    EXPECT_EQ(2u, received[1].id);
    EXPECT_EQ(4u * 440, received[1].bytes);
    EXPECT_EQ(1u, received[2].id);
    EXPECT_EQ(3u * 5384, received[2].bytes);
    EXPECT_EQ(101u, received[3].id);  // clock 1 only: clock 2 has no alarms
    EXPECT_EQ(2u * 840, received[3].bytes);
    EXPECT_EQ(main, received[0].sender);
}

TEST_F(TrayPush, NoCitiesStillSendsTheirBlockAndNoHookSendsNothing)
{
    SendDataToTrayClock(main, tray, true, settings, nullptr, 0, clocks, 1);
    ASSERT_EQ(3u, received.size());
    EXPECT_EQ(2u, received[1].id);
    EXPECT_EQ(0u, received[1].bytes);
    received.clear();
    SendDataToTrayClock(main, tray, false, settings, nullptr, 0, clocks, 3);  // "/nh"
    SendDataToTrayClock(main, nullptr, true, settings, nullptr, 0, clocks, 3);
    EXPECT_TRUE(received.empty());
}
