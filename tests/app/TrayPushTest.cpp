#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "app/main/TrayPush.h"
#include "graphics/records/AlarmRecord.h"

namespace {

struct Received {
    HWND sender;
    DWORD id;
    DWORD bytes;
};
std::vector<Received> g_received;

// A stand-in tray clock window that notes every block.
LRESULT CALLBACK StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* block = (const COPYDATASTRUCT*)lParam;
        g_received.push_back({(HWND)wParam, (DWORD)block->dwData, block->cbData});
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class TrayPush : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = StandInProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TestTrayClockWClass";
        RegisterClassW(&wc);
        tray = CreateWindowW(L"TestTrayClockWClass", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, tray);
        g_received.clear();
        memset(clocks, 0, sizeof(clocks));
        memset(alarms, 0, sizeof(alarms));
        memset(&settings, 0, sizeof(settings));
        clocks[1].alarms.ptr = alarms;
        clocks[1].alarmCount = 2;
        clocks[2].alarms.ptr = alarms;  // an array, but no alarms
    }
    void TearDown() override { DestroyWindow(tray); }

    HWND tray = nullptr;
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
    ASSERT_EQ(4u, g_received.size());
    EXPECT_EQ(0u, g_received[0].id);
    EXPECT_EQ(1704u, g_received[0].bytes);
    EXPECT_EQ(2u, g_received[1].id);
    EXPECT_EQ(4u * 440, g_received[1].bytes);
    EXPECT_EQ(1u, g_received[2].id);
    EXPECT_EQ(3u * 5384, g_received[2].bytes);
    EXPECT_EQ(101u, g_received[3].id);  // clock 1 only: clock 2 has no alarms
    EXPECT_EQ(2u * 840, g_received[3].bytes);
    EXPECT_EQ(main, g_received[0].sender);
}

TEST_F(TrayPush, NoCitiesStillSendsTheirBlockAndNoHookSendsNothing)
{
    SendDataToTrayClock(main, tray, true, settings, nullptr, 0, clocks, 1);
    ASSERT_EQ(3u, g_received.size());
    EXPECT_EQ(2u, g_received[1].id);
    EXPECT_EQ(0u, g_received[1].bytes);
    g_received.clear();
    SendDataToTrayClock(main, tray, false, settings, nullptr, 0, clocks, 3);  // "/nh"
    SendDataToTrayClock(main, nullptr, true, settings, nullptr, 0, clocks, 3);
    EXPECT_TRUE(g_received.empty());
}
