// The main program's state sent to the tray clock window by WM_COPYDATA,
// always in the order settings (0), cities (2), clocks (1), then each clock's
// alarms (100 + index). The receiver copies the blocks; pointers inside them
// mean nothing there.
#pragma once

#include <windows.h>

#include "graphics/records/CityRecord.h"
#include "graphics/records/SettingsBlock.h"

const DWORD kPushSettings = 0;
const DWORD kPushClocks = 1;
const DWORD kPushCities = 2;
const DWORD kPushAlarms = 100;

// Nothing is sent unless the taskbar hook is installed and a tray clock is known.
void SendDataToTrayClock(HWND mainWindow, HWND trayClock, bool hookInstalled, const SettingsBlock& settings,
                         const CityRecord* cities, int cityCount, const ClockRecord* clocks, int clockCount);
