// The tray clock's own context menu, shown when the main program shows none.
#pragma once

#include <windows.h>

struct ClockRecord;

// The menu for `clock` (null: outside every clock), whose first submenu is
// shown; null when there is no menu to show. The caller destroys it.
HMENU BuildTrayMenu(const ClockRecord* clock);
