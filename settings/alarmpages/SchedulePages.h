// The six schedule sub-pages of the alarm page, one per alarm kind: each a
// child dialog of the alarm page that shows and stores only the fields of
// its own kind. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/records/AlarmRecord.h"

// Sub-page `kind` (once to cron) from the language's library `resources`,
// as a hidden child of `alarmPage` with its template id as control id; null
// with the system's error when it cannot be made.
HWND CreateSchedulePage(HWND alarmPage, HMODULE resources, int kind);

void LoadSchedulePage(HWND schedulePage, const AlarmRecord& alarm);
// Stores the page's fields into `alarm`; the control holding an invalid
// value (the last one found), or null.
HWND StoreSchedulePage(HWND schedulePage, AlarmRecord* alarm);
