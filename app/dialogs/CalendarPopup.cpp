#include "app/dialogs/CalendarPopup.h"

#include <string>

#include "app/dialogs/ClockDialogHost.h"
#include "app/settings/SettingsIni.h"
#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"

namespace {

const int kTitleChars = 128;
const int kTodayPrefixChars = 19;

SYSTEMTIME LocalToday()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

std::wstring MainSection(const SettingsPaths& paths)
{
    return UserSection(paths.userPrefix, L":main");
}

void CenterIn(HWND window, const RECT& work)
{
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void GetCalendarGrid(int months, int* across, int* down)
{
    struct Grid {
        int months, across, down;
    };
    static const Grid kGrids[] = {{4, 2, 2}, {6, 3, 2}, {8, 4, 2}, {9, 3, 3}, {10, 5, 2}, {12, 4, 3}};
    for (const Grid& grid : kGrids)
        if (grid.months == months) {
            *across = grid.across;
            *down = grid.down;
            return;
        }
    *across = ((months % 12) + 12) % 12;
    if (*across == 0)
        *across = 1;
    *down = 1;
}

CCalendarPopup::CCalendarPopup(const CLanguage& language, const SettingsPaths& paths)
    : m_language(language), m_paths(paths), m_widget(language, LocalToday())
{
}

CCalendarPopup::~CCalendarPopup()
{
    Close();
}

bool CCalendarPopup::Show()
{
    if (m_window) {
        SetForegroundWindow(m_window);
        return true;
    }
    HMODULE resources = m_language.GetResources();
    if (!resources || !FindResourceW(resources, MAKEINTRESOURCEW(kDlgCalendar), (LPCWSTR)RT_DIALOG))
        return false;
    HWND owner = m_host ? m_host->MainWindow() : nullptr;
    HWND dialog = CreateDialogParamW(resources, MAKEINTRESOURCEW(kDlgCalendar), owner, DialogProc, (LPARAM)this);
    if (!dialog)
        return false;
    ShowWindow(dialog, SW_SHOW);
    BringWindowToTop(dialog);
    SetForegroundWindow(dialog);
    return true;
}

void CCalendarPopup::Close()
{
    if (m_window && IsWindow(m_window))
        DestroyWindow(m_window);
    m_window = nullptr;
}

void CCalendarPopup::Reopen()
{
    if (!m_window)
        return;
    Close();
    Show();
}

INT_PTR CALLBACK CCalendarPopup::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = (CCalendarPopup*)GetWindowLongPtrW(dialog, DWLP_USER);
    if (!self)
        return FALSE;
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
    return self->OnMessage(dialog, message, wParam, lParam);
}

INT_PTR CCalendarPopup::OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_ERASEBKGND:
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_MOUSEMOVE:
    case WM_KEYDOWN: {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, dialog, 0};
        TrackMouseEvent(&track);
        m_widget.HandleMessage(dialog, message, wParam, lParam);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_MOUSELEAVE:
        m_widget.HandleMessage(dialog, message, wParam, lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        SavePosition(dialog);
        if (m_window == dialog)
            m_window = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void CCalendarPopup::OnInitDialog(HWND dialog)
{
    m_window = dialog;
    LocalizeDialog(dialog, kCalendarSection, m_language);
    Calendar::LoadDayNames(m_language.GetLcid());
    WCHAR title[kTitleChars];
    if (m_language.GetString(kCalendarTitleString, title, kTitleChars))
        SetWindowTextW(dialog, title);
    WCHAR prefix[kTodayPrefixChars + 1];
    if (m_language.GetString(Calendar::kTodayPrefixString, prefix, kTodayPrefixChars + 1))
        m_widget.SetTodayPrefix(prefix);

    int across = 1, down = 1;
    if (m_host) {
        const SettingsBlock& settings = m_host->ProgramSettings();
        GetCalendarGrid((int)settings.calendarMonths, &across, &down);
        m_widget.SetFirstDay((int)(settings.weekStart % 7));
        m_widget.SetWeekNumbering(settings.weekNumbering);
    }
    m_widget.SetMonths(across, down);
    m_widget.SetToday(LocalToday());
    m_widget.ShowToday();
    m_widget.SetFlags(m_widget.GetFlags() | Calendar::kShowTodayLine);
    Calendar::LoadNavigationButtons(m_widget, m_paths.folder, m_language.GetResources());
    if (m_host)
        m_widget.SetStyle(m_host->CalendarLook());

    HDC dc = GetDC(dialog);
    m_widget.SetDC(dc);
    int width = 0, height = 0;
    m_widget.GetSize(&width, &height);
    m_widget.SetDC(nullptr);
    ReleaseDC(dialog, dc);
    m_widget.SetRect(RECT{kCalendarMargin, kCalendarMargin, kCalendarMargin + width, kCalendarMargin + height});

    RECT frame = {0, 0, width + 2 * kCalendarMargin, height + 2 * kCalendarMargin};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrW(dialog, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrW(dialog, GWL_EXSTYLE));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Place(dialog);
}

void CCalendarPopup::OnPaint(HWND dialog)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    m_widget.SetDC(dc);
    m_widget.Paint();
    m_widget.SetDC(nullptr);
    EndPaint(dialog, &ps);
}

void CCalendarPopup::Place(HWND dialog)
{
    std::wstring section = MainSection(m_paths);
    int x = (int)GetPrivateProfileIntW(section.c_str(), L"calendar_x", kNoCalendarPosition, m_paths.userIni);
    int y = (int)GetPrivateProfileIntW(section.c_str(), L"calendar_y", kNoCalendarPosition, m_paths.userIni);
    if (x != kNoCalendarPosition && y != kNoCalendarPosition) {
        SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(dialog, &r);
        if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL))
            return;
        MONITORINFO info = {sizeof(info)};
        if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) {
            CenterIn(dialog, info.rcWork);
            return;
        }
    }
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        GetWindowRect(GetDesktopWindow(), &work);
    CenterIn(dialog, work);
}

void CCalendarPopup::SavePosition(HWND dialog)
{
    RECT r;
    if (!GetWindowRect(dialog, &r))
        return;
    std::wstring section = MainSection(m_paths);
    WCHAR text[16];
    wsprintfW(text, L"%d", (int)r.left);
    WritePrivateProfileStringW(section.c_str(), L"calendar_x", text, m_paths.userIni);
    wsprintfW(text, L"%d", (int)r.top);
    WritePrivateProfileStringW(section.c_str(), L"calendar_y", text, m_paths.userIni);
}
