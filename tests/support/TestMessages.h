// Message helpers of the tests that talk to windows of other processes.
#pragma once

#include <windows.h>

#include <functional>

#include "graphics/protocol/WindowClasses.h"

// Dispatches this thread's messages until `done` or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > ms)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The window's answer, or -1 when it gave none within 5 s.
inline LRESULT Query(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &reply))
        return -1;
    return (LRESULT)reply;
}

// The process's Shell_TrayWnd, found by EnumWindows.
struct FindTray {
    DWORD process;
    HWND taskbar;
};

inline BOOL CALLBACK FindTrayProc(HWND hwnd, LPARAM lParam)
{
    FindTray* find = (FindTray*)lParam;
    WCHAR name[32];
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == find->process && GetClassNameW(hwnd, name, 32) && !lstrcmpW(name, kTaskbarClass)) {
        find->taskbar = hwnd;
        return FALSE;
    }
    return TRUE;
}
