#include "taskbar/tooltip/Tooltip.h"

#include <commctrl.h>
#include <stdlib.h>

#include <vector>

#include "graphics/clock/Clock.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WebSites.h"
#include "graphics/records/CityLookup.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/text/DurationFormat.h"
#include "graphics/text/Fonts.h"
#include "graphics/text/TimeFormat.h"
#include "graphics/time/ZoneConvert.h"
#include "taskbar/panel/ClockPanel.h"
#include "graphics/system/WebOpener.h"

namespace {

const UINT kCaptionFormatString = 276;
const UINT kHintString = 264;
const int kHintChars = 100;
const int kTodayPrefixChars = 19;
const int kTableTimeChars = 64;
const WCHAR kRowSample[] = L"1Wqlj";
const WCHAR kColumnSeparator[] = L", ";
const int kHintOffset = 16;
const int kAddressChars = 511;

COLORREF StyleColor(uint32_t color, int systemColor)
{
    return (color == kNoColor || color == kDefaultColor) ? GetSysColor(systemColor) : (COLORREF)(color & 0xFFFFFF);
}

SIZE TextSize(HDC dc, const WCHAR* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size;
}

void LongDate(const ILanguageStrings& language, const SYSTEMTIME& time, WCHAR* out, int chars)
{
    if (!GetDateFormatW(language.GetLcid(), DATE_LONGDATE, &time, nullptr, out, chars))
        out[0] = 0;
}

void TimeText(const ILanguageStrings& language, const SYSTEMTIME& time, WCHAR* out, int chars)
{
    if (!GetTimeFormatW(language.GetLcid(), 0, &time, nullptr, out, chars))
        out[0] = 0;
}

}  // namespace

CTooltip::CTooltip(const ILanguageStrings& language)
    : m_clock(-1),
      m_photoCity(-1),
      m_hideTimer(0),
      m_hideDelay(500),
      m_hint(nullptr),
      m_styleAlpha(255),
      m_calendar(language, SYSTEMTIME{2000, 1, 6, 1, 0, 0, 0, 0}),
      m_calendarRect{0, 0, 0, 0},
      m_textRect{0, 0, 0, 0},
      m_text(),
      m_photo(),
      m_captionFormat(),
      m_photoRect{0, 0, 0, 0},
      m_textColor(0),
      m_background(0xFFFFFF),
      m_hand(nullptr),
      m_tracking(false),
      m_env(nullptr)
{
    // one constant alpha for the whole window
    SetPerPixelAlpha(false);
    m_calendar.SetFlags(Calendar::kShowTodayLine);
}

CTooltip::~CTooltip()
{
    m_destroying = true;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

void CTooltip::Destroy()
{
    CAlphaWindow::Destroy();
    m_hint = nullptr;
    m_hideTimer = 0;
    m_clock = -1;
}

bool CTooltip::CreateTooltip()
{
    m_clock = -1;
    return Create(nullptr, L"Tempoler Tooltip", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED);
}

uint32_t CTooltip::Options() const
{
    return m_env && m_env->copies ? m_env->copies->settings.options : 0;
}

bool CTooltip::ValidClock(int index) const
{
    return m_env && m_env->copies && m_env->copies->clocks && index >= 0 && index < ClockCopyCount(*m_env->copies);
}

void CTooltip::NowUtc(SYSTEMTIME* utc) const
{
    if (m_env && m_env->now)
        m_env->now(utc);
    else
        GetSystemTime(utc);
}

void CTooltip::ShownTime(SYSTEMTIME* time) const
{
    SYSTEMTIME utc;
    NowUtc(&utc);
    if (ValidClock(m_clock))
        GetClockLocalTime(utc, time, m_env->copies->clocks[m_clock]);
    else if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, time))
        *time = utc;
}

bool CTooltip::IsShown() const
{
    return m_hwnd && IsWindowVisible(m_hwnd);
}

void CTooltip::SetClock(int index)
{
    if (index != m_clock || index < 0) {
        if (Options() & kOptTooltipCalendar)
            m_calendar.ShowToday();
        ResetPhoto();
    }
    m_clock = index;
}

void CTooltip::ResetPhoto()
{
    m_photoCity = -1;
    m_photo = PhotoChoice();
    m_photoBitmap.Destroy();
    m_caption.Reset();
    m_photoRect = {0, 0, 0, 0};
}

PhotoStore CTooltip::Store() const
{
    const TrayCopies& copies = *m_env->copies;
    const WCHAR* root = m_env->photoRoot ? m_env->photoRoot : GetPhotoStoreRoot();
    return PhotoStore{root, copies.cities, (int)copies.cityCount, rand};
}

void CTooltip::RequestPhoto(int city) const
{
    if (m_env && m_env->mainWindow)
        PostMessageW(m_env->mainWindow, UM_REQUESTPHOTO, (WPARAM)city, (LPARAM)m_hwnd);
}

int CTooltip::LoadPhoto()
{
    ResetPhoto();
    uint32_t options = Options();
    if ((options & kOptOtherTooltip) || !(options & kOptCityPhotos) || !ValidClock(m_clock) ||
        !m_env->copies->cities)
        return -1;
    const TrayCopies& copies = *m_env->copies;
    const ClockRecord& clock = copies.clocks[m_clock];
    std::wstring location = FieldText(clock.location, FIELD_WIDTH(clock.location));
    int city = FindCityByName(copies.cities, (int)copies.cityCount, location.c_str());
    if (city < 0)
        return -1;
    const CityRecord& record = copies.cities[city];
    std::wstring country = FieldText(record.countryName, FIELD_WIDTH(record.countryName));
    std::wstring name = FieldText(record.cityName, FIELD_WIDTH(record.cityName));
    PhotoStore store = Store();
    int32_t number = ReadPhotoIndex(store, country.c_str(), name.c_str(), &m_photo);
    if (number > 0 && LoadPhotoBitmap(store, city, number, &m_photoBitmap))
        m_photoCity = city;
    else
        ResetPhoto();
    // also without a photo here: the main program fetches missing or outdated ones
    RequestPhoto(city);
    return city;
}

void CTooltip::ApplySettings(const TooltipStyle& style)
{
    if (m_env && m_env->language &&
        !m_env->language->GetString(kCaptionFormatString, m_captionFormat, FIELD_WIDTH(m_captionFormat)))
        m_captionFormat[0] = 0;
    if (m_env)
        Calendar::LoadNavigationButtons(m_calendar, m_env->folder, m_env->resources);
    // the style holds no alpha of its own: the tooltip stays opaque
    m_styleAlpha = 255;
    m_calendar.SetStyle(style);
    const TooltipStyle& s = m_calendar.GetStyle();
    m_font.Reset(s.fontName[0] ? CreateTextFont(s.fontName, 0, s.fontHeight, 0,
                                                (DWORD)s.fontStyle & (kFontBold | kFontItalic))
                               : nullptr);
    m_textColor = StyleColor(s.dayColor, COLOR_WINDOWTEXT);
    m_background = StyleColor(style.background, COLOR_WINDOW);
    if (m_env && m_env->copies) {
        const SettingsBlock& settings = m_env->copies->settings;
        m_calendar.SetFirstDay((int)(settings.weekStart % 7));
        m_calendar.SetWeekNumbering(settings.weekNumbering);
    }
}

void CTooltip::BuildText()
{
    m_text[0] = 0;
    if (!ValidClock(m_clock))
        return;
    const ClockRecord& clock = m_env->copies->clocks[m_clock];
    if (clock.kind & kClockTimer) {
        WCHAR picture[FIELD_WIDTH(clock.timerFormat) + 1];
        const WCHAR* source = clock.caption[0] ? clock.caption : clock.timerFormat;
        size_t width = clock.caption[0] ? FIELD_WIDTH(clock.caption) : FIELD_WIDTH(clock.timerFormat);
        CopyFixed(picture, FIELD_WIDTH(picture) - 1, FieldText(source, width).c_str());
        picture[FIELD_WIDTH(picture) - 1] = 0;
        CUnitNames none;
        FormatDurationTicks(m_text, kTooltipTextChars, picture, clock.timerValue,
                            m_env->unitNames ? *m_env->unitNames : none);
        return;
    }
    WCHAR date[kDateTextChars] = {};
    if (!(Options() & kOptTooltipCalendar)) {
        SYSTEMTIME time;
        ShownTime(&time);
        LongDate(*m_env->language, time, date, kDateTextChars);
    }
    const WCHAR* label = nullptr;
    int labelChars = 0;
    if (m_env->panel) {
        for (int i = 0; i < m_env->panel->Count(); ++i) {
            if (m_env->panel->Clock(i).index != m_clock || !m_env->panel->Object(i))
                continue;
            const ClockProfileRecord* profile = m_env->panel->Object(i)->ActiveProfile();
            if (profile) {
                label = profile->label;
                labelChars = (int)FIELD_WIDTH(profile->label);
            }
        }
    }
    BuildClockTooltipText(m_text, clock.caption, (int)FIELD_WIDTH(clock.caption), date, label, labelChars);
}

SIZE CTooltip::MeasureText(HDC dc, int x, int y, bool draw)
{
    SIZE total = {0, 0};
    if (!m_env || !m_env->copies || !m_env->copies->clocks)
        return total;
    const TrayCopies& copies = *m_env->copies;
    int count = ClockCopyCount(copies);
    // the times of this run only: the panel keeps its own in the copies
    std::vector<ClockRecord> clocks(copies.clocks, copies.clocks + count);
    SYSTEMTIME utc;
    NowUtc(&utc);
    for (ClockRecord& clock : clocks)
        if (clock.enabled)
            GetClockLocalTime(utc, &clock.localTime, clock);
    std::vector<int> order(count);
    int rows = TableClockOrder(clocks.data(), count, CompareClocksByTime, order.data());
    int rowHeight = TextSize(dc, kRowSample).cy;

    struct Row {
        WCHAR caption[FIELD_WIDTH(ClockRecord::caption) + 3];
        WCHAR date[kDateTextChars + 2];
        WCHAR time[kTableTimeChars];
    };
    std::vector<Row> text(rows);
    int widths[3] = {0, 0, 0};
    for (int r = 0; r < rows; ++r) {
        const ClockRecord& clock = clocks[order[r]];
        Row& row = text[r];
        CopyFixed(row.caption, FIELD_WIDTH(clock.caption), FieldText(clock.caption, FIELD_WIDTH(clock.caption)).c_str());
        row.caption[FIELD_WIDTH(clock.caption)] = 0;
        if (row.caption[0])
            lstrcatW(row.caption, kColumnSeparator);
        LongDate(*m_env->language, clock.localTime, row.date, kDateTextChars);
        lstrcatW(row.date, kColumnSeparator);
        TimeText(*m_env->language, clock.localTime, row.time, kTableTimeChars);
        const WCHAR* columns[3] = {row.caption, row.date, row.time};
        for (int c = 0; c < 3; ++c) {
            LONG w = TextSize(dc, columns[c]).cx;
            if (w > widths[c])
                widths[c] = w;
        }
    }
    if (draw) {
        for (int r = 0; r < rows; ++r) {
            int top = y + r * rowHeight;
            TextOutW(dc, x, top, text[r].caption, lstrlenW(text[r].caption));
            TextOutW(dc, x + widths[0], top, text[r].date, lstrlenW(text[r].date));
            int timeWidth = TextSize(dc, text[r].time).cx;
            TextOutW(dc, x + widths[0] + widths[1] + widths[2] - timeWidth, top, text[r].time,
                     lstrlenW(text[r].time));
        }
    }
    total.cx = widths[0] + widths[1] + widths[2];
    total.cy = rows * rowHeight;
    return total;
}

SIZE CTooltip::MeasureLayout()
{
    const int m = kMargin;
    SIZE size = {0, 0};
    HDC dc = m_buffer.IsValid() ? m_buffer.GetDC() : nullptr;
    CMemoryDC scratch;
    if (!dc) {
        scratch.Reset(CreateCompatibleDC(nullptr));
        dc = scratch.Get();
    }
    HGDIOBJ oldFont = SelectObject(dc, m_font ? (HGDIOBJ)m_font.Get() : GetStockObject(DEFAULT_GUI_FONT));
    bool calendar = (Options() & kOptTooltipCalendar) != 0;
    bool photo = HasPhoto() && !(Options() & kOptOtherTooltip);
    int w = 0, h = 0;
    if (calendar || photo) {
        m_calendar.SetDC(dc);
        m_calendar.GetSize(&w, &h);
        SelectObject(dc, m_font ? (HGDIOBJ)m_font.Get() : GetStockObject(DEFAULT_GUI_FONT));
    }
    m_calendarRect = {m, m, m + w, m + h};
    if (calendar) {
        m_textRect = {m, h + 2 * m, m + w, h + 2 * m};
    } else {
        RECT desktop = {0, 0, 0, 0};
        GetClientRect(GetDesktopWindow(), &desktop);
        m_textRect = {m, m, w > 0 ? m + w : desktop.right - m, m};
    }
    int areaRight = m_textRect.right;
    SIZE text = {0, 0};
    if (Options() & kOptOtherTooltip) {
        text = MeasureText(dc, m_textRect.left, m_textRect.top, false);
    } else {
        BuildText();
        if (m_text[0]) {
            RECT r = m_textRect;
            r.bottom = r.top + 10000;
            DrawTextW(dc, m_text, -1, &r, DT_CALCRECT | DT_LEFT | DT_NOCLIP);
            text.cx = r.right - r.left;
            text.cy = r.bottom - r.top;
        }
        if (photo)
            text = LayoutPhoto(dc, text, areaRight);
    }
    if (!photo) {
        m_textRect.right = m_textRect.left + (calendar && w > text.cx ? w : text.cx);
        m_textRect.bottom = m_textRect.top + text.cy;
    }
    size.cx = calendar && w > text.cx ? w : text.cx;
    size.cy = text.cy + (calendar ? h + m : 0);
    size.cx += 2 * m;
    size.cy += 2 * m;
    SelectObject(dc, oldFont);
    return size;
}

SIZE CTooltip::LayoutPhoto(HDC dc, SIZE text, int areaRight)
{
    const int m = kMargin;
    WCHAR caption[kPhotoCaptionChars];
    BuildPhotoCaption(caption, kPhotoCaptionChars, m_captionFormat, m_photo.linkPath, m_photo.title, m_photo.authorId,
                      m_photo.authorName);
    m_caption.SetText(caption);
    int photoWidth = m_photoBitmap.GetWidth(), photoHeight = m_photoBitmap.GetHeight();
    int left = m_textRect.left, top = m_textRect.top;
    int column = left + photoWidth + m;
    int right = areaRight > column + text.cx ? areaRight : column + text.cx;
    RECT room = {column, top, right, top};
    m_caption.Measure(dc, room);
    RECT extent = m_caption.GetRect();
    int captionWidth = extent.right - extent.left, captionHeight = extent.bottom - extent.top;
    int columnHeight = text.cy + captionHeight;
    int height = photoHeight > columnHeight ? photoHeight : columnHeight;
    // the photo and the texts centred against each other
    int photoTop = top + (height - photoHeight) / 2;
    int columnTop = top + (height - columnHeight) / 2;
    m_photoRect = {left, photoTop, left + photoWidth, photoTop + photoHeight};
    m_textRect = {column, columnTop, column + text.cx, columnTop + text.cy};
    m_caption.Offset(0, columnTop + text.cy - top);
    int width = photoWidth + m + (text.cx > captionWidth ? text.cx : captionWidth);
    return SIZE{width, height};
}

void CTooltip::ShowAt(const RECT& anchor, bool)
{
    if (!m_hwnd)
        return;
    const ILanguageStrings* language = m_env ? m_env->language : nullptr;
    WCHAR prefix[kTodayPrefixChars + 1];
    if (language && language->GetString(Calendar::kTodayPrefixString, prefix, kTodayPrefixChars + 1))
        m_calendar.SetTodayPrefix(prefix);
    if (m_hint && language) {
        WCHAR hint[kHintChars + 1];
        if (language->GetString(kHintString, hint, kHintChars + 1)) {
            TOOLINFOW tool = {};
            tool.cbSize = sizeof(tool);
            tool.hwnd = m_hwnd;
            tool.uId = (UINT_PTR)m_hwnd;
            tool.lpszText = hint;
            SendMessageW(m_hint, TTM_UPDATETIPTEXTW, 0, (LPARAM)&tool);
        }
    }
    SYSTEMTIME shown;
    ShownTime(&shown);
    m_calendar.SetToday(shown);
    if ((Options() & kOptTooltipCalendar) && !IsShown())
        m_calendar.ShowToday();

    SIZE size = MeasureLayout();
    RECT desktop = {0, 0, 0, 0};
    GetClientRect(GetDesktopWindow(), &desktop);
    TooltipBox a = {anchor.left, anchor.top, anchor.right, anchor.bottom};
    TooltipBox d = {desktop.left, desktop.top, desktop.right, desktop.bottom};
    int32_t x = 0, y = 0;
    PlaceTooltip(a, size.cx, size.cy, d, &x, &y);
    // a frameless popup: its window rectangle is its client rectangle
    RECT frame = {x, y, x + size.cx, y + size.cy};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrW(m_hwnd, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE));
    bool visible = IsShown();
    SetWindowPos(m_hwnd, HWND_TOPMOST, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOACTIVATE | (visible ? SWP_FRAMECHANGED : 0));
    {
        CWindowDC dc(m_hwnd);
        Paint(dc.Get());
    }
    if (!visible)
        ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
}

void CTooltip::Paint(HDC screen)
{
    if (!m_buffer.IsValid())
        return;
    HDC dc = m_buffer.GetDC();
    RECT all = {0, 0, m_buffer.GetWidth(), m_buffer.GetHeight()};
    CGdiObject<HBRUSH> back(CreateSolidBrush(m_background));
    // the margins too: the frame is drawn over their outer pixel
    FillRect(dc, &all, back.Get());
    int saved = SaveDC(dc);
    if (Options() & kOptTooltipCalendar) {
        m_calendar.SetDC(dc);
        m_calendar.SetRect(m_calendarRect);
        m_calendar.Paint();
    }
    SelectObject(dc, m_font ? (HGDIOBJ)m_font.Get() : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_textColor);
    if (Options() & kOptOtherTooltip) {
        MeasureText(dc, m_textRect.left, m_textRect.top, true);
    } else {
        if (m_text[0]) {
            RECT r = m_textRect;
            DrawTextW(dc, m_text, -1, &r, DT_LEFT | DT_NOCLIP);
        }
        if (HasPhoto()) {
            m_photoBitmap.Draw(dc, m_photoRect.left, m_photoRect.top, m_photoBitmap.GetWidth(),
                               m_photoBitmap.GetHeight(), 0, 0);
            m_caption.Draw(dc);
        }
    }
    CGdiObject<HBRUSH> border(CreateSolidBrush(GetSysColor(COLOR_ACTIVEBORDER)));
    FrameRect(dc, &all, border.Get());
    RestoreDC(dc, saved);
    GdiFlush();
    // GDI leaves the alpha bytes at 0, and Wine composites a layered window by
    // them even without AC_SRC_ALPHA: the whole window opaque
    m_buffer.SetAlphaRect(0, 0, m_buffer.GetWidth(), m_buffer.GetHeight(), 255);
    m_colorKey = CLR_INVALID;
    m_alpha = m_styleAlpha;
    UpdateLayered(screen);
}

void CTooltip::Hide()
{
    ActivateHint(false);
    KillHideTimer();
    m_clock = -1;
    if (m_hwnd)
        ShowWindow(m_hwnd, SW_HIDE);
}

void CTooltip::StartHideTimer(UINT ms)
{
    if (IsShown())
        m_hideTimer = SetTimer(m_hwnd, kHideTimer, ms, nullptr);
    else
        KillHideTimer();
}

void CTooltip::KillHideTimer()
{
    if (m_hwnd && m_hideTimer)
        KillTimer(m_hwnd, kHideTimer);
    m_hideTimer = 0;
}

void CTooltip::CreateHint()
{
    if (m_hint || !m_hwnd)
        return;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    m_hint = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, nullptr, nullptr);
    if (!m_hint)
        return;
    WCHAR text[kHintChars + 1] = {};
    if (m_env && m_env->language)
        m_env->language->GetString(kHintString, text, kHintChars + 1);
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = m_hwnd;
    tool.uId = (UINT_PTR)m_hwnd;
    tool.lpszText = text;
    SendMessageW(m_hint, TTM_ADDTOOLW, 0, (LPARAM)&tool);
}

void CTooltip::ActivateHint(bool on)
{
    if (on)
        CreateHint();
    if (!m_hint)
        return;
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hwnd;
    tool.uId = (UINT_PTR)m_hwnd;
    SendMessageW(m_hint, TTM_TRACKACTIVATE, on ? TRUE : FALSE, (LPARAM)&tool);
}

void CTooltip::OnMouseMove(LPARAM lParam)
{
    KillHideTimer();
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    if (!HasPhoto() || !PtInRect(&m_photoRect, pt)) {
        ActivateHint(false);
        return;
    }
    ActivateHint(true);
    if (m_hint) {
        ClientToScreen(m_hwnd, &pt);
        SendMessageW(m_hint, TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x + kHintOffset, pt.y + kHintOffset));
    }
}

const WCHAR* CTooltip::LinkAt(int x, int y) const
{
    if (!HasPhoto() || !m_photo.linkPath[0])
        return nullptr;
    POINT pt = {x, y};
    if (PtInRect(&m_photoRect, pt))
        return m_photo.linkPath;
    const LinkTarget* link = m_caption.HitTest(x, y);
    return link ? link->target.c_str() : nullptr;
}

bool CTooltip::OnClick(LPARAM lParam)
{
    const WCHAR* path = LinkAt((short)LOWORD(lParam), (short)HIWORD(lParam));
    // the index and the caption format come from files anyone may edit
    if (!path || !IsSafeSitePath(path) || !m_env || !m_env->shell)
        return false;
    WCHAR address[kAddressChars + 1];
    int site = lstrlenW(kCityPhotoSite);
    // the site ends with a slash and the path starts with one
    lstrcpynW(address, kCityPhotoSite, site);
    lstrcpynW(address + site - 1, path, kAddressChars + 1 - (site - 1));
    m_env->shell->OpenAddress(address);
    Hide();
    return true;
}

void CTooltip::OnPhotoReady(WPARAM wParam, LPARAM lParam)
{
    int city = (int)wParam;
    int count = m_env && m_env->copies ? (int)m_env->copies->cityCount : 0;
    if (city >= 0 && city < count && (int)lParam > 0 && IsShown() && m_photoCity >= 0 && m_photoCity < count)
        RequestPhoto(m_photoCity);
}

bool CTooltip::OnMessage(WindowMessage& message)
{
    bool handled = CAlphaWindow::OnMessage(message);
    if ((Options() & kOptTooltipCalendar) && message.message != WM_CREATE && message.message != WM_DESTROY &&
        m_calendar.HandleMessage(m_hwnd, message.message, message.wParam, message.lParam)) {
        CWindowDC dc(m_hwnd);
        Paint(dc.Get());
        message.result = 0;
        return true;
    }
    switch (message.message) {
    case WM_CREATE:
        m_hideDelay = GetDoubleClickTime();
        m_hand = LoadCursorW(nullptr, IDC_HAND);
        return handled;
    case WM_DESTROY:
        if (m_hint)
            DestroyWindow(m_hint);
        m_hint = nullptr;
        KillHideTimer();
        if (m_tracking) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE | TME_CANCEL, m_hwnd, 0};
            TrackMouseEvent(&track);
            m_tracking = false;
        }
        m_hand = nullptr;  // shared: not destroyed
        return handled;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        Paint(dc);
        EndPaint(m_hwnd, &ps);
        message.result = 0;
        return true;
    }
    case WM_SHOWWINDOW:
        if (!message.wParam && message.lParam == 0) {
            KillHideTimer();
            m_clock = -1;
        }
        return handled;
    case WM_TIMER:
        if (message.wParam == kHideTimer) {
            Hide();
            message.result = 0;
            return true;
        }
        return handled;
    case WM_MOUSEMOVE:
        OnMouseMove(message.lParam);
        message.result = 0;
        return true;
    case WM_SETCURSOR:
        if ((HWND)message.wParam == m_hwnd && LOWORD(message.lParam) == HTCLIENT && m_hand) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(m_hwnd, &pt);
            if (LinkAt(pt.x, pt.y)) {
                SetCursor(m_hand);
                message.result = TRUE;
                return true;
            }
        }
        return handled;
    case WM_LBUTTONDOWN:
        OnClick(message.lParam);
        message.result = 0;
        return true;
    case UM_PHOTOREADY:
        OnPhotoReady(message.wParam, message.lParam);
        message.result = 0;
        return true;
    case WM_MOUSELEAVE:
        m_tracking = false;
        ActivateHint(false);
        StartHideTimer(m_hideDelay);
        message.result = 0;
        return true;
    case WM_CLOSE:
        // a global object: closing it from outside must not delete it
        message.result = 0;
        return true;
    }
    return handled;
}
