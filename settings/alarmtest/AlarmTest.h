// The alarm page's test: the alarm being edited fires at once inside the
// settings program, and the reminders and alarms log window that a tested
// reminder of a clock writes to. GUI thread only; one log window per
// process.
#pragma once

#include <windows.h>

#include "graphics/records/AlarmRecord.h"
#include "graphics/records/ClockRecord.h"

struct SettingsDialogServices;

// The hidden log window, made when the alarm page is created; null when it
// cannot be made. A second call gives the window made by the first.
// `services` outlives the window.
HWND RegisterLogWindow(const SettingsDialogServices& services);
// Called when the alarm page is destroyed: the log window and any dialog of
// a test go, a playing sound stops, the class is unregistered.
void DestroyLogWindow();

// Fires `alarm` of `clock` (null: none) now; `zoneNow` is the time in the
// clock's zone. `page` is the alarm page, a child of the settings dialog.
// With `test` the dialogs of a looping sound and of the countdowns are modal
// over the settings dialog, and the call returns once they are closed.
void TestAlarm(HWND page, const AlarmRecord& alarm, const SYSTEMTIME& zoneNow, const ClockRecord* clock, bool test);
