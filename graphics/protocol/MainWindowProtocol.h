// What other windows and processes send the main program's window ("TempolanClass").
// The values are fixed: the senders (the tray clock in the taskbar's process,
// the settings program, the map window) may be of another build.
#pragma once

#include <windows.h>

// Private messages, WM_APP based. Receiver: the main window.
const UINT UM_CLOSEMAIN = 0x8009;           // destroy the main window; wParam kCloseFromTaskbarWatcher or 0
const UINT UM_SETTINGSCHANGED = 0x800A;     // reload everything (the settings program)
const UINT UM_TRAYCLOCKATTACHED = 0x800B;   // the tray clock's handshake: lParam the tray clock, reply the main window
const UINT UM_SHOWLOGWINDOW = 0x800F;
const UINT UM_TRAYCLOCKCOUNT = 0x8010;      // wParam the clock count; posted on to the tray clock unchanged
const UINT UM_TRAYNOTIFY = 0x8011;          // the tray icon's callback message
const UINT UM_SAVESTATE = 0x8012;
const UINT UM_HIDEDESKTOPCLOCKS = 0x8013;   // wParam 1 hide, 0 show
const UINT UM_SHOWCALENDAR = 0x8015;
const UINT UM_SHOWALLCLOCKS = 0x8016;
const UINT UM_RESENDCLOCKS = 0x8017;
const UINT UM_RSSPROGRESS = 0x801C;         // wParam the HTTP status, lParam the progress record
const UINT UM_QUERYCLOCKBUSY = 0x8021;      // reply 1 while the timer panel is shown
const UINT UM_QUERYDESKTOPCLOCKS = 0x8022;  // reply the desktop clocks lying partly off their monitor
const UINT UM_REQUESTPHOTO = 0x80D2;        // wParam a signed city index; reply 1 when queued
const UINT UM_TRAYCLOCKMOUSE = 0x8064;      // + clock index below kTrayClockMouseCount; wParam the event
const int kTrayClockMouseCount = 30;

const WPARAM kCloseFromTaskbarWatcher = 1;  // UM_CLOSEMAIN's wParam when the taskbar's process ended
const WPARAM kTrayIconClick = 123;          // UM_TRAYCLOCKMOUSE's event for a context menu or a tray icon click

// WM_COMMAND ids the main window takes from other windows (the tray clock forwards its menu's commands).
const WORD kCloseCommand = 0x8009;  // the close sequence
const WORD kExitCommand = 105;

// WM_COPYDATA: a download request, the URL as UTF-16 text; wParam the window to answer.
const ULONG_PTR CD_DOWNLOADREQUEST = 0x8020;
// The answer of a download request, sent to the requesting window.
const UINT UM_PROFILEDOWNLOADED = 0x8020;
