// The alarm page of the settings dialog and its three timer variants: the
// comment, the reminder, the schedule (six sub-pages over control 1114) or
// the time relative to the timer, the action with its text, and the test.
// GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/records/AlarmRecord.h"

class CLanguage;
struct SettingsDialogServices;

// The page procedure of templates 144 and 211-213; the creation parameter
// is the template id.
INT_PTR CALLBACK AlarmPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The alarm pages' loading counter: while it is raised they and their
// sub-pages report no edits.
class CAlarmPageLoading {
public:
    CAlarmPageLoading();
    ~CAlarmPageLoading();
    CAlarmPageLoading(const CAlarmPageLoading&) = delete;
    CAlarmPageLoading& operator=(const CAlarmPageLoading&) = delete;
    static bool Active();
};

// For the sub-pages, by their parent the alarm page: the change notice to
// the settings dialog, the record shown (null before the first load), the
// dialog's services (null outside the settings dialog) and "now" (UTC) as
// the dialog's clock gives it.
void ReportAlarmPageChange(HWND alarmPage, bool caption);
const AlarmRecord* ShownAlarm(HWND alarmPage);
const SettingsDialogServices* AlarmPageServices(HWND alarmPage);
SYSTEMTIME AlarmPageNowUtc(HWND alarmPage);
