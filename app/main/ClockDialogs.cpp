#include "app/main/ClockDialogs.h"

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

bool CClockDialogs::ShowAllClocks()
{
    return !m_allClocks || m_allClocks->Show();
}

void CClockDialogs::PostAllClocks(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_allClocks && m_allClocks->Window())
        PostMessageW(m_allClocks->Window(), message, wParam, lParam);
}
