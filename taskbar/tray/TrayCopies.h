// The tray clock's own copies of what the main program pushes by WM_COPYDATA.
// Every block is untrusted: any process can name the main window as sender,
// so sizes, counts and texts are checked here and nothing beyond the records
// actually received is ever read. Taskbar GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/records/AlarmRecord.h"
#include "graphics/records/CityRecord.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/protocol/TrayClockProtocol.h"

const int kMaxTrayClocks = 12;

struct TrayCopies {
    SettingsBlock settings;       // zero until the first settings block
    ClockRecord* clocks;          // locked global block, `clockRecords` records
    uint32_t clockRecords;        // records received, at most kMaxClocks
    HGLOBAL alarmBlocks[kMaxClocks];  // our alarm lists, parallel to the clocks
    CityRecord* cities;
    uint32_t cityCount;
    int panelClocks;              // enabled clocks not on the desktop
};

enum class BlockResult { Ignored, Settings, Clocks, Cities, Alarms };

// Takes one block. `folder` is the program folder the library was given
// (trusted); it replaces the one inside a settings block. Returns what the
// block was and sets *reply to the window procedure's result.
BlockResult ReceiveTrayBlock(TrayCopies& copies, ULONG_PTR id, DWORD size, const void* data, const WCHAR* folder,
                             LRESULT* reply);

// The number of clocks that may be read: the settings' count bounded by the
// records received.
int ClockCopyCount(const TrayCopies& copies);

// Frees every clock copy with its alarm list; zeroes the counts when asked.
void FreeClockRecords(TrayCopies& copies, bool zeroCounts);
void FreeCityRecords(TrayCopies& copies);
