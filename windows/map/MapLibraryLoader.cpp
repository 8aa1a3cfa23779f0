#include "windows/map/MapLibraryLoader.h"

#include <utility>

#include "map/MapExports.h"

namespace {

const WCHAR kMapLibraryFile[] = L"orbex.dll";

template <class Proc>
Proc Lookup(HMODULE module, const char* name)
{
    // through void*: a FARPROC cast to another signature draws a warning
    return (Proc)(void*)GetProcAddress(module, name);
}

void ClearEntryPoints(MapLibraryTable& table)
{
    table.initMap = nullptr;
    table.freeMap = nullptr;
    table.createMapWindow = nullptr;
    table.getLastSysError = nullptr;
    table.setLocalString = nullptr;
}

}  // namespace

DWORD LoadMapLibrary(MapLibraryTable& table, const WCHAR* folder, CityRecord* cities, int count)
{
    WCHAR path[MAX_PATH];
    if (!folder || lstrlenW(folder) + lstrlenW(kMapLibraryFile) >= MAX_PATH)
        return MAPERR_LOADLIBRARY;
    wsprintfW(path, L"%s%s", folder, kMapLibraryFile);
    CModule module(LoadLibraryW(path));
    if (!module)
        return MAPERR_LOADLIBRARY;
    table.initMap = Lookup<InitMapProc>(module.Get(), "InitMap");
    table.freeMap = Lookup<FreeMapProc>(module.Get(), "FreeMap");
    table.createMapWindow = Lookup<CreateMapWindowProc>(module.Get(), "CreateMapWindow");
    table.getLastSysError = Lookup<GetLastSysErrorProc>(module.Get(), "GetLastSysError");
    table.setLocalString = Lookup<SetLocalStringProc>(module.Get(), "SetLocalString");
    if (!table.initMap || !table.freeMap || !table.createMapWindow || !table.getLastSysError) {
        ClearEntryPoints(table);
        return MAPERR_IMPORTS;
    }
    table.module = std::move(module);
    return table.initMap(cities, count);
}

void UnloadMapLibrary(MapLibraryTable& table)
{
    if (!table.module)
        return;
    table.freeMap();
    ClearEntryPoints(table);
    table.module.Reset();
}
