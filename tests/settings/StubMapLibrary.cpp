// Stand-ins for orbex.dll in the map test run's tests: the four entry points
// the loader requires, and with STUB_INSTALL_FAILS an InstallMap that fails
// the way a computer without OpenGL would.
#include <windows.h>

#include <stdint.h>

struct CityRecord;

namespace {

DWORD g_lastError = 0;

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI InitMap(CityRecord*, int32_t)
{
    return 0;
}

__declspec(dllexport) void WINAPI FreeMap()
{
}

__declspec(dllexport) HWND WINAPI CreateMapWindow(HWND, int32_t, int32_t, int32_t, int32_t, DWORD*)
{
    return nullptr;
}

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
