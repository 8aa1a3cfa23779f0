// What the main program sends the settings program's window ("TL_SETTINGS").
#pragma once

#include <windows.h>

// Posted when a clock was moved to the desktop or back: wParam the clock's
// id, lParam -1 on the desktop, 0 in the taskbar.
const UINT UM_SETCLOCKONDESKTOP = WM_USER + 5;
