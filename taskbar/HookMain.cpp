#include "../graphics/PixelBuffer.h"
#include "HookExports.h"
#include "HookGlobals.h"
#include "TrayShared.h"

namespace {

const int kMaxArguments = 259;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_shared.module = (uint64_t)(UINT_PTR)instance;
        InitWindowsVersion();
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

// The taskbar side is not in this build yet: no hook is ever set.
DWORD WINAPI InstallTaskbarHook(HWND mainWindow, const WCHAR* folder)
{
    return 0;
}

void WINAPI RemoveTaskbarHook()
{
}

BOOL WINAPI LoadPngImage(const WCHAR* path, BITMAPV4HEADER* header, void** pixels)
{
    if (!pixels || !header)
        return FALSE;
    *pixels = nullptr;
    CPixelBuffer buffer;
    return buffer.LoadPng(path) && buffer.Detach((BITMAPINFOHEADER*)header, pixels);
}
