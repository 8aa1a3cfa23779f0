#include "MainWindow.h"

#include "MainMessages.h"
#include "MainProgram.h"

namespace {

const WCHAR kMainClass[] = L"TempolanClass";
const WORD kProgramIcon = 101;

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CMainProgram* program = (CMainProgram*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    switch (message) {
    case WM_CREATE:
        program = (CMainProgram*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)program);
        program->OnCreate(hwnd);
        return 0;
    case WM_TIMER:
        if (program)
            program->OnTimer();
        return 0;
    case WM_CLOSE:
        // the close sequence runs as the exit command
        PostMessageW(hwnd, WM_COMMAND, UM_TRAYCLOCKDETACH, 0);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == UM_TRAYCLOCKDETACH || LOWORD(wParam) == kExitCommand) {
            if (program)
                program->CloseSequence();
            PostMessageW(hwnd, UM_CLOSEMAIN, 0, 0);
        }
        return 0;
    case UM_CLOSEMAIN:
        DestroyWindow(hwnd);
        return 0;
    case UM_SETTINGSCHANGED:
        if (program)
            program->ReloadSettings();
        return 0;
    case UM_TRAYCLOCKATTACHED:
        if (program)
            program->SetTrayClock((HWND)lParam);
        return (LRESULT)hwnd;
    case UM_RESENDCLOCKS:
        if (program)
            program->SendDataToTrayClock();
        return 0;
    case UM_SAVESTATE:
        if (program)
            program->SaveState();
        return 0;
    case UM_QUERYCLOCKBUSY:
    case UM_QUERYDESKTOPCLOCKS:
        return 0;  // no timer panel and no desktop clocks in this build
    case WM_TIMECHANGE:
        if (program)
            program->RefreshLocalZone();
        break;
    case WM_QUERYENDSESSION:
        if (program)
            program->SaveState();
        return 1;
    case WM_ENDSESSION:
        if (program)
            program->SaveState();
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        if (program)
            program->OnDestroy();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND FindMainWindow()
{
    return FindWindowW(kMainClass, nullptr);
}

HWND CreateMainWindow(HINSTANCE instance, CMainProgram& program)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kMainClass;
    if (!RegisterClassExW(&wc))
        return nullptr;
    return CreateWindowExW(0, kMainClass, L"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                           nullptr, instance, &program);
}

void UnregisterMainWindowClass(HINSTANCE instance)
{
    UnregisterClassW(kMainClass, instance);
}
