#include <gtest/gtest.h>

#include <windows.h>

#include "graphics/system/Handles.h"
#include "app/startup/ExitEventWatcher.h"

namespace {

HWND g_main = nullptr;
HWND FindTestMain()
{
    return g_main;
}

// The WM_CLOSE messages posted to `window` within `ms`.
int CloseMessages(HWND window, DWORD ms)
{
    int seen = 0;
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
            ++seen;
        Sleep(20);
    } while (GetTickCount() - start < ms);
    return seen;
}

class ExitEventWatcher : public testing::Test {
protected:
    void SetUp() override
    {
        g_main = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, g_main);
        exitEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(exitEvent);
    }
    void TearDown() override
    {
        DestroyWindow(g_main);
        g_main = nullptr;
    }
    CKernelHandle exitEvent;
};

}  // namespace

TEST_F(ExitEventWatcher, TheSetEventClosesTheMainWindowOnce)
{
    CExitEventWatcher watcher;
    ASSERT_TRUE(watcher.Start(exitEvent.Get(), FindTestMain));
    EXPECT_EQ(0, CloseMessages(g_main, 200));
    SetEvent(exitEvent.Get());
    EXPECT_EQ(1, CloseMessages(g_main, 500));
    watcher.Stop();
    EXPECT_FALSE(watcher.IsRunning());
}

// The event may close right after Stop: nothing waits on it any more.
TEST_F(ExitEventWatcher, StopEndsTheWaitBeforeReturning)
{
    CExitEventWatcher watcher;
    ASSERT_TRUE(watcher.Start(exitEvent.Get(), FindTestMain));
    DWORD start = GetTickCount();
    watcher.Stop();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(watcher.IsRunning());
    SetEvent(exitEvent.Get());
    EXPECT_EQ(0, CloseMessages(g_main, 300));
    // without an event there is nothing to watch
    EXPECT_FALSE(watcher.Start(nullptr, FindTestMain));
}
