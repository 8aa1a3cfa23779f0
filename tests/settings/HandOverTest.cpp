// A second start hands its command to the running settings program's window,
// here a window of that class in a thread of the test's own.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "settings/frame/InstanceHandOver.h"

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A "TL_SETTINGS" window on its own thread. With `hang` the thread stops
// taking messages once the window exists, until the test lets it go.
class CRunningInstance {
public:
    explicit CRunningInstance(bool hang) : m_hang(hang), m_ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
                                           m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        m_thread = std::thread([this] { Run(); });
        WaitForSingleObject(m_ready.Get(), 10000);
    }
    ~CRunningInstance()
    {
        SetEvent(m_release.Get());
        if (m_window)
            PostMessageW(m_window, WM_CLOSE, 0, 0);
        m_thread.join();
    }
    HWND Window() const { return m_window; }
    std::vector<Received> Messages()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = (CRunningInstance*)GetWindowLongPtrW(window, GWLP_USERDATA);
        if (self && (message == UM_CLOSEMODAL || message == UM_SETTINGSCOMMAND)) {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_received.push_back({message, wParam, lParam});
            return 0;
        }
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    void Run()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kSettingsWindowClass;
        RegisterClassW(&wc);
        m_window = CreateWindowW(kSettingsWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, (LONG_PTR)this);
        SetEvent(m_ready.Get());
        if (m_hang)
            WaitForSingleObject(m_release.Get(), 60000);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        UnregisterClassW(kSettingsWindowClass, wc.hInstance);
    }

    bool m_hang;
    CKernelHandle m_ready;
    CKernelHandle m_release;
    HWND m_window = nullptr;
    std::mutex m_mutex;
    std::vector<Received> m_received;
    std::thread m_thread;
};

}  // namespace

TEST(HandOver, NothingToHandOverWithoutARunningInstance)
{
    ASSERT_EQ(nullptr, FindWindowW(kSettingsWindowClass, nullptr));
    SettingsCommand command = {kSettingsNewClock, 0, 0, false};
    EXPECT_FALSE(HandOverToRunningInstance(command));
}

TEST(HandOver, EndsTheChooserThenSendsThePackedCommand)
{
    struct Case {
        SettingsCommand command;
        bool sent;
        LPARAM packed;
    } cases[] = {
        {{kSettingsAlarm, 3, 2, false}, true, 0x00020003},
        {{kSettingsBackground, 65535, 65535, false}, true, (LPARAM)0xFFFFFFFFu},
        // "/inst" and "/0" only end the chooser
        {{kSettingsNoCommand, 0, 0, true}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.code);
        CRunningInstance instance(false);
        ASSERT_NE(nullptr, instance.Window());
        EXPECT_TRUE(HandOverToRunningInstance(c.command));
        std::vector<Received> got = instance.Messages();
        ASSERT_EQ(c.sent ? 2u : 1u, got.size());
        EXPECT_EQ(UM_CLOSEMODAL, got[0].message);
        if (c.sent) {
            EXPECT_EQ(UM_SETTINGSCOMMAND, got[1].message);
            EXPECT_EQ((WPARAM)c.command.code, got[1].wParam);
            EXPECT_EQ(c.packed, got[1].lParam);
            EXPECT_EQ(c.command.n, SettingsCommandClock(got[1].lParam));
            EXPECT_EQ(c.command.m, SettingsCommandPosition(got[1].lParam));
        }
    }
}

TEST(HandOver, AHungInstanceDoesNotHoldTheSecondStart)
{
    CRunningInstance instance(true);
    ASSERT_NE(nullptr, instance.Window());
    SettingsCommand command = {kSettingsZonePage, 4, 0, false};
    DWORD start = GetTickCount();
    EXPECT_TRUE(HandOverToRunningInstance(command));
    // one bounded wait, not one per message and not forever
    EXPECT_LT(GetTickCount() - start, 15000u);
}
