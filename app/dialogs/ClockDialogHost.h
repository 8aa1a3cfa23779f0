// What the calendar popup and the time table read from the main program.
// The clock array is asked for anew each time: a settings reload replaces it.
#pragma once

#include <windows.h>

#include "graphics/records/SettingsBlock.h"
#include "graphics/time/ZoneTime.h"

class IClockDialogHost {
public:
    // The owner of the popups.
    virtual HWND MainWindow() = 0;
    virtual ClockRecord* Clocks() = 0;
    virtual int ClockCount() = 0;
    // Months, week rules and the local zone's highlight.
    virtual const SettingsBlock& ProgramSettings() = 0;
    // The user's calendar look.
    virtual const TooltipStyle& CalendarLook() = 0;
    virtual const LocalZoneState& LocalZone() = 0;

protected:
    ~IClockDialogHost() = default;
};
