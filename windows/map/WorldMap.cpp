#include "windows/map/WorldMap.h"

#include <commctrl.h>
#include <string.h>

#include "app/alarms/AlarmSeams.h"
#include "app/settings/SettingsIni.h"
#include "app/startup/ProgramResources.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/records/CityRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Restrictions.h"
#include "windows/CityList.h"
#include "windows/map/CityListPane.h"
#include "windows/map/WorldMapValues.h"

namespace {

const WCHAR kMapErrorCaption[] = L"World Map Error";
const WCHAR kMapTitleFallback[] = L"Tempolan World Map";
const WCHAR kCityListFile[] = L"cities.txt";

const WCHAR kPlacementKey[] = L"MapWindowPos";
const WCHAR kMaximisedKey[] = L"MapWindowMax";
const WCHAR kMapSection[] = L"map";
const WCHAR kInitializedKey[] = L"initialized";

const DWORD kMapDialogStyle = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                              WS_MAXIMIZEBOX | DS_3DLOOK;
// dialog units
const short kMapDialogWidth = 400;
const short kMapDialogHeight = 300;

}  // namespace

void ShowMapError(DWORD code, GetLastSysErrorProc lastSysError, IAlarmMessageBox& messages)
{
    if (code == 0)
        return;
    WCHAR text[kMapErrorTextChars];
    MapErrorText(code, text, kMapErrorTextChars);
    int length = lstrlenW(text);
    if (MapErrorHasSystemCause(code) && lastSysError && length + 2 < kMapErrorTextChars) {
        DWORD error = lastSysError();
        lstrcpyW(text + length, L"\r\n");
        length += 2;
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, LANG_USER_DEFAULT,
                       text + length, kMapErrorTextChars - length, nullptr);
        text[kMapErrorTextChars - 1] = 0;
    }
    messages.Show(text, kMapErrorCaption, MB_OK | MB_ICONERROR);
}

std::vector<WORD> BuildMapDialogTemplate(const WCHAR* title)
{
    static_assert(sizeof(DLGTEMPLATE) % sizeof(WORD) == 0, "the template is a run of words");
    DLGTEMPLATE head = {};
    head.style = kMapDialogStyle;
    head.cx = kMapDialogWidth;
    head.cy = kMapDialogHeight;
    std::vector<WORD> words(sizeof(head) / sizeof(WORD));
    memcpy(words.data(), &head, sizeof(head));
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    for (int i = 0; title && title[i] && i < kMapTemplateTitleChars; ++i)
        words.push_back(title[i]);
    words.push_back(0);
    return words;
}

CWorldMap::CWorldMap(const WorldMapServices& services)
    : m_services(services), m_settings(nullptr), m_exists(false), m_openCount(0), m_window(nullptr),
      m_mapChild(nullptr), m_icon(nullptr), m_hand(nullptr), m_passingWheel(false)
{
}

CWorldMap::~CWorldMap()
{
    Close();
}

void CWorldMap::Open(const ClockRecord* clock)
{
    std::wstring location = clock ? FieldText(clock->location, FIELD_WIDTH(clock->location)) : std::wstring();
    ShowWorldMap(location.empty() ? nullptr : location.c_str());
}

void CWorldMap::Close()
{
    if (m_exists)
        CloseWorldMap();
}

bool CWorldMap::ShowWorldMap(const WCHAR* location)
{
    CCityList& cities = *m_services.cities;
    if (!m_exists) {
        // the library keeps the array's address from InitMap to FreeMap: the
        // list is read again only while no map holds it
        std::wstring file = std::wstring(m_services.paths->folder) + kCityListFile;
        cities.LoadCityList(file.c_str());
        m_exists = true;
        OpenWorldMap();
        // the error box's loop may have seen the map closed (the program's exit)
        if (!m_exists)
            return false;
        WCHAR title[kMapTitleChars + 1];
        if (!m_services.strings->GetString(kMapTitleString, title, ARRAYSIZE(title)))
            lstrcpyW(title, kMapTitleFallback);
        HICON icon = (HICON)LoadImageW(m_services.program, MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
        if (!CreateWorldMapWindow(title, icon)) {
            CloseWorldMap();
            return false;
        }
    } else if (m_window) {
        SetForegroundWindow(m_window);
    }
    int index = location ? cities.FindCityByName(location) : -1;
    if (index >= 0 && m_window) {
        LPARAM record = (LPARAM)CityAt(index);
        SendMessageW(m_window, UM_MAPSELECTCITY, (WPARAM)index, record);
        if (m_mapChild)
            SendMessageW(m_mapChild, UM_MAPSELECTCITY, (WPARAM)index, record);
    }
    return true;
}

void CWorldMap::OpenWorldMap()
{
    if (++m_openCount != 1)
        return;
    CCityList& cities = *m_services.cities;
    DWORD code = LoadMapLibrary(m_library, m_services.paths->folder, cities.Cities(), cities.Count());
    m_services.desktop->Hide();
    // the window opens all the same, with the city list alone when there is no map
    ShowMapError(code, m_library.getLastSysError, *m_services.messages);
}

void CWorldMap::CloseWorldMap()
{
    HWND window = m_window;
    m_window = nullptr;
    m_exists = false;
    // the dialog's WM_DESTROY still needs the pane; the map child goes with it
    if (window)
        DestroyWindow(window);
    m_mapChild = nullptr;
    m_pane.reset();
    if (m_openCount > 0 && --m_openCount == 0) {
        m_services.desktop->Show();
        UnloadMapLibrary(m_library);
    }
}

bool CWorldMap::PhotosOn() const
{
    if (ReadRestrictionFlags() & kNoCityPhotos)
        return false;
    return m_settings && (m_settings->options & kOptCityPhotos) != 0;
}

CityRecord* CWorldMap::CityAt(int index) const
{
    CCityList& cities = *m_services.cities;
    return index >= 0 && index < cities.Count() ? cities.Cities() + index : nullptr;
}

bool CWorldMap::CreateWorldMapWindow(const WCHAR* title, HICON icon)
{
    m_section = UserSection(m_services.paths->userPrefix, L":main");
    CityListPaneServices pane = {};
    pane.strings = m_services.strings;
    pane.cities = m_services.cities;
    pane.zones = m_services.zones;
    pane.settingsFile = m_services.paths->userIni;
    pane.section = m_section.c_str();
    pane.photosOn = PhotosOn();
    pane.starter = m_services.starter;
    m_pane.reset(new CCityListPane(pane));
    m_icon = icon;

    std::vector<WORD> dialog = BuildMapDialogTemplate(title);
    HWND window = CreateDialogIndirectParamW(m_services.program, (const DLGTEMPLATE*)dialog.data(), nullptr,
                                             DialogProc, (LPARAM)this);
    if (!window) {
        m_window = nullptr;
        return false;
    }
    // the pane's OK and Cancel stay greyed in the map window
    EnableWindow(GetDlgItem(window, IDOK), FALSE);
    EnableWindow(GetDlgItem(window, IDCANCEL), FALSE);
    SendMessageW(window, WM_SETICON, ICON_SMALL, (LPARAM)icon);
    return true;
}

INT_PTR CALLBACK CWorldMap::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    CWorldMap* self = (CWorldMap*)GetWindowLongPtrW(window, DWLP_USER);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, DWLP_USER, 0);
    return self ? self->OnMessage(window, message, wParam, lParam) : FALSE;
}

INT_PTR CWorldMap::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return FALSE;  // the focus is set
    case WM_DESTROY:
        OnDestroy(window);
        return TRUE;
    case WM_CLOSE:
        CloseWorldMap();
        return TRUE;
    case WM_SIZE:
        if (m_pane)
            m_pane->Layout();
        return TRUE;
    case WM_PAINT:
        OnPaint(window);
        return TRUE;
    case WM_SETCURSOR:
        return OnSetCursor(window);
    case WM_LBUTTONDOWN: {
        POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        int link = m_pane ? m_pane->LinkAt(at) : -1;
        if (link >= 0)
            m_pane->OpenLink(link);
        return TRUE;
    }
    case WM_MOUSEWHEEL:
        return OnMouseWheel(wParam, lParam);
    case WM_NOTIFY:
        OnNotify((const NMHDR*)lParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        break;
    }
    if (message == UM_MAPOVERLAYCHANGED) {
        if (m_mapChild)
            SendMessageW(m_mapChild, UM_MAPSETOVERLAY, wParam, lParam);
        return TRUE;
    }
    if (message == UM_MAPSELECTCITY) {
        // the record the map or ShowWorldMap picked; 0 carries none
        if (lParam && m_pane)
            m_pane->ShowPickedCity((const CityRecord*)lParam);
        return TRUE;
    }
    return FALSE;
}

void CWorldMap::OnInitDialog(HWND window)
{
    m_window = window;
    m_hand = LoadCursorW(nullptr, IDC_HAND);
    SendMessageW(window, WM_SETICON, ICON_BIG, (LPARAM)m_icon);
    RECT client;
    GetClientRect(window, &client);
    if (m_library.createMapWindow) {
        // a failed OpenGL set-up leaves the city list alone; its status is not shown
        DWORD status = 0;
        m_mapChild = m_library.createMapWindow(window, 0, 0, MapChildWidth(client.right, kCityListPaneWidth),
                                               client.bottom, &status);
    }
    // the main menu's item follows whether a map could be shown
    if (m_settings) {
        if (m_mapChild)
            m_settings->options |= kOptMapInitialized;
        else
            m_settings->options &= ~kOptMapInitialized;
    }
    WritePrivateProfileStringW(kMapSection, kInitializedKey, m_mapChild ? L"1" : L"0", m_services.paths->userIni);
    m_pane->Build(window, m_mapChild, m_library.setLocalString);
    ApplyPlacement(window);
    if (m_mapChild) {
        SetFocus(m_mapChild);
        bool clouds = m_settings && m_settings->cloudOverlay > 0;
        SendMessageW(m_mapChild, UM_MAPSETOVERLAY, 0, clouds ? 1 : 0);
    } else {
        SetFocus(m_pane->List());
    }
}

void CWorldMap::ApplyPlacement(HWND window)
{
    const WCHAR* file = m_services.paths->userIni;
    std::wstring text;
    MapWindowPos pos;
    if (!ReadProfileText(file, m_section.c_str(), kPlacementKey, kMissingKey, &text) || IsMissingKey(text.c_str()) ||
        !ParseMapWindowPos(text.c_str(), &pos)) {
        ShowWindow(window, SW_SHOWMAXIMIZED);
        return;
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.showCmd = GetPrivateProfileIntW(m_section.c_str(), kMaximisedKey, 1, file) == 1 ? SW_SHOWMAXIMIZED
                                                                                               : SW_SHOWNORMAL;
    placement.rcNormalPosition = {pos.left, pos.top, pos.left + pos.width, pos.top + pos.height};
    SetWindowPlacement(window, &placement);
}

void CWorldMap::OnDestroy(HWND window)
{
    if (m_window == window)
        m_window = nullptr;
    if (m_pane)
        m_pane->SaveColumns();
    SavePlacement(window);
}

void CWorldMap::SavePlacement(HWND window)
{
    const WCHAR* file = m_services.paths->userIni;
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

void CWorldMap::OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return;
    FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    if (m_pane)
        m_pane->PaintLinks(dc);
    EndPaint(window, &paint);
}

bool CWorldMap::OnSetCursor(HWND window)
{
    POINT at;
    if (!m_pane || !GetCursorPos(&at) || !ScreenToClient(window, &at) || m_pane->LinkAt(at) < 0)
        return false;
    SetCursor(m_hand);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
    return true;
}

INT_PTR CWorldMap::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    // a child's default handling hands the wheel on to its parent: that one
    // is not sent back down
    if (!m_mapChild || m_passingWheel)
        return FALSE;
    // the wheel's position comes in screen coordinates
    POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    ScreenToClient(m_mapChild, &at);
    m_passingWheel = true;
    LRESULT answer = SendMessageW(m_mapChild, WM_MOUSEWHEEL, wParam, MAKELPARAM(at.x, at.y));
    m_passingWheel = false;
    return answer != 0;
}

void CWorldMap::OnNotify(const NMHDR* header)
{
    if (!header || header->idFrom != (UINT_PTR)kIdPaneList || !m_pane)
        return;
    if (header->code == NM_DBLCLK) {
        ShowCityOnMap();
    } else if (header->code == NM_CLICK && m_mapChild && m_pane->CityMode()) {
        // the map shows the photos only of a record of its own array
        int index = m_pane->CityIndex(m_pane->SelectedCity());
        if (CityRecord* record = CityAt(index))
            PostMessageW(m_mapChild, UM_MAPSHOWCITY, (WPARAM)index, (LPARAM)record);
    }
}

void CWorldMap::ShowCityOnMap()
{
    if (!m_mapChild || !m_pane->CityMode())
        return;
    int index = m_pane->CityIndex(m_pane->SelectedCity());
    if (CityRecord* record = CityAt(index)) {
        SendMessageW(m_mapChild, UM_MAPSELECTCITY, (WPARAM)index, (LPARAM)record);
        SetFocus(m_mapChild);
    }
}

void CWorldMap::OnCommand(HWND window, WORD id, WORD code)
{
    if (!m_pane)
        return;
    switch (id) {
    case kIdPaneShowOnMap:
        ShowCityOnMap();
        return;
    case IDOK:
        if (m_mapChild && m_pane->CityMode())
            SetFocus(m_mapChild);
        SendMessageW(window, WM_CLOSE, 0, 0);
        return;
    case IDCANCEL:
        SendMessageW(window, WM_CLOSE, 0, 0);
        return;
    default:
        m_pane->OnCommand(id, code);
        return;
    }
}
