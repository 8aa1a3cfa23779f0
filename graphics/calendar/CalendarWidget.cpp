#include "graphics/calendar/CalendarWidget.h"

#include <wchar.h>

#include "graphics/image/PixelBuffer.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/text/Fonts.h"
#include "graphics/text/TimeFormat.h"
#include "graphics/time/ZoneConvert.h"

namespace Calendar {

namespace {

WCHAR g_dayNames[7][kDayNameChars];

const WCHAR kDefaultMonthFormat[] = L"MMMM yyyy";
const WCHAR kDefaultTodayPrefix[] = L"Today is ";
const int kDefaultFontHeight = 8;   // points
const int kWeekRows = 6;

TooltipStyle DefaultStyle()
{
    TooltipStyle s = {};
    uint32_t* colors[] = {&s.titleColor, &s.labelColor, &s.rulerColor, &s.dayColor, &s.grayColor,
                          &s.saturdayColor, &s.sundayColor, &s.todayColor, &s.todayBackground,
                          &s.todayBorderColor};
    for (uint32_t* c : colors)
        *c = kDefaultColor;
    s.background = s.dayBackground = s.borderColor = kNoColor;
    s.selectionBorderWidth = 1;
    s.dayPadding = 4;
    s.titlePadding = 3;
    s.daySpacing = 2;
    s.monthSpacing = 10;
    return s;
}

void ResolveColor(uint32_t& color, int systemColor)
{
    if (color == kDefaultColor)
        color = GetSysColor(systemColor);
}

CGdiObject<HBRUSH> MakeBrush(uint32_t color)
{
    return CGdiObject<HBRUSH>(color == kNoColor ? nullptr : CreateSolidBrush(color));
}

CGdiObject<HPEN> MakePen(uint32_t color, int width)
{
    return CGdiObject<HPEN>(color == kNoColor ? nullptr : CreatePen(PS_SOLID, width, color));
}

HGDIOBJ OrStock(HGDIOBJ object, int stock)
{
    return object ? object : GetStockObject(stock);
}

SIZE Extent(HDC dc, const WCHAR* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, (int)wcslen(text), &size);
    return size;
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// Day 1 of the date's month, its weekday carried along.
SYSTEMTIME FirstOfMonth(const SYSTEMTIME& date)
{
    SYSTEMTIME first = {};
    first.wYear = date.wYear;
    first.wMonth = date.wMonth;
    first.wDay = 1;
    first.wDayOfWeek = (WORD)WeekdayOfDayNumber(GetDayNumber(first));
    return first;
}

}  // namespace

void DrawAlignedText(HDC dc, const WCHAR* text, const RECT& rect, UINT flags)
{
    int length = (int)wcslen(text);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text, length, &size);
    int x = rect.left, y = rect.top;
    if (flags & kAlignCenter)
        x += (rect.right - rect.left - size.cx) / 2;
    else if (flags & kAlignRight)
        x = rect.right - size.cx;
    if (flags & kAlignMiddle)
        y += (rect.bottom - rect.top - size.cy) / 2;
    else if (flags & kAlignBottom)
        y = rect.bottom - size.cy;
    TextOutW(dc, x, y, text, length);
}

void LoadDayNames(LCID lcid)
{
    // LOCALE_SABBREVDAYNAME1 is Monday; the table starts on Sunday
    for (int i = 0; i < 7; ++i)
        GetLocaleText(lcid, LOCALE_SABBREVDAYNAME1 + (i + 6) % 7, g_dayNames[i], kDayNameChars);
}

const WCHAR* GetDayName(int weekday)
{
    return g_dayNames[NormalWeekday(weekday)];
}

CCalendarWidget::CCalendarWidget(const ILanguageStrings& language, const SYSTEMTIME& today)
    : m_hover(-1),
      m_pressed(-1),
      m_dc(nullptr),
      m_style(),
      m_today(today),
      m_shownMonth(FirstOfMonth(today)),
      m_paintMonth(m_shownMonth),
      m_todayPrefix(),
      m_todayText(),
      m_cellWidth(0),
      m_cellHeight(0),
      m_dayTextSize{0, 0},
      m_weekTextWidth(0),
      m_titleTextHeight(0),
      m_todayTextSize{0, 0},
      m_flags(0),
      // the locale counts from Monday, the widget from Sunday
      m_firstDay((GetLocaleFirstWeekday() + 1) % 7),
      m_weekNumbering(0),
      m_rect{0, 0, 0, 0},
      m_across(1),
      m_down(1),
      m_language(language)
{
    wcscpy(m_todayPrefix, kDefaultTodayPrefix);
    SetStyle(DefaultStyle());
}

CCalendarWidget::~CCalendarWidget() = default;

void CCalendarWidget::SetStyle(const TooltipStyle& style)
{
    m_dayFont.Reset();
    m_titleFont.Reset();
    m_weekFont.Reset();
    m_style = style;
    TooltipStyle& s = m_style;
    if (!s.monthFormat[0])
        CopyFixed(s.monthFormat, FIELD_WIDTH(s.monthFormat) - 1, kDefaultMonthFormat);
    if (!s.todayFormat[0])
        GetLocaleText(m_language.GetLcid(), LOCALE_SLONGDATE, s.todayFormat, (int)FIELD_WIDTH(s.todayFormat));
    // a copy read from settings may lack the terminators
    s.monthFormat[FIELD_WIDTH(s.monthFormat) - 1] = 0;
    s.todayFormat[FIELD_WIDTH(s.todayFormat) - 1] = 0;
    s.fontName[FIELD_WIDTH(s.fontName) - 1] = 0;

    ResolveColor(s.background, COLOR_WINDOW);
    for (uint32_t* c : {&s.dayColor, &s.saturdayColor, &s.sundayColor, &s.titleColor, &s.labelColor, &s.rulerColor})
        ResolveColor(*c, COLOR_WINDOWTEXT);
    ResolveColor(s.grayColor, COLOR_GRAYTEXT);
    ResolveColor(s.todayColor, COLOR_HIGHLIGHTTEXT);
    ResolveColor(s.todayBackground, COLOR_HIGHLIGHT);
    ResolveColor(s.todayBorderColor, COLOR_HIGHLIGHT);

    if (s.fontHeight == 0)
        s.fontHeight = kDefaultFontHeight;
    if (s.titleFontHeight == 0)
        s.titleFontHeight = s.fontHeight;
    if (s.weekFontHeight == 0)
        s.weekFontHeight = s.fontHeight;
    if (s.fontName[0]) {
        const DWORD kStyleBits = kFontBold | kFontItalic;
        m_dayFont.Reset(CreateTextFont(s.fontName, 0, s.fontHeight, 0, (DWORD)s.fontStyle & kStyleBits));
        m_titleFont.Reset(CreateTextFont(s.fontName, 0, s.titleFontHeight, 0, (DWORD)s.titleFontStyle & kStyleBits));
        m_weekFont.Reset(CreateTextFont(s.fontName, 0, s.weekFontHeight, 0, (DWORD)s.weekFontStyle & kStyleBits));
    }
    m_cellWidth = 0;    // measured again before the next paint
    RebuildTodayText();
}

void CCalendarWidget::SetToday(const SYSTEMTIME& today)
{
    m_today = today;
    RebuildTodayText();
}

void CCalendarWidget::ShowToday()
{
    m_shownMonth = FirstOfMonth(m_today);
}

void CCalendarWidget::SetTodayPrefix(const WCHAR* prefix)
{
    CopyFixed(m_todayPrefix, FIELD_WIDTH(m_todayPrefix) - 1, prefix ? prefix : L"");
    m_todayPrefix[FIELD_WIDTH(m_todayPrefix) - 1] = 0;
    RebuildTodayText();
}

void CCalendarWidget::RebuildTodayText()
{
    WCHAR date[kDateTextChars];
    FormatDate(m_language, date, m_today, m_style.todayFormat, true, {m_weekNumbering, (uint32_t)m_firstDay});
    _snwprintf(m_todayText, FIELD_WIDTH(m_todayText) - 1, L"%ls%ls", m_todayPrefix, date);
    m_todayText[FIELD_WIDTH(m_todayText) - 1] = 0;
}

void CCalendarWidget::SetMonths(int across, int down)
{
    m_across = across < 1 ? 1 : across;
    m_down = down < 1 ? 1 : down;
}

HFONT CCalendarWidget::DayFont() const
{
    return (HFONT)OrStock(m_dayFont.Get(), DEFAULT_GUI_FONT);
}

HFONT CCalendarWidget::TitleFont() const
{
    return (HFONT)OrStock(m_titleFont.Get(), DEFAULT_GUI_FONT);
}

HFONT CCalendarWidget::WeekFont() const
{
    return (HFONT)OrStock(m_weekFont.Get(), DEFAULT_GUI_FONT);
}

void CCalendarWidget::MeasureCell()
{
    if (!m_dc)
        return;
    if (!GetDayName(0)[0])
        LoadDayNames(m_language.GetLcid());
    HGDIOBJ old = SelectObject(m_dc, DayFont());
    m_dayTextSize = Extent(m_dc, L"88");
    int width = m_dayTextSize.cx;
    for (int i = 0; i < 7; ++i) {
        SIZE name = Extent(m_dc, GetDayName(i));
        if (name.cx > width)
            width = name.cx;
    }
    m_todayTextSize = Extent(m_dc, m_todayText);
    m_weekTextWidth = 0;
    if (m_flags & kShowWeekNumbers) {
        SelectObject(m_dc, WeekFont());
        m_weekTextWidth = Extent(m_dc, L"88").cx;
        if (m_weekTextWidth > width)
            width = m_weekTextWidth;
    }
    SelectObject(m_dc, TitleFont());
    m_titleTextHeight = Extent(m_dc, L"88").cy;
    SelectObject(m_dc, old);
    m_cellWidth = width + 2 * m_style.dayPadding;
    m_cellHeight = m_dayTextSize.cy + 2 * m_style.dayPadding;
}

GridMetrics CCalendarWidget::Metrics() const
{
    GridMetrics m = {};
    m.cellWidth = m_cellWidth;
    m.cellHeight = m_cellHeight;
    m.weekTextWidth = (m_flags & kShowWeekNumbers) ? m_weekTextWidth : 0;
    m.titleTextHeight = m_titleTextHeight;
    m.imageWidth = m_image.IsValid() ? m_image.GetWidth() : 0;
    m.imageHeight = m_image.IsValid() ? m_image.GetHeight() : 0;
    m.dayPadding = m_style.dayPadding;
    m.titlePadding = m_style.titlePadding;
    m.daySpacing = m_style.daySpacing;
    m.monthSpacing = m_style.monthSpacing;
    m.across = m_across;
    m.down = m_down;
    m.todayLine = (m_flags & kShowTodayLine) != 0;
    m.todayTextWidth = m_todayTextSize.cx;
    m.todayTextHeight = m_todayTextSize.cy;
    return m;
}

void CCalendarWidget::GetSize(int* width, int* height)
{
    *width = *height = 0;
    if (!m_dc)
        return;
    MeasureCell();
    CGridLayout layout(Metrics());
    *width = layout.Width();
    *height = layout.Height();
}

int CCalendarWidget::GetTitleHeight() const
{
    return CGridLayout(Metrics()).TitleHeight();
}

void CCalendarWidget::GetMonthSize(int* width, int* height) const
{
    CGridLayout layout(Metrics());
    *width = layout.BlockWidth();
    *height = layout.BlockHeight();
}

RECT CCalendarWidget::GetTodayRect() const
{
    return ToRect(CGridLayout(Metrics()).TodayStrip());
}

int CCalendarWidget::GetFirstColumn(const SYSTEMTIME& date) const
{
    return Calendar::GetFirstColumn(date.wDayOfWeek, date.wDay, m_firstDay);
}

RECT CCalendarWidget::ToRect(const Box& box, int x, int y) const
{
    int left = m_rect.left + x, top = m_rect.top + y;
    return {left + box.left, top + box.top, left + box.right, top + box.bottom};
}

void CCalendarWidget::Paint()
{
    if (!m_dc)
        return;
    if (m_cellWidth == 0)
        MeasureCell();
    const TooltipStyle& s = m_style;
    // made before the DC is saved, so that RestoreDC deselects them before they go
    CGdiObject<HBRUSH> background(MakeBrush(s.background)), ruler(MakeBrush(s.rulerColor));
    CGdiObject<HBRUSH> dayBrush(MakeBrush(s.dayBackground)), todayBrush(MakeBrush(s.todayBackground));
    CGdiObject<HPEN> border(MakePen(s.borderColor, s.borderWidth));
    CGdiObject<HPEN> todayPen(MakePen(s.todayBorderColor, s.selectionBorderWidth));
    int saved = SaveDC(m_dc);
    if (background)
        FillRect(m_dc, &m_rect, background.Get());
    SetBkMode(m_dc, TRANSPARENT);

    CGridLayout layout(Metrics());
    bool several = m_across * m_down > 1;
    SYSTEMTIME month = m_shownMonth;
    for (int down = 0; down < m_down; ++down) {
        for (int across = 0; across < m_across; ++across) {
            int x, y;
            layout.BlockOrigin(down, across, &x, &y);
            m_paintMonth = month;

            SelectObject(m_dc, TitleFont());
            SetTextColor(m_dc, s.titleColor);
            WCHAR title[kDateTextChars];
            FormatDate(m_language, title, month, s.monthFormat, true, {m_weekNumbering, (uint32_t)m_firstDay});
            DrawAlignedText(m_dc, title, ToRect(layout.TitleBox(), x, y), kAlignCenter | kAlignMiddle);

            SelectObject(m_dc, DayFont());
            for (int c = 0; c < 7; ++c) {
                int weekday = (m_firstDay + c) % 7;
                SetTextColor(m_dc, weekday == 0 ? s.sundayColor : weekday == 6 ? s.saturdayColor : s.labelColor);
                DrawAlignedText(m_dc, GetDayName(weekday), ToRect(layout.NameBox(c), x, y),
                                kAlignCenter | kAlignMiddle);
            }
            if (ruler) {
                RECT line = ToRect(layout.NameRuler(), x, y);
                FillRect(m_dc, &line, ruler.Get());
                line = ToRect(layout.WeekRuler(), x, y);
                FillRect(m_dc, &line, ruler.Get());
            }

            uint32_t start = GetDayNumber(month) - (uint32_t)GetFirstColumn(month);
            for (int row = 0; row < kWeekRows; ++row) {
                SYSTEMTIME date;
                DayNumberToDate(start + 7 * row, &date);
                if (m_flags & kShowWeekNumbers) {
                    // the last rows of a month hold the next one's weeks, shown by its own block
                    bool hide = several && row >= 4 && date.wMonth != month.wMonth;
                    SelectObject(m_dc, WeekFont());
                    SetTextColor(m_dc, s.labelColor);
                    DrawWeekNumber(date, ToRect(layout.WeekBox(row), x, y), hide);
                    SelectObject(m_dc, DayFont());
                }
                for (int c = 0; c < 7; ++c) {
                    DayNumberToDate(start + 7 * row + c, &date);
                    bool inMonth = date.wMonth == month.wMonth;
                    bool hide = several && !inMonth;
                    bool today = !hide && SameDay(date, m_today);
                    uint32_t color = today      ? s.todayColor
                                     : !inMonth ? s.grayColor
                                     : date.wDayOfWeek == 0 ? s.sundayColor
                                     : date.wDayOfWeek == 6 ? s.saturdayColor
                                                            : s.dayColor;
                    SelectObject(m_dc, OrStock(today ? todayPen.Get() : border.Get(), NULL_PEN));
                    SelectObject(m_dc, OrStock(today ? todayBrush.Get() : dayBrush.Get(), NULL_BRUSH));
                    if (color != kNoColor)
                        SetTextColor(m_dc, color);
                    DrawDay(date, ToRect(layout.CellBox(row, c), x, y), hide);
                }
            }
            AddMonths(month, 1);
        }
    }
    if (m_image.IsValid())
        DrawButtons(m_pressed, m_hover);
    if (m_flags & kShowTodayLine) {
        SelectObject(m_dc, OrStock(todayPen.Get(), NULL_PEN));
        SelectObject(m_dc, OrStock(todayBrush.Get(), NULL_BRUSH));
        DrawToday();
    }
    RestoreDC(m_dc, saved);
}

void CCalendarWidget::DrawDay(const SYSTEMTIME& date, const RECT& cell, bool hideNumber)
{
    int round = m_style.dayPadding;
    RoundRect(m_dc, cell.left, cell.top, cell.right, cell.bottom, round, round);
    if (hideNumber)
        return;
    if (date.wMonth != m_paintMonth.wMonth && m_style.grayColor == kNoColor)
        return;
    WCHAR number[8];
    _snwprintf(number, 8, L"%d", date.wDay);
    number[7] = 0;
    DrawAlignedText(m_dc, number, cell, kAlignCenter | kAlignMiddle);
}

void CCalendarWidget::DrawWeekNumber(const SYSTEMTIME& date, const RECT& rect, bool hide)
{
    if (hide)
        return;
    WCHAR number[8];
    _snwprintf(number, 8, L"%d", GetWeekNumber(date, {m_weekNumbering, (uint32_t)m_firstDay}));
    number[7] = 0;
    DrawAlignedText(m_dc, number, rect, kAlignRight | kAlignMiddle);
}

void CCalendarWidget::DrawButtons(int pressed, int hover)
{
    if (!m_dc || !m_image.IsValid())
        return;
    CGridLayout layout(Metrics());
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (int i = 0; i < kButtonCount; ++i) {
        Box box = layout.ButtonBox(i);
        int width = box.right - box.left, height = box.bottom - box.top;
        if (width <= 0 || height <= 0)
            continue;
        RECT r = ToRect(box);
        AlphaBlend(m_dc, r.left, r.top, width, height, m_image.GetDC(), i * width,
                   ButtonState(i, pressed, hover) * height, width, height, blend);
    }
}

void CCalendarWidget::DrawToday()
{
    if (!m_dc)
        return;
    CGridLayout layout(Metrics());
    RECT box = ToRect(layout.TodayBox());
    int round = m_style.dayPadding;
    RoundRect(m_dc, box.left, box.top, box.right, box.bottom, round, round);
    HGDIOBJ old = SelectObject(m_dc, DayFont());
    SetTextColor(m_dc, m_style.labelColor);
    DrawAlignedText(m_dc, m_todayText, ToRect(layout.TodayText()), kAlignMiddle);
    SelectObject(m_dc, old);
}

void CCalendarWidget::MoveMonths(int months)
{
    AddMonths(m_shownMonth, months);
}

void CCalendarWidget::Invalidate(HWND window, const Box& box) const
{
    // a null window would invalidate every window of the desktop
    if (!window)
        return;
    RECT r = ToRect(box);
    InvalidateRect(window, &r, FALSE);
}

void CCalendarWidget::SetButtonStates(HWND window, int pressed, int hover)
{
    CGridLayout layout(Metrics());
    for (int i = 0; i < kButtonCount; ++i)
        if (ButtonState(i, pressed, hover) != ButtonState(i, m_pressed, m_hover))
            Invalidate(window, layout.ButtonBox(i));
    m_pressed = pressed;
    m_hover = hover;
}

LRESULT CCalendarWidget::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Box whole = {0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top};
    int months = 0;
    switch (message) {
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_PRIOR: months = -m_across * m_down; break;
        case VK_NEXT: months = m_across * m_down; break;
        case VK_LEFT: months = -1; break;
        case VK_RIGHT: months = 1; break;
        case VK_UP: months = -m_across; break;
        case VK_DOWN: months = m_across; break;
        case VK_HOME: ShowToday(); break;
        default: return 0;
        }
        break;
    case WM_MOUSEWHEEL: {
        POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};  // screen coordinates
        if (window)
            ScreenToClient(window, &p);
        if ((m_flags & kWheelOverWidgetOnly) && !PtInRect(&m_rect, p))
            return 0;
        months = WheelMonths((short)HIWORD(wParam));
        break;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSELEAVE:
        return HandleMouse(window, message, wParam, lParam);
    default:
        return 0;
    }
    MoveMonths(months);
    Invalidate(window, whole);
    return 1;
}

LRESULT CCalendarWidget::HandleMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CGridLayout layout(Metrics());
    int x = (short)LOWORD(lParam) - m_rect.left, y = (short)HIWORD(lParam) - m_rect.top;
    int hit = message == WM_MOUSELEAVE ? -1 : HitButton(layout, x, y);
    if (hit < 0) {
        SetButtonStates(window, -1, -1);
        if (message == WM_LBUTTONDOWN && (m_flags & kShowTodayLine) && InBox(layout.TodayStrip(), x, y)) {
            ShowToday();
            Invalidate(window, {0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top});
            return 1;
        }
        return 0;
    }
    if (message == WM_LBUTTONUP) {
        SetButtonStates(window, -1, hit);
        MoveMonths(ButtonMonths(hit));
        Invalidate(window, {0, 0, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top});
    } else if (message == WM_LBUTTONDOWN || (wParam & MK_LBUTTON)) {
        SetButtonStates(window, hit, -1);
    } else {
        SetButtonStates(window, -1, hit);
    }
    return 1;
}

bool CCalendarWidget::SetButtonsBitmap(HBITMAP bitmap)
{
    BITMAP info;
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info) || !m_image.Create(info.bmWidth, info.bmHeight))
        return false;
    CMemoryDC source(CreateCompatibleDC(m_image.GetDC()));
    HGDIOBJ old = source ? SelectObject(source.Get(), bitmap) : nullptr;
    bool copied = old && BitBlt(m_image.GetDC(), 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
    if (old)
        SelectObject(source.Get(), old);
    if (!copied) {
        m_image.Destroy();
        return false;
    }
    GdiFlush();
    // the key colour is the bottom-left pixel; AlphaBlend wants premultiplied pixels
    m_image.ApplyColorKey(m_image.GetPixel(0, 0), true, 0);
    return true;
}

bool CCalendarWidget::SetButtonsImage(const CPixelBuffer& image)
{
    if (!image.IsValid() || image.GetBitCount() != 32 || !m_image.Create(image.GetWidth(), image.GetHeight()))
        return false;
    if (!image.CopyTo(m_image)) {
        m_image.Destroy();
        return false;
    }
    return true;
}

bool LoadNavigationButtons(CCalendarWidget& widget, const WCHAR* folder, HMODULE resources)
{
    if (folder) {
        WCHAR path[MAX_PATH + 16];
        wsprintfW(path, L"%.259snav_btns.png", folder);
        CPixelBuffer image;
        if (image.LoadPng(path) && widget.SetButtonsImage(image))
            return true;
    }
    if (!resources)
        return false;
    CGdiObject<HBITMAP> bitmap(
        (HBITMAP)LoadImageW(resources, MAKEINTRESOURCEW(kNavButtonsBitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return bitmap && widget.SetButtonsBitmap(bitmap.Get());
}

}  // namespace Calendar
