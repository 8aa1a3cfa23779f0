// The page procedures of a clock's own pages in the settings dialog. Each
// learns its template from the WM_INITDIALOG parameter, keeps the record of
// the last load and answers the page protocol of PageProtocol.h.
#pragma once

#include <windows.h>

// Templates 166, 208 and 209: an ordinary clock, a countdown, a timer.
INT_PTR CALLBACK ClockPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Templates 197 and 210: time and date formats, a timer's format.
INT_PTR CALLBACK FormatsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Template 198: the desktop look.
INT_PTR CALLBACK DesktopPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
