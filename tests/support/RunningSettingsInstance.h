// A running settings program as a second start meets it: a window of the
// class "TL_SETTINGS" on a thread of the test's own, which notes the
// hand-over's messages. With `hang` the thread stops taking messages once
// the window exists, until the object goes.
#pragma once

#include <windows.h>

#include <mutex>
#include <thread>
#include <vector>

#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"

struct InstanceMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

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
    std::vector<InstanceMessage> Messages()
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
    std::vector<InstanceMessage> m_received;
    std::thread m_thread;
};

