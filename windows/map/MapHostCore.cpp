#include "windows/map/MapHostCore.h"

#include <commctrl.h>

#include "app/settings/SettingsIni.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/records/CityRecord.h"
#include "graphics/records/SettingsBlock.h"
#include "windows/CityList.h"
#include "windows/map/WorldMapValues.h"

namespace {

const WCHAR kPlacementKey[] = L"MapWindowPos";
const WCHAR kMaximisedKey[] = L"MapWindowMax";
const WCHAR kMapSection[] = L"map";
const WCHAR kInitializedKey[] = L"initialized";

LONG Clamp(LONG value, LONG low, LONG high)
{
    return value < low ? low : value > high ? high : value;
}

// The pane keeps the section by address: it is the core's own copy.
CityListPaneServices WithSection(CityListPaneServices services, const std::wstring& section)
{
    services.section = section.c_str();
    return services;
}

}  // namespace

RECT KeepOnSomeMonitor(const RECT& place)
{
    if (MonitorFromRect(&place, MONITOR_DEFAULTTONULL))
        return place;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor))
        return place;
    const RECT& area = monitor.rcWork;
    LONG width = place.right - place.left, height = place.bottom - place.top;
    if (width > area.right - area.left)
        width = area.right - area.left;
    if (height > area.bottom - area.top)
        height = area.bottom - area.top;
    LONG left = Clamp(place.left, area.left, area.right - width);
    LONG top = Clamp(place.top, area.top, area.bottom - height);
    return RECT{left, top, left + width, top + height};
}

CMapHostCore::CMapHostCore(const CityListPaneServices& pane, SettingsBlock* settings)
    : m_services(pane), m_section(pane.section ? pane.section : L""), m_settings(settings),
      m_pane(WithSection(pane, m_section)), m_mapChild(nullptr), m_hand(LoadCursorW(nullptr, IDC_HAND)),
      m_passingWheel(false)
{
}

// The map child and the pane's controls go with the host window; the hand
// cursor is shared.
CMapHostCore::~CMapHostCore() = default;

CityRecord* CMapHostCore::CityAt(int index) const
{
    CCityList* cities = m_services.cities;
    return cities && index >= 0 && index < cities->Count() ? cities->Cities() + index : nullptr;
}

HWND CMapHostCore::CreateMapChild(HWND window, const MapLibraryTable& library)
{
    m_mapChild = nullptr;
    if (!library.createMapWindow)
        return nullptr;
    RECT client;
    GetClientRect(window, &client);
    // a failed OpenGL set-up leaves the city list alone; its status is not shown
    DWORD status = 0;
    m_mapChild = library.createMapWindow(window, 0, 0, MapChildWidth(client.right, kCityListPaneWidth), client.bottom,
                                         &status);
    return m_mapChild;
}

void CMapHostCore::FinishSetup(HWND window, SetLocalStringProc setLocalString)
{
    // the main menu's item follows whether a map could be shown
    if (m_settings) {
        if (m_mapChild)
            m_settings->options |= kOptMapInitialized;
        else
            m_settings->options &= ~kOptMapInitialized;
    }
    WritePrivateProfileStringW(kMapSection, kInitializedKey, m_mapChild ? L"1" : L"0", m_services.settingsFile);
    m_pane.Build(window, m_mapChild, setLocalString);
    ApplyPlacement(window);
    if (m_mapChild) {
        SetFocus(m_mapChild);
        bool clouds = m_settings && m_settings->cloudOverlay > 0;
        SendMessageW(m_mapChild, UM_MAPSETOVERLAY, 0, clouds ? 1 : 0);
    } else {
        SetFocus(m_pane.List());
    }
}

void CMapHostCore::ApplyPlacement(HWND window)
{
    const WCHAR* file = m_services.settingsFile;
    std::wstring text;
    MapWindowPos pos;
    if (!ReadProfileText(file, m_section.c_str(), kPlacementKey, kMissingKey, &text) || IsMissingKey(text.c_str()) ||
        !ParseMapWindowPos(text.c_str(), &pos) || pos.width <= 0 || pos.height <= 0) {
        ShowWindow(window, SW_SHOWMAXIMIZED);
        return;
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.showCmd = GetPrivateProfileIntW(m_section.c_str(), kMaximisedKey, 1, file) == 1 ? SW_SHOWMAXIMIZED
                                                                                               : SW_SHOWNORMAL;
    placement.rcNormalPosition = KeepOnSomeMonitor({pos.left, pos.top, pos.left + pos.width, pos.top + pos.height});
    SetWindowPlacement(window, &placement);
}

void CMapHostCore::SaveState(HWND window)
{
    m_pane.SaveColumns();
    const WCHAR* file = m_services.settingsFile;
    WritePrivateProfileStringW(m_section.c_str(), kMaximisedKey, IsZoomed(window) ? L"1" : L"0", file);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement))
        return;
    const RECT& r = placement.rcNormalPosition;
    WCHAR text[64];
    wsprintfW(text, L"%d %d %u %u", (int)r.left, (int)r.top, (unsigned)(r.right - r.left),
              (unsigned)(r.bottom - r.top));
    WritePrivateProfileStringW(m_section.c_str(), kPlacementKey, text, file);
}

bool CMapHostCore::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer)
{
    *answer = 0;
    switch (message) {
    case WM_SIZE:
        m_pane.Layout();
        return true;
    case WM_PAINT:
        Paint(window);
        return true;
    case WM_SETCURSOR:
        *answer = TRUE;
        return SetLinkCursor(window);
    case WM_LBUTTONDOWN: {
        POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        int link = m_pane.LinkAt(at);
        if (link >= 0)
            m_pane.OpenLink(link);
        return true;
    }
    case WM_MOUSEWHEEL:
        *answer = TRUE;
        return PassWheel(wParam, lParam);
    case WM_NOTIFY:
        OnNotify((const NMHDR*)lParam);
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdPaneShowOnMap) {
            ShowCityOnMap();
            return true;
        }
        return m_pane.OnCommand(LOWORD(wParam), HIWORD(wParam));
    default:
        break;
    }
    if (message == UM_MAPOVERLAYCHANGED) {
        if (m_mapChild)
            SendMessageW(m_mapChild, UM_MAPSETOVERLAY, wParam, lParam);
        return true;
    }
    if (message == UM_MAPSELECTCITY) {
        // the record the map or the host picked; 0 carries none
        if (lParam)
            m_pane.ShowPickedCity((const CityRecord*)lParam);
        return true;
    }
    return false;
}

void CMapHostCore::Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return;
    FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    m_pane.PaintLinks(dc);
    EndPaint(window, &paint);
}

bool CMapHostCore::SetLinkCursor(HWND window)
{
    POINT at;
    if (!GetCursorPos(&at) || !ScreenToClient(window, &at) || m_pane.LinkAt(at) < 0)
        return false;
    SetCursor(m_hand);
    return true;
}

bool CMapHostCore::PassWheel(WPARAM wParam, LPARAM lParam)
{
    // a child's default handling hands the wheel on to its parent: that one
    // is not sent back down
    if (!m_mapChild || m_passingWheel)
        return false;
    // the wheel's position comes in screen coordinates
    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    ScreenToClient(m_mapChild, &at);
    m_passingWheel = true;
    LRESULT answer = SendMessageW(m_mapChild, WM_MOUSEWHEEL, wParam, MAKELPARAM(at.x, at.y));
    m_passingWheel = false;
    return answer != 0;
}

void CMapHostCore::OnNotify(const NMHDR* header)
{
    if (!header || header->idFrom != (UINT_PTR)kIdPaneList)
        return;
    if (header->code == NM_DBLCLK) {
        ShowCityOnMap();
    } else if (header->code == NM_CLICK && m_mapChild && m_pane.CityMode()) {
        // the map shows the photos only of a record of its own array
        int index = m_pane.CityIndex(m_pane.SelectedCity());
        if (CityRecord* record = CityAt(index))
            PostMessageW(m_mapChild, UM_MAPSHOWCITY, (WPARAM)index, (LPARAM)record);
    }
}

void CMapHostCore::ShowCityOnMap()
{
    if (!m_mapChild || !m_pane.CityMode())
        return;
    int index = m_pane.CityIndex(m_pane.SelectedCity());
    if (CityRecord* record = CityAt(index)) {
        SendMessageW(m_mapChild, UM_MAPSELECTCITY, (WPARAM)index, (LPARAM)record);
        SetFocus(m_mapChild);
    }
}
