// Message helpers of the tests that talk to windows of other processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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

// Waits up to `ms` for a message box with `caption`, closes it with OK and
// returns its text; empty when none came.
inline std::wstring CloseMessageBox(const wchar_t* caption, DWORD ms)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(50)) {
        if (HWND box = FindWindowW(L"#32770", caption)) {
            WCHAR text[512] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return text;
        }
    }
    return std::wstring();
}

struct MenuSearch {
    DWORD pid;
    HWND found;
};

inline BOOL CALLBACK FindMenuProc(HWND hwnd, LPARAM lParam)
{
    auto* search = (MenuSearch*)lParam;
    DWORD process = 0;
    WCHAR name[16] = {};
    GetWindowThreadProcessId(hwnd, &process);
    if (process == search->pid && IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 16) && !lstrcmpW(name, L"#32768")) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The visible popup menu window ("#32768") of process `pid`; null when none.
inline HWND FindMenuWindow(DWORD pid)
{
    MenuSearch search = {pid, nullptr};
    EnumWindows(FindMenuProc, (LPARAM)&search);
    return search.found;
}

// Waits up to `ms` for a popup menu of `owner`'s process and closes it with
// Escape, which the menu's loop reads from the owner's thread; true when a
// menu came and went.
inline bool DismissMenu(HWND owner, DWORD ms)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    if (!PumpUntil([&] { return FindMenuWindow(pid) != nullptr; }, ms))
        return false;
    PostMessageW(owner, WM_KEYDOWN, VK_ESCAPE, 0);
    return PumpUntil([&] { return FindMenuWindow(pid) == nullptr; }, ms);
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
