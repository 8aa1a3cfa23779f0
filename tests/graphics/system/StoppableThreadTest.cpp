#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "graphics/system/StoppableThread.h"

namespace {

// The body waits for the stop and then takes its time: Stop() must not return
// before the body has finished, or what it uses could be gone.
TEST(StoppableThread, StopWaitsForTheBodyToFinish)
{
    std::atomic<int> phase(0);
    CStoppableThread thread;
    ASSERT_TRUE(thread.Start([&](HANDLE stop) {
        phase = 1;
        WaitForSingleObject(stop, INFINITE);
        Sleep(200);
        phase = 2;
    }));
    EXPECT_TRUE(thread.IsRunning());
    while (phase == 0)
        Sleep(1);
    thread.Stop();
    EXPECT_EQ(2, phase);
    EXPECT_FALSE(thread.IsRunning());
}

// The stop event stays set for every wait of the body, however many.
TEST(StoppableThread, TheStopReachesEveryWait)
{
    std::atomic<int> waits(0);
    CStoppableThread thread;
    ASSERT_TRUE(thread.Start([&](HANDLE stop) {
        for (int i = 0; i < 3; ++i)
            if (WaitForSingleObject(stop, 10000) == WAIT_OBJECT_0)
                ++waits;
    }));
    thread.Stop();
    EXPECT_EQ(3, waits);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        ++*(int*)GetWindowLongPtrW(window, GWLP_USERDATA);
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A body that sends to a window of the stopping thread on its way out is
// answered while the stop waits (a plain wait would leave the send hanging).
TEST(StoppableThread, StopAnsweringSendsTakesTheBodysLastSend)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TlTestStopSends";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    int received = 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)&received);
    std::atomic<DWORD_PTR> answer(0);
    CStoppableThread thread;
    ASSERT_TRUE(thread.Start([&](HANDLE stop) {
        WaitForSingleObject(stop, INFINITE);
        DWORD_PTR result = 0;
        // bounded, so that a stop that answers nothing fails instead of hanging
        if (SendMessageTimeoutW(window, WM_APP, 0, 0, SMTO_NORMAL, 3000, &result))
            answer = result;
    }));
    thread.StopAnsweringSends();
    EXPECT_EQ(1, received);
    EXPECT_EQ(1u, answer);
    DestroyWindow(window);
}

// Starting again stops the first body; the owner's end stops the second.
TEST(StoppableThread, StartAgainAndTheEndStopTheRunningBody)
{
    std::atomic<int> ended(0);
    auto body = [&](HANDLE stop) {
        WaitForSingleObject(stop, INFINITE);
        ++ended;
    };
    {
        CStoppableThread thread;
        ASSERT_TRUE(thread.Start(body));
        ASSERT_TRUE(thread.Start(body));
        EXPECT_EQ(1, ended);
    }
    EXPECT_EQ(2, ended);
}

}  // namespace
