#include "settings/frame/SettingsFrame.h"

#include <commctrl.h>

#include "app/startup/BuildInfo.h"
#include "app/ui/DialogHelpers.h"
#include "graphics/image/PixelOps.h"
#include "graphics/language/LanguageLoader.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "graphics/system/WindowsVersion.h"
#include "settings/SettingsResources.h"
#include "settings/SettingsStrings.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/frame/InstanceHandOver.h"
#include "settings/frame/MapTestRun.h"
#include "settings/tree/ClockList.h"
#include "windows/DataFiles.h"

namespace {

// The common control classes the pages use: list views, tree views, bars,
// tabs, up-downs, progress bars, hot keys, animations, dates and combo box ex.
const DWORD kCommonControlClasses = 0x5FF;
const WCHAR kLanguageBaseName[] = L"tempolan";
// The chooser's answer when a second start ends it.
const INT_PTR kChooserClosedByCommand = 16;

MainSettingsSeams SeamsFor(const SettingsPaths& paths, IActiveLanguage& language, IAutostartEntry& autostart,
                           ITimeServiceControl& service, const ILocalZoneNames& zoneNames, CZoneDatabase& zones,
                           const ILanguageStrings& strings, ILocalZoneSource& localZone)
{
    MainSettingsSeams seams = {};
    seams.paths = &paths;
    seams.language = &language;
    seams.autostart = &autostart;
    seams.service = &service;
    seams.zoneNames = &zoneNames;
    seams.clocks.paths = &paths;
    seams.clocks.zones = &zones;
    seams.clocks.language = &strings;
    seams.clocks.localZone = &localZone;
    return seams;
}

SYSTEMTIME UtcNow()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return now;
}

BOOL CALLBACK RelocalizeDialogProc(HWND window, LPARAM)
{
    if (IsDialogWindow(window))
        SendMessageW(window, UM_RELOCALIZE, 0, 0);
    return TRUE;
}

}  // namespace

CSettingsProgram::CSettingsProgram(HINSTANCE instance)
    : m_instance(instance), m_command(), m_paths(), m_version(), m_caption(), m_noPreview(), m_styles(m_themeApi),
      m_activation(m_language), m_zones(m_system), m_cities(m_zones), m_zoneNames(m_zones), m_shades(),
      m_readContext(), m_zoneWatch(m_utc, m_zones), m_tree(m_language), m_link(kMainWindowClass), m_dialogServices(),
      m_frame(nullptr), m_dialog(nullptr), m_chooser(nullptr), m_dialogFailed(false), m_closingDialog(false)
{
}

CSettingsProgram::~CSettingsProgram()
{
    // the clocks hold skins of the cache, the tree holds records of the settings
    m_tree.ClearTree();
    m_preview.reset();
    if (m_skins)
        m_skins->ReleaseAll();
    UnloadMapLibrary(m_map);
}

int CSettingsProgram::Run(const WCHAR* commandLine)
{
    m_language.SetAppName(kLanguageBaseName);
    ParseSettingsCommandLine(commandLine, &m_command);
    if (HandOverToRunningInstance(m_command))
        return kSettingsExitNormal;

    BuildProgramPaths(&m_paths);
    m_version = ReadProgramBuild().fileVersion;
    if (m_command.inst) {
        RunMapTestRun(m_paths.folder, m_paths.userIni);
        return kSettingsExitNormal;
    }

    HMODULE library = nullptr;
    WCHAR code[3];
    bool loaded = LoadLanguageAndTheme(m_paths.folder, IsWindowsXpOrLater(), m_styles, m_language, &library, code);
    m_resources.Reset(library);
    if (!loaded)
        return kSettingsExitNormal;
    if (!RegisterClasses())
        return kSettingsExitNoClass;
    LoadTexts();
    LoadDataAndSettings();

    m_frame = CreateWindowExW(0, kSettingsWindowClass, m_caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, m_instance, this);
    if (!m_frame)
        return m_dialogFailed ? kSettingsExitNormal : kSettingsExitNoFrame;
    return RunMessageLoop();
}

bool CSettingsProgram::RegisterClasses()
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), kCommonControlClasses};
    InitCommonControlsEx(&controls);
    HICON icon = LoadIconW(m_instance, MAKEINTRESOURCEW(IDI_SETTINGS));
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);

    WNDCLASSW frame = {};
    frame.style = CS_HREDRAW | CS_VREDRAW;
    frame.lpfnWndProc = SettingsFrameWndProc;
    frame.hInstance = m_instance;
    frame.hIcon = icon;
    frame.hCursor = arrow;
    frame.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    frame.lpszMenuName = MAKEINTRESOURCEW(IDM_SETTINGS_FRAME);
    frame.lpszClassName = kSettingsWindowClass;
    if (!RegisterClassW(&frame))
        return false;

    // the location chooser's host keeps its state in the extra bytes; its
    // procedure comes with the chooser
    WNDCLASSW chooser = {};
    chooser.style = CS_HREDRAW | CS_VREDRAW;
    chooser.lpfnWndProc = DefWindowProcW;
    chooser.cbWndExtra = 16;
    chooser.hInstance = m_instance;
    chooser.hIcon = icon;
    chooser.hCursor = arrow;
    chooser.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    chooser.lpszClassName = kLocationChooserClass;
    return RegisterClassW(&chooser) != 0;
}

void CSettingsProgram::LoadTexts()
{
    if (m_language.GetString(kStrSettingsCaption, m_caption, kSettingsTextChars) <= 0)
        m_caption[0] = 0;
    if (m_language.GetString(kStrNoPreview, m_noPreview, kSettingsTextChars) <= 0)
        m_noPreview[0] = 0;
}

void CSettingsProgram::LoadDataAndSettings()
{
    // missing data files leave the lists empty; the pages cope with that
    LoadZoneAndCityFiles(m_paths.folder, m_zones, m_cities, UtcNow());

    m_skins.reset(new CSkinManager(m_paths.skinsRoot, &m_styles, false));
    MainSettingsSeams seams =
        SeamsFor(m_paths, m_activation, m_autostart, m_service, m_zoneNames, m_zones, m_language, m_localZone);
    m_readContext = seams.clocks;
    m_settings.reset(new CMainSettings(seams));
    m_settings->LoadAllSettings(UtcNow());

    m_preview.reset(new CPreviewClock(*m_skins, m_settings->Block()));
    WCHAR skin[FIELD_WIDTH(m_settings->Block().skin) + 1];
    CopyFieldText(skin, FIELD_WIDTH(skin), m_settings->Block().skin, FIELD_WIDTH(m_settings->Block().skin));
    m_preview->SetSkinName(skin);
    BuildShadeTable(m_shades);
    m_preview->CreatePreviewClock(PreviewContext());
}

ClockContext CSettingsProgram::PreviewContext()
{
    ClockContext context = {};
    context.language = &m_language;
    context.unitNames = &m_language.UnitNames();
    context.localZone = &m_zones.LocalZone();
    context.shadeTable = m_shades;
    context.timerButton = &m_timerButton;
    context.resources = m_resources.Get();
    return context;
}

int CSettingsProgram::RunMessageLoop()
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1)
            continue;
        HWND active = GetActiveWindow();
        if (IsDialogWindow(active) && IsDialogMessageW(active, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return kSettingsExitNormal;
}

bool CSettingsProgram::OpenSettingsDialog()
{
    if (m_dialog && IsWindow(m_dialog))
        return true;
    m_dialog = nullptr;
    if (!m_resources || !m_settings)
        return false;
    m_dialogServices.language = &m_language;
    m_dialogServices.program = m_instance;
    m_dialogServices.tree = &m_tree;
    m_dialogServices.settings = m_settings.get();
    m_dialogServices.paths = &m_paths;
    m_dialogServices.link = &m_link;
    m_dialogServices.beep = &m_beep;
    m_dialogServices.frame = m_frame;
    m_dialogServices.startCommand = m_command;
    m_dialog = CreateSettingsDialog(m_frame, m_dialogServices);
    if (!m_dialog)
        return false;
    ShowWindow(m_dialog, SW_SHOWNORMAL);
    m_readContext.nowUtc = UtcNow();
    m_tree.SetTemplateContext(&m_readContext);
    LoadSettingsTree(m_tree, m_readContext);
    if (HWND view = m_tree.Window())
        TreeView_SelectItem(view, TreeView_GetRoot(view));
    return true;
}

LRESULT CALLBACK CSettingsProgram::SettingsFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = (CSettingsProgram*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        self->m_frame = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)self);
    }
    auto* self = (CSettingsProgram*)GetWindowLongPtrW(window, GWLP_USERDATA);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CSettingsProgram::ToDialog(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_dialog && IsWindow(m_dialog) ? SendMessageW(m_dialog, message, wParam, lParam) : 0;
}

LRESULT CSettingsProgram::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (!OnCreate())
            return -1;
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case UM_SETTINGSCOMMAND:
        if (wParam != kSettingsNoCommand)
            ToDialog(UM_RUNSETTINGSCOMMAND, wParam, lParam);
        return 0;
    case UM_SETCLOCKONDESKTOP:
    case UM_SYNCSTATUS:
    case UM_MAPOVERLAYCHANGED:
        return ToDialog(message, wParam, lParam);
    case UM_CLOSEMODAL:
        if (m_chooser && IsWindow(m_chooser))
            EndDialog(m_chooser, kChooserClosedByCommand);
        return 0;
    case UM_RELOCALIZE:
        OnRelocalize();
        return 0;
    case WM_WININICHANGE:
        OnSettingChange(wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_SETTINGS_EXIT)
            DestroyWindow(m_frame);
        else if (LOWORD(wParam) == IDM_SETTINGS_OPEN)
            OpenSettingsDialog();
        return 0;
    case WM_TIMER:
        if (wParam == kZoneWatchTimer && m_settings)
            m_zoneWatch.Check(m_settings->Clocks(), m_settings->ClockCount());
        return 0;
    }
    return DefWindowProcW(m_frame, message, wParam, lParam);
}

bool CSettingsProgram::OnCreate()
{
    if (!OpenSettingsDialog()) {
        // without its dialog the program has nothing to show: it ends quietly
        m_dialogFailed = true;
        return false;
    }
    SetTimer(m_frame, kZoneWatchTimer, kZoneWatchMs, nullptr);
    return true;
}

void CSettingsProgram::OnClose()
{
    // the dialog's own closing puts back a loaded profile's backup; it then
    // destroys itself and closes us again
    if (!m_closingDialog && m_dialog && IsWindow(m_dialog)) {
        m_closingDialog = true;
        SendMessageW(m_dialog, WM_CLOSE, 0, 0);
        m_closingDialog = false;
        return;
    }
    if (m_frame)
        DestroyWindow(m_frame);
}

void CSettingsProgram::OnDestroy()
{
    KillTimer(m_frame, kZoneWatchTimer);
    if (m_dialog && IsWindow(m_dialog))
        DestroyWindow(m_dialog);
    m_dialog = nullptr;
    m_frame = nullptr;
    m_tree.ClearTree();
    PostQuitMessage(0);
}

void CSettingsProgram::OnRelocalize()
{
    LoadTexts();
    SetWindowTextW(m_frame, m_caption);
    if (!m_dialog || !IsWindow(m_dialog))
        return;
    SendMessageW(m_dialog, UM_RELOCALIZE, 0, 0);
    // a dialog's translation leaves its nested pages to themselves
    EnumChildWindows(m_dialog, RelocalizeDialogProc, 0);
    InvalidateRect(m_dialog, nullptr, TRUE);
}

void CSettingsProgram::OnSettingChange(WPARAM wParam, LPARAM lParam)
{
    // the visual style may have changed; the language library stays
    HMODULE library = m_resources.Get();
    WCHAR code[3];
    LoadLanguageAndTheme(m_paths.folder, IsWindowsXpOrLater(), m_styles, m_language, &library, code, false);
    if (m_preview)
        m_preview->MarkWallpaperStale();
    ToDialog(WM_WININICHANGE, wParam, lParam);
}

int SettingsWinMain(HINSTANCE instance, const WCHAR* commandLine)
{
    CSettingsProgram program(instance);
    return program.Run(commandLine);
}
