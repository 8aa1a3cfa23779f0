#include "app/startup/Startup.h"

#include <commctrl.h>
#include <ole2.h>

#include "graphics/language/Language.h"
#include "graphics/language/LanguageLoader.h"
#include "graphics/system/Paths.h"
#include "graphics/window/Theme.h"
#include "graphics/window/Window.h"
#include "taskbar/hook/HookExports.h"
#include "windows/CityList.h"
#include "app/startup/CommandLine.h"
#include "app/startup/ObjectAccess.h"
#include "app/main/MainProgram.h"
#include "app/main/MainWindow.h"
#include "app/settings/SettingsExport.h"
#include "app/zones/SystemZone.h"
#include "app/zones/ZoneDatabase.h"

namespace {

const WCHAR kExitEventName[] = L"Local\\Tempolan_Exit_Event";
const DWORD kProcessAccessForEveryone = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x410
const DWORD kEventAccessForEveryone = 0x1F0003;                                        // EVENT_ALL_ACCESS
const DWORD kCloseWaitStepMs = 500;
const DWORD kCloseWaitLimitMs = 5000;
const UINT kDataFilesMessage = 263;
const UINT kErrorCaption = 141;
// list view, bar, tab, date and extended combo box classes
const DWORD kCommonControlClasses = 0x30D;

DWORD WINAPI ExitEventWatcher(void* parameter)
{
    HANDLE event = (HANDLE)parameter;
    if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) {
        HWND main = FindMainWindow();
        if (main)
            PostMessageW(main, WM_CLOSE, 0, 0);
    }
    return 0;
}

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

bool IsWindowsXpOrLater()
{
    DWORD version = GetVersion();
    DWORD major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
    return major > 5 || (major == 5 && minor >= 1);
}

int RunMessageLoop()
{
    MSG msg;
    BOOL got;
    // -1 is one message that could not be fetched (Wine fails an oversized
    // WM_COPYDATA this way): the program goes on; only WM_QUIT ends the loop
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            continue;
        // dialogs get their keys first; there is no translation of keystrokes
        HWND active = GetActiveWindow();
        WCHAR cls[8] = {};
        if (active && GetClassNameW(active, cls, 8) && lstrcmpW(cls, L"#32770") == 0 &&
            IsDialogMessageW(active, &msg))
            continue;
        DispatchMessageW(&msg);
    }
    return (int)msg.wParam;
}

// Loads the visual-style functions again; the language library stays loaded.
class CStartupLanguage : public ILanguageReload {
public:
    CStartupLanguage(const WCHAR* folder, CVisualStyles& styles, CLanguage& language, HMODULE* library)
        : m_folder(folder), m_styles(styles), m_language(language), m_library(library)
    {
    }
    void Reload() override
    {
        WCHAR code[3];
        LoadLanguageAndTheme(m_folder, IsWindowsXpOrLater(), m_styles, m_language, m_library, code);
    }

private:
    const WCHAR* m_folder;
    CVisualStyles& m_styles;
    CLanguage& m_language;
    HMODULE* m_library;
};

}  // namespace

int RunTempolan(HINSTANCE instance, const char* commandLine)
{
    DWORD error;
    SetObjectAccessForEveryone(GetCurrentProcess(), kProcessAccessForEveryone, &error);
    DWORD startTick = GetTickCount();

    StartupSwitches switches;
    ParseStartupSwitches(commandLine, &switches);

    HANDLE exitEvent = CreateEventW(nullptr, TRUE, FALSE, kExitEventName);
    if (exitEvent)
        SetObjectAccessForEveryone(exitEvent, kEventAccessForEveryone, &error);
    if (switches.exit || switches.restart) {
        CloseRunningInstance(exitEvent, startTick);
        if (switches.exit) {
            if (exitEvent)
                CloseHandle(exitEvent);
            return kExitNormal;
        }
    }
    if (FindMainWindow()) {
        if (exitEvent)
            CloseHandle(exitEvent);
        return kExitAlreadyRunning;
    }
    if (exitEvent)
        ResetEvent(exitEvent);

    WCHAR module[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    SettingsPaths paths;
    while (n > 0 && module[n - 1] != L'\\')
        --n;
    module[n] = 0;
    BuildIniPaths(module, &paths);
    SetHookArguments(paths.folder, commandLine);

    CLanguage language;
    language.SetAppName(L"tempolan");
    CUxThemeApi theme;
    CVisualStyles styles(theme);
    HMODULE resources = nullptr;
    WCHAR code[3];
    if (!LoadLanguageAndTheme(paths.folder, IsWindowsXpOrLater(), styles, language, &resources, code)) {
        MessageBoxW(nullptr, L"Cannot load resource DLL!", L"Tempolan Error", MB_ICONHAND);
        if (exitEvent)
            CloseHandle(exitEvent);
        return kExitNoResources;
    }

    if (switches.import)
        ImportSettings(&paths, switches.importFile);
    if (switches.exportTo)
        ExportSettings(&paths, switches.exportFile);

    bool ole = SUCCEEDED(OleInitialize(nullptr));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), kCommonControlClasses};
    InitCommonControlsEx(&controls);
    RegisterWindowClasses(instance);

    CSystemZone system;
    CZoneDatabase zones(system);
    CCityList cities(zones);
    WCHAR path[MAX_PATH + 32];
    wsprintfW(path, L"%stimezones.txt", paths.folder);
    bool loaded = zones.LoadTimeZonesFile(path);
    if (loaded) {
        wsprintfW(path, L"%stz_changes.txt", paths.folder);
        zones.LoadZoneChangesFile(path);  // missing: no dated changes
        SYSTEMTIME now;
        GetSystemTime(&now);
        zones.ApplyDueZoneChanges(now);
        wsprintfW(path, L"%scities.txt", paths.folder);
        loaded = cities.LoadCityList(path);
    }

    int exitCode = kExitNormal;
    if (!loaded) {
        ShowDataFilesMessage(language);
    } else {
        CStartupLanguage reload(paths.folder, styles, language, &resources);
        MainSeams seams = {};
        seams.language = &reload;
        CMainProgram program(paths, language, zones, cities, switches.noHook, switches.settingsSwitch, seams);
        if (CreateMainWindow(instance, program)) {
            HANDLE watcher = exitEvent ? CreateThread(nullptr, 0, ExitEventWatcher, exitEvent, 0, nullptr) : nullptr;
            program.BringDesktopClocksForward();
            exitCode = RunMessageLoop();
            if (watcher)
                CloseHandle(watcher);  // it ends with the process
        }
    }

    UnregisterMainWindowClass(instance);
    UnregisterWindowClasses(instance);
    cities.FreeCityList();
    zones.FreeZoneChanges();
    zones.FreeZoneTable();
    FreeLibrary(resources);
    if (ole)
        OleUninitialize();
    if (exitEvent)
        CloseHandle(exitEvent);
    return exitCode == 0 ? kExitNormal : exitCode;
}
