// The hook library's data section shared by every process that maps it.
// No lock: the order SetHookArguments, InstallTaskbarHook, attach keeps it
// consistent. Handles are fixed 8-byte slots.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <windows.h>

struct TrayShared {
    uint64_t hook;              // HHOOK of the call-window-procedure hook, 0 when none
    uint64_t taskbar;           // "Shell_TrayWnd"
    uint64_t trayClock;         // "TrayClockWClass" while attached
    uint64_t previousProc;      // its window procedure before ours, while attached
    uint64_t module;            // this library's module handle
    uint64_t mainWindow;
    WCHAR arguments[260];       // the main program's arguments, at most 259 characters
    uint8_t reserved[8];
    WCHAR folder[260];          // program folder with a trailing backslash
};

static_assert(sizeof(TrayShared) == 1096, "shared layout");
static_assert(offsetof(TrayShared, arguments) == 48, "shared layout");
static_assert(offsetof(TrayShared, folder) == 576, "shared layout");

extern TrayShared g_shared;
