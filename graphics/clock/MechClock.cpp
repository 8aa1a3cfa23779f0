#include "graphics/clock/Clock.h"

#include <string.h>

#include "graphics/skin/MechSkin.h"
#include "graphics/image/PixelBuffer.h"
#include "graphics/text/TimeFormat.h"

namespace {

const int kCaptionChars = 32 + kDateTextChars + 1;
const int kUnlimited = 0x7FFFFFFF;
// pixel of a DIB no GDI or premultiplied image produces: "no key"
const uint32_t kNoKey = 0x01000000;
const int kInitialFaceSize = 20;
const int kSmallestShrunkFace = 64;

uint32_t PixelOfColor(COLORREF color)
{
    return ((uint32_t)GetRValue(color) << 16) | ((uint32_t)GetGValue(color) << 8) | GetBValue(color);
}

int Larger(int a, int b)
{
    return a > b ? a : b;
}

}  // namespace

CMechClock::CMechClock(const ClockRecord& record, CMechSkin* skin, const ClockContext& context)
    : CClock(record, skin, context),
      m_skin(skin),
      m_faceSize(kInitialFaceSize),
      m_faceLayout(kCaptionBelow),
      m_overlay(false),
      m_rendered()
{
}

CMechClock::~CMechClock() = default;

bool CMechClock::HasFace() const
{
    return m_skin && m_skin->HasFace();
}

int CMechClock::GetFaceSize() const
{
    return m_faceSize;
}

bool CMechClock::ShowsSeconds() const
{
    uint32_t bit = HasFace() ? kClockSecondsHand : kClockShowsSeconds;
    return (m_record.flags & bit) != 0;
}

void CMechClock::BuildCaption(WCHAR* caption, int chars)
{
    CopyFieldText(caption, chars < 32 ? chars : 32, m_record.prefix, 32);
    if (m_overlay || !m_context.language)
        return;
    WCHAR date[kDateTextChars] = L"";
    WCHAR picture[69];
    CopyFieldText(picture, 69, m_record.dateFormat, 68);
    FormatDate(*m_context.language, date, m_record.localTime, picture, false, m_context.weekRules);
    if (!date[0])
        return;
    int n = 0;
    while (caption[n])
        ++n;
    // an empty prefix leaves no empty first line
    if (n > 0 && n < chars - 1)
        caption[n++] = L'\n';
    for (const WCHAR* p = date; *p && n < chars - 1; ++p)
        caption[n++] = *p;
    caption[n] = 0;
}

SIZE CMechClock::CaptionSize()
{
    WCHAR caption[kCaptionChars];
    BuildCaption(caption, kCaptionChars);
    if (!caption[0] || !m_style)
        return {0, 0};
    return m_style->MeasureLines(caption, -1);
}

void CMechClock::LayoutFace(int largestWidth, int largestHeight, bool fit)
{
    if (!HasFace())
        return;
    int w = largestWidth - 2 * m_horizontalMargin, h = largestHeight - 2 * m_verticalMargin;
    SIZE caption = CaptionSize();
    int cw = caption.cx, ch = caption.cy;
    int g = m_skin->GetFaceWidth();
    auto tryLayout = [&](int s, bool smallest, int* layout) {
        if (s > 63 && w >= s && h >= s) {
            *layout = kCaptionOver;
            return true;
        }
        if ((w >= s && h >= (m_overlay ? s : s + ch)) || (smallest && largestWidth < largestHeight)) {
            *layout = kCaptionBelow;
            return true;
        }
        if (w >= (m_overlay ? s : s + cw) && h >= s) {
            *layout = kCaptionBeside;
            return true;
        }
        return false;
    };
    int size = m_faceSize, layout = kCaptionBeside;
    bool found = false;
    if (fit) {
        for (int i = kFaceSizeCount - 1; i >= 0 && !found; --i) {
            int s = kFaceSizes[i], next = i > 0 ? kFaceSizes[i - 1] : 0;
            int tried;
            if (g < s && g > next)
                tried = g;
            else if (g / 2 < s && g / 2 > next)
                tried = g / 2;
            else if (s > g)
                continue;
            else
                tried = s;
            size = tried;
            found = tryLayout(tried, i == 0, &layout);
        }
    } else {
        found = tryLayout(size, size <= kFaceSizes[0], &layout);
    }
    if (!found)
        layout = kCaptionBeside;
    if (m_overlay && (layout == kCaptionBelow || layout == kCaptionBeside))
        layout = kCaptionLowerLeft;
    m_faceSize = size;
    m_faceLayout = layout;
    int width, height;
    switch (layout) {
    case kCaptionBelow:
        width = Larger(size, cw);
        height = size + ch;
        break;
    case kCaptionBeside:
        width = size + cw;
        height = Larger(size, ch);
        break;
    default:
        width = Larger(size, cw);
        height = Larger(size, ch);
        break;
    }
    RECT rect = {0, 0, width + 2 * m_horizontalMargin, height + 2 * m_verticalMargin};
    SetRect(rect);
    if (m_face.IsValid() && m_face.GetWidth() != size)
        m_face.Destroy();
}

void CMechClock::Measure(HDC dc, int largestWidth, int largestHeight, HTHEME theme, const SYSTEMTIME* sample)
{
    if (!HasFace()) {
        CClock::Measure(dc, largestWidth, largestHeight, theme, sample);
        return;
    }
    BindStyle(dc, theme);
    ApplyFont();
    LayoutFace(largestWidth, largestHeight, true);
    RestoreFont();
}

bool CMechClock::ChangeFontSize(HDC dc, bool bigger)
{
    if (!HasFace())
        return CClock::ChangeFontSize(dc, bigger);
    int g = m_skin->GetFaceWidth(), size = m_faceSize, next = size;
    if (bigger) {
        for (int i = 1; i < kFaceSizeCount; ++i)
            if (kFaceSizes[i] > size) {
                next = kFaceSizes[i];
                break;
            }
    } else {
        for (int i = kFaceSizeCount - 2; i >= 0; --i)
            if (kFaceSizes[i] < size) {
                next = kFaceSizes[i];
                break;
            }
        if (next < kSmallestShrunkFace)
            return false;
    }
    if (next > g)
        next = g;
    if (next == size)
        return false;
    ApplyFaceSize(dc, next);
    return true;
}

void CMechClock::ApplyFaceSize(HDC dc, int size)
{
    if (!HasFace())
        return;
    int g = m_skin->GetFaceWidth();
    if (size > g)
        size = g;
    if (size < kFaceSizes[0])
        size = kFaceSizes[0];
    m_faceSize = size;
    // the caption grows with the face, by whole hundreds of pixels
    int nominal = m_style->GetFontSize();
    m_fontSize = size >= 100 ? nominal * (size / 100) : nominal;
    BindStyle(dc, m_style->GetTheme());
    ApplyFont();
    LayoutFace(kUnlimited, kUnlimited, false);
    RestoreFont();
}

int CMechClock::Update(const SYSTEMTIME& utc)
{
    int result = CClock::Update(utc);
    if (!HasFace())
        return result;
    RenderFace();
    return result != kClockUnchanged ? kClockRepaint : kClockUnchanged;
}

CMechClock::FaceState CMechClock::CurrentFaceState() const
{
    FaceState state = {};
    HandAngles angles = GetHandAngles(m_record.localTime, m_skin->GetFaceAngle(), m_skin->Is24Hour());
    state.hour = (uint32_t)angles.hour;
    state.minute = (uint32_t)angles.minute;
    state.flags = m_record.flags & (kClockSecondsHand | kClockTransparent);
    if (state.flags & kClockSecondsHand)
        state.second = (uint32_t)angles.second;
    state.size = (uint32_t)m_faceSize;
    const ClockProfileRecord* profile = ActiveProfile();
    state.tintColor = profile ? profile->color : ~0u;
    state.tintWeight = profile ? profile->weight : 0;
    return state;
}

void CMechClock::RenderFace()
{
    // the face changes at most once a minute without a seconds hand: the
    // rotation, lightmap and tint of every pass cost more than its paint
    FaceState state = CurrentFaceState();
    if (m_face.IsValid() && memcmp(&state, &m_rendered, sizeof(state)) == 0)
        return;
    // the skin keeps the face's pixels as a bitmap too: a new bitmap filled
    // from them on every pass cost more than all the drawing
    CPixelBuffer face(m_skin->GetFaceBitmap());
    if (!face.IsValid())
        return;
    int w = face.GetWidth(), h = face.GetHeight();

    const CPixelBuffer& strip = m_skin->GetHandStrip();
    int e = strip.IsValid() ? strip.GetHeight() : 0, band = e / 3;
    if (band > 3) {
        int stripWidth = strip.GetWidth();
        uint32_t key = strip.GetPixel(0, e - 1);
        HandAngles angles = GetHandAngles(m_record.localTime, m_skin->GetFaceAngle(), m_skin->Is24Hour());
        // the axis offset counts down the image; rows here count up
        int pivotX = w / 2 + m_skin->GetAxisOffsetX(), pivotY = h / 2 - m_skin->GetAxisOffsetY();
        struct Hand {
            int bottom;
            int angle;
        } hands[3] = {{2 * band, angles.hour}, {band, angles.minute}, {0, angles.second}};
        int count = (m_record.flags & kClockSecondsHand) ? 3 : 2;
        for (int i = 0; i < count; ++i) {
            RECT src = {1, hands[i].bottom + band, stripWidth - 1, hands[i].bottom};
            face.DrawRotated(strip, pivotX, pivotY, stripWidth / 2, hands[i].bottom + e / 6, src, hands[i].angle, key);
        }
    }

    CDibSection work;
    if ((m_style->GetFeatures() & kSkinLightmap) && work.Create(w, h)) {
        face.CopyTo(work);
        GdiFlush();
        m_style->ApplyLightmap(work.GetBits(), w, h);
        face.ReadFrom(work, 0, 0);
    }
    int size = m_faceSize < w ? m_faceSize : w;
    if (size < w)
        face.Resize(size, size, false);
    size = face.GetWidth();

    const ClockProfileRecord* profile = ActiveProfile();
    if (profile) {
        uint32_t key = face.GetPixel(0, 0);
        face.BlendColor(PixelOfColor(profile->color), key, profile->weight);
        if (m_context.shadeTable) {
            uint32_t skip = (m_record.flags & kClockTransparent) ? key : kNoKey;
            face.ShadeRows(m_context.shadeTable, skip);
            face.ShadeColumns(m_context.shadeTable, skip);
        }
    }
    if (!m_face.IsValid() || m_face.GetWidth() != size || m_face.GetHeight() != face.GetHeight()) {
        if (!m_face.Create(size, face.GetHeight()))
            return;
    }
    face.CopyTo(m_face);
    m_rendered = state;
}

void CMechClock::Paint(HDC dc, HTHEME theme)
{
    if (!HasFace()) {
        CClock::Paint(dc, theme);
        return;
    }
    BindStyle(dc, theme);
    ApplyFont();
    RECT rect = GetRect();
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!(m_record.flags & kClockTransparent))
        m_style->FillBackground(&rect, m_skin->GetBackColor());

    int fs = m_face.IsValid() ? m_face.GetWidth() : m_faceSize;
    int x, y;
    switch (m_faceLayout) {
    case kCaptionBelow:
        x = rect.left + (width - fs) / 2;
        y = rect.top + m_verticalMargin;
        break;
    case kCaptionBeside:
        x = rect.right - m_horizontalMargin - fs;
        y = rect.top + (height - fs) / 2;
        break;
    default:
        x = rect.left + (width - fs) / 2;
        y = rect.top + (height - fs) / 2;
        break;
    }
    if (m_face.IsValid()) {
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, x, y, fs, fs, m_face.GetDC(), 0, 0, fs, m_face.GetHeight(), blend);
    }

    WCHAR caption[kCaptionChars];
    BuildCaption(caption, kCaptionChars);
    if (caption[0]) {
        SIZE size = m_style->MeasureLines(caption, -1);
        switch (m_faceLayout) {
        case kCaptionOver:
            m_style->DrawLines(rect.left + width / 2, rect.top + height * 2 / 3 - size.cy / 2, kLinesCentered,
                               caption, -1);
            break;
        case kCaptionLowerLeft:
            m_style->DrawLines(x, y + fs - size.cy, 0, caption, -1);
            break;
        case kCaptionBelow:
            m_style->DrawLines(rect.left + width / 2, y + fs, kLinesCentered, caption, -1);
            break;
        default:
            m_style->DrawLines(x, rect.top + m_verticalMargin, kLinesRight, caption, -1);
            break;
        }
    }

    if (!m_skin->Is24Hour() && (m_record.flags & kClockSuffix)) {
        bool pm = m_record.localTime.wHour > 11;
        const WCHAR* text = fs < 32 ? (pm ? L"P" : L"A") : (pm ? L"PM" : L"AM");
        SIZE size = Extent(text);
        if (m_faceLayout == kCaptionOver)
            m_style->DrawText(rect.left + (width - size.cx) / 2, rect.top + height / 3 - size.cy / 2, text, -1);
        else
            m_style->DrawText(x + fs - size.cx, m_faceLayout == kCaptionLowerLeft ? y : y + fs - size.cy, text, -1);
    }
    RestoreFont();
}
