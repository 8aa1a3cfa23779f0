// Message helpers of the tests that talk to windows of other processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"

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

// The window's answer, or -1 when it gave none within 5 s.
inline LRESULT Query(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &reply))
        return -1;
    return (LRESULT)reply;
}

// A shown popup menu's window class.
const WCHAR kMenuWindowClass[] = L"#32768";

struct FindMenuWindow {
    DWORD pid;
    HWND found;
};

inline BOOL CALLBACK FindMenuWindowProc(HWND hwnd, LPARAM lParam)
{
    FindMenuWindow* find = (FindMenuWindow*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR name[16] = {};
    if (pid != find->pid || !IsWindowVisible(hwnd) || !GetClassNameW(hwnd, name, 16) ||
        lstrcmpW(name, kMenuWindowClass) != 0)
        return TRUE;
    find->found = hwnd;
    return FALSE;
}

// The popup menu process `pid` shows; null when none.
inline HWND MenuWindowOf(DWORD pid)
{
    FindMenuWindow find = {pid, nullptr};
    EnumWindows(FindMenuWindowProc, (LPARAM)&find);
    return find.found;
}

// Ends the menu process `pid` shows as EndMenu does, with WM_CANCELMODE into
// its loop; true once no menu of it is shown.
inline bool EndOpenMenu(DWORD pid, DWORD ms)
{
    if (HWND window = MenuWindowOf(pid))
        PostMessageW(window, WM_CANCELMODE, 0, 0);
    return PumpUntil([&] { return MenuWindowOf(pid) == nullptr; }, ms);
}

struct QueryCall {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD ms;
    LRESULT result;
};

inline DWORD WINAPI QueryCallProc(void* parameter)
{
    QueryCall* call = (QueryCall*)parameter;
    DWORD_PTR reply = 0;
    if (SendMessageTimeoutW(call->window, call->message, call->wParam, call->lParam, SMTO_NORMAL, call->ms, &reply))
        call->result = (LRESULT)reply;
    return 0;
}

// Query for a message that may open a menu of the window's process: sent
// from a thread of its own while this one ends any menu as soon as it
// shows, so that the answer can come. -1 when none came within `ms`.
inline LRESULT QueryEndingMenus(DWORD ms, HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    QueryCall call = {window, message, wParam, lParam, ms, -1};
    CKernelHandle thread(CreateThread(nullptr, 0, QueryCallProc, &call, 0, nullptr));
    if (!thread)
        return -1;
    PumpUntil([&] {
        if (HWND menu = MenuWindowOf(pid))
            PostMessageW(menu, WM_CANCELMODE, 0, 0);
        return WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0;
    }, ms + 1000);
    // the send gives up after `ms`: the thread ends
    WaitForSingleObject(thread.Get(), INFINITE);
    return call.result;
}

inline bool HasWindowClass(HWND window, const wchar_t* windowClass)
{
    WCHAR name[64] = {};
    return GetClassNameW(window, name, 64) && lstrcmpW(name, windowClass) == 0;
}

struct FindProcessWindowState {
    DWORD pid;
    const wchar_t* windowClass;
    HWND found;
};

inline BOOL CALLBACK FindProcessWindowProc(HWND hwnd, LPARAM lParam)
{
    FindProcessWindowState* find = (FindProcessWindowState*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == find->pid && HasWindowClass(hwnd, find->windowClass)) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The top-level window of `windowClass` of process `pid`, shown or not; null when none.
inline HWND FindProcessWindow(DWORD pid, const wchar_t* windowClass)
{
    FindProcessWindowState find = {pid, windowClass, nullptr};
    EnumWindows(FindProcessWindowProc, (LPARAM)&find);
    return find.found;
}

// The process's top-level windows of one class and title.
struct FindTitledWindowState {
    DWORD pid;
    const wchar_t* windowClass;
    const wchar_t* title;
    HWND found;
    int count;
};

inline BOOL CALLBACK FindTitledWindowProc(HWND hwnd, LPARAM lParam)
{
    FindTitledWindowState* find = (FindTitledWindowState*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR title[128] = {};
    GetWindowTextW(hwnd, title, 128);
    if (pid == find->pid && HasWindowClass(hwnd, find->windowClass) && lstrcmpW(title, find->title) == 0) {
        find->found = hwnd;
        ++find->count;
    }
    return TRUE;
}

// The top-level window of `windowClass` titled `title` of process `pid`,
// shown or not; null when none. `count` (may be null) gets how many there are.
inline HWND FindTitledWindow(DWORD pid, const wchar_t* windowClass, const wchar_t* title, int* count = nullptr)
{
    FindTitledWindowState find = {pid, windowClass, title, nullptr, 0};
    EnumWindows(FindTitledWindowProc, (LPARAM)&find);
    if (count)
        *count = find.count;
    return find.found;
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
