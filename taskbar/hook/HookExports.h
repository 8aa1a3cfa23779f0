// Exports of the hook library, by ordinal only (hook.def).
#pragma once

#include <windows.h>

extern "C" {
// Ordinal 9: program folder with a trailing backslash; 8-bit arguments (may be null).
void WINAPI SetHookArguments(const WCHAR* folder, const char* arguments);
// Ordinal 7: the taskbar's process id, or 0 when no hook could be set.
DWORD WINAPI InstallTaskbarHook(HWND mainWindow, const WCHAR* folder);
// Ordinal 8
void WINAPI RemoveTaskbarHook();
// Ordinal 10: the pixel block is a global memory block the caller frees with GlobalFree.
BOOL WINAPI LoadPngImage(const WCHAR* path, BITMAPV4HEADER* header, void** pixels);
}
