#include "app/startup/Startup.h"

#include <commctrl.h>
#include <ole2.h>

#include "graphics/language/Language.h"
#include "graphics/language/LanguageLoader.h"
#include "graphics/image/PixelOps.h"
#include "graphics/system/Paths.h"
#include "graphics/system/WindowsVersion.h"
#include "graphics/window/Theme.h"
#include "graphics/window/Window.h"
#include "taskbar/hook/HookExports.h"
#include "windows/CityList.h"
#include "windows/DataFiles.h"
#include "windows/SkinManager.h"
#include "windows/http/HttpClient.h"
#include "windows/http/HttpDownloader.h"
#include "windows/desktop/DesktopClocks.h"
#include "windows/map/WorldMap.h"
#include "windows/news/NewsReader.h"
#include "app/startup/BuildInfo.h"
#include "app/startup/CommandLine.h"
#include "app/startup/ExitEventWatcher.h"
#include "app/startup/ObjectAccess.h"
#include "app/main/ClockDialogs.h"
#include "app/dialogs/CalendarPopup.h"
#include "app/dialogs/TimeWindow.h"
#include "app/main/MainProgram.h"
#include "app/main/MainWindow.h"
#include "app/clocks/TimerClocks.h"
#include "windows/TimerPanel.h"
#include "windows/allclocks/AllClocksDialog.h"
#include "app/log/ReminderLog.h"
#include "app/menu/AboutDialog.h"
#include "app/menu/MainMenu.h"
#include "app/settings/SettingsExport.h"
#include "app/ui/DialogHelpers.h"
#include "app/zones/SystemZone.h"
#include "app/zones/ZoneDatabase.h"

namespace {

const WCHAR kExitEventName[] = L"Local\\Tempolan_Exit_Event";
const DWORD kProcessAccessForEveryone = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
const DWORD kEventAccessForEveryone = EVENT_ALL_ACCESS;
const DWORD kCloseWaitStepMs = 500;
const DWORD kCloseWaitLimitMs = 5000;
const UINT kDataFilesMessage = 263;
const UINT kErrorCaption = 141;
const DWORD kCommonControlClasses =
    ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES;

// Closes a running instance and waits for it, at most until 5 s after our start.
void CloseRunningInstance(HANDLE exitEvent, DWORD startTick)
{
    // a hung instance must not hold us past the limit
    HWND running = FindMainWindow();
    DWORD spent = GetTickCount() - startTick;
    if (running && spent < kCloseWaitLimitMs)
        SendMessageTimeoutW(running, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseWaitLimitMs - spent, nullptr);
    if (exitEvent)
        SetEvent(exitEvent);
    while (FindMainWindow() && GetTickCount() - startTick < kCloseWaitLimitMs)
        Sleep(kCloseWaitStepMs);
}

void ShowDataFilesMessage(const CLanguage& language)
{
    WCHAR text[512], caption[128];
    if (!language.GetString(kDataFilesMessage, text, 512))
        lstrcpyW(text, L"Cannot load the data files!");
    if (!language.GetString(kErrorCaption, caption, 128))
        lstrcpyW(caption, L"Tempolan Error");
    MessageBoxW(nullptr, text, caption, MB_ICONHAND);
}

// Loads the visual-style functions again; the language library stays loaded.
class CStartupLanguage : public ILanguageReload {
public:
    CStartupLanguage(const WCHAR* folder, CVisualStyles& styles, CLanguage& language, CModule& library)
        : m_folder(folder), m_styles(styles), m_language(language), m_library(library)
    {
    }
    void Reload() override
    {
        WCHAR code[3];
        HMODULE library = m_library.Get();
        LoadLanguageAndTheme(m_folder, IsWindowsXpOrLater(), m_styles, m_language, &library, code);
        if (library != m_library.Get())
            m_library.Reset(library);
    }

private:
    const WCHAR* m_folder;
    CVisualStyles& m_styles;
    CLanguage& m_language;
    CModule& m_library;
};

// OLE on this thread, given back at the end of the scope.
class COleSession {
public:
    COleSession() : m_initialized(SUCCEEDED(OleInitialize(nullptr))) {}
    ~COleSession()
    {
        if (m_initialized)
            OleUninitialize();
    }
    COleSession(const COleSession&) = delete;
    COleSession& operator=(const COleSession&) = delete;

private:
    bool m_initialized;
};

// The common controls and our window classes; the classes, the main
// window's among them, are unregistered at the end of the scope.
class CWindowClasses {
public:
    explicit CWindowClasses(HINSTANCE instance) : m_instance(instance)
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), kCommonControlClasses};
        InitCommonControlsEx(&controls);
        RegisterWindowClasses(instance);
    }
    ~CWindowClasses()
    {
        UnregisterMainWindowClass(m_instance);
        UnregisterWindowClasses(m_instance);
    }
    CWindowClasses(const CWindowClasses&) = delete;
    CWindowClasses& operator=(const CWindowClasses&) = delete;

private:
    HINSTANCE m_instance;
};

// Other processes of the logon may query and read this one.
void OpenProcessToEveryone()
{
    DWORD error;
    SetObjectAccessForEveryone(GetCurrentProcess(), kProcessAccessForEveryone, &error);
}

// The event by which any process of the logon ends this instance; empty when
// it cannot be made (the instance then goes on without it).
CKernelHandle CreateExitEvent()
{
    CKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, kExitEventName));
    DWORD error;
    if (event)
        SetObjectAccessForEveryone(event.Get(), kEventAccessForEveryone, &error);
    return event;
}

// "/exit" and "/restart" close a running instance. False, with the exit code,
// when this instance ends here: after "/exit", or while another one runs.
bool MakeWayForThisInstance(const StartupSwitches& switches, HANDLE exitEvent, DWORD startTick, int* exitCode)
{
    if (switches.exit || switches.restart) {
        CloseRunningInstance(exitEvent, startTick);
        if (switches.exit) {
            *exitCode = kExitNormal;
            return false;
        }
    }
    if (FindMainWindow()) {
        *exitCode = kExitAlreadyRunning;
        return false;
    }
    if (exitEvent)
        ResetEvent(exitEvent);
    return true;
}

// The visual-style functions and the language library into `resources`;
// false after telling the user when there is no library.
bool LoadResourceLibrary(const WCHAR* folder, CVisualStyles& styles, CLanguage& language, CModule& resources)
{
    HMODULE library = nullptr;
    WCHAR code[3];
    bool loaded = LoadLanguageAndTheme(folder, IsWindowsXpOrLater(), styles, language, &library, code);
    resources.Reset(library);
    if (!loaded)
        MessageBoxW(nullptr, L"Cannot load resource DLL!", L"Tempolan Error", MB_ICONHAND);
    return loaded;
}

// Their results are not reported: the start goes on either way.
void ImportOrExportSettings(const StartupSwitches& switches, SettingsPaths* paths)
{
    if (switches.import)
        ImportSettings(paths, switches.importFile);
    if (switches.exportTo)
        ExportSettings(paths, switches.exportFile);
}

// The data files; false after telling the user when one of them is missing.
bool LoadDataFiles(const WCHAR* folder, const CLanguage& language, CZoneDatabase& zones, CCityList& cities)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    bool loaded = LoadZoneAndCityFiles(folder, zones, cities, now);
    if (!loaded)
        ShowDataFilesMessage(language);
    return loaded;
}

// The hidden main window, the exit watcher and the message loop; returns
// the exit code. The watcher is stopped and joined before `exitEvent` closes.
int RunMainWindow(HINSTANCE instance, CMainProgram& program, HANDLE exitEvent)
{
    if (!CreateMainWindow(instance, program))
        return kExitNormal;
    CExitEventWatcher watcher;
    watcher.Start(exitEvent, &FindMainWindow);
    program.BringDesktopClocksForward();
    // dialogs get their keys first; there is no translation of keystrokes
    int exitCode = RunDialogMessageLoop(false);
    return exitCode == 0 ? kExitNormal : exitCode;
}

}  // namespace

int RunTempolan(HINSTANCE instance, const char* commandLine)
{
    OpenProcessToEveryone();
    DWORD startTick = GetTickCount();
    BuildInfo build = ReadProgramBuild();

    StartupSwitches switches;
    ParseStartupSwitches(commandLine, &switches);
    // closed last, when nothing that waits on it is left
    CKernelHandle exitEvent = CreateExitEvent();
    int exitCode = kExitNormal;
    if (!MakeWayForThisInstance(switches, exitEvent.Get(), startTick, &exitCode))
        return exitCode;

    SettingsPaths paths;
    BuildProgramPaths(&paths);
    CLanguage language;
    language.SetAppName(L"tempolan");
    SetHookArguments(paths.folder, commandLine);

    CUxThemeApi theme;
    CVisualStyles styles(theme);
    CModule resources;
    if (!LoadResourceLibrary(paths.folder, styles, language, resources))
        return kExitNoResources;
    ImportOrExportSettings(switches, &paths);

    COleSession ole;
    CWindowClasses classes(instance);
    CSystemZone system;
    CZoneDatabase zones(system);
    CCityList cities(zones);
    if (!LoadDataFiles(paths.folder, language, zones, cities))
        return kExitNormal;

    CStartupLanguage reload(paths.folder, styles, language, resources);
    // the one skin cache of the process; emptied when the run ends
    CSkinManager skins(paths.skinsRoot, &styles);
    uint32_t shades[256];
    BuildShadeTable(shades);
    CBitmap timerButton;
    DesktopClockServices desktopServices = {};
    desktopServices.paths = &paths;
    desktopServices.skins = &skins;
    desktopServices.styles = &styles;
    desktopServices.context.language = &language;
    desktopServices.context.unitNames = &language.UnitNames();
    desktopServices.context.localZone = &zones.LocalZone();
    desktopServices.context.shadeTable = shades;
    desktopServices.context.timerButton = &timerButton;
    desktopServices.resources = &resources;
    desktopServices.program = instance;
    CDesktopClocks desktop(desktopServices);

    // the user's proxy settings, read again with every reload of the settings
    InitProxyConfig();
    WCHAR agent[64];
    FormatHttpUserAgent(build.fileVersion, true, agent, ARRAYSIZE(agent));
    CHttpFileDownloader http(agent, nullptr);
    CUserDataShell userData;
    CNewsReader news(userData, agent, nullptr);

    CShellProgramStarter starter;
    CSystemClipboard clipboard;
    CShellTrayIconApi trayApi;
    CSystemAlarmSound sound;
    CSystemAlarmPower power;
    CSystemAlarmShell alarmShell;
    CSystemAlarmMessageBox messageBoxes;
    CSystemAlarmTicks ticks;
    CAlarmCommandRunner runner(alarmShell);
    MainMenuServices menuServices = {};
    menuServices.language = &language;
    menuServices.program = instance;
    menuServices.programFolder = paths.folder;
    menuServices.cities = &cities;
    menuServices.starter = &starter;
    menuServices.clipboard = &clipboard;
    menuServices.tray = &trayApi;
    menuServices.runner = &runner;
    menuServices.messages = &messageBoxes;
    CMainMenu menu(menuServices);
    ReminderLogServices logServices = {};
    logServices.paths = &paths;
    logServices.language = &language;
    logServices.program = instance;
    logServices.firing = {&sound, &power, &alarmShell, &messageBoxes, &ticks, nullptr};
    logServices.cities = &cities;
    logServices.build = &build;
    CReminderLog log(logServices);
    CTimerClocks timers;
    CTimerPanel timerPanel(language, paths.folder);
    timers.SetPanel(&timerPanel);
    WorldMapServices mapServices = {};
    mapServices.paths = &paths;
    mapServices.strings = &language;
    mapServices.program = instance;
    mapServices.cities = &cities;
    mapServices.zones = &zones;
    mapServices.desktop = &desktop;
    mapServices.messages = &messageBoxes;
    mapServices.starter = &starter;
    CWorldMap map(mapServices);
    AboutServices aboutServices = {&language, &starter, HKEY_LOCAL_MACHINE};
    CAboutDialog about(aboutServices);
    CClockDialogs dialogs(about);
    CCalendarPopup calendar(language, paths);
    dialogs.SetCalendar(&calendar);
    CTimeTable timeTable(language, paths);
    dialogs.SetTimeTable(&timeTable);
    AllClocksServices allClocksServices = {&language, &resources, paths.skinsRoot, &styles, &zones,
                                           desktopServices.context};
    CAllClocksDialog allClocks(allClocksServices);
    dialogs.SetAllClocks(&allClocks);

    MainSeams seams = {};
    seams.menu = &menu;
    seams.log = &log;
    seams.timers = &timers;
    seams.starter = &starter;
    seams.language = &reload;
    seams.desktop = &desktop;
    seams.http = &http;
    seams.news = &news;
    seams.map = &map;
    seams.dialogs = &dialogs;
    CMainProgram program(paths, language, zones, cities, build, switches.noHook, switches.settingsSwitch, seams);
    desktop.SetHost(&program);
    allClocks.SetHost(&program);
    menu.SetHost(&program);
    log.SetAlarmState(&program.AlarmState());
    log.SetSettings(&program.Settings().Block());
    timers.SetHost(&program);
    http.SetSettings(&program.Settings().Block());
    news.SetSettings(&program.Settings().Block());
    map.SetSettings(&program.Settings().Block());
    CMainDialogHost dialogHost(program);
    calendar.SetHost(&dialogHost);
    timeTable.SetHost(&dialogHost);
    exitCode = RunMainWindow(instance, program, exitEvent.Get());
    desktop.Destroy();
    skins.ReleaseAll();
    FreeProxyConfig();
    return exitCode;
}
