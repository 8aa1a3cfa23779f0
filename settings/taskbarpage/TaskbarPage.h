// The taskbar page of the settings dialog (template 199): how many clocks
// the taskbar shows, their look, the tooltips, and a live preview of the
// panel. Every edit goes into the program's settings block at once, so the
// preview and the other pages see it before the settings are written.
#pragma once

#include <windows.h>

const int kIdcTrayClocks = 1074;
const int kIdcTrayClocksSpin = 1435;
const int kIdcTaskbarSkin = 1037;
const int kIdcTransparentSkin = 1065;
const int kIdcOverlayPrefixes = 1150;
const int kIdcTooltips = 1308;
const int kIdcTooltipKind = 1078;
const int kIdcTooltipCalendar = 1159;

// The clock count as the page keeps it: 1 to 12.
int ClampShownTrayClocks(int count);

INT_PTR CALLBACK TaskbarPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
