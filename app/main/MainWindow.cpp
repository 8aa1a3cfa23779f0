#include "app/main/MainWindow.h"

#include "app/main/MainProgram.h"
#include "app/startup/ProgramResources.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"

namespace {

// Every message of the table; false sends it on to DefWindowProcW.
bool HandleMessage(CMainProgram& program, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    *result = 0;
    if (message >= UM_TRAYCLOCKMOUSE && message < UM_TRAYCLOCKMOUSE + kTrayClockMouseCount) {
        *result = program.OnClockMouse((int)(message - UM_TRAYCLOCKMOUSE), wParam, lParam);
        return true;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam != kMainTimerId)
            return false;
        program.OnTimer();
        return true;
    case WM_CLOSE:
        // the close sequence runs as the exit command
        PostMessageW(hwnd, WM_COMMAND, kCloseCommand, 0);
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCloseCommand || LOWORD(wParam) == kExitCommand) {
            program.CloseSequence();
            PostMessageW(hwnd, UM_CLOSEMAIN, 0, 0);
        } else {
            program.OnCommand(LOWORD(wParam));
        }
        return true;
    case UM_CLOSEMAIN:
        program.CloseMain(wParam);
        DestroyWindow(hwnd);
        return true;
    case UM_SETTINGSCHANGED:
        if (wParam & 1)
            return false;
        program.OnSettingsChanged(wParam, lParam);
        return true;
    case UM_TRAYCLOCKATTACHED:
        *result = program.OnTrayClockAttached((HWND)lParam);
        return true;
    case UM_SHOWLOGWINDOW:
        program.ShowLogWindow();
        return true;
    case UM_TRAYCLOCKCOUNT:
        program.OnTrayClockCount(wParam, lParam);
        return true;
    case UM_TRAYNOTIFY:
        program.OnTrayNotify(lParam);
        return true;
    case UM_SAVESTATE:
        program.SaveState();
        return false;
    case UM_HIDEDESKTOPCLOCKS:
        program.OnHideDesktopClocks(wParam == 1);
        return false;
    case UM_SHOWCALENDAR:
        program.ShowCalendar();
        return true;
    case UM_SHOWALLCLOCKS:
        program.ShowAllClocks();
        return true;
    case UM_RESENDCLOCKS:
        program.SendDataToTrayClock();
        return false;
    case UM_RSSPROGRESS:
        *result = program.OnNewsProgress(wParam, lParam);
        return true;
    case UM_QUERYCLOCKBUSY:
        *result = program.IsClockBusy();
        return true;
    case UM_QUERYDESKTOPCLOCKS:
        *result = program.CountDesktopClocksOutside();
        return true;
    case UM_REQUESTPHOTO:
        *result = program.OnRequestPhoto(wParam, lParam);
        return true;
    case WM_COPYDATA:
        *result = program.OnCopyData((HWND)wParam, (const COPYDATASTRUCT*)lParam);
        return true;
    case WM_TIMECHANGE:
        program.OnTimeChange();
        return false;
    case WM_SETTINGCHANGE:
        program.OnSettingChange();
        return true;
    case WM_QUERYENDSESSION:
        program.SaveState();
        *result = 1;
        return true;
    case WM_ENDSESSION:
        program.OnEndSession();
        DestroyWindow(hwnd);
        return true;
    }
    return false;
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CMainProgram* program = (CMainProgram*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (message == WM_CREATE) {
        program = (CMainProgram*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)program);
        program->OnCreate(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        if (program)
            program->OnDestroy();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    }
    LRESULT result;
    if (program && HandleMessage(*program, hwnd, message, wParam, lParam, &result))
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND FindMainWindow()
{
    return FindWindowW(kMainWindowClass, nullptr);
}

HWND CreateMainWindow(HINSTANCE instance, CMainProgram& program)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconId));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kMainWindowClass;
    if (!RegisterClassExW(&wc))
        return nullptr;
    return CreateWindowExW(0, kMainWindowClass, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, &program);
}

void UnregisterMainWindowClass(HINSTANCE instance)
{
    UnregisterClassW(kMainWindowClass, instance);
}
