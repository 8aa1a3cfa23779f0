// The main program's state behind its hidden window: settings, clocks, the
// zone table and the tick. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/records/SettingsPaths.h"
#include "app/alarms/AlarmCheck.h"
#include "app/settings/Autostart.h"
#include "app/main/ClockTick.h"
#include "app/main/MainSeams.h"
#include "app/settings/MainSettings.h"
#include "app/settings/SettingsSeams.h"
#include "app/zones/SystemZone.h"
#include "app/main/TaskbarWatcher.h"
#include "app/clocks/TimerClocks.h"
#include "app/menu/MainMenu.h"
#include "app/menu/ServiceControl.h"
#include "windows/desktop/DesktopClocks.h"

class CCityList;
class CLanguage;
struct BuildInfo;
class CZoneDatabase;

// The main window's tick timer.
const UINT_PTR kMainTimerId = 1;
const UINT kMainTimerMs = 64;

class CMainProgram : public IReloadHost, public IAlarmSink, public ITickHost, public IDesktopClockHost,
                     public IMenuHost, public ITimerClockHost, public ITimerRestart {
public:
    // `build` goes into the settings block at once. `settingsSwitch` (8-bit,
    // may be empty) is handed to the settings program when the tray clock
    // attaches. Null members of `seams` do nothing.
    CMainProgram(const SettingsPaths& paths, CLanguage& language, CZoneDatabase& zones, CCityList& cities,
                 const BuildInfo& build, bool noHook, const char* settingsSwitch, const MainSeams& seams);
    CMainProgram(const CMainProgram&) = delete;
    CMainProgram& operator=(const CMainProgram&) = delete;

    // The main window's messages; the results are the window procedure's.
    void OnCreate(HWND window);
    void OnTimer();
    void OnDestroy();
    // The exit command: the state is saved, the settings program closed and
    // the tray clock gets its window procedure back; the window goes next.
    void CloseSequence();
    // UM_CLOSEMAIN; wParam 1 comes from the taskbar watcher, which skipped
    // the close sequence: the state is saved first.
    void CloseMain(WPARAM wParam);
    void OnSettingsChanged(WPARAM wParam, LPARAM lParam);
    // The tray clock's handshake; returns the main window.
    LRESULT OnTrayClockAttached(HWND trayClock);
    void OnTrayClockCount(WPARAM count, LPARAM lParam);
    void OnTrayNotify(LPARAM mouseMessage);
    void OnHideDesktopClocks(bool hide);
    void ShowCalendar();
    void ShowAllClocks();
    LRESULT OnNewsProgress(WPARAM status, LPARAM progress);
    LRESULT IsClockBusy();
    LRESULT CountDesktopClocksOutside();
    LRESULT OnRequestPhoto(WPARAM cityIndex, LPARAM requester);
    LRESULT OnClockMouse(int index, WPARAM event, LPARAM lParam);
    void OnCommand(WORD id);
    void ShowLogWindow();
    // Every caller brings the clocks forward as the foreground window, not
    // through the desktop window.
    void BringDesktopClocksForward() { m_seams.desktop->BringForward(false); }
    void OnTimeChange();
    void OnSettingChange();
    void OnEndSession();
    // WM_COPYDATA; 1 when a download request was started.
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* block);
    // Timers, desktop positions and the time of the last alarm check.
    void SaveState() override;
    void SendDataToTrayClock() override;
    void RefreshLocalZone() override;

    const CMainSettings& Settings() const { return m_settings; }
    // The block's map-available bit is the world map's to set.
    CMainSettings& Settings() { return m_settings; }
    // The alarm check's state, which the reminder log takes back to the last check.
    AlarmCheckState& AlarmState() { return m_tick.Alarms(); }

    // IReloadHost
    void CloseClockWindows() override;
    void ClearNewsChannels() override { m_seams.news->ClearChannels(); }
    void ReloadProxySettings() override;
    void RemoveUnregisteredChannels() override { m_seams.news->RemoveUnregisteredChannels(); }
    void RefreshNewsWindows() override { m_seams.news->RefreshWindows(); }
    bool IsTaskbarHookInPlace() override { return m_taskbarProcessId != 0; }
    void AddTrayIcon() override { m_seams.menu->AddTrayIcon(); }
    void CreateDesktopClocks() override { m_seams.desktop->Create(m_settings.Clocks(), m_settings.ClockCount()); }
    SYSTEMTIME NowUtc() override;
    DWORD TickCount() override { return GetTickCount(); }

    // IAlarmSink
    void FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) override;
    void AddReminder(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock) override;

    // ITickHost
    bool UpdateZones(const SYSTEMTIME& nowUtc) override;
    void ResendClocks() override;
    ClockRecord* Clocks() override { return m_settings.Clocks(); }
    int ClockCount() override { return m_settings.ClockCount(); }

    // IDesktopClockHost (Clocks and ClockCount above)
    HWND MainWindow() override { return m_window; }
    IMainMenu& Menu() override { return *m_seams.menu; }
    const SettingsBlock& ProgramSettings() override { return m_settings.Block(); }
    void AdvanceTimer(ClockRecord& clock, const SYSTEMTIME& nowUtc) override;
    void CheckAlarms(ClockRecord& clock, const SYSTEMTIME& nowUtc, AlarmCheckState& state) override;
    bool WantsSyncBeforeAlarms() override;
    void RequestSync() override;
    void RefreshNews() override;

    // IMenuHost (the members above too)
    const SettingsPaths& Paths() override { return m_paths; }
    const LocalZoneState& LocalZone() override;
    int TaskbarClockCount() override { return m_settings.TaskbarClockCount(); }
    void SetTaskbarClockCount(int count) override { m_settings.SetTaskbarClockCount(count); }
    void SetSystemZone(const ClockRecord& clock) override;
    const MainSeams& Seams() override { return m_seams; }

    // ITimerClockHost (the members above too)
    const CUnitNames& UnitNames() override;

    // ITimerRestart: a running timer read with an incomplete state
    void RestartTimer(ClockRecord& clock) override { m_seams.timers->RestartTimer(clock); }

private:
    MainSettingsSeams Seams(const SettingsPaths& paths);
    void StartTaskbarWatcher();
    void DetachTrayClock();

    const SettingsPaths& m_paths;
    CLanguage& m_language;
    CZoneDatabase& m_zones;
    CCityList& m_cities;
    bool m_noHook;
    char m_settingsSwitch[260];
    MainSeams m_seams;
    CShellProgramStarter m_shell;
    CSystemLocalZone m_localZone;
    CRegistryAutostart m_autostart;
    CServiceManagerControl m_service;
    CZoneDatabaseNames m_zoneNames;
    CLanguageActivation m_activation;
    CMainSettings m_settings;
    CClockTick m_tick;
    CTaskbarWatcher m_watcher;
    HWND m_window;
    HWND m_trayClock;
    DWORD m_taskbarProcessId;
    WORD m_lastSecond;
};
