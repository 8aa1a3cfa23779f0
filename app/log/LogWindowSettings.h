// The reminder log's keys in the user's ":main" section: its place, its
// column widths and the time of the last alarm check.
#pragma once

#include <windows.h>

#include "app/alarms/AlarmCheck.h"
#include "graphics/records/SettingsPaths.h"

// Where the log window may go; tests give fixed screens.
class ILogScreens {
public:
    virtual ~ILogScreens() = default;
    // The primary monitor's work area; false when it cannot be read.
    virtual bool GetWorkArea(RECT* area) = 0;
    // True when some part of `r` lies on a monitor.
    virtual bool IsOnMonitor(const RECT& r) = 0;
};

class CSystemLogScreens : public ILogScreens {
public:
    bool GetWorkArea(RECT* area) override;
    bool IsOnMonitor(const RECT& r) override;
};

const int kLogColumnCount = 2;
const int kDefaultLogColumnWidths[kLogColumnCount] = {90, 360};

// The window's rectangle in screen coordinates: the stored one when it is
// wider than 40, taller than 22 and on a monitor; else the lower-right
// corner of the work area, a third of its width and a sixth of its height.
RECT LoadLogWindowPlace(const SettingsPaths& paths, ILogScreens& screens);
void SaveLogWindowPlace(const SettingsPaths& paths, const RECT& place);

// False when the key does not give both widths.
bool LoadLogColumnWidths(const SettingsPaths& paths, int widths[kLogColumnCount]);
void SaveLogColumnWidths(const SettingsPaths& paths, const int widths[kLogColumnCount]);

