#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "app/main/MainSeams.h"
#include "app/main/TaskbarWatcher.h"
#include "graphics/system/Handles.h"

namespace {

class CFakeStarter : public IProgramStarter {
public:
    bool Start(const WCHAR* file, const WCHAR* parameters, const WCHAR*) override
    {
        started.push_back(std::wstring(file) + L" " + parameters);
        return true;
    }
    std::vector<std::wstring> started;
};

// The taskbar is back after this many looks.
volatile LONG g_looksUntilBack = 0;
volatile LONG g_looks = 0;
bool TaskbarBackAfterLooks()
{
    return InterlockedIncrement(&g_looks) > g_looksUntilBack;
}

// A stand-in taskbar process: a thread whose handle is signalled when it ends.
class CStandInTaskbar {
public:
    // The thread waits on the event: it is made first.
    CStandInTaskbar()
        : m_end(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_thread(CreateThread(nullptr, 0, Wait, m_end.Get(), 0, nullptr))
    {
    }
    ~CStandInTaskbar() { End(); }
    // A handle of its own for the watcher, which takes it.
    HANDLE Handle()
    {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), m_thread.Get(), GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
        return copy;
    }
    void End()
    {
        SetEvent(m_end.Get());
        WaitForSingleObject(m_thread.Get(), 5000);
    }

private:
    static DWORD WINAPI Wait(void* end)
    {
        WaitForSingleObject((HANDLE)end, INFINITE);
        return 0;
    }
    CKernelHandle m_end;
    CKernelHandle m_thread;
};

// The UM_CLOSEMAIN messages posted to `window` within `ms`.
std::vector<WPARAM> CloseMessages(HWND window, DWORD ms)
{
    std::vector<WPARAM> seen;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, window, UM_CLOSEMAIN, UM_CLOSEMAIN, PM_REMOVE))
            seen.push_back(msg.wParam);
        Sleep(20);
    }
    return seen;
}

class TaskbarWatcher : public testing::Test {
protected:
    void SetUp() override
    {
        main = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, main);
        g_looks = 0;
    }
    void TearDown() override { DestroyWindow(main); }
    HWND main = nullptr;
    CFakeStarter starter;
};

}  // namespace

TEST_F(TaskbarWatcher, TaskbarBackRestartsTheProgramAndClosesTheWindow)
{
    g_looksUntilBack = 2;  // two polls of 512 ms without a taskbar
    CStandInTaskbar taskbar;
    CTaskbarWatcher watcher;
    ASSERT_TRUE(watcher.Start(main, taskbar.Handle(), starter, L"C:\\prog\\tempolan.exe", TaskbarBackAfterLooks));
    EXPECT_TRUE(CloseMessages(main, 300).empty());
    taskbar.End();
    std::vector<WPARAM> closes = CloseMessages(main, 2500);
    ASSERT_EQ(1u, closes.size());
    EXPECT_EQ(kCloseFromTaskbarWatcher, closes[0]);
    ASSERT_EQ(1u, starter.started.size());
    EXPECT_EQ(L"C:\\prog\\tempolan.exe /restart", starter.started[0]);
    EXPECT_EQ(3, g_looks);
}

TEST_F(TaskbarWatcher, StoppedWhileWaitingForTheTaskbarClosesWithoutRestart)
{
    g_looksUntilBack = 1000000;
    CStandInTaskbar taskbar;
    CTaskbarWatcher watcher;
    ASSERT_TRUE(watcher.Start(main, taskbar.Handle(), starter, L"C:\\prog\\tempolan.exe", TaskbarBackAfterLooks));
    taskbar.End();
    Sleep(700);
    DWORD start = GetTickCount();
    watcher.Stop();
    EXPECT_LT(GetTickCount() - start, 2 * kTaskbarPollMs);
    EXPECT_FALSE(watcher.IsRunning());
    EXPECT_TRUE(starter.started.empty());
    EXPECT_EQ(1u, CloseMessages(main, 100).size());
}

TEST_F(TaskbarWatcher, StoppedWhileTheTaskbarRunsDoesNothing)
{
    g_looksUntilBack = 0;
    CStandInTaskbar taskbar;
    CTaskbarWatcher watcher;
    ASSERT_TRUE(watcher.Start(main, taskbar.Handle(), starter, L"C:\\prog\\tempolan.exe", TaskbarBackAfterLooks));
    watcher.Stop();
    taskbar.End();
    EXPECT_TRUE(CloseMessages(main, 300).empty());
    EXPECT_TRUE(starter.started.empty());
    EXPECT_EQ(0, g_looks);
    // no process: no thread
    EXPECT_FALSE(watcher.Start(main, nullptr, starter, L"x", TaskbarBackAfterLooks));
}

namespace {

// A restart that takes longer than a poll: the watcher must not be cut off
// in the middle of it.
class CSlowStarter : public IProgramStarter {
public:
    bool Start(const WCHAR*, const WCHAR*, const WCHAR*) override
    {
        InterlockedExchange(&begun, 1);
        Sleep(3 * kTaskbarPollMs);
        InterlockedExchange(&finished, 1);
        return true;
    }
    volatile LONG begun = 0;
    volatile LONG finished = 0;
};

}  // namespace

TEST_F(TaskbarWatcher, StopWaitsForARestartUnderWay)
{
    g_looksUntilBack = 0;
    CStandInTaskbar taskbar;
    CSlowStarter slow;
    CTaskbarWatcher watcher;
    ASSERT_TRUE(watcher.Start(main, taskbar.Handle(), slow, L"C:\\prog\\tempolan.exe", TaskbarBackAfterLooks));
    taskbar.End();
    for (int i = 0; i < 200 && !slow.begun; ++i)
        Sleep(10);
    ASSERT_TRUE(slow.begun);
    watcher.Stop();
    EXPECT_FALSE(watcher.IsRunning());
    EXPECT_TRUE(slow.finished);
    // the thread went on to its last step
    EXPECT_EQ(1u, CloseMessages(main, 100).size());
}
