// The map library orbex.dll bound at run time: loaded from the program
// folder, its entry points looked up, InitMap called with the city array.
// GUI thread only.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "graphics/system/Handles.h"

struct CityRecord;

typedef DWORD(WINAPI* InitMapProc)(CityRecord* cities, int32_t count);
typedef void(WINAPI* FreeMapProc)();
typedef HWND(WINAPI* CreateMapWindowProc)(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height,
                                          DWORD* status);
typedef DWORD(WINAPI* GetLastSysErrorProc)();
typedef void(WINAPI* SetLocalStringProc)(int32_t id, const WCHAR* text);

// The loaded library and its entry points; all null while it is not loaded.
// SetLocalString is optional, the other four are required.
struct MapLibraryTable {
    CModule module;
    InitMapProc initMap = nullptr;
    FreeMapProc freeMap = nullptr;
    CreateMapWindowProc createMapWindow = nullptr;
    GetLastSysErrorProc getLastSysError = nullptr;
    SetLocalStringProc setLocalString = nullptr;
};

// Loads "<folder>orbex.dll" (folder with a trailing backslash) into `table`,
// which must be empty, and returns InitMap's result for the cities;
// MAPERR_LOADLIBRARY or MAPERR_IMPORTS (table left empty) when it cannot.
// The library keeps `cities` by address until UnloadMapLibrary: the array
// must not move meanwhile. A failing InitMap leaves the library loaded.
DWORD LoadMapLibrary(MapLibraryTable& table, const WCHAR* folder, CityRecord* cities, int count);

// FreeMap and the library's release when it is loaded; the table is empty after.
void UnloadMapLibrary(MapLibraryTable& table);
