#include <windows.h>
#include <shellapi.h>

#include "graphics/language/Language.h"
#include "graphics/language/LanguageLoader.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/system/Paths.h"
#include "graphics/system/WindowsVersion.h"
#include "graphics/window/Theme.h"
#include "graphics/window/Window.h"
#include "taskbar/panel/ClockPanel.h"
#include "taskbar/hook/HookGlobals.h"
#include "taskbar/hook/RestartParameters.h"
#include "taskbar/tray/TrayHost.h"
#include "taskbar/tray/TrayMenu.h"
#include "taskbar/tray/TrayTimings.h"
#include "taskbar/hook/TrayShared.h"
#include "taskbar/tooltip/Tooltip.h"
#include "graphics/system/WebOpener.h"

namespace {

struct DwmFunctions {
    HRESULT(WINAPI* isCompositionEnabled)(BOOL*);
    HRESULT(WINAPI* enableBlurBehind)(HWND, const void*);
    HRESULT(WINAPI* extendFrame)(HWND, const void*);
};

DwmFunctions g_dwm;
CShellWebOpener g_tooltipShell;
TooltipEnvironment g_tooltipEnvironment;

void CreateTooltipWindow()
{
    TooltipEnvironment& e = g_tooltipEnvironment;
    e.copies = &g_host.copies;
    e.language = &g_language;
    e.unitNames = &g_language.UnitNames();
    e.resources = g_language.GetResources();
    e.folder = g_shared.folder;
    e.panel = &g_clockPanel;
    e.mainWindow = (HWND)(UINT_PTR)g_shared.mainWindow;
    e.shell = &g_tooltipShell;
    e.photoRoot = nullptr;
    e.now = nullptr;
    g_tooltip.SetEnvironment(&e);
    if (!g_tooltip.GetHandle())
        g_tooltip.CreateTooltip();
    g_tooltip.ApplySettings(g_host.copies.settings.tooltip);
}

// DWM_BLURBEHIND as dwmapi reads it
struct BlurBehind {
    DWORD flags;
    BOOL enable;
    HRGN region;
    BOOL transitionOnMaximized;
};
const DWORD kBlurBehindEnable = 1;

void LoadDwm()
{
    if (!IsWindowsVistaOrLater() || g_host.dwmapi)
        return;
    g_host.dwmapi = LoadLibraryW(L"dwmapi.dll");
    if (!g_host.dwmapi)
        return;
    g_dwm.isCompositionEnabled = (HRESULT(WINAPI*)(BOOL*))(void*)GetProcAddress(g_host.dwmapi, "DwmIsCompositionEnabled");
    g_dwm.enableBlurBehind =
        (HRESULT(WINAPI*)(HWND, const void*))(void*)GetProcAddress(g_host.dwmapi, "DwmEnableBlurBehindWindow");
    g_dwm.extendFrame =
        (HRESULT(WINAPI*)(HWND, const void*))(void*)GetProcAddress(g_host.dwmapi, "DwmExtendFrameIntoClientArea");
}

void UnloadDwm()
{
    g_dwm = DwmFunctions();
    if (g_host.dwmapi)
        FreeLibrary(g_host.dwmapi);
    g_host.dwmapi = nullptr;
    g_host.compositionOn = false;
}

// No message box is ever shown inside the taskbar's process: the main
// program reports resource problems itself.
bool LoadTrayLanguageAndTheme(const WCHAR* folder)
{
    WCHAR code[3] = {};
    if (!LoadLanguageAndTheme(folder, IsWindowsXpOrLater(), g_visualStyles, g_language, &g_host.languageLibrary, code,
                              false))
        return false;
    if (code[0])
        lstrcpynW(g_host.copies.settings.language, code, 3);
    return true;
}

void RestartMainProgram()
{
    WCHAR parameters[kRestartParameterChars];
    if (!BuildRestartParameters(g_shared.arguments, parameters))
        return;
    WCHAR file[MAX_PATH + 16];
    wsprintfW(file, L"%.259stempolan.exe", g_shared.folder);
    ShellExecuteW(nullptr, L"open", file, parameters, g_shared.folder, SW_SHOWNORMAL);
}

// Keeps the library in the taskbar's process for as long as that process
// lives: the hook's own reference goes when the main program unhooks or
// vanishes, while the clock window may still run our procedure.
void PinLibrary()
{
    if (g_host.pinned)
        return;
    HMODULE self;
    g_host.pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                       (const WCHAR*)(void*)&PinLibrary, &self) != FALSE;
}

}  // namespace

HRESULT SetTaskbarBlurBehind(HWND window, BOOL enable)
{
    if (!g_dwm.enableBlurBehind)
        return 1;
    BlurBehind blur = {kBlurBehindEnable, enable, nullptr, FALSE};
    return g_dwm.enableBlurBehind(window, &blur);
}

bool QueryCompositionOn()
{
    BOOL on = FALSE;
    g_host.compositionOn = g_dwm.isCompositionEnabled && SUCCEEDED(g_dwm.isCompositionEnabled(&on)) && on;
    return g_host.compositionOn;
}

void RestartTrayTimer(HWND trayClock)
{
    KillTimer(trayClock, kTrayTimerId);
    SetTimer(trayClock, kTrayTimerId, kTrayTimerMs, nullptr);
}

bool IsTaskbarHorizontal()
{
    RECT t = {};
    GetClientRect((HWND)(UINT_PTR)g_shared.taskbar, &t);
    return t.bottom < t.right;
}

LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs)
{
    HWND main = (HWND)(UINT_PTR)g_shared.mainWindow;
    DWORD_PTR reply = 0;
    // SMTO_BLOCK would keep the main program's own blocks out while we wait
    if (!main || !SendMessageTimeoutW(main, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &reply))
        return 0;
    return (LRESULT)reply;
}

void AllowMainToForeground()
{
    DWORD process = 0;
    HWND main = (HWND)(UINT_PTR)g_shared.mainWindow;
    if (main)
        GetWindowThreadProcessId(main, &process);
    if (process)
        AllowSetForegroundWindow(process);
}

void AttachTrayClock(HWND trayClock)
{
    PinLibrary();
    g_shared.trayClock = (uint64_t)(UINT_PTR)trayClock;
    // Another process mapping the library may have cleared the shared fields
    // while the window still runs our procedure: never take it as the previous
    // one, which would make every passed-on message call itself.
    LONG_PTR current = GetWindowLongPtrW(trayClock, GWLP_WNDPROC);
    bool subclassed = current == (LONG_PTR)TrayClockWindowProc;
    if (!subclassed)
        g_host.ownPrevious = current;
    g_shared.previousProc = (uint64_t)g_host.ownPrevious;
    g_host.visible = (GetWindowLongPtrW(trayClock, GWL_STYLE) & WS_VISIBLE) != 0;
    g_host.lastMouse = -1;
    g_host.contextClock = -1;
    g_host.sizing = 0;
    g_host.menuNewClocks = g_host.menuSeveralClocks = true;
    if (!subclassed) {
        SetWindowLongPtrW(trayClock, GWLP_WNDPROC, (LONG_PTR)TrayClockWindowProc);
        g_host.savedClassStyle = GetClassLongPtrW(trayClock, GCL_STYLE);
        SetClassLongPtrW(trayClock, GCL_STYLE, g_host.savedClassStyle | CS_DBLCLKS);
    }

    LoadTrayLanguageAndTheme(g_shared.folder);
    g_language.SetAppName(L"tempolan");
    g_language.SetFolder(g_shared.folder);

    HWND taskbar = (HWND)(UINT_PTR)g_shared.taskbar;
    LoadDwm();
    if (QueryCompositionOn())
        SetTaskbarBlurBehind(taskbar, FALSE);

    g_host.taskbarModule = (HINSTANCE)GetWindowLongPtrW(trayClock, GWLP_HINSTANCE);
    RegisterWindowClasses(g_host.taskbarModule);
    CreateTooltipWindow();

    if (!subclassed)
        g_host.savedExStyle = GetWindowLongPtrW(trayClock, GWL_EXSTYLE);
    SetWindowLongPtrW(trayClock, GWL_EXSTYLE, g_host.savedExStyle & ~(LONG_PTR)WS_EX_LAYOUTRTL);
    RestartTrayTimer(trayClock);

    HWND main = (HWND)(UINT_PTR)g_shared.mainWindow;
    LRESULT reply = SendToMainWindow(UM_TRAYCLOCKATTACHED, 0, (LPARAM)trayClock, kHandshakeTimeoutMs);
    if (!main || (HWND)reply != main)
        RestartMainProgram();

    PostMessageW(taskbar, WM_SIZE, 0, 0);
    PostMessageW(GetParent(trayClock), WM_SIZE, 0, 0);
    InvalidateRect(taskbar, nullptr, TRUE);
}

void DetachTrayClock()
{
    // the same hook must not attach again at the clock's next message
    g_host.detachedHook = g_shared.hook;
    g_tooltip.Destroy();
    if (g_host.taskbarModule)
        UnregisterWindowClasses(g_host.taskbarModule);
    HWND trayClock = (HWND)(UINT_PTR)g_shared.trayClock;
    if (trayClock && IsWindow(trayClock)) {
        SetWindowLongPtrW(trayClock, GWL_EXSTYLE, g_host.savedExStyle);
        KillTimer(trayClock, kTrayTimerId);
        if (g_host.ownPrevious && GetWindowLongPtrW(trayClock, GWLP_WNDPROC) == (LONG_PTR)TrayClockWindowProc) {
            SetWindowLongPtrW(trayClock, GWLP_WNDPROC, g_host.ownPrevious);
            SetClassLongPtrW(trayClock, GCL_STYLE, g_host.savedClassStyle);
        }
        g_host.ownPrevious = 0;
        SendMessageW(trayClock, WM_WININICHANGE, 0, 0);
    }
    g_shared.previousProc = 0;
    g_shared.trayClock = 0;
    // the panel refers into the copies: forget it before they go
    g_clockPanel.Clear();
    DestroyTrayClockMenu();
    FreeClockRecords(g_host.copies, true);
    FreeCityRecords(g_host.copies);
    SetTaskbarBlurBehind((HWND)(UINT_PTR)g_shared.taskbar, TRUE);
    UnloadDwm();
    FreeLoadedModules(&g_host.languageLibrary, g_visualStyles.Api());
    g_language.SetResources(nullptr, kUnitNameStringIds);
}
