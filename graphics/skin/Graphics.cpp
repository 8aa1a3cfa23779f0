#include "graphics/skin/Graphics.h"

#include <limits.h>
#include <stddef.h>
#include <stdlib.h>

#include "graphics/records/FixedText.h"
#include "graphics/text/Fonts.h"

namespace {

const int kDefaultFontSize = 8;
const WCHAR kFallbackFace[] = L"MS Sans Serif";

// The metrics without iPaddedBorderWidth: every system since 2000 accepts it.
const UINT kMetricsBytes = 500;
static_assert(offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth) == kMetricsBytes, "metrics layout");

// Copies at most `chars` - 1 characters and terminates.
void CopyText(WCHAR* dst, size_t chars, const WCHAR* src)
{
    size_t i = 0;
    if (src)
        for (; i + 1 < chars && src[i]; ++i)
            dst[i] = src[i];
    dst[i] = 0;
}

// RAII for a pen and brush selected into a DC.
class CSelectedTools {
public:
    CSelectedTools(HDC dc, HPEN pen, HBRUSH brush, bool ownBrush)
        : m_dc(dc), m_pen(pen), m_brush(brush), m_ownBrush(ownBrush),
          m_oldPen(pen ? SelectObject(dc, pen) : nullptr), m_oldBrush(brush ? SelectObject(dc, brush) : nullptr)
    {
    }
    ~CSelectedTools()
    {
        if (m_oldBrush)
            SelectObject(m_dc, m_oldBrush);
        if (m_oldPen)
            SelectObject(m_dc, m_oldPen);
        if (m_pen)
            DeleteObject(m_pen);
        if (m_brush && m_ownBrush)
            DeleteObject(m_brush);
    }
    CSelectedTools(const CSelectedTools&) = delete;
    CSelectedTools& operator=(const CSelectedTools&) = delete;

private:
    HDC m_dc;
    HPEN m_pen;
    HBRUSH m_brush;
    bool m_ownBrush;
    HGDIOBJ m_oldPen;
    HGDIOBJ m_oldBrush;
};

}  // namespace

bool SameStyleName(const WCHAR* a, const WCHAR* b)
{
    return a && b && CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

bool IsBuiltInStyleName(const WCHAR* name)
{
    return SameStyleName(name, kStandardStyleName) || SameStyleName(name, kClassicStyleName);
}

CGraphics::CGraphics(CVisualStyles* styles, const SettingsBlock* settings)
    : m_owner(nullptr), m_name(), m_refCount(0), m_dc(nullptr), m_theme(nullptr), m_target(nullptr),
      m_font(), m_oldFont(nullptr), m_logFont(), m_fontSize(kDefaultFontSize), m_fontWidth(0),
      m_textColor(kDefaultColor), m_backColor(kNoColor), m_shadowColor(kDefaultColor), m_borderColor(0),
      m_shadowOffset(0), m_borderStyle(kBorderNone), m_centered(false), m_kind(kKindOther), m_opaqueText(false),
      m_styles(styles), m_systemParameters(&SystemParametersInfoW)
{
    if (settings) {
        // the field may be full without a terminator
        WCHAR skin[FIELD_WIDTH(settings->skin) + 1];
        size_t n = FixedLength(settings->skin, FIELD_WIDTH(settings->skin));
        CopyText(skin, n + 1, settings->skin);
        m_centered = SameStyleName(skin, kClassicStyleName);
    }
}

CGraphics::~CGraphics()
{
    if (m_owner)
        m_owner->OnGraphicsDestroyed(this);
    DeselectFont();
}

DWORD CGraphics::GetFeatures()
{
    return 0;
}

void CGraphics::GetTextExtent(SIZE* size, const WCHAR* text, int length)
{
    *size = MeasureText(m_theme, text, length);
}

bool CGraphics::Load(const WCHAR* name, int fontWidth, int fontSize, int weight, DWORD styleFlags)
{
    if (SameStyleName(name, kClassicStyleName))
        m_kind = kKindClassic;
    else if (SameStyleName(name, kStandardStyleName))
        m_kind = kKindStandard;
    else
        m_kind = kKindOther;
    if (fontSize == 0)
        fontSize = kDefaultFontSize;

    WCHAR face[LF_FACESIZE];
    if (m_kind == kKindOther) {
        CopyText(face, LF_FACESIZE, name);
    } else {
        NONCLIENTMETRICSW metrics = {};
        metrics.cbSize = kMetricsBytes;
        if (m_systemParameters && m_systemParameters(SPI_GETNONCLIENTMETRICS, kMetricsBytes, &metrics, 0)) {
            CopyText(face, LF_FACESIZE, metrics.lfStatusFont.lfFaceName);
            if (fontSize == kDefaultFontSize)
                fontSize = metrics.lfStatusFont.lfHeight;
        } else {
            CopyText(face, LF_FACESIZE, kFallbackFace);
        }
        if (m_kind == kKindClassic) {
            m_borderStyle = (m_styles && m_styles->Active()) ? kBorderRounded : kBorderRectangle;
            m_centered = m_borderStyle != kBorderNone;
        }
    }
    m_textColor = GetSysColor(COLOR_BTNTEXT);

    DeselectFont();
    m_font.Reset();
    CopyText(m_name, FIELD_WIDTH(m_name), name);
    m_fontSize = fontSize;
    m_fontWidth = fontWidth;
    if (!BuildLogFont(face, fontWidth, fontSize, weight, styleFlags, &m_logFont))
        return false;
    m_font.Reset(CreateFontIndirectW(&m_logFont));
    SelectFont();
    return (bool)m_font;
}

void CGraphics::FillBackground(const RECT* rect, COLORREF color)
{
    if (!m_dc || !rect)
        return;
    if (color == kNoColor) {
        if (m_kind == kKindOther)
            return;
        color = kDefaultColor;
    }
    if (color == kDefaultColor && m_borderStyle == kBorderNone) {
        // no background colour means nothing here, never the default again
        if (m_backColor == kDefaultColor || m_backColor == kNoColor)
            return;
        color = m_backColor;
    }
    if (color != kDefaultColor) {
        CGdiObject<HBRUSH> brush(CreateSolidBrush(color));
        if (brush)
            FillRect(m_dc, rect, brush.Get());
        return;
    }
    DrawFrame(rect, m_borderStyle == kBorderRounded, m_backColor, m_backColor);
}

void CGraphics::DrawFrame(const RECT* rect, bool rounded, COLORREF pen, COLORREF brush)
{
    if (!m_dc || !rect)
        return;
    // the style's defaults: its border colour for lines, the face colour for fills
    if (pen == kDefaultColor)
        pen = m_borderColor;
    if (brush == kDefaultColor)
        brush = GetSysColor(COLOR_BTNFACE);
    bool solid = brush != kNoColor;
    HBRUSH fill = solid ? CreateSolidBrush(brush) : (HBRUSH)GetStockObject(NULL_BRUSH);
    // a hollow pen for "no colour" rather than a white one
    HPEN line = pen == kNoColor ? nullptr : CreatePen(PS_SOLID, 0, pen);
    CSelectedTools tools(m_dc, line, fill, solid);
    HGDIOBJ oldPen = line ? nullptr : SelectObject(m_dc, GetStockObject(NULL_PEN));
    if (rounded) {
        // corners grow with the font: pixel height per point, at least 1
        int perPoint = 1;
        if (m_fontSize != 0)
            perPoint = abs(m_logFont.lfHeight) / abs(m_fontSize);
        int e = 5 * (perPoint > 1 ? perPoint : 1);
        RoundRect(m_dc, rect->left, rect->top, rect->right, rect->bottom, 2 * e, e);
    } else {
        Rectangle(m_dc, rect->left, rect->top, rect->right, rect->bottom);
    }
    if (oldPen)
        SelectObject(m_dc, oldPen);
}

COLORREF CGraphics::GetBackColor()
{
    return m_backColor;
}

void CGraphics::ApplyLightmap(uint32_t*, int, int)
{
}

void CGraphics::SetFontHeight(LONG height)
{
    if (m_fontWidth != 0 && m_fontSize != 0) {
        // 64 bits: a large height times the width must not wrap
        int64_t width = (int64_t)height * m_fontWidth / m_fontSize;
        m_logFont.lfWidth = (LONG)(width > LONG_MAX ? LONG_MAX : width < -LONG_MAX ? -LONG_MAX : width);
    }
    if (m_logFont.lfHeight == height)
        return;
    m_logFont.lfHeight = height;
    RecreateFont();
}

bool CGraphics::Release()
{
    if (m_refCount > 0)
        --m_refCount;
    if (m_refCount != 0)
        return false;
    return !m_owner || m_owner->CanDeleteGraphics(this);
}

void CGraphics::SetDrawingTarget(CDibSection* target)
{
    m_target = target;
    if (target)
        SetDC(target->GetDC(), m_theme);
}

void CGraphics::SetDC(HDC dc, HTHEME theme)
{
    DeselectFont();
    m_dc = dc;
    m_theme = theme;
    SelectFont();
}

void CGraphics::SetShadow(COLORREF color, int offset)
{
    m_shadowColor = color;
    m_shadowOffset = offset;
}

void CGraphics::DeselectFont()
{
    if (m_dc && m_oldFont)
        SelectObject(m_dc, m_oldFont);
    m_oldFont = nullptr;
}

void CGraphics::SelectFont()
{
    if (m_dc && m_font)
        m_oldFont = SelectObject(m_dc, m_font.Get());
}

bool CGraphics::RecreateFont()
{
    DeselectFont();
    m_font.Reset(CreateFontIndirectW(&m_logFont));
    SelectFont();
    return (bool)m_font;
}
