// How the time page reads what the time service wrote: the result code and
// the time of the last synchronisation.
#pragma once

#include <windows.h>

// The string id of a "synclastresult" code: 0 (no text) for a negative code,
// the success text for 0; any other code is its own string id.
UINT SyncResultStringId(int result);

// "synclasttime": exactly 14 digits, year (4), month, day, hour, minute and
// second (2 each). False for anything else.
bool ParseSyncTime(const WCHAR* text, SYSTEMTIME* time);
