#include "app/main/ClockDialogs.h"

#include "app/dialogs/CalendarPopup.h"
#include "app/dialogs/TimeWindow.h"
#include "app/main/MainProgram.h"
#include "app/menu/AboutDialog.h"
#include "windows/allclocks/AllClocksDialog.h"

bool CClockDialogs::ShowAbout()
{
    return m_about.ShowAboutDialog();
}

bool CClockDialogs::RaiseAbout()
{
    return m_about.RaiseAboutDialog();
}

void CClockDialogs::CloseAbout()
{
    m_about.CloseAboutDialog();
}

void CClockDialogs::ShowCalendar()
{
    if (m_calendar)
        m_calendar->Show();
}

void CClockDialogs::ReopenCalendar()
{
    if (m_calendar)
        m_calendar->Reopen();
}

void CClockDialogs::ShowTimeTable()
{
    if (m_table)
        m_table->Show();
}

void CClockDialogs::UpdateTimeTable()
{
    if (m_table)
        m_table->Refresh(true);
}

HWND CMainDialogHost::MainWindow()
{
    return m_program.MainWindow();
}

ClockRecord* CMainDialogHost::Clocks()
{
    return m_program.Clocks();
}

int CMainDialogHost::ClockCount()
{
    return m_program.ClockCount();
}

const SettingsBlock& CMainDialogHost::ProgramSettings()
{
    return m_program.ProgramSettings();
}

const TooltipStyle& CMainDialogHost::CalendarLook()
{
    return m_program.Settings().CalendarLook();
}

const LocalZoneState& CMainDialogHost::LocalZone()
{
    return m_program.LocalZone();
}

bool CClockDialogs::ShowAllClocks()
{
    return !m_allClocks || m_allClocks->Show();
}

void CClockDialogs::PostAllClocks(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_allClocks && m_allClocks->Window())
        PostMessageW(m_allClocks->Window(), message, wParam, lParam);
}
