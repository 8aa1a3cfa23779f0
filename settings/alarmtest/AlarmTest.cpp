#include "settings/alarmtest/AlarmTest.h"

// The test and its log window come with their own change; until then the
// alarm page's test button does nothing.
HWND RegisterLogWindow(const SettingsDialogServices&)
{
    return nullptr;
}

void DestroyLogWindow()
{
}

void TestAlarm(HWND, const AlarmRecord&, const SYSTEMTIME&, const ClockRecord*, bool)
{
}
