// The main program's own dialogs behind IClockDialogs: the About box so far;
// the others keep the interface's defaults.
#pragma once

#include "app/main/MainSeams.h"

class CAboutDialog;

class CClockDialogs : public IClockDialogs {
public:
    explicit CClockDialogs(CAboutDialog& about) : m_about(about) {}
    bool ShowAbout() override;
    bool RaiseAbout() override;
    void CloseAbout() override;

private:
    CAboutDialog& m_about;
};
