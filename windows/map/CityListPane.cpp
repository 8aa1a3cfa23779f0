#include "windows/map/CityListPane.h"

#include <commctrl.h>
#include <stdio.h>

#include <string>

#include "app/main/MainSeams.h"
#include "app/menu/WebAddress.h"
#include "app/settings/SettingsIni.h"
#include "app/ui/DialogHelpers.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/protocol/WebSites.h"
#include "graphics/records/FixedText.h"
#include "windows/CityList.h"
#include "windows/map/ZoneRows.h"

namespace {

const WCHAR kColumnsKey[] = L"citylistcolumns";
const int kDefaultWidths[3] = {80, 100, 114};

const UINT kCityTitleString = 161;
const UINT kOffsetTitleString = 162;
const UINT kZoneTitleString = 163;
const UINT kCountryTitleString = 164;
const UINT kPhotoLinkString = 165;
const UINT kCityListLinkString = 166;
const UINT kSearchLabelString = 175;
const UINT kFilterLabelString = 176;
const UINT kCityModeString = 177;
const UINT kZoneModeString = 178;
const UINT kShowOnMapString = 179;
const UINT kOkString = 180;
const UINT kCancelString = 181;
const UINT kPhotoStripString = 264;
const UINT kInsertHintString = 265;
// the map library's own ids for the two strings
const int32_t kMapPhotoStripText = 1;
const int32_t kMapInsertHintText = 2;

const int kTitleChars = 100;
const int kControlTextChars = 256;
const int kEditTextChars = 79;
const int kSearchTextChars = 100;
const int kZonePrefixChars = 128;
const int kCityPrefixChars = 80;

// layout, in pixels
const int kPaneInset = 3;
const int kSearchBoxWidth = 64;
const int kFilterBoxWidth = 48;
const int kGap = 6;
const int kLinkIndent = 8;
const int kEditFrame = 8;     // borders and margins around the text
const int kButtonFrame = 10;
const int kButtonMinWidth = 60;
const int kButtonPadding = 16;
const int kRadioBox = 20;     // the radio circle and its gap to the text
const COLORREF kLinkColor = RGB(0, 0, 255);

// The first `limit` characters of `text` begin the field, any case.
bool FieldBeginsWith(const WCHAR* field, size_t width, const WCHAR* text, int limit)
{
    int n = lstrlenW(text);
    if (n > limit)
        n = limit;
    if ((int)FixedLength(field, width) < n)
        return false;
    return n == 0 || CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, field, n, text, n) == CSTR_EQUAL;
}

bool InsertRow(HWND list, int row, const WCHAR* text, const void* record)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<WCHAR*>(text);
    item.lParam = (LPARAM)record;
    return (int)SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item) >= 0;
}

void SetCell(HWND list, int row, int column, const WCHAR* text)
{
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<WCHAR*>(text);
    SendMessageW(list, LVM_SETITEMTEXTW, row, (LPARAM)&item);
}

std::wstring LowerText(std::wstring text)
{
    if (!text.empty())
        CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

}  // namespace

CCityListPane::CCityListPane(const CityListPaneServices& services)
    : m_services(services), m_window(nullptr), m_mapChild(nullptr), m_font(nullptr), m_searchLabel(nullptr),
      m_search(nullptr), m_filterLabel(nullptr), m_filter(nullptr), m_cityMode(nullptr), m_zoneMode(nullptr),
      m_list(nullptr), m_showOnMap(nullptr), m_ok(nullptr), m_cancel(nullptr), m_inZoneMode(false),
      m_clearingFilter(false), m_widths{kDefaultWidths[0], kDefaultWidths[1], kDefaultWidths[2]}, m_links{},
      m_linkCount(0), m_titles{}
{
}

// The controls are the host window's children and go with it.
CCityListPane::~CCityListPane() = default;

HWND CCityListPane::AddControl(const WCHAR* className, const WCHAR* text, DWORD style, int id)
{
    DWORD exStyle = lstrcmpiW(className, L"EDIT") == 0 || lstrcmpiW(className, WC_LISTVIEWW) == 0
                        ? WS_EX_CLIENTEDGE
                        : 0;
    HWND control = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_window,
                                   (HMENU)(INT_PTR)id, GetModuleHandleW(nullptr), nullptr);
    if (control)
        SendMessageW(control, WM_SETFONT, (WPARAM)m_font, FALSE);
    return control;
}

void CCityListPane::Build(HWND window, HWND mapChild, SetLocalStringProc setLocalString)
{
    m_window = window;
    m_mapChild = mapChild;
    m_inZoneMode = false;
    m_font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    const ILanguageStrings* strings = m_services.strings;
    auto load = [strings](UINT id, WCHAR* text, int chars) {
        text[0] = 0;
        if (strings)
            strings->GetString(id, text, chars);
    };
    WCHAR text[kControlTextChars];
    if (setLocalString) {
        load(kPhotoStripString, text, kControlTextChars);
        setLocalString(kMapPhotoStripText, text);
        load(kInsertHintString, text, kControlTextChars);
        setLocalString(kMapInsertHintText, text);
    }

    m_linkCount = 0;
    if (m_services.photosOn) {
        load(kPhotoLinkString, m_links[m_linkCount].text, kTitleChars);
        m_links[m_linkCount++].address = kCityPhotoSite;
    }
    load(kCityListLinkString, m_links[m_linkCount].text, kTitleChars);
    m_links[m_linkCount++].address = kCityZoneSite;
    const UINT titleIds[4] = {kCityTitleString, kOffsetTitleString, kZoneTitleString, kCountryTitleString};
    for (int i = 0; i < 4; ++i)
        load(titleIds[i], m_titles[i], kTitleChars);

    load(kSearchLabelString, text, kControlTextChars);
    m_searchLabel = AddControl(L"STATIC", text, SS_SIMPLE, -1);
    m_search = AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kIdPaneSearch);
    load(kFilterLabelString, text, kControlTextChars);
    m_filterLabel = AddControl(L"STATIC", text, SS_SIMPLE, -1);
    m_filter = AddControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kIdPaneFilter);
    SendMessageW(m_search, EM_LIMITTEXT, kEditTextChars, 0);
    SendMessageW(m_filter, EM_LIMITTEXT, kEditTextChars, 0);
    load(kCityModeString, text, kControlTextChars);
    m_cityMode = AddControl(L"BUTTON", text, WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, kIdPaneMode);
    load(kZoneModeString, text, kControlTextChars);
    m_zoneMode = AddControl(L"BUTTON", text, BS_AUTORADIOBUTTON, kIdPaneMode);
    SendMessageW(m_cityMode, BM_SETCHECK, BST_CHECKED, 0);
    m_list = AddControl(WC_LISTVIEWW, L"",
                        WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kIdPaneList);
    if (m_list)
        SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    load(kShowOnMapString, text, kControlTextChars);
    m_showOnMap = AddControl(L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, kIdPaneShowOnMap);
    load(kOkString, text, kControlTextChars);
    m_ok = AddControl(L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, IDOK);
    load(kCancelString, text, kControlTextChars);
    m_cancel = AddControl(L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);

    LoadCityListColumns();
    BuildCityView(L"");
    FillCityList();
    Layout();
}

void CCityListPane::LoadCityListColumns()
{
    if (m_services.settingsFile && m_services.section) {
        std::wstring value;
        if (ReadProfileText(m_services.settingsFile, m_services.section, kColumnsKey, L"", &value)) {
            // what the text lacks keeps its default
            unsigned widths[3] = {(unsigned)m_widths[0], (unsigned)m_widths[1], (unsigned)m_widths[2]};
            swscanf(value.c_str(), L"%4u %4u %4u", &widths[0], &widths[1], &widths[2]);
            for (int i = 0; i < 3; ++i)
                m_widths[i] = (int)widths[i];
        }
    }
    if (!m_list)
        return;
    InsertListViewColumns(m_list, m_widths, 3);
}

void CCityListPane::TitleColumns(bool zoneMode)
{
    // city, country or offset, zone
    const WCHAR* titles[3] = {m_titles[0], zoneMode ? m_titles[1] : m_titles[3], m_titles[2]};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = const_cast<WCHAR*>(titles[i]);
        SendMessageW(m_list, LVM_SETCOLUMNW, i, (LPARAM)&column);
    }
}

int CCityListPane::TextHeight() const
{
    HDC dc = GetDC(m_window);
    HGDIOBJ old = SelectObject(dc, m_font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, L"Ag", 2, &size);
    SelectObject(dc, old);
    ReleaseDC(m_window, dc);
    return size.cy > 0 ? size.cy : 13;
}

int CCityListPane::TextWidth(HWND control) const
{
    WCHAR text[kControlTextChars];
    int length = GetWindowTextW(control, text, kControlTextChars);
    HDC dc = GetDC(m_window);
    HGDIOBJ old = SelectObject(dc, m_font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, old);
    ReleaseDC(m_window, dc);
    return size.cx;
}

void CCityListPane::Layout()
{
    if (!m_window)
        return;
    RECT client;
    GetClientRect(m_window, &client);
    int mapWidth = client.right - kCityListPaneWidth;
    if (mapWidth <= 0)
        mapWidth = 1;
    if (m_mapChild)
        MoveWindow(m_mapChild, 0, 0, mapWidth, client.bottom, TRUE);
    RECT pane = {mapWidth + kPaneInset, kPaneInset, client.right - kPaneInset, client.bottom - kPaneInset};

    int text = TextHeight();
    int editHeight = text + kEditFrame, buttonHeight = text + kButtonFrame, radioHeight = text + 4;
    int x = pane.left, y = pane.top;
    int labelTop = y + (editHeight - text) / 2;
    int width = TextWidth(m_searchLabel);
    MoveWindow(m_searchLabel, x, labelTop, width, text, TRUE);
    x += width + kGap;
    MoveWindow(m_search, x, y, kSearchBoxWidth, editHeight, TRUE);
    x += kSearchBoxWidth + 2 * kGap;
    width = TextWidth(m_filterLabel);
    MoveWindow(m_filterLabel, x, labelTop, width, text, TRUE);
    x += width + kGap;
    MoveWindow(m_filter, x, y, kFilterBoxWidth, editHeight, TRUE);
    y += editHeight + kGap;

    x = pane.left;
    width = TextWidth(m_cityMode) + kRadioBox;
    MoveWindow(m_cityMode, x, y, width, radioHeight, TRUE);
    x += width + 2 * kGap;
    MoveWindow(m_zoneMode, x, y, TextWidth(m_zoneMode) + kRadioBox, radioHeight, TRUE);
    y += radioHeight + kGap;

    // from the bottom up: the buttons, the links, then the list between
    int buttonTop = pane.bottom - buttonHeight;
    auto buttonWidth = [this](HWND button) {
        int w = TextWidth(button) + kButtonPadding;
        return w > kButtonMinWidth ? w : kButtonMinWidth;
    };
    MoveWindow(m_showOnMap, pane.left, buttonTop, buttonWidth(m_showOnMap), buttonHeight, TRUE);
    int cancelWidth = buttonWidth(m_cancel), okWidth = buttonWidth(m_ok);
    MoveWindow(m_cancel, pane.right - cancelWidth, buttonTop, cancelWidth, buttonHeight, TRUE);
    MoveWindow(m_ok, pane.right - cancelWidth - kGap - okWidth, buttonTop, okWidth, buttonHeight, TRUE);

    int linkTop = buttonTop - kGap - m_linkCount * (text + kGap);
    HDC dc = GetDC(m_window);
    HGDIOBJ old = SelectObject(dc, m_font);
    for (int i = 0; i < m_linkCount; ++i) {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, m_links[i].text, lstrlenW(m_links[i].text), &size);
        int top = linkTop + i * (text + kGap) + kGap;
        m_links[i].rect = RECT{pane.left + kLinkIndent, top, pane.left + kLinkIndent + size.cx, top + text};
    }
    SelectObject(dc, old);
    ReleaseDC(m_window, dc);

    int listHeight = linkTop - y;
    MoveWindow(m_list, pane.left, y, pane.right - pane.left, listHeight > 0 ? listHeight : 0, TRUE);
    InvalidateRect(m_window, nullptr, TRUE);
}

void CCityListPane::ReadText(HWND edit, WCHAR* text, int chars) const
{
    text[0] = 0;
    if (edit)
        GetWindowTextW(edit, text, chars);
}

void CCityListPane::ApplySearch()
{
    WCHAR text[kSearchTextChars];
    ReadText(m_search, text, kSearchTextChars);
    SelectCityRow(FindCityByPrefix(text));
}

bool CCityListPane::OnCommand(WORD id, WORD code)
{
    switch (id) {
    case kIdPaneSearch:
        if (code == EN_CHANGE)
            ApplySearch();
        return true;
    case kIdPaneFilter:
        // ShowPickedCity refills by itself when it clears the box
        if (code == EN_CHANGE && !m_clearingFilter && !m_inZoneMode) {
            WCHAR text[kSearchTextChars];
            ReadText(m_filter, text, kSearchTextChars);
            BuildCityView(text);
            FillCityList();
            ApplySearch();
        }
        return true;
    case kIdPaneMode:
        if (code == BN_CLICKED)
            SetZoneMode(SendMessageW(m_cityMode, BM_GETCHECK, 0, 0) != BST_CHECKED);
        return true;
    }
    return false;
}

void CCityListPane::SetZoneMode(bool zoneMode)
{
    if (zoneMode == m_inZoneMode)
        return;
    m_inZoneMode = zoneMode;
    EnableWindow(m_filter, !zoneMode);
    EnableWindow(m_showOnMap, !zoneMode);
    if (zoneMode) {
        FillZoneList();
        return;
    }
    WCHAR text[kSearchTextChars];
    ReadText(m_filter, text, kSearchTextChars);
    BuildCityView(text);
    FillCityList();
}

void CCityListPane::ShowPickedCity(const CityRecord* record)
{
    if (!record)
        return;
    if (m_inZoneMode) {
        SendMessageW(m_cityMode, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(m_zoneMode, BM_SETCHECK, BST_UNCHECKED, 0);
        SetZoneMode(false);
    }
    int row = FindCityIndex(record);
    if (row < 0 && GetWindowTextLengthW(m_filter) > 0) {
        m_clearingFilter = true;
        SetWindowTextW(m_filter, L"");
        m_clearingFilter = false;
        BuildCityView(L"");
        FillCityList();
        row = FindCityIndex(record);
    }
    SelectCityRow(row);
}

bool CCityListPane::CityMode() const
{
    return !m_inZoneMode;
}

const void* CCityListPane::SelectedRecord() const
{
    if (!m_list)
        return nullptr;
    int row = (int)SendMessageW(m_list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (row < 0)
        return nullptr;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(m_list, LVM_GETITEMW, 0, (LPARAM)&item))
        return nullptr;
    return (const void*)item.lParam;
}

CityRecord* CCityListPane::SelectedCity() const
{
    return m_inZoneMode ? nullptr : (CityRecord*)SelectedRecord();
}

const TimeZoneRecord* CCityListPane::SelectedZone() const
{
    return m_inZoneMode ? (const TimeZoneRecord*)SelectedRecord() : nullptr;
}

int CCityListPane::CityIndex(const CityRecord* city) const
{
    if (!city || !m_services.cities)
        return -1;
    const CityRecord* first = m_services.cities->Cities();
    int count = m_services.cities->Count();
    for (int i = 0; i < count; ++i) {
        if (&first[i] == city)
            return i;
    }
    return -1;
}

void CCityListPane::BuildCityView(const WCHAR* filter)
{
    m_shown.clear();
    if (!m_services.cities)
        return;
    CityRecord* cities = m_services.cities->Cities();
    int count = m_services.cities->Count();
    m_shown.reserve(count);
    const WCHAR* text = filter ? filter : L"";
    for (int i = 0; i < count; ++i) {
        if (!text[0] || FieldBeginsWith(cities[i].countryName, FIELD_WIDTH(cities[i].countryName), text,
                                        kCityPrefixChars))
            m_shown.push_back(&cities[i]);
    }
}

void CCityListPane::FillCityList()
{
    if (!m_list)
        return;
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    TitleColumns(false);
    for (int row = 0; row < (int)m_shown.size(); ++row) {
        const CityRecord& city = *m_shown[row];
        if (!InsertRow(m_list, row, FieldText(city.cityName, FIELD_WIDTH(city.cityName)).c_str(), &city))
            break;
        SetCell(m_list, row, 1, FieldText(city.countryName, FIELD_WIDTH(city.countryName)).c_str());
        const TimeZoneRecord* zone = city.zoneRecord.ptr;
        SetCell(m_list, row, 2,
                zone ? FieldText(zone->displayName, FIELD_WIDTH(zone->displayName)).c_str() : L"");
    }
}

void CCityListPane::FillZoneList()
{
    if (!m_list)
        return;
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    TitleColumns(true);
    const CZoneDatabase* zones = m_services.zones;
    if (!zones || zones->Count() <= 0)
        return;
    std::vector<const TimeZoneRecord*> rows(kZoneListMaxRows);
    int count = SortZoneRows(&zones->Zone(0), zones->Count(), rows.data());
    for (int row = 0; row < count; ++row) {
        ZoneRowTexts texts;
        MakeZoneRowTexts(*rows[row], &texts);
        if (!InsertRow(m_list, row, texts.name, rows[row]))
            break;
        SetCell(m_list, row, 1, texts.offset);
        SetCell(m_list, row, 2, texts.standard);
    }
}

int CCityListPane::FindCityByPrefix(const WCHAR* text) const
{
    if (!text)
        return -1;
    if (!m_inZoneMode) {
        for (int i = 0; i < (int)m_shown.size(); ++i) {
            if (FieldBeginsWith(m_shown[i]->cityName, FIELD_WIDTH(m_shown[i]->cityName), text, kCityPrefixChars))
                return i;
        }
        return -1;
    }
    if (!m_list)
        return -1;
    int count = (int)SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row) {
        WCHAR cell[kZoneRowTextChars] = {};
        LVITEMW item = {};
        item.pszText = cell;
        item.cchTextMax = kZoneRowTextChars;
        SendMessageW(m_list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
        if (FieldBeginsWith(cell, kZoneRowTextChars, text, kZonePrefixChars))
            return row;
    }
    return -1;
}

int CCityListPane::FindCityIndex(const CityRecord* record) const
{
    for (int i = 0; i < (int)m_shown.size(); ++i) {
        if (m_shown[i] == record)
            return i;
    }
    return -1;
}

void CCityListPane::SelectCityRow(int row)
{
    if (row >= 0 && m_list)
        SelectListViewRow(m_list, row);
}

void CCityListPane::OpenCityPage(const WCHAR* address)
{
    if (!address || !m_services.starter)
        return;
    WCHAR url[kWebAddressChars];
    lstrcpynW(url, address, kWebAddressChars);
    const CityRecord* city = SelectedCity();
    if (lstrcmpW(address, kCityPhotoSite) == 0 && m_mapChild && city) {
        std::wstring country = LowerText(FieldText(city->countryName, FIELD_WIDTH(city->countryName)));
        std::wstring name = LowerText(FieldText(city->cityName, FIELD_WIDTH(city->cityName)));
        AppendCityPage(country.c_str(), name.c_str(), url, lstrlenW(url));
    }
    m_services.starter->Start(url, nullptr, nullptr);
}

void CCityListPane::PaintLinks(HDC dc) const
{
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    COLORREF oldColor = SetTextColor(dc, kLinkColor);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HBRUSH line = CreateSolidBrush(kLinkColor);
    for (int i = 0; i < m_linkCount; ++i) {
        const RECT& r = m_links[i].rect;
        TextOutW(dc, r.left, r.top, m_links[i].text, lstrlenW(m_links[i].text));
        RECT underline = {r.left, r.bottom - 1, r.right, r.bottom};
        FillRect(dc, &underline, line);
    }
    DeleteObject(line);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
    SelectObject(dc, oldFont);
}

int CCityListPane::LinkAt(POINT client) const
{
    for (int i = 0; i < m_linkCount; ++i) {
        if (PtInRect(&m_links[i].rect, client))
            return i;
    }
    return -1;
}

void CCityListPane::OpenLink(int link)
{
    if (link >= 0 && link < m_linkCount)
        OpenCityPage(m_links[link].address);
}

void CCityListPane::SaveColumns()
{
    if (m_list) {
        for (int i = 0; i < 3; ++i) {
            int width = (int)SendMessageW(m_list, LVM_GETCOLUMNWIDTH, i, 0);
            if (width > 0)
                m_widths[i] = width;
        }
    }
    if (!m_services.settingsFile || !m_services.section)
        return;
    WCHAR text[48];
    _snwprintf(text, ARRAYSIZE(text), L"%u %u %u", (unsigned)m_widths[0], (unsigned)m_widths[1],
               (unsigned)m_widths[2]);
    text[ARRAYSIZE(text) - 1] = 0;
    WritePrivateProfileStringW(m_services.section, kColumnsKey, text, m_services.settingsFile);
}

HWND CCityListPane::List() const
{
    return m_list;
}
