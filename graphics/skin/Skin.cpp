// Measuring and drawing with a loaded skin: digits and the colon from the
// digit strip, other characters from the font grid or the GDI font.
#include "graphics/skin/Skin.h"

#include <wchar.h>

#include "graphics/image/PixelBuffer.h"

namespace {

const int kGridColumns = 16;

bool IsDigit(WCHAR c)
{
    return c >= L'0' && c <= L'9';
}

// Kinds of the characters of a text drawn with a digit strip.
enum CellKind { kCellDigit, kCellColon, kCellOther };

CellKind KindAt(const WCHAR* text, int i)
{
    if (IsDigit(text[i]))
        return kCellDigit;
    if (text[i] == L':' && i > 0 && IsDigit(text[i - 1]))
        return kCellColon;
    return kCellOther;
}

// End of the run of other characters starting at `i`.
int RunEnd(const WCHAR* text, int length, int i)
{
    while (i < length && KindAt(text, i) == kCellOther)
        ++i;
    return i;
}

int TextLength(const WCHAR* text, int length)
{
    if (!text)
        return 0;
    return length > 0 ? length : (int)wcslen(text);
}

}  // namespace

COLORREF CSkin::DigitKey() const
{
    if (!m_digits.IsValid())
        return kNoColor;
    int x = 10 * m_digitWidth;
    if (x >= m_digits.GetWidth())
        x = m_digits.GetWidth() - 1;
    return ::GetPixel(m_digits.GetDC(), x, 0);
}

COLORREF CSkin::FontKey() const
{
    return m_fontGrid.IsValid() ? ::GetPixel(m_fontGrid.GetDC(), 0, 0) : kNoColor;
}

DWORD CSkin::GetFeatures()
{
    DWORD features = 0;
    if (m_digits.IsValid())
        features |= kSkinDigits;
    if (m_fontGrid.IsValid())
        features |= kSkinBitmapFont;
    if (m_lightmap.IsValid())
        features |= kSkinLightmap;
    return features;
}

void CSkin::GetTextExtent(SIZE* size, const WCHAR* text, int length)
{
    if (!m_digits.IsValid()) {
        *size = MeasureText(nullptr, text, length);
        return;
    }
    length = TextLength(text, length);
    size->cx = 0;
    size->cy = 0;
    for (int i = 0; i < length;) {
        SIZE part = {0, 0};
        int next = i + 1;
        switch (KindAt(text, i)) {
        case kCellDigit:
            part = {m_digitWidth, m_digitHeight};
            break;
        case kCellColon:
            part = {m_colonWidth, m_digitHeight};
            break;
        case kCellOther:
            if (m_fontGrid.IsValid()) {
                part = {m_cellWidth, m_cellHeight};
            } else {
                next = RunEnd(text, length, i);
                part = MeasureText(nullptr, text + i, next - i);
            }
            break;
        }
        size->cx += part.cx;
        if (part.cy > size->cy)
            size->cy = part.cy;
        i = next;
    }
}

void CSkin::DrawCell(CTranspBitmap& bitmap, int x, int y, int width, int height, int srcX, int srcY, COLORREF key)
{
    if (IsOpaqueText())
        bitmap.Draw(GetDC(), x, y, width, height, srcX, srcY);
    else
        bitmap.DrawTransparent(GetDC(), x, y, width, height, srcX, srcY, key);
}

void CSkin::DrawText(int x, int y, const WCHAR* text, int length)
{
    if (!m_digits.IsValid()) {
        DrawTextShadowed(nullptr, x, y, text, length);
        return;
    }
    length = TextLength(text, length);
    bool grid = m_fontGrid.IsValid();
    int digitY = y;
    if (!grid) {
        bool others = false;
        for (int i = 0; i < length && !others; ++i)
            others = KindAt(text, i) == kCellOther;
        if (others) {
            int h = MeasureBare(nullptr, L"1Wql", 4).cy;
            if (h > m_digitHeight)
                digitY += (h - m_digitHeight) / 2;
        }
    }
    COLORREF digitKey = DigitKey(), fontKey = FontKey();
    for (int i = 0; i < length;) {
        WCHAR c = text[i];
        int next = i + 1;
        switch (KindAt(text, i)) {
        case kCellDigit:
            DrawCell(m_digits, x, digitY, m_digitWidth, m_digitHeight, (c - L'0') * m_digitWidth, 0, digitKey);
            x += m_digitWidth;
            break;
        case kCellColon:
            DrawCell(m_digits, x, digitY, m_colonWidth, m_digitHeight, 10 * m_digitWidth, 0, digitKey);
            x += m_colonWidth;
            break;
        case kCellOther:
            if (grid) {
                int cell = (c < 0x20 || c > 0xFF) ? 0 : c - 0x20;
                DrawCell(m_fontGrid, x, y, m_cellWidth, m_cellHeight, cell % kGridColumns * m_cellWidth,
                         cell / kGridColumns * m_cellHeight, fontKey);
                x += m_cellWidth;
            } else {
                next = RunEnd(text, length, i);
                DrawTextShadowed(nullptr, x, y, text + i, next - i);
                x += MeasureText(nullptr, text + i, next - i).cx;
            }
            break;
        }
        i = next;
    }
}

void CSkin::FillBackground(const RECT* rect, COLORREF color)
{
    if ((!m_digits.IsValid() && !m_fontGrid.IsValid()) || color != kDefaultColor || !GetDC() || !rect) {
        CGraphics::FillBackground(rect, color);
        return;
    }
    const CBitmap& source = m_fontGrid.IsValid() ? (const CBitmap&)m_fontGrid : (const CBitmap&)m_digits;
    COLORREF key = m_fontGrid.IsValid() ? FontKey() : DigitKey();
    if (GetBorderStyle() != kBorderNone) {
        DrawFrame(rect, GetBorderStyle() == kBorderRounded, key, key);
        return;
    }
    int keyX = m_fontGrid.IsValid() ? 0 : 10 * m_digitWidth;
    if (keyX >= source.GetWidth())
        keyX = source.GetWidth() - 1;
    StretchBlt(GetDC(), rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, source.GetDC(),
               keyX, 0, 1, 1, SRCCOPY);
}

COLORREF CSkin::GetBackColor()
{
    if (m_fontGrid.IsValid())
        return FontKey();
    if (m_digits.IsValid())
        return DigitKey();
    return CGraphics::GetBackColor();
}

void CSkin::SetFontHeight(LONG height)
{
    if (!m_digits.IsValid() && !m_fontGrid.IsValid())
        CGraphics::SetFontHeight(height);
}

void CSkin::ApplyLightmap(uint32_t* pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0 || !m_lightmap.IsValid())
        return;
    CPixelBuffer light(m_lightmap);
    if (!light.IsValid() || light.GetBitCount() != 32)
        return;
    light.Resize(width, height, false);
    light.ShadeAsLightmap(pixels, width, height);
}
