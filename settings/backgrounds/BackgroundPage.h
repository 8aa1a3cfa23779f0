// The background page: one highlight profile of a clock (its label, when it
// applies, its colour and opacity). One procedure serves the four templates:
// 146 for clocks (a daily window and weekdays), 214 for timers bound to a
// date (from and to moments), 215 and 216 for countdowns and timers (start
// and end offsets). A page of the settings dialog, driven by UM_LOADPAGE
// with a ClockProfileRecord. GUI thread only.
#pragma once

#include <windows.h>

// The creation parameter is the template id.
INT_PTR CALLBACK BackgroundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
