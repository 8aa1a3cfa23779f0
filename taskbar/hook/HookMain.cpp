#include "graphics/system/Paths.h"
#include "graphics/image/PixelBuffer.h"
#include "taskbar/hook/HookExports.h"
#include "taskbar/hook/HookGlobals.h"
#include "taskbar/tray/TrayHost.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "taskbar/hook/TrayShared.h"

namespace {

const int kMaxArguments = 259;
const int kClassNameChars = 80;
// a hung taskbar must not hold the main program for long
const UINT kDetachTimeoutMs = 5000;

// This process's handle of the library. The shared field is overwritten by
// every process that maps the library, and cleared by the unhooking.
HINSTANCE g_ownModule;
SettingsPaths g_paths;

LRESULT CALLBACK TaskbarHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && lParam) {
        const CWPSTRUCT* message = (const CWPSTRUCT*)lParam;
        // a call still on its way after the removal (hook and main window
        // cleared) must not attach again
        if (message->hwnd && g_shared.hook && g_shared.mainWindow && !g_shared.trayClock && !g_shared.previousProc &&
            g_shared.hook != g_host.detachedHook) {
            WCHAR name[kClassNameChars];
            if (GetClassNameW(message->hwnd, name, kClassNameChars) && !lstrcmpiW(name, kTrayClockClass))
                AttachTrayClock(message->hwnd);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Asks the tray clock window to detach; true when it did (or is gone).
bool DetachInTaskbar(HWND trayClock)
{
    if (!trayClock || !IsWindow(trayClock))
        return true;
    DWORD_PTR reply;
    return SendMessageTimeoutW(trayClock, WM_COMMAND, UM_TRAYCLOCKDETACH, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               kDetachTimeoutMs, &reply) != 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_ownModule = instance;
        g_shared.module = (uint64_t)(UINT_PTR)instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

void WINAPI SetHookArguments(const WCHAR* folder, const char* arguments)
{
    int n = 0;
    for (; arguments && arguments[n] && n < kMaxArguments; ++n)
        g_shared.arguments[n] = (WCHAR)(unsigned char)arguments[n];
    g_shared.arguments[n] = 0;
    lstrcpynW(g_shared.folder, folder ? folder : L"", ARRAYSIZE(g_shared.folder));
}

DWORD WINAPI InstallTaskbarHook(HWND mainWindow, const WCHAR* folder)
{
    BuildIniPaths(folder ? folder : g_shared.folder, &g_paths);
    // A main program that vanished without detaching left the clock window
    // subclassed: detach it, so that the new hook attaches with a handshake.
    HWND stale = (HWND)(UINT_PTR)g_shared.trayClock;
    if (stale && !IsWindow(stale)) {
        g_shared.trayClock = 0;  // the taskbar it belonged to is gone
        g_shared.previousProc = 0;
    } else if (stale && DetachInTaskbar(stale)) {
        g_shared.trayClock = 0;
        g_shared.previousProc = 0;
    }
    if (g_shared.hook)
        UnhookWindowsHookEx((HHOOK)(UINT_PTR)g_shared.hook);
    g_shared.hook = 0;

    g_shared.mainWindow = (uint64_t)(UINT_PTR)mainWindow;
    HWND taskbar = FindWindowW(kTaskbarClass, nullptr);
    g_shared.taskbar = (uint64_t)(UINT_PTR)taskbar;
    DWORD process = 0;
    DWORD thread = taskbar ? GetWindowThreadProcessId(taskbar, &process) : 0;
    if (!thread)
        return 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, TaskbarHookProc, g_ownModule, thread);
    if (!hook)
        return 0;
    g_shared.hook = (uint64_t)(UINT_PTR)hook;
    PostMessageW(taskbar, WM_SIZE, 0, 0);
    return process;
}

void WINAPI RemoveTaskbarHook()
{
    bool detached = true;
    if (g_shared.hook) {
        if (g_shared.trayClock && g_shared.previousProc)
            detached = DetachInTaskbar((HWND)(UINT_PTR)g_shared.trayClock);
        UnhookWindowsHookEx((HHOOK)(UINT_PTR)g_shared.hook);
        g_shared.hook = 0;
    }
    PostMessageW((HWND)(UINT_PTR)g_shared.taskbar, WM_SIZE, 0, 0);
    // a clock window still subclassed keeps its fields, so that it is never
    // attached twice; the next installation detaches it
    if (detached) {
        g_shared.trayClock = 0;
        g_shared.previousProc = 0;
    }
    g_shared.mainWindow = 0;
    g_shared.module = 0;
    g_shared.taskbar = 0;
    memset(&g_host.copies.settings, 0, sizeof(g_host.copies.settings));
}

BOOL WINAPI LoadPngImage(const WCHAR* path, BITMAPV4HEADER* header, void** pixels)
{
    if (!pixels || !header)
        return FALSE;
    *pixels = nullptr;
    CPixelBuffer buffer;
    return buffer.LoadPng(path) && buffer.Detach((BITMAPINFOHEADER*)header, pixels);
}
