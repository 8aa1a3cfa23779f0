#include "app/main/MainProgram.h"

#include <string.h>

#include "graphics/language/Language.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "taskbar/hook/HookExports.h"
#include "windows/CityList.h"
#include "windows/http/HttpClient.h"
#include "app/startup/BuildInfo.h"
#include "app/ui/DialogHelpers.h"
#include "app/main/DownloadRequest.h"
#include "app/settings/SettingsIni.h"
#include "app/main/TrayPush.h"
#include "app/zones/ZoneDatabase.h"

namespace {

const LPARAM kAllClocksTimeChanged = 0x1E;
const LPARAM kAllClocksSettingsChanged = 0x800A;
const UINT kAllClocksFailedText = 154;
const UINT kAllClocksFailedCaption = 155;

// The do-nothing bodies for the parts not given.
IMainMenu g_noMenu;
ITimerClocks g_noTimers;
IReminderLog g_noLog;
IDesktopClocks g_noDesktop;
IClockDialogs g_noDialogs;
IWorldMap g_noMap;
INewsReader g_noNews;
ICityPhotos g_noPhotos;
IHttpDownloader g_noHttp;
ILanguageReload g_noLanguageReload;

template <class T>
T* OrDefault(T* given, T* fallback)
{
    return given ? given : fallback;
}

}  // namespace

CMainProgram::CMainProgram(const SettingsPaths& paths, CLanguage& language, CZoneDatabase& zones, CCityList& cities,
                           const BuildInfo& build, bool noHook, const char* settingsSwitch, const MainSeams& seams)
    : m_paths(paths), m_language(language), m_zones(zones), m_cities(cities), m_noHook(noHook), m_settingsSwitch(),
      m_seams(seams), m_zoneNames(zones), m_activation(language), m_settings(Seams(paths)), m_tick(*this),
      m_window(nullptr), m_trayClock(nullptr), m_taskbarProcessId(0), m_lastSecond(0xFFFF)
{
    lstrcpynA(m_settingsSwitch, settingsSwitch ? settingsSwitch : "", sizeof(m_settingsSwitch));
    m_settings.SetBuild(build);
    m_seams.menu = OrDefault(seams.menu, &g_noMenu);
    m_seams.timers = OrDefault(seams.timers, &g_noTimers);
    m_seams.log = OrDefault(seams.log, &g_noLog);
    m_seams.desktop = OrDefault(seams.desktop, &g_noDesktop);
    m_seams.dialogs = OrDefault(seams.dialogs, &g_noDialogs);
    m_seams.map = OrDefault(seams.map, &g_noMap);
    m_seams.news = OrDefault(seams.news, &g_noNews);
    m_seams.photos = OrDefault(seams.photos, &g_noPhotos);
    m_seams.http = OrDefault(seams.http, &g_noHttp);
    m_seams.starter = OrDefault<IProgramStarter>(seams.starter, &m_shell);
    m_seams.language = OrDefault(seams.language, &g_noLanguageReload);
}

MainSettingsSeams CMainProgram::Seams(const SettingsPaths& paths)
{
    MainSettingsSeams seams = MakeMainSettingsSeams(paths, m_activation, m_autostart, m_service, m_zoneNames, m_zones,
                                                    m_language, m_localZone);
    seams.clocks.timers = this;
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
    if (m_seams.news->CreateDataFolder(window)) {
        INewsReader* news = m_seams.news;
        m_settings.SetNewsChannelCallback([news](const WCHAR* url, int ttl, int index, bool expanded, bool enabled) {
            return news->AddFeed(url, ttl, index, expanded, enabled);
        });
    }
    RefreshLocalZone();
    SetTimer(window, kMainTimerId, kMainTimerMs, nullptr);
    if (!m_noHook)
        m_taskbarProcessId = InstallTaskbarHook(window, m_paths.folder);
    m_settings.ReloadAll(*this);
    if (m_taskbarProcessId)
        StartTaskbarWatcher();

    // the log window's creation takes the first tick's window back to the
    // last check; without a log the tick starts from now
    m_tick.Alarms().previousTick = NowUtc();
    m_seams.log->Create();
    m_seams.news->LoadCache();
    if (m_noHook) {
        CFileBuildInfo build(m_settings.ProgramFile());
        m_settings.WriteLastBuild(build);
    }
}

void CMainProgram::StartTaskbarWatcher()
{
    // without the process there is no watcher, but the tray clock still hears of us
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, m_taskbarProcessId);
    if (process)
        m_watcher.Start(m_window, process, *m_seams.starter, m_settings.ProgramFile());
    if (m_trayClock)
        PostMessageW(m_trayClock, UM_MAINWINDOWREADY, 0, 0);
}

void CMainProgram::OnTimer()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    if (now.wSecond != m_lastSecond) {
        m_lastSecond = now.wSecond;
        m_seams.desktop->GiveTime(false);
    }
    m_tick.OnTimer(GetTickCount());
}

bool CMainProgram::UpdateZones(const SYSTEMTIME& nowUtc)
{
    return m_zones.UpdateZoneChanges(nowUtc, m_settings.Clocks(), m_settings.ClockCount());
}

void CMainProgram::ResendClocks()
{
    if (m_trayClock)
        PostMessageW(m_window, UM_RESENDCLOCKS, 0, 0);
}

void CMainProgram::AdvanceTimer(ClockRecord& clock, const SYSTEMTIME& nowUtc)
{
    m_seams.timers->AdvanceTimer(clock, nowUtc);
}

void CMainProgram::CheckAlarms(ClockRecord& clock, const SYSTEMTIME& nowUtc, AlarmCheckState& state)
{
    CheckDueAlarms(clock, nowUtc, state, *this);
}

void CMainProgram::FireAlarm(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock)
{
    m_seams.log->FireAlarm(alarm, occurrence, clock);
}

void CMainProgram::AddReminder(const AlarmRecord& alarm, const SYSTEMTIME& occurrence, ClockRecord& clock)
{
    m_seams.log->AddReminder(alarm, occurrence, clock);
}

bool CMainProgram::WantsSyncBeforeAlarms()
{
    const SettingsBlock& block = m_settings.Block();
    return (block.options & kOptAutoSync) && block.syncType == kSyncBeforeAlarms;
}

void CMainProgram::RequestSync()
{
    m_service.SendControl(kServiceControlSyncNow);
}

const CUnitNames& CMainProgram::UnitNames()
{
    return m_language.UnitNames();
}

const LocalZoneState& CMainProgram::LocalZone()
{
    return m_zones.LocalZone();
}

void CMainProgram::SetSystemZone(const ClockRecord& clock)
{
    m_zones.SetSystemTimeZone(clock, m_settings.Clocks(), m_settings.ClockCount(), [](void* window) {
        PostMessageW((HWND)window, UM_RESENDCLOCKS, 0, 0);
    }, m_window);
}

void CMainProgram::RefreshNews()
{
    m_seams.news->RefreshDueFeeds();
}

void CMainProgram::OnDestroy()
{
    m_settings.Block().state |= kStateShuttingDown;
    m_seams.photos->Stop();
    KillTimer(m_window, kMainTimerId);
    m_seams.menu->DestroyMainMenu();
    m_watcher.Stop();
    if (m_taskbarProcessId)
        RemoveTaskbarHook();
    m_taskbarProcessId = 0;
    EnumThreadWindows(GetCurrentThreadId(), DestroyDialogsProc, 0);
    CloseClockWindows();
    m_seams.log->Destroy();
    if (m_trayClock && IsWindow(m_trayClock))
        PostMessageW(m_trayClock, WM_TIMECHANGE, 0, 0);  // the taskbar clock repaints itself
    m_trayClock = nullptr;
    m_window = nullptr;
}

void CMainProgram::ReloadProxySettings()
{
    LoadProxyConfig();
}

void CMainProgram::CloseClockWindows()
{
    // the windows' clocks share the array's timers: they go before it
    m_seams.desktop->Destroy();
    m_seams.menu->CloseClockWindows();
}

void CMainProgram::OnSettingsChanged(WPARAM wParam, LPARAM lParam)
{
    m_settings.ReloadAll(*this);
    SendDataToTrayClock();
    if (HWND map = m_seams.map->Window()) {
        SendMessageW(map, UM_MAPOVERLAYCHANGED, 0, m_settings.Block().cloudOverlay > 0 ? 1 : 0);
    }
    m_seams.log->Relocalize();
    m_seams.dialogs->UpdateTimeTable();
    m_seams.dialogs->PostAllClocks(UM_SETTINGSCHANGED, 0, kAllClocksSettingsChanged);
    m_seams.dialogs->ReopenCalendar();
    m_seams.timers->SendSettingsChanged(wParam, lParam);
    m_seams.news->SendSettingsChanged(wParam, lParam);
    m_seams.menu->UpdateTrayTip();
}

LRESULT CMainProgram::OnTrayClockAttached(HWND trayClock)
{
    m_trayClock = trayClock;
    if (!m_noHook) {
        CFileBuildInfo build(m_settings.ProgramFile());
        m_settings.WriteLastBuild(build);
    }
    if (m_settingsSwitch[0]) {
        WCHAR file[MAX_PATH + 16], parameters[260];
        wsprintfW(file, L"%ssettings.exe", m_paths.folder);
        MultiByteToWideChar(CP_ACP, 0, m_settingsSwitch, -1, parameters, 260);
        parameters[259] = 0;
        m_seams.starter->Start(file, parameters, m_paths.folder);
    }
    SendDataToTrayClock();
    return (LRESULT)m_window;
}

void CMainProgram::OnTrayClockCount(WPARAM count, LPARAM lParam)
{
    int n = count ? (int)count : m_settings.ClockCount();
    m_seams.menu->SetClockCountFlags(CanAddClock(n), CanDeleteClock(n));
    if (m_trayClock)
        PostMessageW(m_trayClock, UM_TRAYCLOCKCOUNT, count, lParam);
}

void CMainProgram::OnTrayNotify(LPARAM mouseMessage)
{
    if (mouseMessage != WM_LBUTTONDOWN && mouseMessage != WM_RBUTTONDOWN)
        return;
    BringDesktopClocksForward();
    if (SendMessageW(m_window, UM_TRAYCLOCKMOUSE, kTrayIconClick, 0))
        return;
    m_seams.menu->ShowMainMenu();
}

void CMainProgram::OnHideDesktopClocks(bool hide)
{
    if (hide) {
        m_seams.news->HidePopup();
        m_seams.desktop->Hide();
        m_seams.map->Close();
    } else {
        m_seams.desktop->Show();
    }
}

void CMainProgram::ShowCalendar()
{
    if (m_settings.ClockCount() > 0)
        m_seams.dialogs->ShowCalendar();
}

void CMainProgram::ShowAllClocks()
{
    if (m_settings.ClockCount() <= 0 || m_seams.dialogs->ShowAllClocks())
        return;
    WCHAR text[512], caption[128];
    if (m_language.GetString(kAllClocksFailedText, text, 512) && m_language.GetString(kAllClocksFailedCaption, caption, 128))
        MessageBoxW(m_window, text, caption, MB_ICONHAND);
}

LRESULT CMainProgram::OnNewsProgress(WPARAM status, LPARAM progress)
{
    return m_seams.news->OnProgress(status, progress);
}

LRESULT CMainProgram::IsClockBusy()
{
    return m_seams.timers->IsPanelVisible() ? 1 : 0;
}

LRESULT CMainProgram::CountDesktopClocksOutside()
{
    return m_seams.desktop->CountOutsideWorkArea();
}

LRESULT CMainProgram::OnRequestPhoto(WPARAM cityIndex, LPARAM requester)
{
    const SettingsBlock& block = m_settings.Block();
    if ((block.state & kStateShuttingDown) || !(block.options & kOptCityPhotos))
        return 0;
    m_seams.photos->Request((int32_t)(DWORD)cityIndex, (HWND)requester);
    return 1;
}

LRESULT CMainProgram::OnClockMouse(int index, WPARAM event, LPARAM lParam)
{
    // a mouse move names the clock's window
    HWND window = event == WM_MOUSEMOVE ? (HWND)lParam : nullptr;
    return m_seams.menu->OnClockMouse(index, event, window);
}

void CMainProgram::OnCommand(WORD id)
{
    m_seams.menu->OnCommand(id);
}

void CMainProgram::ShowLogWindow()
{
    m_seams.log->Show();
}

void CMainProgram::OnTimeChange()
{
    RefreshLocalZone();
    m_seams.desktop->GiveTime(true);
    m_seams.dialogs->UpdateTimeTable();
    m_seams.dialogs->PostAllClocks(UM_SETTINGSCHANGED, 0, kAllClocksTimeChanged);
}

void CMainProgram::OnSettingChange()
{
    m_seams.language->Reload();
}

void CMainProgram::OnEndSession()
{
    SaveState();
    DetachTrayClock();
}

LRESULT CMainProgram::OnCopyData(HWND sender, const COPYDATASTRUCT* block)
{
    WCHAR url[kDownloadUrlChars + 1];
    if (!block || !CopyDownloadUrl(*block, url))
        return 0;
    // the worker owns its request; its handle is not needed
    StartDownloadRequest(*m_seams.http, sender, url, m_paths.folder);
    return 1;
}

void CMainProgram::SendDataToTrayClock()
{
    ::SendDataToTrayClock(m_window, m_trayClock, m_taskbarProcessId != 0, m_settings.Block(), m_cities.Cities(),
                          m_cities.Count(), m_settings.Clocks(), m_settings.ClockCount());
}

void CMainProgram::SaveState()
{
    m_seams.timers->SaveTimerState();
    m_seams.desktop->SavePositions();
    SaveLastAlarmCheck(m_paths, m_tick.Alarms());
}

void CMainProgram::DetachTrayClock()
{
    if (m_trayClock && IsWindow(m_trayClock))
        SendMessageW(m_trayClock, WM_COMMAND, UM_TRAYCLOCKDETACH, 0);
}

void CMainProgram::CloseSequence()
{
    m_seams.map->Close();
    SaveState();
    m_seams.dialogs->CloseAbout();
    EnumThreadWindows(GetCurrentThreadId(), DestroyDialogsProc, 0);
    HWND settings = FindWindowW(kSettingsWindowClass, nullptr);
    if (settings)
        PostMessageW(settings, WM_CLOSE, 0, 0);
    DetachTrayClock();
}

void CMainProgram::CloseMain(WPARAM wParam)
{
    if (wParam == kCloseFromTaskbarWatcher)
        SaveState();
}
