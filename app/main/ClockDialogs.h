// The main program's own dialogs behind IClockDialogs: the About box, the
// calendar popup, the time table and the all-clocks dialog.
#pragma once

#include "app/dialogs/ClockDialogHost.h"
#include "app/main/MainSeams.h"

class CAboutDialog;
class CAllClocksDialog;
class CCalendarPopup;
class CMainProgram;
class CTimeTable;

class CClockDialogs : public IClockDialogs {
public:
    explicit CClockDialogs(CAboutDialog& about) : m_about(about) {}
    bool ShowAbout() override;
    bool RaiseAbout() override;
    void CloseAbout() override;

    // Set once before the main window exists; both outlive this object's use.
    void SetCalendar(CCalendarPopup* calendar) { m_calendar = calendar; }
    void ShowCalendar() override;
    void ReopenCalendar() override;

    void SetTimeTable(CTimeTable* table) { m_table = table; }
    void ShowTimeTable() override;
    // The clock array may have been replaced: the table takes it again.
    void UpdateTimeTable() override;

    // The all-clocks dialog; null: it never opens.
    void SetAllClocks(CAllClocksDialog* dialog) { m_allClocks = dialog; }
    bool ShowAllClocks() override;
    void PostAllClocks(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CAboutDialog& m_about;
    CCalendarPopup* m_calendar = nullptr;
    CTimeTable* m_table = nullptr;
    CAllClocksDialog* m_allClocks = nullptr;
};

// The main program as the calendar popup and the time table see it.
class CMainDialogHost : public IClockDialogHost {
public:
    explicit CMainDialogHost(CMainProgram& program) : m_program(program) {}
    HWND MainWindow() override;
    ClockRecord* Clocks() override;
    int ClockCount() override;
    const SettingsBlock& ProgramSettings() override;
    const TooltipStyle& CalendarLook() override;
    const LocalZoneState& LocalZone() override;

private:
    CMainProgram& m_program;
};
