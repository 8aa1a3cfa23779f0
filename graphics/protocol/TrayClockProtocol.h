// What the main program (and the tooltip's photo source) sends the tray clock
// window in the taskbar's process. The values are fixed: the main program and
// the hook library loaded in the taskbar may be of different builds.
#pragma once

#include <windows.h>

// Receiver: the tray clock window.
const UINT UM_MAINWINDOWREADY = 1124;    // reply the panel size, width low and height high 16 bits
const UINT UM_TRAYCLOCKREPAINT = 1125;   // refresh only
const UINT UM_TRAYCLOCKREFRESH = 32778;  // reload, then refresh
// UM_TRAYCLOCKCOUNT reaches the tray clock posted on by the main window (MainWindowProtocol.h).
const UINT UM_TRAYCLOCKPOPUPPOS = 32798;  // wParam a clock id, lParam the popup size; reply x low, y high
const UINT UM_TRAYCLOCKCLICK = 32799;     // wParam a clock id; reply 1 when the clock took the click
const UINT UM_PHOTOREADY = 32979;         // receivers: the tooltip window, the map child
const WORD UM_TRAYCLOCKDETACH = 32777;    // a WM_COMMAND id: detach in the taskbar's process

// WM_COPYDATA block identifiers (dwData), sent by the main window in this order:
// settings, cities, clocks, then each clock's alarms.
const ULONG_PTR kBlockSettings = 0;
const ULONG_PTR kBlockClocks = 1;
const ULONG_PTR kBlockCities = 2;
const ULONG_PTR kBlockAlarms = 100;  // + clock index, below 130
