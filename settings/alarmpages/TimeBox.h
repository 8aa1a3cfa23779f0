// The time-of-day boxes: a drop-down with an edit field listing the day
// every 30 minutes (item data = minutes), in the locale's own time form.
// GUI thread only.
#pragma once

#include <windows.h>

#include "app/zones/ZoneHelpers.h"

// Refills the box; `extraMidnight` adds 0:00 once more as the last entry
// (the end of a window that runs to midnight).
void FillTimeBox(HWND box, const TimeLocale& locale, bool extraMidnight);
// Shows `seconds` of the day, with seconds only when they are not 0.
void SetTimeBoxSeconds(HWND box, const TimeLocale& locale, uint32_t seconds);
// The box's text as seconds of the day; negative when it does not parse.
int ReadTimeBoxSeconds(HWND box, const TimeLocale& locale);
// On leaving the box: a text that does not parse is cleared. True when it was.
bool ClearUnreadableTimeBox(HWND box, const TimeLocale& locale);
