// The clocks' menu: menu "MENU_Main" of the language's resource library,
// shaped for one clock. The main program shows it for the tray icon and its
// desktop clocks, the taskbar clock host for a taskbar clock.
#pragma once

#include <windows.h>

#include "graphics/records/ClockRecord.h"
#include "graphics/time/ZoneTime.h"

class CLanguage;

// What shapes the menu.
struct MainMenuState {
    const ClockRecord* clock;   // null: outside every clock, or the tray icon
    bool newClocksAllowed;
    uint32_t options;           // of the settings block
    const LocalZoneState* localZone;
    int desktopClocksOutside;   // UM_QUERYDESKTOPCLOCKS's answer
    bool onTop;                 // a desktop clock's checks
    bool grouped;
};

// Menu "MENU_Main" of `resources`, translated by `language` (may be null)
// and shaped for `state`; its first submenu is what is shown. Null when the
// resource cannot be loaded. The caller destroys it.
HMENU BuildMainMenu(HMODULE resources, const CLanguage* language, const MainMenuState& state);
