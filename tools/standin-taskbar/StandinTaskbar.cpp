// A stand-in for the Windows taskbar under Wine, which has no taskbar clock:
// a top-most "Shell_TrayWnd" with a "TrayNotifyWnd" holding a
// "TrayClockWClass" window, laid out the way the real taskbar lays out its
// clock (it asks the clock for its size with UM_MAINWINDOWREADY).
//   standin-taskbar [bottom|top|left|right] [--log file] [--menus file]
// The tests' queries are in StandinQueries.h.
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>

#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "tests/support/MenuRecord.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

const int kThickness = 40;      // a horizontal taskbar's height
const int kVerticalWidth = 120;
const int kIconArea = 48;       // room for the notification icons
const int kOwnClockWidth = 64;
const int kOwnClockHeight = 20;
// like a real taskbar clock, which redraws itself; id 1 is the hook's
const UINT_PTR kOwnClockTimer = 7;

enum class Edge { Bottom, Top, Left, Right };

Edge g_edge = Edge::Bottom;
HWND g_taskbar;
HWND g_notify;
HWND g_clock;
bool g_laying;
int g_iniChanges;
FILE* g_log;
std::wstring g_menuFile;
WPARAM g_menuChoice;      // the next menu's command, 0 none
bool g_keepMenu;          // the next menu stays open
bool g_menuOpen;

bool Horizontal()
{
    return g_edge == Edge::Bottom || g_edge == Edge::Top;
}

void Log(const char* format, int a, int b, int c, int d)
{
    if (!g_log)
        return;
    fprintf(g_log, format, a, b, c, d);
    fflush(g_log);
}

void LayoutTray()
{
    if (g_laying || !g_clock)
        return;
    g_laying = true;
    RECT t;
    GetClientRect(g_taskbar, &t);
    LRESULT size = SendMessageW(g_clock, UM_MAINWINDOWREADY, 0, 0);
    int w = LOWORD(size), h = HIWORD(size);
    if (Horizontal()) {
        int nw = kIconArea + w + 4, nh = t.bottom - 4;
        MoveWindow(g_notify, t.right - nw - 2, 2, nw, nh, TRUE);
        MoveWindow(g_clock, kIconArea, (nh - h) / 2, w, h, TRUE);
    } else {
        int nw = t.right - 4, nh = kIconArea / 2 + h + 4;
        MoveWindow(g_notify, 2, t.bottom - nh - 2, nw, nh, TRUE);
        MoveWindow(g_clock, (nw - w) / 2, kIconArea / 2, w, h, TRUE);
    }
    RECT c;
    GetWindowRect(g_clock, &c);
    Log("clock %d %d %d %d\n", c.left, c.top, c.right - c.left, c.bottom - c.top);
    g_laying = false;
}

LRESULT CALLBACK ClockProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_MAINWINDOWREADY:
        return MAKELONG(kOwnClockWidth, kOwnClockHeight);
    case SQ_OWNPROC:
        return GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == (LONG_PTR)ClockProc;
    case SQ_CLASSSTYLE:
        return (LRESULT)GetClassLongPtrW(hwnd, GCL_STYLE);
    case SQ_EXSTYLE:
        return GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    case SQ_INICHANGES:
        return g_iniChanges;
    case SQ_MENUCHOICE:
        g_menuChoice = wParam;
        g_keepMenu = lParam == 1;
        return 1;
    case SQ_MENUOPEN:
        return g_menuOpen;
    case WM_INITMENUPOPUP:
        // the top menu only: its record holds the submenus
        if (HIWORD(lParam) || g_menuOpen)
            return 0;
        g_menuOpen = true;
        if (!g_menuFile.empty())
            AppendMenuRecord((HMENU)wParam, g_menuFile);
        if (!g_keepMenu)
            EndMenu();
        g_keepMenu = false;
        return 0;
    case WM_EXITMENULOOP:
        if (g_menuOpen) {
            g_menuOpen = false;
            if (g_menuChoice)
                PostMessageW(hwnd, WM_COMMAND, g_menuChoice, 0);
            g_menuChoice = 0;
        }
        return 0;
    case SQ_CPUMS: {
        FILETIME created, exited, kernel, user;
        if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
            return -1;
        ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
        ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
        return (LRESULT)((k.QuadPart + u.QuadPart) / 10000);
    }
    case WM_TIMER:
        if (wParam == kOwnClockTimer)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_WININICHANGE:
        ++g_iniChanges;
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        SYSTEMTIME now;
        GetLocalTime(&now);
        WCHAR text[16];
        wsprintfW(text, L"%02u:%02u", now.wHour, now.wMinute);
        RECT r;
        GetClientRect(hwnd, &r);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && wParam == 0 && lParam == 0) {
        LayoutTray();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Wine's explorer keeps a hidden taskbar of its own that holds the
// notification icons; Shell_NotifyIcon sends its blocks to the first
// taskbar it finds, which is this top-most one while it runs. Another
// stand-in (it has a notification area) would send the block back.
BOOL CALLBACK FindOtherTaskbar(HWND hwnd, LPARAM lParam)
{
    WCHAR name[32];
    if (hwnd == g_taskbar || !GetClassNameW(hwnd, name, 32) || lstrcmpW(name, kTaskbarClass) != 0 ||
        FindWindowExW(hwnd, nullptr, kTrayNotifyClass, nullptr))
        return TRUE;
    *(HWND*)lParam = hwnd;
    return FALSE;
}

LRESULT CALLBACK TaskbarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA: {
        // no block is the stand-in's own: the icons go on to the shell's taskbar
        HWND other = nullptr;
        EnumWindows(FindOtherTaskbar, (LPARAM)&other);
        DWORD_PTR answer = 0;
        if (!other || !SendMessageTimeoutW(other, WM_COPYDATA, wParam, lParam, SMTO_NORMAL, 5000, &answer))
            return 0;
        return (LRESULT)answer;
    }
    case WM_SIZE:
        LayoutTray();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Register(HINSTANCE instance, const WCHAR* name, WNDPROC proc, COLORREF color)
{
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, (const WCHAR*)IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(color);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    WCHAR** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; argv && i < argc; ++i) {
        if (!lstrcmpiW(argv[i], L"top"))
            g_edge = Edge::Top;
        else if (!lstrcmpiW(argv[i], L"left"))
            g_edge = Edge::Left;
        else if (!lstrcmpiW(argv[i], L"right"))
            g_edge = Edge::Right;
        else if (!lstrcmpiW(argv[i], L"--log") && i + 1 < argc)
            g_log = _wfopen(argv[++i], L"a");
        else if (!lstrcmpiW(argv[i], L"--menus") && i + 1 < argc)
            g_menuFile = argv[++i];
    }
    LocalFree(argv);

    if (!Register(instance, kTaskbarClass, TaskbarProc, RGB(32, 40, 56)) ||
        !Register(instance, kTrayNotifyClass, NotifyProc, RGB(44, 54, 72)) ||
        !Register(instance, kTrayClockClass, ClockProc, RGB(44, 54, 72)))
        return 1;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT r = {0, sh - kThickness, sw, sh};
    if (g_edge == Edge::Top)
        r = {0, 0, sw, kThickness};
    else if (g_edge == Edge::Left)
        r = {0, 0, kVerticalWidth, sh};
    else if (g_edge == Edge::Right)
        r = {sw - kVerticalWidth, 0, sw, sh};
    g_taskbar = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTaskbarClass, nullptr,
                                WS_POPUP | WS_CLIPCHILDREN, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                nullptr, nullptr, instance, nullptr);
    g_notify = CreateWindowExW(0, kTrayNotifyClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                               g_taskbar, nullptr, instance, nullptr);
    g_clock = CreateWindowExW(0, kTrayClockClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, g_notify,
                              nullptr, instance, nullptr);
    if (!g_taskbar || !g_notify || !g_clock)
        return 1;
    SetTimer(g_clock, kOwnClockTimer, 1000, nullptr);
    LayoutTray();
    ShowWindow(g_taskbar, SW_SHOWNOACTIVATE);
    Log("ready %d %d %d %d\n", r.left, r.top, r.right - r.left, r.bottom - r.top);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (g_log)
        fclose(g_log);
    return 0;
}
