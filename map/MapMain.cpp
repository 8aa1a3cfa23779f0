// The six exports of orbex.dll; the work is CMapLibrary's.
#include "map/MapExports.h"
#include "map/MapLibrary.h"

DWORD WINAPI InitMap(CityRecord* cities, int32_t count)
{
    return CMapLibrary::Get().Init(cities, count, HostProgramFolder());
}

HWND WINAPI CreateMapWindow(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height, DWORD* status)
{
    return CMapLibrary::Get().CreateMapWindow(parent, x, y, width, height, status);
}

void WINAPI FreeMap()
{
    if (CMapLibrary* library = CMapLibrary::Current()) {
        library->Free();
        CMapLibrary::Release();
    }
}

DWORD WINAPI InstallMap()
{
    return CMapLibrary::Get().Install();
}

DWORD WINAPI GetLastSysError()
{
    CMapLibrary* library = CMapLibrary::Current();
    return library ? library->LastError() : 0;
}

void WINAPI SetLocalString(int32_t id, const WCHAR* text)
{
    CMapLibrary::Get().SetLocalString(id, text);
}
