#include "app/log/ReminderLogWindow.h"

#include <commctrl.h>

#include "app/ui/DialogHelpers.h"
#include "app/ui/NumberFormat.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/WindowClasses.h"

namespace {

const UINT kWhenColumnString = 150;
const UINT kTextColumnString = 151;
const UINT kTitleString = 160;
const UINT kDaysFormatString = 167;
const UINT kHoursFormatString = 168;
const UINT kMinutesFormatString = 169;
const UINT kAlarmWhenString = 170;
const UINT kPluralEndingString = 171;
const UINT kDeleteButtonString = 233;

const WCHAR kFallbackTitle[] = L"Tempolan Reminders and Alarms";

const DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
const int kListId = 100;
const int kButtonWidth = 100;
const int kButtonHeight = 20;
const int kButtonLeft = 20;
// the strip under the list: one menu height and this much room around the button
const int kButtonStripExtra = 20;
const int kButtonBottomGap = 10;

// image list positions
const int kAlarmImage = 0;
const int kReminderImage = 1;

const int kWhenFormatChars = 63;
const int kPluralChars = 3;
const int kUiTextChars = 256;

const int kMinutesPerHour = 60;
const int kMinutesPerDay = 1440;

}  // namespace

CReminderLogWindow::CReminderLogWindow(const SettingsPaths& paths, const ILanguageStrings& language,
                                       AlarmCheckState& alarms, HMODULE resources, const LogWindowSeams& seams)
    : m_paths(paths), m_language(language), m_alarms(alarms), m_resources(resources), m_seams(seams),
      m_classIcon(nullptr), m_registered(false), m_window(nullptr), m_list(nullptr), m_button(nullptr)
{
}

CReminderLogWindow::~CReminderLogWindow()
{
    DestroyLogWindow();
}

bool CReminderLogWindow::CreateLogWindow()
{
    if (m_window)
        return true;
    // without a stored check the first tick's window starts now
    GetSystemTime(&m_alarms.previousTick);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!m_registered) {
        // not shared: the class owns it and destroys it with the class
        m_classIcon = (HICON)LoadImageW(m_resources ? m_resources : instance, MAKEINTRESOURCEW(kLogWindowIconId),
                                        IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = LogWindowProc;
        wc.hInstance = instance;
        wc.hIcon = m_classIcon;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kLogWindowClass;
        if (RegisterClassExW(&wc)) {
            m_registered = true;
        } else {
            DWORD error = GetLastError();
            if (m_classIcon)
                DestroyIcon(m_classIcon);
            m_classIcon = nullptr;
            // another log of this process holds the class: share it, each
            // window finds its own object
            if (error != ERROR_CLASS_ALREADY_EXISTS)
                return false;
        }
    }
    WCHAR title[kUiTextChars];
    if (m_language.GetString(kTitleString, title, kUiTextChars) <= 0)
        lstrcpynW(title, kFallbackTitle, kUiTextChars);
    CreateWindowExW(0, kLogWindowClass, title, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, nullptr, nullptr, instance, this);
    return m_window != nullptr;
}

void CReminderLogWindow::DestroyLogWindow()
{
    if (!m_window && !m_registered)
        return;
    if (m_seams.closeAlarmWindows)
        m_seams.closeAlarmWindows();
    if (m_window)
        DestroyWindow(m_window);
    if (m_registered)
        UnregisterClassW(kLogWindowClass, GetModuleHandleW(nullptr));
    m_registered = false;
    if (m_classIcon)
        DestroyIcon(m_classIcon);
    m_classIcon = nullptr;
}

LRESULT CALLBACK CReminderLogWindow::LogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = (CReminderLogWindow*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        if (self) {
            self->m_window = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, (LONG_PTR)self);
        }
    }
    auto* self = (CReminderLogWindow*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self)
            self->m_window = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CReminderLogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_window, &client);
        FillRect((HDC)wParam, &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_CLOSE:
        ShowWindow(m_window, SW_HIDE);
        return 0;
    case WM_NOTIFY: {
        const NMHDR* header = (const NMHDR*)lParam;
        if (header && m_list && header->hwndFrom == m_list && header->code == LVN_KEYDOWN &&
            ((const NMLVKEYDOWN*)lParam)->wVKey == VK_DELETE)
            DeleteSelected();
        return 0;
    }
    case WM_COMMAND:
        if (m_button && (HWND)lParam == m_button && HIWORD(wParam) == BN_CLICKED)
            DeleteSelected();
        return 0;
    case UM_RELOCALIZE:
        TranslateLogWindow();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

bool CReminderLogWindow::OnCreate()
{
    RestoreLastAlarmCheck(m_paths, m_alarms);
    ILogScreens& screens = m_seams.screens ? *m_seams.screens : m_systemScreens;
    RECT place = LoadLogWindowPlace(m_paths, screens);
    MoveWindow(m_window, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);

    HINSTANCE instance = GetModuleHandleW(nullptr);
    RECT client;
    GetClientRect(m_window, &client);
    m_list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                 LVS_NOSORTHEADER,
                             0, 0, client.right, client.bottom, m_window, (HMENU)(INT_PTR)kListId, instance, nullptr);
    if (!m_list)
        return false;
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

    int widths[kLogColumnCount] = {kDefaultLogColumnWidths[0], kDefaultLogColumnWidths[1]};
    if (!LoadLogColumnWidths(m_paths, widths)) {
        // the text column fills the rest of the list, beside its scroll bar
        int rest = client.right - widths[0] - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL);
        if (rest > 0)
            widths[1] = rest;
    }
    int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    // the list destroys its image lists with itself
    HIMAGELIST images = ImageList_Create(cx, cy, ILC_MASK | ILC_COLOR32, 2, 0);
    const WORD iconIds[] = {kAlarmIconId, kReminderIconId};  // in the order of the image indexes
    for (WORD id : iconIds) {
        HICON icon = (HICON)LoadImageW(m_resources ? m_resources : instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx,
                                       cy, 0);
        ImageList_AddIcon(images, icon);
        if (icon)
            DestroyIcon(icon);
    }
    SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)images);
    InsertListViewColumns(m_list, widths, kLogColumnCount);

    m_button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kButtonLeft, 0,
                               kButtonWidth, kButtonHeight, m_window, (HMENU)(INT_PTR)kLogDeleteButtonId, instance,
                               nullptr);
    if (!m_button)
        return false;
    SendMessageW(m_button, WM_SETFONT, SendMessageW(m_list, WM_GETFONT, 0, 0), FALSE);
    EnableWindow(m_button, FALSE);
    TranslateLogWindow();
    OnSize(client.right, client.bottom);
    return true;
}

void CReminderLogWindow::OnSize(int width, int height)
{
    if (!m_list || !m_button)
        return;
    int menuHeight = GetSystemMetrics(SM_CYMENU);
    int listHeight = height - menuHeight - kButtonStripExtra;
    MoveWindow(m_list, 0, 0, width, listHeight > 0 ? listHeight : 0, TRUE);
    MoveWindow(m_button, kButtonLeft, height - menuHeight - kButtonBottomGap, kButtonWidth, menuHeight, TRUE);
}

void CReminderLogWindow::OnDestroy()
{
    SaveLastAlarmCheck(m_paths, m_alarms);
    // a window whose creation failed half-way has nothing worth keeping
    if (m_list) {
        RECT place;
        if (GetWindowRect(m_window, &place))
            SaveLogWindowPlace(m_paths, place);
        int widths[kLogColumnCount];
        for (int i = 0; i < kLogColumnCount; ++i) {
            int width = (int)SendMessageW(m_list, LVM_GETCOLUMNWIDTH, i, 0);
            widths[i] = width > 0 ? width : kDefaultLogColumnWidths[i];
        }
        SaveLogColumnWidths(m_paths, widths);
    }
    m_list = nullptr;
    m_button = nullptr;
}

void CReminderLogWindow::DeleteSelected()
{
    if (!m_list)
        return;
    int count = (int)SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0);
    if (count > 0) {
        int index = (int)SendMessageW(m_list, LVM_GETSELECTIONMARK, 0, 0);
        if (index < 0 || index >= count)
            index = 0;
        SendMessageW(m_list, LVM_DELETEITEM, index, 0);
        --count;
        if (index >= count)
            index = count - 1;
        if (count == 0)
            ShowWindow(m_window, SW_HIDE);
        else
            SelectLogItem(index);
    }
    EnableWindow(m_button, count > 0);
    SetFocus(m_list);
}

bool CReminderLogWindow::AddLogEntry(ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time,
                                     bool reminder)
{
    if (!m_window || !m_list)
        return false;
    WCHAR when[kWhenChars];
    FormatWhen(alarm, time, reminder, when);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = (int)SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0);
    item.pszText = when;
    item.iImage = reminder ? kReminderImage : kAlarmImage;
    int index = (int)SendMessageW(m_list, LVM_INSERTITEMW, 0, (LPARAM)&item);
    if (index < 0)
        return false;

    WCHAR text[kExpandedChars];
    ExpandText(clock, alarm, time, text);
    LVITEMW sub = {};
    sub.iSubItem = 1;
    sub.pszText = text;
    SendMessageW(m_list, LVM_SETITEMTEXTW, index, (LPARAM)&sub);

    SelectLogItem(index);
    EnableWindow(m_button, TRUE);
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(m_list);
    return true;
}

void CReminderLogWindow::FormatWhen(const AlarmRecord& alarm, const SYSTEMTIME& time, bool reminder,
                                    WCHAR (&out)[kWhenChars]) const
{
    out[0] = 0;
    if (!reminder) {
        FILETIME valid;
        if (SystemTimeToFileTime(&time, &valid))
            m_language.GetString(kAlarmWhenString, out, kWhenChars);
        return;
    }
    int minutes = alarm.reminderMinutes;
    if (minutes <= 0)
        return;
    UINT formatId = kMinutesFormatString;
    int count = minutes;
    if (minutes / kMinutesPerDay >= 1) {
        formatId = kDaysFormatString;
        count = minutes / kMinutesPerDay;
    } else if (minutes / kMinutesPerHour >= 1) {
        formatId = kHoursFormatString;
        count = minutes / kMinutesPerHour;
    }
    WCHAR format[kWhenFormatChars + 1];
    m_language.GetString(formatId, format, kWhenFormatChars + 1);
    int length = FormatWithOneNumber(format, count, out, kWhenFormatChars + 1);
    // a translation that is no format shows the bare number, without an ending
    if (count > 1 && IsOneNumberFormat(format)) {
        WCHAR plural[kPluralChars + 1];
        m_language.GetString(kPluralEndingString, plural, kPluralChars + 1);
        lstrcpynW(out + length, plural, kWhenChars - length);
    }
}

void CReminderLogWindow::ExpandText(const ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time,
                                    WCHAR (&out)[kExpandedChars]) const
{
    out[0] = 0;
    if (m_seams.expand) {
        // a failed expansion shows no text rather than leaving the tick's window procedure
        try {
            std::wstring expanded = m_seams.expand(clock, alarm, time);
            lstrcpynW(out, expanded.c_str(), kExpandedChars);
        } catch (...) {
            out[0] = 0;
        }
        return;
    }
    // the record's text need not be terminated
    int n = 0;
    while (n < (int)(sizeof(alarm.text) / sizeof(alarm.text[0])) && n < kExpandedChars - 1 && alarm.text[n]) {
        out[n] = alarm.text[n];
        ++n;
    }
    out[n] = 0;
}

void CReminderLogWindow::SelectLogItem(int index)
{
    if (m_list)
        SelectListViewRow(m_list, index);
}

void CReminderLogWindow::TranslateLogWindow()
{
    if (!m_window)
        return;
    WCHAR text[kUiTextChars];
    if (m_language.GetString(kTitleString, text, kUiTextChars) <= 0)
        lstrcpynW(text, kFallbackTitle, kUiTextChars);
    SetWindowTextW(m_window, text);
    if (m_list) {
        const UINT columnIds[kLogColumnCount] = {kWhenColumnString, kTextColumnString};
        for (int i = 0; i < kLogColumnCount; ++i) {
            m_language.GetString(columnIds[i], text, kUiTextChars);
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT;
            column.pszText = text;
            SendMessageW(m_list, LVM_SETCOLUMNW, i, (LPARAM)&column);
        }
    }
    if (m_button) {
        m_language.GetString(kDeleteButtonString, text, kUiTextChars);
        SetWindowTextW(m_button, text);
    }
}

void CReminderLogWindow::Show()
{
    if (!m_window)
        return;
    ShowWindow(m_window, SW_SHOWNORMAL);
    SetForegroundWindow(m_window);
    SetWindowPos(m_window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CReminderLogWindow::Relocalize()
{
    if (m_window)
        SendMessageW(m_window, UM_RELOCALIZE, 0, 0);
}
