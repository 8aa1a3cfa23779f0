#include "settings/chooser/LocationChooser.h"

#include <vector>

#include "app/settings/SettingsIni.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/CityRecord.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Restrictions.h"
#include "settings/MainProgramLink.h"
#include "settings/SettingsResources.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/frame/SettingsFrame.h"
#include "windows/CityList.h"
#include "windows/map/MapHostCore.h"
#include "windows/map/WorldMap.h"

namespace {

// Both mode buttons carry the pane's mode id; this one is taken for it too.
const WORD kIdPaneModeToo = 207;

}  // namespace

CLocationChooser::CLocationChooser(const LocationChooserServices& services)
    : m_services(services), m_window(nullptr), m_page(nullptr), m_start(nullptr), m_asDialog(false),
      m_hidDesktop(false)
{
}

CLocationChooser::~CLocationChooser()
{
    if (m_window && !m_asDialog)
        DestroyWindow(m_window);
}

bool CLocationChooser::MapBound() const
{
    return m_services.library && m_services.library->createMapWindow;
}

void CLocationChooser::BindMapLibrary()
{
    MapLibraryTable* library = m_services.library;
    if (!library || library->module || !m_services.cities)
        return;
    DWORD code = LoadMapLibrary(*library, m_services.paths->folder, m_services.cities->Cities(),
                                m_services.cities->Count());
    // a library that cannot take the cities is no map: the list stands alone
    // and a later chooser tries again
    if (code != 0)
        UnloadMapLibrary(*library);
}

bool CLocationChooser::ChooseLocation(HWND page, const CityRecord* start)
{
    if (m_window)
        return false;
    BindMapLibrary();
    WCHAR title[kMapTitleChars + 1] = {};
    if (!m_services.strings || m_services.strings->GetString(kMapTitleString, title, ARRAYSIZE(title)) <= 0)
        lstrcpynW(title, kLocationChooserClass, ARRAYSIZE(title));
    std::vector<WORD> dialog = BuildMapDialogTemplate(title);
    m_page = page;
    m_start = start;
    m_asDialog = true;
    INT_PTR result = DialogBoxIndirectParamW(m_services.program, (const DLGTEMPLATE*)dialog.data(), page, DialogProc,
                                             (LPARAM)this);
    m_asDialog = false;
    m_page = nullptr;
    m_start = nullptr;
    return result > 0;
}

INT_PTR CALLBACK CLocationChooser::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* self = (CLocationChooser*)GetWindowLongPtrW(window, DWLP_USER);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, DWLP_USER, 0);
    if (!self)
        return FALSE;
    if (message == WM_INITDIALOG) {
        self->OnCreate(window, self->m_start);
        return FALSE;  // the focus is set
    }
    if (message == WM_CLOSE) {
        EndDialog(window, kChooserClosed);
        return TRUE;
    }
    LRESULT answer = 0;
    if (!self->OnMessage(window, message, wParam, lParam, &answer))
        return FALSE;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, answer);
    return TRUE;
}

LRESULT CALLBACK CLocationChooser::HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
    auto* self = (CLocationChooser*)GetWindowLongPtrW(window, GWLP_USERDATA);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    // one chooser at a time: a second window is refused and left to itself
    if (self && self->m_window && self->m_window != window)
        return message == WM_CREATE ? -1 : DefWindowProcW(window, message, wParam, lParam);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        self->m_page = GetWindow(window, GW_OWNER);
        self->BindMapLibrary();
        self->OnCreate(window, self->m_start);
        if (self->m_page)
            EnableWindow(self->m_page, FALSE);
        return 0;
    case WM_CLOSE:
        if (self->m_page)
            EnableWindow(self->m_page, TRUE);
        DestroyWindow(window);
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect((HDC)wParam, &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    default:
        break;
    }
    LRESULT answer = 0;
    if (self->OnMessage(window, message, wParam, lParam, &answer))
        return answer;
    return DefWindowProcW(window, message, wParam, lParam);
}

void CLocationChooser::OnCreate(HWND window, const CityRecord* start)
{
    m_window = window;
    if (m_services.frame)
        m_services.frame->SetChooser(window);
    std::wstring section = UserSection(m_services.paths->userPrefix, L":main");
    CityListPaneServices pane = {};
    pane.strings = m_services.strings;
    pane.cities = m_services.cities;
    pane.zones = m_services.zones;
    pane.settingsFile = m_services.paths->userIni;
    pane.section = section.c_str();
    pane.photosOn = !(ReadRestrictionFlags() & kNoCityPhotos) && m_services.settings &&
                    (m_services.settings->options & kOptCityPhotos) != 0;
    pane.starter = m_services.starter;
    m_core.reset(new CMapHostCore(pane, m_services.settings));
    for (int size : {ICON_BIG, ICON_SMALL}) {
        int side = GetSystemMetrics(size == ICON_BIG ? SM_CXICON : SM_CXSMICON);
        if (HICON icon = (HICON)LoadImageW(m_services.program, MAKEINTRESOURCEW(IDI_LOCATION_CHOOSER), IMAGE_ICON,
                                           side, side, LR_SHARED))
            SendMessageW(window, WM_SETICON, size, (LPARAM)icon);
    }
    if (MapBound()) {
        // the desktop clocks would stand over the map
        if (m_services.mainProgram)
            m_services.mainProgram->SendToMainProgram(UM_HIDEDESKTOPCLOCKS, 1, 0, true);
        m_hidDesktop = true;
        m_core->CreateMapChild(window, *m_services.library);
    }
    m_core->FinishSetup(window, MapBound() ? m_services.library->setLocalString : nullptr);
    int index = m_core->Pane().CityIndex(start);
    if (CityRecord* record = m_core->CityAt(index)) {
        m_core->Pane().ShowPickedCity(record);
        if (HWND child = m_core->MapChild())
            SendMessageW(child, UM_MAPSELECTCITY, (WPARAM)index, (LPARAM)record);
    }
}

void CLocationChooser::OnDestroy(HWND window)
{
    if (m_hidDesktop && m_services.mainProgram)
        m_services.mainProgram->SendToMainProgram(UM_HIDEDESKTOPCLOCKS, 0, 0, true);
    m_hidDesktop = false;
    if (m_services.frame)
        m_services.frame->SetChooser(nullptr);
    if (m_window == window)
        m_window = nullptr;
    if (m_core)
        m_core->SaveState(window);
}

bool CLocationChooser::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer)
{
    *answer = 0;
    switch (message) {
    case WM_DESTROY:
        OnDestroy(window);
        m_core.reset();
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOk();
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return true;
        }
        if (LOWORD(wParam) == kIdPaneModeToo)
            wParam = MAKEWPARAM(kIdPaneMode, HIWORD(wParam));
        break;
    default:
        break;
    }
    return m_core && m_core->OnMessage(window, message, wParam, lParam, answer);
}

void CLocationChooser::OnOk()
{
    if (!m_core)
        return;
    CCityListPane& pane = m_core->Pane();
    HWND window = m_window;
    if (!pane.CityMode()) {
        const TimeZoneRecord* zone = pane.SelectedZone();
        if (!zone)
            return;
        SetFocus(pane.List());
        SendPointerMessage(m_page, UM_ZONEPICKED, 0, (LPARAM)zone);
    } else {
        int index = pane.CityIndex(pane.SelectedCity());
        CityRecord* city = m_core->CityAt(index);
        if (!city)
            return;
        if (HWND child = m_core->MapChild())
            SetFocus(child);
        SendPointerMessage(m_page, UM_MAPSELECTCITY, (WPARAM)index, (LPARAM)city);
    }
    SendMessageW(window, WM_CLOSE, 0, 0);
}

void CLocationChooser::OnCancel()
{
    HWND window = m_window;
    SendPointerMessage(m_page, UM_MAPSELECTCITY, (WPARAM)-1, 0);
    SendMessageW(window, WM_CLOSE, 0, 0);
}
