// The settings program's start-up and the program-wide state behind its
// frame: paths, language, data files, settings, skins, the preview and the
// map library. GUI thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "app/settings/Autostart.h"
#include "app/settings/MainSettings.h"
#include "app/settings/SettingsSeams.h"
#include "app/clocks/ClockSettings.h"
#include "app/menu/ServiceControl.h"
#include "app/zones/SystemZone.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/image/Bitmap.h"
#include "graphics/language/Language.h"
#include "graphics/records/SettingsPaths.h"
#include "graphics/system/Handles.h"
#include "graphics/time/LocalZone.h"
#include "graphics/window/Theme.h"
#include "app/main/MainSeams.h"
#include "settings/MainProgramLink.h"
#include "settings/chooser/LocationChooser.h"
#include "settings/clockpages/ClockPageServices.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/frame/Preview.h"
#include "settings/previews/PreviewPainter.h"
#include "settings/frame/SettingsFrame.h"
#include "settings/frame/SettingsCommand.h"
#include "settings/frame/ZoneChangeWatch.h"
#include "settings/globalpages/GlobalPages.h"
#include "settings/tree/NodeTree.h"
#include "windows/CityList.h"
#include "windows/SkinManager.h"
#include "windows/map/MapLibraryLoader.h"

// Exit codes of the settings program.
const int kSettingsExitNormal = 0;
const int kSettingsExitNoClass = 1;
const int kSettingsExitNoFrame = 2;

class CSettingsProgram : public ISettingsFrameHost {
public:
    explicit CSettingsProgram(HINSTANCE instance);
    ~CSettingsProgram();
    CSettingsProgram(const CSettingsProgram&) = delete;
    CSettingsProgram& operator=(const CSettingsProgram&) = delete;

    // The whole run for this command line (the program's path first);
    // returns the exit code.
    int Run(const WCHAR* commandLine);

    HWND CreateSettingsDialogFor(HWND frame) override;
    void ReloadTexts(WCHAR* caption) override;
    void ReloadVisualStyles() override;
    void CheckZoneChanges() override;
    void FrameDestroyed() override;

    CSettingsFrame& Frame() { return m_frame; }
    CPreviewClock* Preview() const { return m_preview.get(); }
    const VS_FIXEDFILEINFO& Version() const { return m_version; }
    const WCHAR* NoPreviewText() const { return m_noPreview; }

private:
    void LoadTexts();
    void LoadDataAndSettings();
    ClockContext PreviewContext();

    HINSTANCE m_instance;
    SettingsCommand m_command;
    SettingsPaths m_paths;
    VS_FIXEDFILEINFO m_version;
    WCHAR m_caption[kSettingsTextChars];
    WCHAR m_noPreview[kSettingsTextChars];

    CLanguage m_language;
    CUxThemeApi m_themeApi;
    CVisualStyles m_styles;
    CModule m_resources;
    CLanguageActivation m_activation;

    CSystemZone m_system;
    CZoneDatabase m_zones;
    CCityList m_cities;
    CSystemLocalZone m_localZone;
    CRegistryAutostart m_autostart;
    CServiceManagerControl m_service;
    CZoneDatabaseNames m_zoneNames;
    std::unique_ptr<CMainSettings> m_settings;
    std::unique_ptr<CSkinManager> m_skins;
    std::unique_ptr<CPreviewClock> m_preview;
    CPreviewPainter m_painter;
    uint32_t m_shades[256];
    CBitmap m_timerButton;
    // How the tree reads clocks and the templates of default.ini.
    ClockReadContext m_readContext;

    CSystemUtcClock m_utc;
    CZoneChangeWatch m_zoneWatch;
    MapLibraryTable m_map;

    CNodeTree m_tree;
    CMainProgramLink m_link;
    CSystemBeep m_beep;
    SettingsDialogServices m_dialogServices;
    CSystemFileOpenBox m_fileBox;
    CShellProgramStarter m_starter;
    std::unique_ptr<CLocationChooser> m_chooser;
    ClockPageServices m_clockPages;
    GlobalPageSeams m_globalPageSeams;

    CSettingsFrame m_frame;
};

// The settings program's entry: the exit code.
int SettingsWinMain(HINSTANCE instance, const WCHAR* commandLine);
