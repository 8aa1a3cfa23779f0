#include "graphics/clock/Clock.h"

#include "graphics/text/DurationFormat.h"
#include "graphics/skin/Graphics.h"

namespace {

const int kTimerTextChars = 256;

// Line breaks become blanks; CRs go.
void JoinLines(const WCHAR* text, WCHAR* out, int chars)
{
    int n = 0;
    for (; *text && n < chars - 1; ++text) {
        if (*text == L'\r')
            continue;
        out[n++] = *text == L'\n' ? L' ' : *text;
    }
    out[n] = 0;
}

bool HasLineBreak(const WCHAR* text)
{
    for (; *text; ++text)
        if (*text == L'\n')
            return true;
    return false;
}

// Wine hands out LR_MONOCHROME images in the screen's format: white (the
// source's background) becomes 1 bits, everything else 0 bits.
void LoadMonochrome(HBITMAP image, CBitmap* target)
{
    CBitmap loaded;
    if (!loaded.Attach(image))
        return;
    int width = loaded.GetWidth(), height = loaded.GetHeight();
    if (!target->Create(width, height, 1, 1))
        return;
    COLORREF oldBack = SetBkColor(loaded.GetDC(), RGB(255, 255, 255));
    BitBlt(target->GetDC(), 0, 0, width, height, loaded.GetDC(), 0, 0, SRCCOPY);
    SetBkColor(loaded.GetDC(), oldBack);
}

}  // namespace

CTimer::CTimer(const ClockRecord& record, CGraphics* style, const ClockContext& context)
    : CClock(record, style, context)
{
    MakeButton();
}

CTimer::~CTimer() = default;

void CTimer::MakeButton()
{
    CBitmap* source = m_context.timerButton;
    if (!source)
        return;
    if (!source->IsValid() && m_context.resources) {
        HANDLE image = LoadImageW(m_context.resources, MAKEINTRESOURCEW(kTimerButtonBitmapId), IMAGE_BITMAP, 0, 0,
                                  LR_MONOCHROME);
        if (image)
            LoadMonochrome((HBITMAP)image, source);
    }
    if (!source->IsValid() || !m_style)
        return;
    int width = source->GetWidth(), height = source->GetHeight();
    if (!m_button.Create(width, height))
        return;
    COLORREF fore = m_style->GetTextColor();
    if (fore & 0xFF000000)
        fore = GetSysColor(COLOR_BTNTEXT);
    if (fore == 0)
        fore = 0x010101;  // black stays apart from a black background key
    COLORREF back = m_style->GetBackColor();
    if (back & 0xFF000000)
        back = fore ^ 0xFFFFFF;
    if (back == fore)
        back ^= 0x808080;
    // a monochrome source takes the text colour for 0 bits, the background for 1 bits
    HDC dc = m_button.GetDC();
    COLORREF oldText = SetTextColor(dc, fore), oldBack = SetBkColor(dc, back);
    BitBlt(dc, 0, 0, width, height, source->GetDC(), 0, 0, SRCCOPY);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

SIZE CTimer::ButtonSize() const
{
    if (m_button.IsValid())
        return {m_button.GetWidth(), m_button.GetHeight()};
    return {kDefaultButtonSize, kDefaultButtonSize};
}

RECT CTimer::ButtonBox(const RECT& rect) const
{
    SIZE size = ButtonSize();
    RECT box;
    box.right = rect.right - m_horizontalMargin;
    box.left = box.right - size.cx;
    box.top = rect.top + (rect.bottom - rect.top - size.cy) / 2;
    box.bottom = box.top + size.cy;
    return box;
}

bool CTimer::HitButton(POINT point) const
{
    RECT box = ButtonBox(GetRect());
    if (!PtInRect(&box, point))
        return false;
    if (!m_button.IsValid())
        return true;
    int height = m_button.GetHeight();
    uint32_t key = m_button.GetPixel(0, height - 1);
    return m_button.GetPixel(point.x - box.left, height - 1 - (point.y - box.top)) != key;
}

bool CTimer::ShowsSeconds() const
{
    WCHAR picture[101];
    CopyFieldText(picture, 101, m_record.timerFormat, 100);
    return FormatHasSeconds(picture);
}

int CTimer::Update(const SYSTEMTIME& utc)
{
    int result = m_context.unitNames ? UpdateTimerText(m_record, utc, *m_context.unitNames) : kTimerUnchanged;
    RefreshProfile();
    return result;
}

void CTimer::BuildText(WCHAR* text)
{
    int n = 0;
    CopyFieldText(text, kTimerTextChars, m_record.prefix, 32);
    while (text[n])
        ++n;
    if (n > 0)
        text[n++] = L' ';
    text[n] = 0;
    if (!m_context.unitNames)
        return;
    WCHAR picture[101];
    CopyFieldText(picture, 101, m_record.timerFormat, 100);
    FormatDurationTicks(text + n, kTimerTextChars - n, picture, m_record.timerValue, *m_context.unitNames);
}

bool CTimer::UseTwoLines(const WCHAR* text, int width, int height, SIZE* lines)
{
    *lines = m_style->MeasureLines(text, -1);
    bool fits = height >= lines->cy + 2 * m_verticalMargin;
    if (m_layoutMode == kLayoutTwoLines || (HasLineBreak(text) && fits))
        return true;
    if (m_layoutMode != kLayoutAuto || !fits)
        return false;
    WCHAR joined[kTimerTextChars];
    JoinLines(text, joined, kTimerTextChars);
    return Extent(joined).cx > width - ButtonSize().cx - 2 * m_horizontalMargin;
}

void CTimer::Measure(HDC dc, int largestWidth, int largestHeight, HTHEME theme, const SYSTEMTIME*)
{
    if (!m_style)
        return;
    BindStyle(dc, theme);
    ApplyFont();
    WCHAR text[kTimerTextChars];
    BuildText(text);
    SIZE lines, size;
    if (UseTwoLines(text, largestWidth, largestHeight, &lines)) {
        size = lines;
    } else {
        WCHAR joined[kTimerTextChars];
        JoinLines(text, joined, kTimerTextChars);
        size = Extent(joined);
        if (size.cy == 0)
            size.cy = Extent(L" ").cy;
    }
    RestoreFont();
    RECT rect = {0, 0, ButtonSize().cx + 2 * m_horizontalMargin + size.cx, size.cy + 2 * m_verticalMargin};
    SetRect(rect);
}

void CTimer::DrawAt(const RECT& rect, DWORD flags)
{
    if (!BeginDraw(rect, flags))
        return;
    WCHAR text[kTimerTextChars];
    BuildText(text);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    RECT box = ButtonBox(rect);
    SIZE lines;
    if (UseTwoLines(text, width, height, &lines)) {
        int top = rect.top + (height - lines.cy) / 2;
        if (m_centered)
            m_style->DrawLines(rect.left + (box.left - rect.left) / 2, top, kLinesCentered, text, -1);
        else
            m_style->DrawLines(box.left, top, kLinesRight, text, -1);
    } else {
        WCHAR joined[kTimerTextChars];
        JoinLines(text, joined, kTimerTextChars);
        SIZE size = Extent(joined);
        int top = rect.top + (height - size.cy) / 2;
        if (m_centered) {
            m_style->DrawText(rect.left + (box.left - rect.left - size.cx) / 2, top, joined, -1);
        } else {
            WCHAR prefix[33];
            CopyFieldText(prefix, 33, m_record.prefix, 32);
            int prefixChars = 0;
            while (prefix[prefixChars])
                ++prefixChars;
            if (prefixChars > 0)
                m_style->DrawText(rect.left + m_horizontalMargin, top, prefix, -1);
            // the blank after the prefix belongs to neither part
            const WCHAR* value = joined + (prefixChars > 0 ? prefixChars + 1 : 0);
            SIZE valueSize = Extent(value);
            m_style->DrawText(box.left - valueSize.cx, top, value, -1);
        }
    }
    if (m_button.IsValid() && m_style->GetDC()) {
        COLORREF key = ::GetPixel(m_button.GetDC(), 0, 0);
        m_button.DrawTransparent(m_style->GetDC(), box.left, box.top, m_button.GetWidth(), m_button.GetHeight(), 0,
                                 0, key);
    }
    RestoreFont();
}
