// The main program's state sent to the tray clock window by WM_COPYDATA, in
// the order of TrayClockProtocol.h's blocks. The receiver copies the blocks;
// pointers inside them mean nothing there.
#pragma once

#include <windows.h>

#include "graphics/records/CityRecord.h"
#include "graphics/records/SettingsBlock.h"

// Nothing is sent unless the taskbar hook is installed and a tray clock is known.
void SendDataToTrayClock(HWND mainWindow, HWND trayClock, bool hookInstalled, const SettingsBlock& settings,
                         const CityRecord* cities, int cityCount, const ClockRecord* clocks, int clockCount);
