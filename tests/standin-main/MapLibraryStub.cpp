// A map library with every export the loader requires but no InstallMap: the
// settings program's map test run must then report the installation as not
// done instead of calling what is not there.
#include <windows.h>

#include <stdint.h>

struct CityRecord;

extern "C" {
__declspec(dllexport) DWORD WINAPI InitMap(CityRecord*, int32_t)
{
    return 0;
}
__declspec(dllexport) HWND WINAPI CreateMapWindow(HWND, int32_t, int32_t, int32_t, int32_t, DWORD* status)
{
    if (status)
        *status = 0;
    return nullptr;
}
__declspec(dllexport) void WINAPI FreeMap()
{
}
__declspec(dllexport) DWORD WINAPI GetLastSysError()
{
    return 0;
}
}
