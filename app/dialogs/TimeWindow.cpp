#include "app/dialogs/TimeWindow.h"

#include <stdio.h>
#include <wchar.h>

#include <string>

#include "app/dialogs/ClockDialogHost.h"
#include "app/settings/SettingsIni.h"
#include "graphics/language/Language.h"

namespace {

const int kTitleChars = 100;
const int kLabelChars = 128;
const int kMargin = 6;
const int kGap = 6;
// Beside the widest text of a combo box's items.
const int kComboExtra = 10;
// Beside the widest text of a column: the list view's own cell padding.
const int kColumnMargin = 14;
const int kNaturalRows = 24;
const int kIntervalChoices[] = {60, 30, 20, 15, 10, 5};

struct FormatChoice {
    UINT string;
    int mode;
};
const FormatChoice kFormatChoices[] = {{kTableDefaultFormatString, kTableModeDefault},
                                       {kTable12HoursString, kTableMode12Hours},
                                       {kTable24HoursString, kTableMode24Hours},
                                       {kTableClockFormatString, kTableModeClock}};

std::wstring MainSection(const SettingsPaths& paths)
{
    return UserSection(paths.userPrefix, L":main");
}

std::wstring LoadText(const CLanguage& language, UINT id)
{
    WCHAR text[kLabelChars] = L"";
    language.GetString(id, text, kLabelChars);
    return text;
}

SYSTEMTIME Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wHour = now.wMinute = now.wSecond = now.wMilliseconds = 0;
    return now;
}

int WindowHeight(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

}  // namespace

CTimeWindow::CTimeWindow(const CLanguage& language, const SettingsPaths& paths, IClockDialogHost& host,
                         TimeTableState& state, CTimeWindow** self)
    : m_language(language), m_paths(paths), m_host(host), m_state(state), m_self(self), m_date(Today())
{
}

CTimeWindow::~CTimeWindow()
{
    if (m_self && *m_self == this)
        *m_self = nullptr;
}

bool CTimeWindow::Create(HWND owner, const WCHAR* title, DWORD style, DWORD exStyle)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);
    return CWindow::Create(owner, title, style, exStyle);
}

bool CTimeWindow::OnMessage(WindowMessage& message)
{
    switch (message.message) {
    case WM_CREATE:
        message.result = OnCreate() ? 0 : -1;
        return true;
    case WM_SIZE:
        Layout();
        return true;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_hwnd, &client);
        FillRect((HDC)message.wParam, &client, GetSysColorBrush(COLOR_BTNFACE));
        message.result = 1;
        return true;
    }
    case WM_NOTIFY:
        message.result = OnNotify((NMHDR*)message.lParam);
        return true;
    case WM_COMMAND:
        OnCommand(message.wParam);
        return true;
    case WM_DESTROY:
        OnDestroy();
        return false;
    }
    return false;
}

bool CTimeWindow::OnCreate()
{
    if (m_self)
        *m_self = this;
    ReadSettings();
    m_font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    HWND owner = GetWindow(m_hwnd, GW_OWNER);
    if (owner) {
        SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, (LPARAM)GetClassLongPtrW(owner, GCLP_HICON));
        SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, (LPARAM)GetClassLongPtrW(owner, GCLP_HICONSM));
    }
    BuildControls();
    if (!m_list)
        return false;
    TakeClocks();
    BuildColumns();
    Refill();
    Layout();
    return true;
}

void CTimeWindow::OnDestroy()
{
    WriteSettings();
    RECT r;
    if (GetWindowRect(m_hwnd, &r) && !IsIconic(m_hwnd)) {
        m_state.lastRect = r;
        m_state.hasLastRect = true;
    }
    if (m_self && *m_self == this)
        *m_self = nullptr;
    m_list = nullptr;
}

void CTimeWindow::ReadSettings()
{
    std::wstring section = MainSection(m_paths);
    std::wstring format;
    if (ReadProfileText(m_paths.userIni, section.c_str(), L"ttable_format", kMissingKey, &format) &&
        !IsMissingKey(format.c_str())) {
        int mode = TableModeFromName(format.c_str());
        if (mode >= 0)
            m_state.mode = mode;
    }
    int interval = (int)GetPrivateProfileIntW(section.c_str(), L"ttable_interval", -1, m_paths.userIni);
    if (interval >= kMinTableInterval && interval <= kMaxTableInterval)
        m_state.interval = interval;
}

void CTimeWindow::WriteSettings()
{
    std::wstring section = MainSection(m_paths);
    int mode = m_state.mode >= 0 && m_state.mode < kTableModeCount ? m_state.mode : kTableModeDefault;
    WritePrivateProfileStringW(section.c_str(), L"ttable_format", kTableModeNames[mode], m_paths.userIni);
    WCHAR text[16];
    wsprintfW(text, L"%d", m_state.interval);
    WritePrivateProfileStringW(section.c_str(), L"ttable_interval", text, m_paths.userIni);
}

int CTimeWindow::TextWidth(const WCHAR* text) const
{
    HDC dc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(dc, m_font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    ReleaseDC(m_hwnd, dc);
    return size.cx;
}

void CTimeWindow::BuildControls()
{
    HINSTANCE module = (HINSTANCE)GetWindowLongPtrW(m_hwnd, GWLP_HINSTANCE);
    auto make = [&](const WCHAR* cls, const WCHAR* text, DWORD style, int id) {
        HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_hwnd,
                                       (HMENU)(INT_PTR)id, module, nullptr);
        if (control)
            SendMessageW(control, WM_SETFONT, (WPARAM)m_font, FALSE);
        return control;
    };
    m_picker = make(DATETIMEPICK_CLASSW, L"", DTS_SHORTDATEFORMAT | WS_TABSTOP, kIdcTableDate);
    if (m_picker)
        SendMessageW(m_picker, DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&m_date);
    const DWORD kLabel = SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE;
    m_dateLabel = make(L"STATIC", LoadText(m_language, kTableDateLabel).c_str(), kLabel, -1);
    m_intervalLabel = make(L"STATIC", LoadText(m_language, kTableIntervalLabel).c_str(), kLabel, -1);
    m_intervalCombo = make(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kIdcTableInterval);
    m_formatLabel = make(L"STATIC", LoadText(m_language, kTableFormatLabel).c_str(), kLabel, -1);
    m_formatCombo = make(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kIdcTableFormat);
    m_list = make(WC_LISTVIEWW, L"", LVS_REPORT | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_BORDER,
                  kIdcTableList);
    if (!m_list)
        return;
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

    std::wstring minutes = LoadText(m_language, kTableMinutesString);
    for (int interval : kIntervalChoices) {
        WCHAR text[kLabelChars + 8];
        if (interval == kMaxTableInterval)
            lstrcpynW(text, LoadText(m_language, kTableHourString).c_str(), kLabelChars);
        else
            _snwprintf(text, ARRAYSIZE(text) - 1, L"%2d %ls", interval, minutes.c_str());
        text[ARRAYSIZE(text) - 1] = 0;
        int item = (int)SendMessageW(m_intervalCombo, CB_ADDSTRING, 0, (LPARAM)text);
        SendMessageW(m_intervalCombo, CB_SETITEMDATA, item, interval);
        if (interval == m_state.interval)
            SendMessageW(m_intervalCombo, CB_SETCURSEL, item, 0);
    }
    for (const FormatChoice& choice : kFormatChoices) {
        int item = (int)SendMessageW(m_formatCombo, CB_ADDSTRING, 0,
                                     (LPARAM)LoadText(m_language, choice.string).c_str());
        SendMessageW(m_formatCombo, CB_SETITEMDATA, item, choice.mode);
        if (choice.mode == m_state.mode)
            SendMessageW(m_formatCombo, CB_SETCURSEL, item, 0);
    }
}

void CTimeWindow::TakeClocks()
{
    m_clocks.clear();
    ClockRecord* clocks = m_host.Clocks();
    int count = clocks ? m_host.ClockCount() : 0;
    for (int i = 0; i < count && (int)m_clocks.size() < kTableClockColumns; ++i)
        if (!(clocks[i].kind & kClockTimer))
            m_clocks.push_back(&clocks[i]);
}

void CTimeWindow::BuildColumns()
{
    if (!m_list)
        return;
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageW(m_list, LVM_DELETECOLUMN, 0, 0))
        ;
    m_widths.assign(1 + m_clocks.size(), 0);
    for (size_t i = 0; i < m_widths.size(); ++i) {
        WCHAR caption[80];
        if (i == 0) {
            lstrcpynW(caption, LoadText(m_language, kTableLocalColumnString).c_str(), 80);
        } else {
            const WCHAR* field = m_clocks[i - 1]->caption;
            int n = 0;
            while (n < 78 && field[n])
                ++n;
            memcpy(caption, field, n * sizeof(WCHAR));
            caption[n] = 0;
        }
        m_widths[i] = TextWidth(caption) + kColumnMargin;
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = caption;
        column.cx = m_widths[i];
        column.iSubItem = (int)i;
        SendMessageW(m_list, LVM_INSERTCOLUMNW, i, (LPARAM)&column);
    }
}

void CTimeWindow::Refill()
{
    if (!m_list)
        return;
    const SettingsBlock& settings = m_host.ProgramSettings();
    TimeTableInput input = {};
    input.language = &m_language;
    input.localZone = &m_host.LocalZone();
    input.localHighlight = &settings.localHighlight;
    input.weekRules = {settings.weekNumbering, settings.weekStart};
    input.clocks = m_clocks.data();
    input.clockCount = (int)m_clocks.size();
    input.date = m_date;
    input.interval = m_state.interval;
    input.mode = m_state.mode;
    input.window = GetSysColor(COLOR_WINDOW);
    m_rows.Fill(input);

    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(m_list, LVM_SETITEMCOUNT, m_rows.Rows(), 0);
    HDC dc = GetDC(m_list);
    HGDIOBJ old = SelectObject(dc, m_font);
    int columns = m_rows.Columns();
    if ((int)m_widths.size() < columns)
        m_widths.resize(columns, 0);
    for (int row = 0; row < m_rows.Rows(); ++row) {
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = (LPWSTR)m_rows.Text(row, column);
            if (column == 0)
                SendMessageW(m_list, LVM_INSERTITEMW, 0, (LPARAM)&item);
            else
                SendMessageW(m_list, LVM_SETITEMTEXTW, row, (LPARAM)&item);
            SIZE size = {0, 0};
            GetTextExtentPoint32W(dc, item.pszText, lstrlenW(item.pszText), &size);
            if (size.cx + kColumnMargin > m_widths[column])
                m_widths[column] = size.cx + kColumnMargin;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(m_list, dc);
    for (int column = 0; column < columns; ++column)
        SendMessageW(m_list, LVM_SETCOLUMNWIDTH, column, m_widths[column]);
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

void CTimeWindow::Refresh(bool rebuild)
{
    if (rebuild) {
        TakeClocks();
        BuildColumns();
    }
    Refill();
    if (rebuild)
        Layout();
}

void CTimeWindow::Layout()
{
    if (!m_list)
        return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    int lineHeight = m_intervalCombo ? WindowHeight(m_intervalCombo) : 22;
    int x = kMargin, y = kMargin;
    auto place = [&](HWND control, int width) {
        if (control)
            MoveWindow(control, x, y, width, lineHeight, TRUE);
        x += width + kGap;
    };
    auto label = [&](HWND control) {
        WCHAR text[kLabelChars] = L"";
        GetWindowTextW(control, text, kLabelChars);
        place(control, TextWidth(text));
    };
    WCHAR sample[64] = L"";
    GetDateFormatW(m_language.GetLcid(), DATE_SHORTDATE, &m_date, nullptr, sample, 64);
    // the picker's text and its drop-down button
    place(m_picker, TextWidth(sample) + GetSystemMetrics(SM_CXVSCROLL) + 16);
    label(m_dateLabel);
    label(m_intervalLabel);
    auto comboWidth = [&](HWND combo) {
        int widest = 0;
        int count = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; ++i) {
            WCHAR text[kLabelChars + 8] = L"";
            if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < kLabelChars + 8)
                SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)text);
            int w = TextWidth(text);
            if (w > widest)
                widest = w;
        }
        // the drop-down button takes its own room beside the text
        return widest + kComboExtra + GetSystemMetrics(SM_CXVSCROLL);
    };
    // a combo box's height includes its drop-down list
    const int kDropDownHeight = 200;
    int width = comboWidth(m_intervalCombo);
    MoveWindow(m_intervalCombo, x, y, width, kDropDownHeight, TRUE);
    x += width + kGap;
    label(m_formatLabel);
    MoveWindow(m_formatCombo, x, y, comboWidth(m_formatCombo), kDropDownHeight, TRUE);
    int top = y + lineHeight + kMargin;
    MoveWindow(m_list, 0, top, client.right, client.bottom > top ? client.bottom - top : 0, TRUE);
}

SIZE CTimeWindow::NaturalSize() const
{
    int tableWidth = GetSystemMetrics(SM_CXVSCROLL) + 4;
    for (int w : m_widths)
        tableWidth += w;
    int lineRight = 0;
    if (m_formatCombo) {
        RECT r;
        GetWindowRect(m_formatCombo, &r);
        MapWindowPoints(nullptr, m_hwnd, (POINT*)&r, 2);
        lineRight = r.right + kMargin;
    }
    int rowHeight = 18;
    if (m_list && SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        RECT item = {LVIR_BOUNDS};
        if (SendMessageW(m_list, LVM_GETITEMRECT, 0, (LPARAM)&item))
            rowHeight = item.bottom - item.top;
    }
    RECT frame = {0, 0, tableWidth > lineRight ? tableWidth : lineRight,
                  kMargin * 2 + 22 + rowHeight * (kNaturalRows + 1) + 4};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrW(m_hwnd, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE));
    SIZE size = {frame.right - frame.left, frame.bottom - frame.top};
    RECT work;
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        if (size.cx > work.right - work.left)
            size.cx = work.right - work.left;
        if (size.cy > work.bottom - work.top)
            size.cy = work.bottom - work.top;
    }
    return size;
}

LRESULT CTimeWindow::OnNotify(NMHDR* header)
{
    if (header->hwndFrom == m_list && header->code == NM_CUSTOMDRAW)
        return OnCustomDraw((NMLVCUSTOMDRAW*)header);
    if (header->hwndFrom == m_picker && header->code == DTN_DATETIMECHANGE) {
        const NMDATETIMECHANGE* change = (const NMDATETIMECHANGE*)header;
        if (change->dwFlags == GDT_VALID) {
            m_date = change->st;
            m_date.wHour = m_date.wMinute = m_date.wSecond = m_date.wMilliseconds = 0;
            Refill();
        }
    }
    return 0;
}

LRESULT CTimeWindow::OnCustomDraw(NMLVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // Wine paints a full row in the item's colour, which may still be
        // the last sub-item's of the row before
        draw->clrTextBk = GetSysColor(COLOR_WINDOW);
        return CDRF_NOTIFYSUBITEMDRAW | CDRF_NEWFONT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        draw->clrTextBk = draw->iSubItem == 0 ? GetSysColor(COLOR_WINDOW)
                                              : m_rows.Colour((int)draw->nmcd.dwItemSpec, draw->iSubItem - 1);
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

void CTimeWindow::OnCommand(WPARAM wParam)
{
    if (HIWORD(wParam) != CBN_SELCHANGE)
        return;
    HWND combo = LOWORD(wParam) == kIdcTableInterval ? m_intervalCombo
                 : LOWORD(wParam) == kIdcTableFormat ? m_formatCombo
                                                     : nullptr;
    if (!combo)
        return;
    int item = (int)SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (item < 0)
        return;
    int value = (int)SendMessageW(combo, CB_GETITEMDATA, item, 0);
    if (combo == m_intervalCombo && value >= kMinTableInterval && value <= kMaxTableInterval)
        m_state.interval = value;
    else if (combo == m_formatCombo && value >= 0 && value < kTableModeCount)
        m_state.mode = value;
    else
        return;
    Refill();
}

CTimeTable::CTimeTable(const CLanguage& language, const SettingsPaths& paths) : m_language(language), m_paths(paths)
{
}

CTimeTable::~CTimeTable()
{
    Close();
}

void CTimeTable::Close()
{
    CTimeWindow* window = m_window;
    if (!window)
        return;
    window->Destroy();
    delete window;
    m_window = nullptr;
}

bool CTimeTable::Show()
{
    if (m_window) {
        SetForegroundWindow(m_window->GetHandle());
        return true;
    }
    if (!m_host)
        return false;
    WCHAR title[kTitleChars + 1] = L"";
    m_language.GetString(kTableTitleString, title, kTitleChars + 1);
    auto* window = new CTimeWindow(m_language, m_paths, *m_host, m_state, &m_window);
    const RECT& r = m_state.lastRect;
    if (m_state.hasLastRect)
        window->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (!window->Create(m_host->MainWindow(), title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                                          WS_MAXIMIZEBOX | WS_CLIPCHILDREN, 0)) {
        delete window;
        m_window = nullptr;
        return false;
    }
    HWND hwnd = window->GetHandle();
    if (!m_state.hasLastRect) {
        SIZE size = window->NaturalSize();
        RECT work;
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
            GetWindowRect(GetDesktopWindow(), &work);
        SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - size.cx) / 2,
                     work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    return true;
}

void CTimeTable::Refresh(bool rebuild)
{
    if (m_window)
        m_window->Refresh(rebuild);
}
