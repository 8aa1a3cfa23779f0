#include "settings/frame/SettingsProgram.h"

#include <commctrl.h>

#include "app/startup/BuildInfo.h"
#include "app/ui/DialogHelpers.h"
#include "graphics/image/PixelOps.h"
#include "graphics/language/LanguageLoader.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "graphics/system/WindowsVersion.h"
#include "settings/SettingsStrings.h"
#include "settings/frame/InstanceHandOver.h"
#include "settings/frame/MapTestRun.h"
#include "settings/tree/ClockList.h"
#include "windows/DataFiles.h"

namespace {

// The common control classes the pages use: list views, tree views, bars,
// tabs, up-downs, progress bars, hot keys, animations, dates and combo box ex.
const DWORD kCommonControlClasses = 0x5FF;
const WCHAR kLanguageBaseName[] = L"tempolan";

SYSTEMTIME UtcNow()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return now;
}

}  // namespace

CSettingsProgram::CSettingsProgram(HINSTANCE instance)
    : m_instance(instance), m_command(), m_paths(), m_version(), m_caption(), m_noPreview(), m_styles(m_themeApi),
      m_activation(m_language), m_zones(m_system), m_cities(m_zones), m_zoneNames(m_zones), m_painter(&m_styles),
      m_shades(), m_readContext(), m_zoneWatch(m_utc, m_zones), m_tree(m_language), m_link(kMainWindowClass),
      m_dialogServices(), m_clockPages(), m_globalPageSeams(), m_frame(*this)
{
}

CSettingsProgram::~CSettingsProgram()
{
    // the clocks hold skins of the cache, the tree holds records of the settings
    m_tree.ClearTree();
    m_preview.reset();
    if (m_skins)
        m_skins->ReleaseAll();
    m_chooser.reset();
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
    INITCOMMONCONTROLSEX controls = {sizeof(controls), kCommonControlClasses};
    InitCommonControlsEx(&controls);
    if (!CSettingsFrame::RegisterClasses(m_instance))
        return kSettingsExitNoClass;
    LoadTexts();
    LoadDataAndSettings();

    if (!m_frame.Create(m_instance, m_caption))
        return m_frame.DialogFailed() ? kSettingsExitNormal : kSettingsExitNoFrame;
    RunDialogMessageLoop(true);
    return kSettingsExitNormal;
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
        MakeMainSettingsSeams(m_paths, m_activation, m_autostart, m_service, m_zoneNames, m_zones, m_language, m_localZone);
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

HWND CSettingsProgram::CreateSettingsDialogFor(HWND frame)
{
    if (!m_resources || !m_settings)
        return nullptr;
    m_dialogServices.language = &m_language;
    m_dialogServices.program = m_instance;
    m_dialogServices.tree = &m_tree;
    m_dialogServices.settings = m_settings.get();
    m_dialogServices.paths = &m_paths;
    m_dialogServices.link = &m_link;
    m_dialogServices.beep = &m_beep;
    m_dialogServices.cities = &m_cities;
    m_dialogServices.frame = frame;
    m_dialogServices.startCommand = m_command;
    if (!m_chooser) {
        LocationChooserServices chooser = {};
        chooser.paths = &m_paths;
        chooser.strings = &m_language;
        chooser.program = m_instance;
        chooser.cities = &m_cities;
        chooser.zones = &m_zones;
        chooser.settings = &m_settings->Block();
        chooser.mainProgram = &m_link;
        chooser.starter = &m_starter;
        chooser.library = &m_map;
        chooser.frame = &m_frame;
        m_chooser.reset(new CLocationChooser(chooser));
    }
    m_clockPages.chooser = m_chooser.get();
    m_clockPages.zones = &m_zones;
    m_clockPages.cities = &m_cities;
    m_clockPages.localZone = &m_localZone;
    m_clockPages.skins = m_skins.get();
    m_clockPages.preview = m_preview.get();
    m_clockPages.previewContext = PreviewContext();
    m_clockPages.painter = &m_painter;
    m_clockPages.fileBox = &m_fileBox;
    m_dialogServices.clockPages = &m_clockPages;
    m_globalPageSeams = {&m_service, nullptr, nullptr};
    m_dialogServices.globalPages = &m_globalPageSeams;
    HWND dialog = CreateSettingsDialog(frame, m_dialogServices);
    if (!dialog)
        return nullptr;
    ShowWindow(dialog, SW_SHOWNORMAL);
    m_readContext.nowUtc = UtcNow();
    m_tree.SetTemplateContext(&m_readContext);
    LoadSettingsTree(m_tree, m_readContext);
    if (HWND view = m_tree.Window())
        TreeView_SelectItem(view, TreeView_GetRoot(view));
    return dialog;
}

void CSettingsProgram::ReloadTexts(WCHAR* caption)
{
    LoadTexts();
    lstrcpynW(caption, m_caption, kSettingsTextChars);
}

void CSettingsProgram::ReloadVisualStyles()
{
    // the language library stays
    HMODULE library = m_resources.Get();
    WCHAR code[3];
    LoadLanguageAndTheme(m_paths.folder, IsWindowsXpOrLater(), m_styles, m_language, &library, code, false);
    if (m_preview)
        m_preview->MarkWallpaperStale();
}

void CSettingsProgram::CheckZoneChanges()
{
    if (m_settings)
        m_zoneWatch.Check(m_settings->Clocks(), m_settings->ClockCount());
}

void CSettingsProgram::FrameDestroyed()
{
    m_tree.ClearTree();
}

int SettingsWinMain(HINSTANCE instance, const WCHAR* commandLine)
{
    CSettingsProgram program(instance);
    return program.Run(commandLine);
}
