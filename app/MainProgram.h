// The main program's state behind its hidden window: settings, clocks, the
// zone table and the tick. GUI thread only.
#pragma once

#include <windows.h>

#include "../graphics/SettingsPaths.h"
#include "AlarmCheck.h"
#include "Autostart.h"
#include "MainSettings.h"
#include "SettingsSeams.h"
#include "SystemZone.h"

class CCityList;
class CLanguage;
class CZoneDatabase;

class CMainProgram : public IReloadHost, public IAlarmSink {
public:
    CMainProgram(const SettingsPaths& paths, CLanguage& language, CZoneDatabase& zones, CCityList& cities,
                 bool noHook);
    CMainProgram(const CMainProgram&) = delete;
    CMainProgram& operator=(const CMainProgram&) = delete;

    // The main window's messages.
    void OnCreate(HWND window);
    void OnTimer();
    void OnDestroy();
    void ClockTick();
    // WM_CLOSE's sequence before the window goes: the state is saved and the
    // tray clock gets its window procedure back.
    void CloseSequence();
    void ReloadSettings();
    // The time of the last alarm check (timers and desktop clocks join later).
    void SaveState();
    // The handshake of the tray clock window; the state is pushed to it.
    void SetTrayClock(HWND trayClock);
    void SendDataToTrayClock();

    const CMainSettings& Settings() const { return m_settings; }

    // IReloadHost: the parts that later pieces of the program bring are empty here.
    void CloseClockWindows() override {}
    void ClearNewsChannels() override {}
    void ReloadProxySettings() override {}
    void RemoveUnregisteredChannels() override {}
    void RefreshNewsWindows() override {}
    bool IsTaskbarHookInPlace() override { return m_taskbarProcessId != 0; }
    void AddTrayIcon() override {}
    void RefreshLocalZone() override;
    void CreateDesktopClocks() override {}
    SYSTEMTIME NowUtc() override;
    DWORD TickCount() override { return GetTickCount(); }

    // IAlarmSink: the firing and the reminder log come with the alarm windows.
    void FireAlarm(const AlarmRecord&, const SYSTEMTIME&, ClockRecord&) override {}
    void AddReminder(const AlarmRecord&, const SYSTEMTIME&, ClockRecord&) override {}

private:
    MainSettingsSeams Seams(const SettingsPaths& paths);

    const SettingsPaths& m_paths;
    CLanguage& m_language;
    CZoneDatabase& m_zones;
    CCityList& m_cities;
    bool m_noHook;
    CSystemLocalZone m_localZone;
    CRegistryAutostart m_autostart;
    CNoTimeServiceControl m_service;
    CZoneDatabaseNames m_zoneNames;
    CLanguageActivation m_activation;
    CMainSettings m_settings;
    AlarmCheckState m_alarms;
    HWND m_window;
    HWND m_trayClock;
    DWORD m_taskbarProcessId;
    DWORD m_lastTick;
};
