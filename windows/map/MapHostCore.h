// What the main program's world map window and the settings program's
// location chooser share: the map child beside the city list pane, the
// relays between the two, the painted links and the saved placement. The
// host's procedure passes its messages here. GUI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "windows/map/CityListPane.h"
#include "windows/map/MapLibraryLoader.h"

struct CityRecord;
struct SettingsBlock;

// A saved normal place that lies on no monitor, moved onto the work area of
// the nearest one and cut to its size; any other place unchanged.
RECT KeepOnSomeMonitor(const RECT& place);

class CMapHostCore {
public:
    // `pane.settingsFile` and `pane.section` (copied) also keep the map's
    // keys; `settings` (may be null) has the map-available bit, the clouds
    // and the photo switch. Both must outlive the core.
    CMapHostCore(const CityListPaneServices& pane, SettingsBlock* settings);
    ~CMapHostCore();
    CMapHostCore(const CMapHostCore&) = delete;
    CMapHostCore& operator=(const CMapHostCore&) = delete;

    // The map child at the left of `window`'s client area when `library` is
    // bound; null without it or when the library cannot set up OpenGL.
    HWND CreateMapChild(HWND window, const MapLibraryTable& library);
    // The rest of the set-up, in order: the map-available bit and section
    // "map"'s "initialized", the pane, the saved placement (maximised without
    // one), then the focus and the cloud overlay for the map child.
    void FinishSetup(HWND window, SetLocalStringProc setLocalString);
    // The messages both hosts treat alike. True when taken; `*answer` is
    // then the message's result.
    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer);
    // The pane's selected city flown to on the map, which takes the focus.
    void ShowCityOnMap();
    // At the window's destruction: the column widths and the placement.
    void SaveState(HWND window);

    HWND MapChild() const { return m_mapChild; }
    CCityListPane& Pane() { return m_pane; }
    // The record of city `index` in the array the library was given; null
    // outside it.
    CityRecord* CityAt(int index) const;

private:
    void ApplyPlacement(HWND window);
    void Paint(HWND window);
    bool SetLinkCursor(HWND window);
    bool PassWheel(WPARAM wParam, LPARAM lParam);
    void OnNotify(const NMHDR* header);

    CityListPaneServices m_services;
    std::wstring m_section;
    SettingsBlock* m_settings;
    CCityListPane m_pane;
    HWND m_mapChild;
    HCURSOR m_hand;
    bool m_passingWheel;
};
