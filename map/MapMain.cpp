#include <map>
#include <string>

#include "map/MapExports.h"

// The globe itself comes with the map issue: until then the window cannot be
// registered, and callers get that error.
namespace {

DWORD g_lastError;
CityRecord* g_cities;
int32_t g_cityCount;
std::map<int32_t, std::wstring> g_strings;

}  // namespace

DWORD WINAPI InitMap(CityRecord* cities, int32_t count)
{
    g_cities = cities;
    g_cityCount = count;
    g_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    return MAPERR_REGISTERCLASS;
}

HWND WINAPI CreateMapWindow(HWND, int32_t, int32_t, int32_t, int32_t, DWORD* status)
{
    g_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    if (status)
        *status = MAPERR_CHOOSEPIXELFORMAT;
    return nullptr;
}

void WINAPI FreeMap()
{
    g_cities = nullptr;
    g_cityCount = 0;
}

DWORD WINAPI InstallMap()
{
    g_lastError = ERROR_CALL_NOT_IMPLEMENTED;
    return MAPERR_REGISTERCLASS;
}

DWORD WINAPI GetLastSysError()
{
    return g_lastError;
}

void WINAPI SetLocalString(int32_t id, const WCHAR* text)
{
    if (text)
        g_strings[id] = text;
}
