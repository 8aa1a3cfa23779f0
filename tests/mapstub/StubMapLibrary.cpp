// Stand-ins for orbex.dll: the four entry points the loader requires, a
// CreateMapWindow that makes no window, and by definition:
//   STUB_INSTALL_FAILS (with STUB_SYSTEM_ERROR)  an InstallMap that fails the
//                      way a computer without OpenGL would
//   STUB_INIT_FAILS (with STUB_SYSTEM_ERROR)     an InitMap that fails so,
//                      the Win32 error kept for GetLastSysError
//   STUB_WITHOUT_CREATEWINDOW                    one required export missing
#include <windows.h>

#include <stdint.h>

struct CityRecord;

namespace {

DWORD g_lastError = 0;

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI InitMap(CityRecord*, int32_t)
{
#ifdef STUB_INIT_FAILS
    SetLastError(STUB_SYSTEM_ERROR);
    g_lastError = GetLastError();
    return STUB_INIT_FAILS;
#else
    return 0;
#endif
}

__declspec(dllexport) void WINAPI FreeMap()
{
}

#ifndef STUB_WITHOUT_CREATEWINDOW
__declspec(dllexport) HWND WINAPI CreateMapWindow(HWND, int32_t, int32_t, int32_t, int32_t, DWORD*)
{
    return nullptr;
}
#endif

__declspec(dllexport) DWORD WINAPI GetLastSysError()
{
    return g_lastError;
}

#ifdef STUB_INSTALL_FAILS
__declspec(dllexport) DWORD WINAPI InstallMap()
{
    g_lastError = STUB_SYSTEM_ERROR;
    return STUB_INSTALL_FAILS;
}
#endif
}
