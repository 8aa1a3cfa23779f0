// A main program for desktop clock windows in a test or benchmark: the clock
// array, the settings block and the main window are the test's to set.
#pragma once

#include <windows.h>

#include <vector>

#include "app/main/MainSeams.h"
#include "graphics/records/SettingsBlock.h"
#include "windows/desktop/DesktopClocks.h"

class CFakeDesktopHost : public IDesktopClockHost {
public:
    CFakeDesktopHost() : mainWindow(nullptr), hookInPlace(false), menu(&m_noMenu), settings() {}

    HWND MainWindow() override { return mainWindow; }
    bool IsTaskbarHookInPlace() override { return hookInPlace; }
    IMainMenu& Menu() override { return *menu; }
    const SettingsBlock& ProgramSettings() override { return settings; }
    ClockRecord* Clocks() override { return clocks.empty() ? nullptr : clocks.data(); }
    int ClockCount() override { return (int)clocks.size(); }

    HWND mainWindow;
    bool hookInPlace;
    IMainMenu* menu;
    SettingsBlock settings;
    std::vector<ClockRecord> clocks;

private:
    IMainMenu m_noMenu;
};
