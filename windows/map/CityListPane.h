// The right-hand pane of the world map window: the list of cities (filtered
// by country) or of zones, the search and filter boxes, the links and the
// buttons. It lives in its host's dialog, whose procedure passes it the
// pane's commands; GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "windows/map/MapLibraryLoader.h"

struct CityRecord;
struct TimeZoneRecord;
class CCityList;
class CZoneDatabase;
class ILanguageStrings;
class IProgramStarter;

// The pane's share of the client area, at the right.
const int kCityListPaneWidth = 320;

// Control ids of the pane; both mode radio buttons carry kIdPaneMode.
const int kIdPaneList = 201;
const int kIdPaneSearch = 202;
const int kIdPaneFilter = 203;
const int kIdPaneShowOnMap = 204;
const int kIdPaneMode = 206;

struct CityListPaneServices {
    const ILanguageStrings* strings;  // the control texts, titles and links
    CCityList* cities;                 // kept in place while the pane lives
    const CZoneDatabase* zones;
    const WCHAR* settingsFile;         // "citylistcolumns" is read and written here
    const WCHAR* section;              // the user's ":main" section
    bool photosOn;                     // false: only the city list page's link
    IProgramStarter* starter;          // opens the links' addresses
};

class CCityListPane {
public:
    explicit CCityListPane(const CityListPaneServices& services);
    ~CCityListPane();
    CCityListPane(const CCityListPane&) = delete;
    CCityListPane& operator=(const CCityListPane&) = delete;

    // Creates the controls in `window` (the host dialog), hands the map
    // library its two strings when `setLocalString` is not null, inserts the
    // columns with the saved widths, fills the city list and lays the window
    // out. `mapChild` may be null (no map library).
    void Build(HWND window, HWND mapChild, SetLocalStringProc setLocalString);
    // The map child at the left (client width - 320, at least 1, full height)
    // and the pane's controls and links at the right.
    void Layout();
    // Commands of the search box, the filter box and the mode radios; true
    // when the command was one of them.
    bool OnCommand(WORD id, WORD code);
    // The city the map picked: city mode again, the filter cleared when it
    // hides the city, its row selected and centred.
    void ShowPickedCity(const CityRecord* record);

    bool CityMode() const;
    // City mode: the selected row's city; null in zone mode or with no row.
    CityRecord* SelectedCity() const;
    // Zone mode: the selected row's zone; null in city mode or with no row.
    const TimeZoneRecord* SelectedZone() const;
    // Index of the city in the city list; -1 for null.
    int CityIndex(const CityRecord* city) const;

    // The links in blue with their underlines (WM_PAINT, after the host
    // filled the background).
    void PaintLinks(HDC dc) const;
    // The link under a client point (0 for the first shown); -1 when none.
    int LinkAt(POINT client) const;
    // Opens link `link`'s address (link 1 extended by the selected city).
    void OpenLink(int link);

    // "citylistcolumns": widths above 0 replace the remembered ones.
    void SaveColumns();
    HWND List() const;

    // The shown cities again: those whose country begins with `filter` (any
    // case; all for null or ""), in city-list order.
    void BuildCityView(const WCHAR* filter);
    // The list's rows from the shown cities, or from the zone table's first
    // kZoneListMaxRows zones in their order; each row keeps its record.
    void FillCityList();
    void FillZoneList();
    // Zone mode: the first row whose text begins with `text` (128 characters
    // at most compared); city mode: the first shown city whose name does (80
    // at most). Any case; -1 for null or none.
    int FindCityByPrefix(const WCHAR* text) const;
    // The city's row among the shown cities; -1 when it is not shown.
    int FindCityIndex(const CityRecord* record) const;
    // The row (from 0) alone selected and focused, in the middle of the list.
    void SelectCityRow(int row);
    // Opens `address`; link 1's gets the selected city's page when the map
    // child exists and a city is selected.
    void OpenCityPage(const WCHAR* address);
    int LinkCount() const { return m_linkCount; }
    RECT LinkRect(int link) const { return m_links[link].rect; }
    const int* ColumnWidths() const { return m_widths; }

private:
    struct PaneLink {
        WCHAR text[100];
        RECT rect;
        const WCHAR* address;
    };

    // The record the selected row keeps; null with no row.
    const void* SelectedRecord() const;
    HWND AddControl(const WCHAR* className, const WCHAR* text, DWORD style, int id);
    void LoadCityListColumns();
    void TitleColumns(bool zoneMode);
    void SetZoneMode(bool zoneMode);
    void ApplySearch();
    void ReadText(HWND edit, WCHAR* text, int chars) const;
    int TextHeight() const;
    int TextWidth(HWND control) const;

    CityListPaneServices m_services;
    HWND m_window;
    HWND m_mapChild;
    HFONT m_font;  // the stock GUI font, never deleted
    HWND m_searchLabel, m_search, m_filterLabel, m_filter;
    HWND m_cityMode, m_zoneMode;
    HWND m_list, m_showOnMap, m_ok, m_cancel;
    bool m_inZoneMode;
    bool m_clearingFilter;
    std::vector<CityRecord*> m_shown;
    int m_widths[3];
    PaneLink m_links[2];
    int m_linkCount;
    WCHAR m_titles[4][100];  // strings 161, 162, 163, 164
};
