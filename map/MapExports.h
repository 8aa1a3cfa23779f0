// Exports of the map library, by undecorated name.
#pragma once

#include <windows.h>
#include <stdint.h>

const DWORD MAPERR_LOADLIBRARY = 0x20000001;
const DWORD MAPERR_IMPORTS = 0x20000002;
const DWORD MAPERR_TEXTURETOOBIG = 0x20000003;
const DWORD MAPERR_BADTEXTURE = 0x20000004;
const DWORD MAPERR_COPYTEXTURE = 0x20000005;
const DWORD MAPERR_REGISTERCLASS = 0x20000006;
const DWORD MAPERR_CHOOSEPIXELFORMAT = 0x20000007;
const DWORD MAPERR_SETPIXELFORMAT = 0x20000008;
const DWORD MAPERR_MAKECURRENT = 0x20000009;

struct CityRecord;

extern "C" {
// Keeps the caller's array by pointer until FreeMap.
__declspec(dllexport) DWORD WINAPI InitMap(CityRecord* cities, int32_t count);
__declspec(dllexport) HWND WINAPI CreateMapWindow(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height,
                                                  DWORD* status);
__declspec(dllexport) void WINAPI FreeMap();
__declspec(dllexport) DWORD WINAPI InstallMap();
__declspec(dllexport) DWORD WINAPI GetLastSysError();
// Copies the text; a null text is ignored.
__declspec(dllexport) void WINAPI SetLocalString(int32_t id, const WCHAR* text);
}
