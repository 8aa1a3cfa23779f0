#include "taskbar/tray/TrayMenu.h"

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/system/Handles.h"
#include "taskbar/tray/TrayTimings.h"

namespace {

CMenu g_lastMenu;

}  // namespace

MainMenuState TrayMenuState(const TrayMenuContext& context, int desktopClocksOutside)
{
    const TrayCopies& copies = *context.copies;
    int index = context.clockIndex;
    MainMenuState state = {};
    state.clock = index >= 0 && index < ClockCopyCount(copies) ? &copies.clocks[index] : nullptr;
    state.newClocksAllowed = context.newClocksAllowed;
    state.options = copies.settings.options;
    state.localZone = context.localZone;
    state.desktopClocksOutside = desktopClocksOutside;
    // the desktop clocks' checks are the main program's; none here
    state.onTop = false;
    state.grouped = false;
    return state;
}

HMENU BuildTrayClockMenu(const TrayMenuContext& context)
{
    g_lastMenu.Reset();
    // without the menu the main program is not disturbed
    if (!context.resources || !FindResourceW(context.resources, MAKEINTRESOURCEW(kMainMenuResource), RT_MENU))
        return nullptr;
    // a hung main program costs the taskbar one time-out, not its life
    int outside = (int)context.sendToMain(UM_QUERYDESKTOPCLOCKS, 0, 0, kQueryTimeoutMs);
    g_lastMenu.Reset(BuildMainMenu(context.resources, context.language, TrayMenuState(context, outside)));
    return g_lastMenu.Get();
}

void DestroyTrayClockMenu()
{
    g_lastMenu.Reset();
}
