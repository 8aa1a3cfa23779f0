#include "windows/allclocks/AllClocksDialog.h"

#include <commctrl.h>

#include <string>

#include "graphics/clock/ClockFactory.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/skin/Graphics.h"
#include "graphics/system/Paths.h"
#include "graphics/time/ZoneConvert.h"
#include "app/zones/ZoneDatabase.h"
#include "windows/allclocks/AllClocksMoment.h"
#include "windows/desktop/DesktopClocks.h"

namespace {

const UINT_PTR kRepaintTimer = 1;
const int kFaceWidth = 200;
const int kFontSize = 8;
const int kMeasureWidth = 150;
const int kMeasureHeight = 50;
const int kTipChars = 75;
const int kMinWidth = 40;
const int kMinHeight = 32;
const int kScreenEdge = 2;
const WCHAR kDateFormat[] = L"dd MMM yyyy";

void CopyText(WCHAR* field, int width, const WCHAR* text)
{
    int i = 0;
    for (; text[i] && i < width - 1; ++i)
        field[i] = text[i];
    for (; i < width; ++i)
        field[i] = 0;
}

// The pickers' time format: the locale's without its seconds.
void PickerTimeFormat(LCID lcid, WCHAR* out, int chars)
{
    WCHAR format[80] = L"HH:mm:ss", separator[8] = L":";
    GetLocaleInfoW(lcid, LOCALE_STIMEFORMAT, format, 80);
    GetLocaleInfoW(lcid, LOCALE_STIME, separator, 8);
    TimeFormatWithoutSeconds(format, separator, out, chars);
}

bool Uses12Hours(LCID lcid)
{
    WCHAR value[4] = L"1";
    GetLocaleInfoW(lcid, LOCALE_ITIME, value, 4);
    return value[0] == L'0';
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

}  // namespace

CAllClocksDialog::CAllClocksDialog(const AllClocksServices& services) : m_services(services)
{
}

CAllClocksDialog::~CAllClocksDialog()
{
    Close();
    FreeClocks();
}

SYSTEMTIME CAllClocksDialog::NowUtc()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    return now;
}

bool CAllClocksDialog::Show()
{
    if (m_dialog) {
        SetForegroundWindow(m_dialog);
        return true;
    }
    if (!m_host || !m_services.resources || !*m_services.resources)
        return false;
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    CreateDialogParamW(m_services.resources->Get(), MAKEINTRESOURCEW(kAllClocksTemplate), m_host->MainWindow(),
                       DialogProc, (LPARAM)this);
    if (!m_dialog)
        return false;
    ShowWindow(m_dialog, SW_SHOW);
    return true;
}

void CAllClocksDialog::Close()
{
    if (m_dialog)
        DestroyWindow(m_dialog);
}

INT_PTR CALLBACK CAllClocksDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ((CAllClocksDialog*)lParam)->m_dialog = dialog;
    }
    auto* self = (CAllClocksDialog*)GetWindowLongPtrW(dialog, DWLP_USER);
    if (!self)
        return FALSE;
    INT_PTR result = FALSE;
    bool handled = self->OnMessage(message, wParam, lParam, &result);
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
    if (handled && message != WM_INITDIALOG && message != WM_CTLCOLORDLG)
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return handled ? (message == WM_INITDIALOG ? result : TRUE) : FALSE;
}

bool CAllClocksDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        *result = FALSE;  // the focus went to the first time picker
        return true;
    case WM_PAINT:
        Paint();
        return true;
    case WM_ERASEBKGND:
        *result = 1;  // the paint covers everything
        return true;
    case WM_NOTIFY: {
        const NMHDR* header = (const NMHDR*)lParam;
        if (header->hwndFrom == m_tooltip && header->code == TTN_GETDISPINFOW) {
            NMTTDISPINFOW* info = (NMTTDISPINFOW*)lParam;
            TooltipText(m_tipClock, m_tipText, kTipChars + 1);
            info->lpszText = m_tipText;
            return true;
        }
        if (header->code == DTN_DATETIMECHANGE && !m_rebuilding) {
            const NMDATETIMECHANGE* change = (const NMDATETIMECHANGE*)lParam;
            if (change->dwFlags == GDT_VALID)
                OnPickerChange((int)header->idFrom, change->st);
            return true;
        }
        return false;
    }
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        return true;
    case WM_MOUSELEAVE:
        HideTip();
        return true;
    case WM_MOUSEWHEEL: {
        HWND focus = GetFocus();
        if (!focus || GetParent(focus) != m_dialog)
            return false;
        WPARAM key = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? VK_UP : VK_DOWN;
        SendMessageW(focus, WM_KEYDOWN, key, 0);
        SendMessageW(focus, WM_KEYUP, key, 0);
        return true;
    }
    case WM_GETMINMAXINFO: {
        MINMAXINFO* info = (MINMAXINFO*)lParam;
        info->ptMinTrackSize.x = kMinWidth;
        info->ptMinTrackSize.y = kMinHeight;
        return true;
    }
    case WM_SETTINGCHANGE:
    case WM_TIMECHANGE:
        Rebuild(false);
        return false;
    case UM_SETTINGSCHANGED:
        Rebuild(true);
        return true;
    case WM_TIMER:
        if (wParam != kRepaintTimer)
            return false;
        KillTimer(m_dialog, kRepaintTimer);
        InvalidateRect(m_dialog, nullptr, FALSE);
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return false;
        DestroyWindow(m_dialog);
        return true;
    case WM_DESTROY:
        KillTimer(m_dialog, kRepaintTimer);
        m_dialog = nullptr;
        if (m_tooltip)
            DestroyWindow(m_tooltip);
        m_tooltip = nullptr;
        m_datePickers.clear();
        m_timePickers.clear();
        FreeClocks();
        return false;
    }
    return false;
}

void CAllClocksDialog::OnInit()
{
    WCHAR title[128];
    if (m_services.language && m_services.language->GetString(kAllClocksTitle, title, 128))
        SetWindowTextW(m_dialog, title);
    BuildClocks();
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_dialog, nullptr,
                                nullptr, nullptr);
    if (m_tooltip) {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = m_dialog;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, (LPARAM)&tool);
        SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 300);
    }
    if (!NextWholeHour(NowUtc(), &m_moment))
        m_moment = NowUtc();
    Measure();
    CreatePickers();
    SizeColumns();
    Layout();
    FitWindow(true);
    FollowMoment(true);
    if (!m_timePickers.empty())
        SetFocus(m_timePickers[0]);
}

void CAllClocksDialog::BuildClocks()
{
    FreeClocks();
    ClockRecord* clocks = m_host->Clocks();
    int count = clocks ? m_host->ClockCount() : 0;
    const SettingsBlock& settings = m_host->ProgramSettings();
    for (int i = 0; i < count; ++i) {
        if (clocks[i].enabled != 1 || (clocks[i].kind & kClockTimer))
            continue;
        ClockRecord copy = clocks[i];
        // the alarms stay with the program's record
        copy.alarms = {};
        copy.alarmCount = 0;
        copy.alarmsEnabled = 0;
        CopyText(copy.timeFormat, FIELD_WIDTH(copy.timeFormat), L"Default");
        CopyText(copy.dateFormat, FIELD_WIDTH(copy.dateFormat), L"None");
        copy.flags &= ~(kClockShowsSeconds | kClockSecondsHand | kClockTransparent);
        if (settings.options & kOptTransparentSkin)
            copy.flags |= kClockTransparent;
        m_copies.push_back(copy);
    }
    WCHAR look[FIELD_WIDTH(settings.skin) + 1];
    CopyFieldText(look, FIELD_WIDTH(look), settings.skin, FIELD_WIDTH(settings.skin));
    m_skin = CreateClockSkin(m_services.skinsRoot, look, kFaceWidth, kFontSize, m_services.styles, &settings);
    m_hasFace = m_services.skinsRoot && SkinHasClockFace(m_services.skinsRoot, look);
    ClockContext context = m_services.context;
    if (m_services.resources)
        context.resources = m_services.resources->Get();
    context.weekRules.numbering = settings.weekNumbering;
    context.weekRules.firstDay = settings.weekStart % 7;
    ClockOptions options = {};
    for (const ClockRecord& copy : m_copies)
        m_clocks.push_back(m_skin ? CreateClock(copy, m_skin, context, options) : nullptr);
}

void CAllClocksDialog::FreeClocks()
{
    for (CClock* clock : m_clocks)
        delete clock;
    m_clocks.clear();
    m_copies.clear();
    m_places.clear();
    if (m_skin)
        ReleaseClockSkin(m_skin);
    m_skin = nullptr;
    m_tipClock = -1;
}

void CAllClocksDialog::Measure()
{
    HDC dc = GetDC(m_dialog);
    // the sample that makes every clock as wide as it ever gets
    SYSTEMTIME sample = m_moment;
    sample.wHour = 22;
    sample.wMinute = 58;
    sample.wSecond = 58;
    for (CClock* clock : m_clocks) {
        if (!clock)
            continue;
        clock->Update(m_moment);
        clock->Measure(dc, kMeasureWidth, kMeasureHeight, nullptr, &sample);
        clock->Update(m_moment);
    }
    ReleaseDC(m_dialog, dc);
}

void CAllClocksDialog::CreatePickers()
{
    DestroyPickers();
    LCID lcid = m_services.language ? m_services.language->GetLcid() : LOCALE_USER_DEFAULT;
    WCHAR timeFormat[80];
    PickerTimeFormat(lcid, timeFormat, 80);
    HFONT font = (HFONT)SendMessageW(m_dialog, WM_GETFONT, 0, 0);
    SYSTEMTIME local;
    GetLocalTime(&local);
    SYSTEMTIME limits[2] = {};
    limits[0].wYear = local.wYear;
    limits[0].wMonth = 1;
    limits[0].wDay = 1;
    HINSTANCE module = (HINSTANCE)GetWindowLongPtrW(m_dialog, GWLP_HINSTANCE);
    for (size_t i = 0; i < m_copies.size(); ++i) {
        HWND date = CreateWindowExW(0, DATETIMEPICK_CLASSW, nullptr, WS_CHILD | WS_TABSTOP | DTS_SHORTDATEFORMAT, -500,
                                    -500, 75, 20, m_dialog, (HMENU)(INT_PTR)(kDatePickerBase + i), module, nullptr);
        HWND time = CreateWindowExW(0, DATETIMEPICK_CLASSW, nullptr, WS_CHILD | WS_TABSTOP | DTS_TIMEFORMAT, -500,
                                    -500, 75, 20, m_dialog, (HMENU)(INT_PTR)(kTimePickerBase + i), module, nullptr);
        for (HWND picker : {date, time}) {
            if (!picker)
                continue;
            SendMessageW(picker, WM_SETFONT, (WPARAM)font, FALSE);
            SendMessageW(picker, DTM_SETRANGE, GDTR_MIN, (LPARAM)limits);
        }
        SendMessageW(date, DTM_SETFORMATW, 0, (LPARAM)kDateFormat);
        SendMessageW(time, DTM_SETFORMATW, 0, (LPARAM)timeFormat);
        m_datePickers.push_back(date);
        m_timePickers.push_back(time);
    }
}

void CAllClocksDialog::DestroyPickers()
{
    for (HWND picker : m_datePickers)
        DestroyWindow(picker);
    for (HWND picker : m_timePickers)
        DestroyWindow(picker);
    m_datePickers.clear();
    m_timePickers.clear();
}

void CAllClocksDialog::SizeColumns()
{
    LCID lcid = m_services.language ? m_services.language->GetLcid() : LOCALE_USER_DEFAULT;
    HDC dc = GetDC(m_dialog);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(m_dialog, WM_GETFONT, 0, 0));
    int widest = 0, tallest = 0;
    auto measure = [&](const WCHAR* text) {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        widest = size.cx > widest ? size.cx : widest;
        tallest = size.cy > tallest ? size.cy : tallest;
    };
    WCHAR text[80];
    for (WORD month = 1; month <= 12; ++month) {
        SYSTEMTIME day = {2055, month, 0, 20};
        if (GetDateFormatW(lcid, 0, &day, kDateFormat, text, 80))
            measure(text);
    }
    const WCHAR* clockFormat = Uses12Hours(lcid) ? L"hh:mm:ss:tt" : L"HH:mm:ss";
    WCHAR format[32];
    TimeFormatWithoutSeconds(clockFormat, L":", format, 32);
    for (WORD hour : {10, 22}) {
        SYSTEMTIME t = {2055, 1, 0, 20, hour, 55};
        if (GetTimeFormatW(lcid, 0, &t, format, text, 80))
            measure(text);
    }
    SelectObject(dc, old);
    ReleaseDC(m_dialog, dc);
    m_columnWidth = GetSystemMetrics(SM_CXVSCROLL) + widest + 9;
    m_pickerHeight = tallest + 8;
    // some pickers draw their fields wider apart than the texts measure
    for (HWND picker : {m_datePickers.empty() ? nullptr : m_datePickers[0],
                        m_timePickers.empty() ? nullptr : m_timePickers[0]}) {
        SIZE ideal = {0, 0};
        if (picker && SendMessageW(picker, DTM_GETIDEALSIZE, 0, (LPARAM)&ideal) && ideal.cx > m_columnWidth)
            m_columnWidth = ideal.cx;
    }
}

void CAllClocksDialog::Layout()
{
    AllClocksLayoutInput input;
    input.columnWidth = m_columnWidth;
    input.pickerHeight = m_pickerHeight;
    input.hasFace = m_hasFace;
    for (CClock* clock : m_clocks) {
        RECT r = clock ? clock->GetRect() : RECT{};
        input.clocks.push_back({(int)(r.right - r.left), (int)(r.bottom - r.top)});
    }
    m_client = LayoutAllClocks(input, &m_places);
    HDWP hdwp = BeginDeferWindowPos((int)(2 * m_places.size()));
    for (size_t i = 0; i < m_places.size(); ++i) {
        const AllClocksPlace& place = m_places[i];
        if (m_clocks[i]) {
            RECT r = {place.clock.left, place.clock.top, place.clock.right, place.clock.bottom};
            m_clocks[i]->SetRect(r);
        }
        const AllClocksBox* boxes[2] = {&place.datePicker, &place.timePicker};
        HWND pickers[2] = {m_datePickers[i], m_timePickers[i]};
        for (int k = 0; k < 2 && hdwp; ++k)
            if (pickers[k])
                hdwp = DeferWindowPos(hdwp, pickers[k], nullptr, boxes[k]->left, boxes[k]->top,
                                      boxes[k]->right - boxes[k]->left, boxes[k]->bottom - boxes[k]->top,
                                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    if (!hdwp || !EndDeferWindowPos(hdwp))
        MessageBoxW(m_dialog, L"EndDeferWindowPos(hdwp)", nullptr, MB_OK | MB_ICONHAND);
}

void CAllClocksDialog::FitWindow(bool centre)
{
    RECT frame = {0, 0, m_client.cx, m_client.cy};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrW(m_dialog, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrW(m_dialog, GWL_EXSTYLE));
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    width = width < kMinWidth ? kMinWidth : width;
    height = height < kMinHeight ? kMinHeight : height;
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    RECT now;
    GetWindowRect(m_dialog, &now);
    int x, y;
    if (centre) {
        x = desktop.left + (desktop.right - desktop.left - width) / 2;
        y = desktop.top + (desktop.bottom - desktop.top - height) / 2;
    } else {
        x = now.left + width > desktop.right - kScreenEdge ? desktop.right - kScreenEdge - width : now.left;
        y = now.top + height > desktop.bottom - kScreenEdge ? desktop.bottom - kScreenEdge - height : now.top;
        x = x < kScreenEdge ? kScreenEdge : x;
    }
    SetWindowPos(m_dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CAllClocksDialog::FollowMoment(bool now)
{
    bool rebuilding = m_rebuilding;
    // setting a picker tells the dialog as a user's change would
    m_rebuilding = true;
    for (size_t i = 0; i < m_copies.size(); ++i) {
        if (m_clocks[i]) {
            // the clock draws from a record of its own: the dated changes go there too
            m_clocks[i]->Record().zone = m_copies[i].zone;
            m_clocks[i]->Update(m_moment);
        }
        SYSTEMTIME shown;
        GetClockLocalTime(m_moment, &shown, m_copies[i]);
        shown.wSecond = 0;
        shown.wMilliseconds = 0;
        if (m_datePickers[i])
            SendMessageW(m_datePickers[i], DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&shown);
        if (m_timePickers[i])
            SendMessageW(m_timePickers[i], DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&shown);
    }
    m_rebuilding = rebuilding;
    if (now)
        InvalidateRect(m_dialog, nullptr, FALSE);
    else
        SetTimer(m_dialog, kRepaintTimer, 1, nullptr);
}

void CAllClocksDialog::ApplyDatedChanges(int only, int skip)
{
    if (!m_services.zones)
        return;
    for (int i = 0; i < (int)m_copies.size(); ++i) {
        if ((only >= 0 && i != only) || i == skip)
            continue;
        ClockRecord& copy = m_copies[i];
        m_services.zones->ApplyZoneChanges(&copy.zone, (copy.flags & kClockUseDaylight) != 0, m_moment);
    }
}

void CAllClocksDialog::UndoDatedChanges()
{
    if (!m_services.zones)
        return;
    for (ClockRecord& copy : m_copies)
        m_services.zones->RefreshClockZone(&copy.zone, (copy.flags & kClockUseDaylight) != 0);
}

void CAllClocksDialog::OnPickerChange(int id, const SYSTEMTIME& picked)
{
    bool time = id >= kTimePickerBase && id < kTimePickerBase + (int)m_copies.size();
    bool date = id >= kDatePickerBase && id < kDatePickerBase + (int)m_copies.size();
    if (!time && !date)
        return;
    int index = id - (time ? kTimePickerBase : kDatePickerBase);
    const ClockRecord& clock = m_copies[index];
    SYSTEMTIME shown;
    GetClockLocalTime(m_moment, &shown, clock);
    if (time) {
        if (picked.wHour == shown.wHour && picked.wMinute == shown.wMinute)
            return;
        m_moment = MomentForPickedTime(clock, m_moment, picked.wHour, picked.wMinute);
        FollowMoment(false);
        ApplyDatedChanges(-1, -1);
        FollowMoment(false);
        return;
    }
    if (SameDay(picked, shown))
        return;
    m_moment = MomentForPickedDate(clock, m_moment, picked);
    if (picked.wYear < shown.wYear)
        UndoDatedChanges();
    ApplyDatedChanges(index, -1);
    m_moment = MomentForPickedDate(m_copies[index], m_moment, picked);
    ApplyDatedChanges(-1, index);
    FollowMoment(false);
}

void CAllClocksDialog::Paint()
{
    PAINTSTRUCT ps;
    HDC target = BeginPaint(m_dialog, &ps);
    RECT client;
    GetClientRect(m_dialog, &client);
    CBitmap buffer;
    if (client.right > 0 && client.bottom > 0 && buffer.Create(client.right, client.bottom)) {
        HDC dc = buffer.GetDC();
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        for (CClock* clock : m_clocks) {
            RECT r = clock ? clock->GetRect() : RECT{}, common;
            if (clock && IntersectRect(&common, &r, &ps.rcPaint))
                clock->Paint(dc, nullptr);
        }
        BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    }
    EndPaint(m_dialog, &ps);
}

RECT CAllClocksDialog::ClockRect(int index) const
{
    return m_clocks[index] ? m_clocks[index]->GetRect() : RECT{};
}

int CAllClocksDialog::ClockAt(POINT point) const
{
    for (size_t i = 0; i < m_clocks.size(); ++i) {
        RECT r = ClockRect((int)i);
        if (PtInRect(&r, point))
            return (int)i;
    }
    return -1;
}

void CAllClocksDialog::TooltipText(int index, WCHAR* text, int chars) const
{
    text[0] = 0;
    if (index < 0 || index >= (int)m_copies.size() || chars < 1)
        return;
    const ClockRecord& clock = m_copies[index];
    std::wstring out;
    WCHAR field[FIELD_WIDTH(clock.caption) + 1];
    CopyFieldText(field, FIELD_WIDTH(field), clock.caption, FIELD_WIDTH(clock.caption));
    for (const WCHAR* c = field; *c; ++c) {
        out += *c;
        if (*c == L'&')
            out += L'&';  // shown, not taken as a mnemonic
    }
    SYSTEMTIME shown;
    GetClockLocalTime(m_moment, &shown, clock);
    WCHAR date[80] = {};
    LCID lcid = m_services.language ? m_services.language->GetLcid() : LOCALE_USER_DEFAULT;
    GetDateFormatW(lcid, DATE_LONGDATE, &shown, nullptr, date, 80);
    out += L"\r\n";
    out += date;
    WCHAR location[FIELD_WIDTH(clock.location) + 1];
    CopyFieldText(location, FIELD_WIDTH(location), clock.location, FIELD_WIDTH(clock.location));
    if (location[0]) {
        out += L"\r\n";
        out += location;
    }
    int limit = chars - 1 < kTipChars ? chars - 1 : kTipChars;
    lstrcpynW(text, out.c_str(), limit + 1);
}

void CAllClocksDialog::OnMouseMove(LPARAM lParam)
{
    POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    int index = ClockAt(point);
    if (index < 0) {
        HideTip();
        return;
    }
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_dialog, 0};
    TrackMouseEvent(&track);
    if (index == m_tipClock || !m_tooltip)
        return;
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_dialog;
    // the text is asked for when the tip shows: another clock shows it anew
    if (m_tipClock >= 0)
        SendMessageW(m_tooltip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&tool);
    m_tipClock = index;
    SendMessageW(m_tooltip, TTM_TRACKACTIVATE, TRUE, (LPARAM)&tool);
    RECT r = ClockRect(index), tip;
    GetWindowRect(m_tooltip, &tip);
    POINT top = {(r.left + r.right) / 2, r.top};
    ClientToScreen(m_dialog, &top);
    int x = top.x - (tip.right - tip.left) / 2, y = top.y - 4 - (tip.bottom - tip.top);
    SendMessageW(m_tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
}

void CAllClocksDialog::HideTip()
{
    if (m_tooltip && m_tipClock >= 0) {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_dialog;
        SendMessageW(m_tooltip, TTM_TRACKACTIVATE, FALSE, (LPARAM)&tool);
    }
    m_tipClock = -1;
}

void CAllClocksDialog::Rebuild(bool refit)
{
    m_rebuilding = true;
    HideTip();
    BuildClocks();
    Measure();
    if (refit || m_datePickers.size() != m_copies.size()) {
        CreatePickers();
        SizeColumns();
    }
    Layout();
    if (refit)
        FitWindow(false);
    m_rebuilding = false;
    FollowMoment(true);
}
