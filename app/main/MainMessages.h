// Private messages of the main window (WM_APP based) and the ones it sends.
#pragma once

#include <windows.h>

const UINT UM_CLOSEMAIN = 0x8009;
const UINT UM_SETTINGSCHANGED = 0x800A;
const UINT UM_TRAYCLOCKATTACHED = 0x800B;
const UINT UM_SHOWLOGWINDOW = 0x800F;
const UINT UM_TRAYCLOCKCOUNT = 0x8010;
const UINT UM_TRAYNOTIFY = 0x8011;
const UINT UM_SAVESTATE = 0x8012;
const UINT UM_HIDEDESKTOPCLOCKS = 0x8013;
const UINT UM_SHOWCALENDAR = 0x8015;
const UINT UM_SHOWALLCLOCKS = 0x8016;
const UINT UM_RESENDCLOCKS = 0x8017;
const UINT UM_RSSPROGRESS = 0x801C;
const UINT UM_PROFILEDOWNLOADED = 0x8020;
const UINT UM_QUERYCLOCKBUSY = 0x8021;
const UINT UM_QUERYDESKTOPCLOCKS = 0x8022;
const UINT UM_REQUESTPHOTO = 0x80D2;
const UINT UM_TRAYCLOCKMOUSE = 0x8064;  // + clock index, below 30
const int kTrayClockMouseCount = 30;
const WPARAM kCloseFromTaskbarWatcher = 1;  // UM_CLOSEMAIN's wParam

// Sent to the tray clock window
const UINT UM_MAINWINDOWREADY = 1124;
const WORD UM_TRAYCLOCKDETACH = 0x8009;  // a WM_COMMAND id
// Sent to the world map window: lParam 1 when the cloud overlay is on
const UINT UM_MAPOVERLAYCHANGED = 0x801D;

const DWORD CD_DOWNLOADREQUEST = 0x8020;  // WM_COPYDATA identifier
const WORD kExitCommand = 105;
