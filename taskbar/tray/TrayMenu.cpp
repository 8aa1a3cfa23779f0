#include "taskbar/tray/TrayMenu.h"

// The menu's resources and commands come with the tray menu itself; until
// then the tray clock shows nothing of its own.
HMENU BuildTrayMenu(const ClockRecord* clock)
{
    return nullptr;
}
