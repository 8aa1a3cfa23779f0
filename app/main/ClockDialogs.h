// The main program's own dialogs behind IClockDialogs: the About box so far;
// the others keep the interface's defaults.
#pragma once

#include "app/main/MainSeams.h"

class CAboutDialog;
class CAllClocksDialog;

class CClockDialogs : public IClockDialogs {
public:
    explicit CClockDialogs(CAboutDialog& about) : m_about(about) {}
    bool ShowAbout() override;
    bool RaiseAbout() override;
    void CloseAbout() override;

    // The all-clocks dialog; null: it never opens.
    void SetAllClocks(CAllClocksDialog* dialog) { m_allClocks = dialog; }
    bool ShowAllClocks() override;
    void PostAllClocks(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CAboutDialog& m_about;
    CAllClocksDialog* m_allClocks = nullptr;
};
