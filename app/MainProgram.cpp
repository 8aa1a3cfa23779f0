#include "MainProgram.h"

#include "../graphics/Language.h"
#include "../taskbar/HookExports.h"
#include "../windows/CityList.h"
#include "BuildInfo.h"
#include "DialogHelpers.h"
#include "MainMessages.h"
#include "SettingsIni.h"
#include "TrayPush.h"
#include "ZoneDatabase.h"

namespace {

const UINT_PTR kTimerId = 1;
const UINT kTimerMs = 64;
const DWORD kTickMs = 1000;

}  // namespace

CMainProgram::CMainProgram(const SettingsPaths& paths, CLanguage& language, CZoneDatabase& zones, CCityList& cities,
                           bool noHook)
    : m_paths(paths), m_language(language), m_zones(zones), m_cities(cities), m_noHook(noHook), m_zoneNames(zones), m_activation(language),
      m_settings(Seams(paths)), m_alarms(), m_window(nullptr), m_trayClock(nullptr), m_taskbarProcessId(0), m_lastTick(0)
{
}

MainSettingsSeams CMainProgram::Seams(const SettingsPaths& paths)
{
    MainSettingsSeams seams = {};
    seams.paths = &paths;
    seams.language = &m_activation;
    seams.autostart = &m_autostart;
    seams.service = &m_service;
    seams.zoneNames = &m_zoneNames;
    seams.clocks.paths = &paths;
    seams.clocks.zones = &m_zones;
    seams.clocks.language = &m_language;
    seams.clocks.localZone = &m_localZone;
    return seams;
}

SYSTEMTIME CMainProgram::NowUtc()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return now;
}

void CMainProgram::RefreshLocalZone()
{
    m_zones.RefreshLocalZone(m_settings.Clocks(), m_settings.ClockCount());
}

void CMainProgram::OnCreate(HWND window)
{
    m_window = window;
    RefreshLocalZone();
    SetTimer(window, kTimerId, kTimerMs, nullptr);
    if (!m_noHook)
        m_taskbarProcessId = InstallTaskbarHook(window, m_paths.folder);
    m_settings.ReloadAll(*this);
    // the first tick's window starts at the last check, so that alarms due
    // while the program was closed fire once; without one, now
    m_alarms.previousTick = NowUtc();
    SYSTEMTIME lastCheck;
    std::wstring section = UserSection(m_paths.userPrefix, L":main");
    if (ReadTimeStampKey(m_paths, section.c_str(), L"lastalarmcheck", &lastCheck))
        m_alarms.previousTick = lastCheck;
    if (m_noHook) {
        CFileBuildInfo build(m_settings.ProgramFile());
        m_settings.WriteLastBuild(build);
    }
}

void CMainProgram::OnTimer()
{
    DWORD now = GetTickCount();
    if (now - m_lastTick < kTickMs)
        return;
    m_lastTick = now;
    ClockTick();
}

void CMainProgram::ClockTick()
{
    SYSTEMTIME now = NowUtc();
    ClockRecord* clocks = m_settings.Clocks();
    int count = m_settings.ClockCount();
    if (m_zones.UpdateZoneChanges(now, clocks, count) && m_trayClock)
        PostMessageW(m_window, UM_RESENDCLOCKS, 0, 0);
    for (int i = 0; i < count; ++i)
        if (clocks[i].alarmsEnabled)
            CheckDueAlarms(clocks[i], now, m_alarms, *this);
    m_alarms.previousTick = now;
    m_alarms.syncBeforeAlarm = false;
}

void CMainProgram::OnDestroy()
{
    m_settings.Block().state |= kStateShuttingDown;
    KillTimer(m_window, kTimerId);
    if (m_taskbarProcessId)
        RemoveTaskbarHook();
    m_taskbarProcessId = 0;
    EnumThreadWindows(GetCurrentThreadId(), DestroyDialogsProc, 0);
    if (m_trayClock && IsWindow(m_trayClock))
        PostMessageW(m_trayClock, WM_TIMECHANGE, 0, 0);  // the taskbar clock repaints itself
    m_trayClock = nullptr;
    m_window = nullptr;
}

void CMainProgram::ReloadSettings()
{
    m_settings.ReloadAll(*this);
    SendDataToTrayClock();
}

void CMainProgram::SetTrayClock(HWND trayClock)
{
    m_trayClock = trayClock;
    SendDataToTrayClock();
}

void CMainProgram::SendDataToTrayClock()
{
    ::SendDataToTrayClock(m_window, m_trayClock, m_taskbarProcessId != 0, m_settings.Block(), m_cities.Cities(),
                          m_cities.Count(), m_settings.Clocks(), m_settings.ClockCount());
}

void CMainProgram::SaveState()
{
    std::wstring section = UserSection(m_paths.userPrefix, L":main");
    WriteTimeStampKey(m_paths, section.c_str(), L"lastalarmcheck", m_alarms.previousTick);
}

void CMainProgram::CloseSequence()
{
    SaveState();
    HWND settings = FindWindowW(L"TL_SETTINGS", nullptr);
    if (settings)
        PostMessageW(settings, WM_CLOSE, 0, 0);
    if (m_trayClock && IsWindow(m_trayClock))
        SendMessageW(m_trayClock, WM_COMMAND, UM_TRAYCLOCKDETACH, 0);
}
