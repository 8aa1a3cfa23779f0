// Measuring and drawing text of a style.
#include "graphics/skin/Graphics.h"

#include <stdlib.h>

namespace {

int TextLength(const WCHAR* text, int length)
{
    if (!text)
        return 0;
    return length > 0 ? length : lstrlenW(text);
}

const WCHAR kBlank[] = L" ";

}  // namespace

SIZE CGraphics::MeasureBare(HTHEME theme, const WCHAR* text, int length)
{
    SIZE size = {0, 0};
    length = TextLength(text, length);
    if (!m_dc)
        return size;
    IThemeApi* api = ThemeApi();
    if (theme && api) {
        RECT extent = {};
        if (SUCCEEDED(api->GetThemeTextExtent(theme, m_dc, 1, 1, text ? text : L"", length, DT_NOCLIP, nullptr,
                                              &extent))) {
            size.cx = extent.right - extent.left;
            size.cy = extent.bottom - extent.top;
        }
    } else if (!GetTextExtentPoint32W(m_dc, text ? text : L"", length, &size)) {
        size.cx = size.cy = 0;
    }
    return size;
}

SIZE CGraphics::MeasureText(HTHEME theme, const WCHAR* text, int length)
{
    SIZE size = MeasureBare(theme, text, length);
    int shadow = abs(m_shadowOffset);
    size.cx += shadow;
    size.cy += shadow;
    return size;
}

void CGraphics::DrawTextRaw(HTHEME theme, int x, int y, const WCHAR* text, int length, COLORREF color)
{
    if (!m_dc || !text)
        return;
    length = TextLength(text, length);
    IThemeApi* api = ThemeApi();
    SIZE size = MeasureBare(theme, text, length);
    if (theme && api) {
        RECT rect = {x, y, x + size.cx, y + size.cy};
        api->DrawThemeText(theme, m_dc, 1, 1, text, length, DT_SINGLELINE | DT_NOCLIP, 0, &rect);
    } else {
        COLORREF old = ::SetTextColor(m_dc, color);
        TextOutW(m_dc, x, y, text, length);
        ::SetTextColor(m_dc, old);
    }
    // text stays opaque in a layered window
    if (m_target && m_target->GetDC() == m_dc && size.cx > 0 && size.cy > 0)
        m_target->SetAlphaRect(x, m_target->GetHeight() - (y + size.cy), size.cx, size.cy, 255);
}

void CGraphics::DrawTextShadowed(HTHEME theme, int x, int y, const WCHAR* text, int length)
{
    if (!m_dc || !text)
        return;
    bool themed = theme && ThemeApi();
    if (m_opaqueText && !themed) {
        SetBkMode(m_dc, OPAQUE);
        if (m_backColor != kDefaultColor && m_backColor != kNoColor)
            SetBkColor(m_dc, m_backColor);
    } else {
        SetBkMode(m_dc, TRANSPARENT);
    }
    if (m_shadowOffset != 0 && m_shadowColor != kDefaultColor && m_shadowColor != kNoColor) {
        DrawTextRaw(theme, x + m_shadowOffset, y + m_shadowOffset, text, length, m_shadowColor);
        SetBkMode(m_dc, TRANSPARENT);
    }
    COLORREF color = m_textColor == kDefaultColor ? GetSysColor(COLOR_BTNTEXT) : m_textColor;
    if (color != kNoColor)
        DrawTextRaw(theme, x, y, text, length, color);
}

void CGraphics::DrawText(int x, int y, const WCHAR* text, int length)
{
    DrawTextShadowed(m_theme, x, y, text, length);
}

SIZE CGraphics::MeasureLines(const WCHAR* text, int length)
{
    SIZE total = {0, 0};
    length = TextLength(text, length);
    SIZE blank;
    GetTextExtent(&blank, kBlank, 1);
    int start = 0;
    bool first = true;
    while (start <= length) {
        int end = start;
        while (end < length && text[end] != L'\n')
            ++end;
        int lineEnd = end;
        while (lineEnd > start && text[lineEnd - 1] == L'\r')
            --lineEnd;
        SIZE line = blank;
        if (lineEnd > start)
            GetTextExtent(&line, text + start, lineEnd - start);
        if (line.cx > total.cx)
            total.cx = line.cx;
        total.cy += line.cy + (first ? 0 : 1);
        first = false;
        if (end >= length)
            break;
        start = end + 1;
    }
    return total;
}

void CGraphics::DrawLines(int x, int y, DWORD flags, const WCHAR* text, int length)
{
    length = TextLength(text, length);
    SIZE blank;
    GetTextExtent(&blank, kBlank, 1);
    int start = 0;
    while (start <= length) {
        int end = start;
        while (end < length && text[end] != L'\n')
            ++end;
        int lineEnd = end;
        while (lineEnd > start && text[lineEnd - 1] == L'\r')
            --lineEnd;
        SIZE line = {0, 0};
        if (lineEnd > start) {
            GetTextExtent(&line, text + start, lineEnd - start);
            int left = x;
            if (flags & kLinesCentered)
                left = x - line.cx / 2;
            else if (flags & kLinesRight)
                left = x - line.cx;
            DrawText(left, y, text + start, lineEnd - start);
        }
        y += (line.cy > blank.cy ? line.cy : blank.cy) + 1;
        if (end >= length)
            break;
        start = end + 1;
    }
}
