#include "app/main/ClockDialogs.h"

#include "app/menu/AboutDialog.h"

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
