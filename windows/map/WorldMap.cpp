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
#include "windows/map/MapHostCore.h"
#include "windows/map/WorldMapValues.h"

namespace {

const WCHAR kMapErrorCaption[] = L"World Map Error";
const WCHAR kMapTitleFallback[] = L"Tempolan World Map";
const WCHAR kCityListFile[] = L"cities.txt";

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
      m_icon(nullptr)
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
    CityRecord* record = m_core ? m_core->CityAt(index) : nullptr;
    if (record && m_window) {
        SendMessageW(m_window, UM_MAPSELECTCITY, (WPARAM)index, (LPARAM)record);
        if (HWND child = m_core->MapChild())
            SendMessageW(child, UM_MAPSELECTCITY, (WPARAM)index, (LPARAM)record);
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
    m_core.reset();
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

HWND CWorldMap::MapChild() const
{
    return m_core ? m_core->MapChild() : nullptr;
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
    m_core.reset(new CMapHostCore(pane, m_settings));
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
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam)))
            return TRUE;
        break;
    default:
        break;
    }
    LRESULT answer = 0;
    if (!m_core || !m_core->OnMessage(window, message, wParam, lParam, &answer))
        return FALSE;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, answer);
    return TRUE;
}

void CWorldMap::OnInitDialog(HWND window)
{
    m_window = window;
    SendMessageW(window, WM_SETICON, ICON_BIG, (LPARAM)m_icon);
    m_core->CreateMapChild(window, m_library);
    m_core->FinishSetup(window, m_library.setLocalString);
}

void CWorldMap::OnDestroy(HWND window)
{
    if (m_window == window)
        m_window = nullptr;
    if (m_core)
        m_core->SaveState(window);
}

bool CWorldMap::OnCommand(HWND window, WORD id)
{
    switch (id) {
    case IDOK:
        if (m_core && m_core->MapChild() && m_core->Pane().CityMode())
            SetFocus(m_core->MapChild());
        SendMessageW(window, WM_CLOSE, 0, 0);
        return true;
    case IDCANCEL:
        SendMessageW(window, WM_CLOSE, 0, 0);
        return true;
    default:
        return false;
    }
}
