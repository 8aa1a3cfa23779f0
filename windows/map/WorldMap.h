// The main program's world map window: the map library's OpenGL child at the
// left, the city list pane at the right. The library is loaded while the
// window is open and the desktop clocks are hidden meanwhile. GUI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main/MainSeams.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/records/SettingsPaths.h"
#include "windows/map/MapLibraryLoader.h"

class CCityList;
class CMapHostCore;
class CZoneDatabase;
class IAlarmMessageBox;
class ILanguageStrings;

// The window's title: string 174, at most 100 characters.
const UINT kMapTitleString = 174;
const int kMapTitleChars = 100;
// The dialog template takes at most this many characters of the title.
const int kMapTemplateTitleChars = 97;

// Every pointer must outlive the CWorldMap.
struct WorldMapServices {
    const SettingsPaths* paths;       // program folder, settings file, user prefix
    const ILanguageStrings* strings;  // the title and the pane's texts
    HINSTANCE program;                // the program's icon
    CCityList* cities;                // reloaded when a new window opens
    const CZoneDatabase* zones;
    IDesktopClocks* desktop;          // hidden while the map is open
    IAlarmMessageBox* messages;       // the map library's failures
    IProgramStarter* starter;         // the pane's links
};

// The box for a failed map library step: nothing for 0, else caption "World
// Map Error" with the code's text and, for the codes with a Win32 cause, the
// system's message for `lastSysError` (may be null: not bound).
void ShowMapError(DWORD code, GetLastSysErrorProc lastSysError, IAlarmMessageBox& messages);

// The in-memory template of the map dialog: no controls, `title` cut to
// kMapTemplateTitleChars. DWORD-aligned as the vector's storage is.
std::vector<WORD> BuildMapDialogTemplate(const WCHAR* title);

class CWorldMap : public IWorldMap {
public:
    explicit CWorldMap(const WorldMapServices& services);
    ~CWorldMap() override;
    CWorldMap(const CWorldMap&) = delete;
    CWorldMap& operator=(const CWorldMap&) = delete;

    // The settings block: the map-available bit, the photo switch and the
    // cloud overlay. Before the first open.
    void SetSettings(SettingsBlock* settings) { m_settings = settings; }

    // IWorldMap: the window, opened or raised for the current clock, and
    // closed with the library unloaded.
    HWND Window() override { return m_window; }
    void Open(const ClockRecord* clock) override;
    void Close() override;

    // Opens the window or brings it to the front, then shows the city that
    // `location` names (may be null). False when the window could not be
    // made; everything is undone then.
    bool ShowWorldMap(const WCHAR* location);
    HWND MapChild() const;
    // Outstanding opens (0 or 1): the library is loaded while above 0.
    int OpenCount() const { return m_openCount; }

private:
    void OpenWorldMap();
    void CloseWorldMap();
    bool CreateWorldMapWindow(const WCHAR* title, HICON icon);

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND window);
    void OnDestroy(HWND window);
    bool OnCommand(HWND window, WORD id);
    bool PhotosOn() const;

    WorldMapServices m_services;
    SettingsBlock* m_settings;
    std::wstring m_section;  // the user's ":main"
    MapLibraryTable m_library;
    std::unique_ptr<CMapHostCore> m_core;
    bool m_exists;  // the map object: from the open to the close
    int m_openCount;
    HWND m_window;
    HICON m_icon;  // shared: not destroyed
};
