// The taskbar clock's own menu, shown in the taskbar's process when the main
// program shows none: the clocks' menu shaped for the clock under the mouse.
// Its commands are posted to the main window, which carries them out on the
// clock it made current. Taskbar GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/menu/ClockMenu.h"
#include "taskbar/tray/TrayCopies.h"

class CLanguage;

// What the tray clock window knows when the menu is asked for.
struct TrayMenuContext {
    HMODULE resources;          // the language resource library loaded at attach
    const CLanguage* language;  // may be null
    const TrayCopies* copies;
    int clockIndex;             // the panel's hit; outside the copies: no clock
    const LocalZoneState* localZone;
    bool newClocksAllowed;      // the flag of the last UM_TRAYCLOCKCOUNT
    // The time-out send to the main window: 0 when it gave no answer.
    LRESULT (*sendToMain)(UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs);
};

// The menu's shape for `context`: the clock is the copy at its index, if any;
// `desktopClocksOutside` is the main window's answer about its desktop clocks.
MainMenuState TrayMenuState(const TrayMenuContext& context, int desktopClocksOutside);

// Destroys the menu built last, then builds the menu for `context`, whose
// first submenu is what is shown; it stays ours until the next call or
// DestroyTrayClockMenu. Null when the menu resource cannot be loaded: the
// taskbar's process then shows nothing and asks the main program nothing.
HMENU BuildTrayClockMenu(const TrayMenuContext& context);
void DestroyTrayClockMenu();
