#include "graphics/clock/Clock.h"

#include <string.h>

#include "graphics/records/FixedText.h"
#include "graphics/text/Fonts.h"
#include "graphics/skin/Graphics.h"
#include "graphics/image/PixelBuffer.h"
#include "graphics/skin/Skin.h"
#include "graphics/system/Handles.h"
#include "graphics/text/TimeFormat.h"
#include "graphics/time/ZoneConvert.h"

const int kFaceSizes[kFaceSizeCount] = {16, 20, 24, 28, 32, 40, 48, 56, 64, 75,
                                        100, 128, 150, 200, 250, 300, 400, 500, 600, 800};

namespace {

const uint64_t kTicksPerSecond = 10000000;
const WCHAR kBlank[] = L" ";

bool IsCountdown(const ClockRecord& clock)
{
    return (clock.kind & (kClockTimer | kClockCountdown)) == (kClockTimer | kClockCountdown);
}

bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// COLORREF 0x00BBGGRR to a pixel 0xAARRGGBB with alpha 0
uint32_t PixelOfColor(COLORREF color)
{
    return ((uint32_t)GetRValue(color) << 16) | ((uint32_t)GetGValue(color) << 8) | GetBValue(color);
}

}  // namespace

bool IsProfileActive(const ClockRecord& clock, const ClockProfileRecord& profile)
{
    if (!profile.enabled)
        return false;
    uint64_t first = profile.rangeStartUtc, second = profile.rangeEndUtc;
    if (clock.kind & kClockTimer) {
        if (IsCountdown(clock) && !(clock.kind & kClockFixedMoment)) {
            uint64_t remaining = clock.timerValue;
            if (remaining > first)
                return false;
            if (remaining > second)
                return true;
            return remaining == 0 && second == 0;
        }
        uint64_t v = clock.timerValue;
        if (clock.kind & kClockFixedMoment)
            v = IsCountdown(clock) ? clock.timerAnchorUtc - clock.timerValue : clock.timerAnchorUtc + clock.timerValue;
        return first <= v && v < second;
    }
    uint32_t minute = clock.localTime.wHour * 60u + clock.localTime.wMinute;
    int weekday = clock.localTime.wDayOfWeek % 7;
    bool today = (profile.weekdays >> weekday) & 1;
    if (profile.startMinute < profile.endMinute)
        return today && profile.startMinute <= minute && minute < profile.endMinute;
    if (today && minute >= profile.startMinute)
        return true;
    bool yesterday = (profile.weekdays >> ((weekday + 6) % 7)) & 1;
    return yesterday && minute < profile.endMinute;
}

int FindActiveProfile(const ClockRecord& clock, int preferred, const LocalZoneState* localZone,
                      const ClockProfileRecord* localProfile)
{
    if (!(clock.kind & kClockTimer) && localZone && localProfile && IsLocalZoneClock(clock, *localZone) &&
        IsProfileActive(clock, *localProfile))
        return kLocalZoneProfile;
    uint32_t count = clock.profileCount > (uint32_t)kMaxProfiles ? (uint32_t)kMaxProfiles : clock.profileCount;
    if (preferred >= 0)
        return (uint32_t)preferred < count ? preferred : kNoProfile;
    if (!clock.profilesEnabled)
        return kNoProfile;
    for (uint32_t i = 0; i < count; ++i)
        if (IsProfileActive(clock, clock.profiles[i]))
            return (int)i;
    return kNoProfile;
}

HandAngles GetHandAngles(const SYSTEMTIME& time, int faceAngle, bool face24h)
{
    int n = face24h ? 24 : 12;
    HandAngles a;
    a.hour = (((time.wHour % n) * 360 + time.wMinute * 6) / n + faceAngle + 270) % 360;
    a.minute = (faceAngle + time.wMinute * 6 + 270) % 360;
    a.second = (faceAngle + time.wSecond * 6 + 270) % 360;
    return a;
}

void CopyFieldText(WCHAR* out, int chars, const WCHAR* field, int width)
{
    if (chars <= 0)
        return;
    int n = (int)FixedLength(field, (size_t)width);
    if (n > chars - 1)
        n = chars - 1;
    memcpy(out, field, (size_t)n * sizeof(WCHAR));
    out[n] = 0;
}

RECT GetClockRect(const ClockRecord& clock)
{
    static_assert(sizeof(RECT) == sizeof(clock.reserved0), "the rectangle fills the spare field");
    RECT rect;
    memcpy(&rect, clock.reserved0, sizeof(rect));
    return rect;
}

void SetClockRect(ClockRecord& clock, const RECT& rect)
{
    memcpy(clock.reserved0, &rect, sizeof(rect));
}

// The texts of one measurement or drawing.
struct CClock::Texts {
    WCHAR time[kTimeTextChars];
    WCHAR date[kDateTextChars];
    WCHAR dateLine[kDateTextChars];
    int breaks;  // line breaks of the date
    SIZE blank, prefix, timeSize, dateLineSize, dateSize;
};

CClock::CClock(const ClockRecord& record, CGraphics* style, const ClockContext& context)
    : m_record(record),
      m_activeProfile(kNoProfile),
      m_preferredProfile(-1),
      m_style(style),
      m_fontSize(style ? style->GetFontSize() : 0),
      m_layoutMode(kLayoutAuto),
      m_verticalMargin(kVerticalMargin),
      m_horizontalMargin(kHorizontalMargin),
      m_centered(style ? style->IsCentered() : false),
      m_verticallyCentered(true),
      m_spare(false),
      m_context(context),
      m_savedFontHeight(0),
      m_fontApplied(false)
{
    if (m_style) {
        m_style->AddRef();
        // opaque text would paint over the tint and the frame
        m_style->SetOpaqueText(false);
    }
    RefreshProfile();
}

CClock::~CClock()
{
    if (m_style && m_style->Release())
        delete m_style;
}

const ClockProfileRecord* CClock::ActiveProfile() const
{
    if (m_activeProfile == kLocalZoneProfile)
        return m_context.localHighlight;
    if (m_activeProfile >= 0 && m_activeProfile < kMaxProfiles)
        return &m_record.profiles[m_activeProfile];
    return nullptr;
}

void CClock::RefreshProfile()
{
    m_activeProfile = FindActiveProfile(m_record, m_preferredProfile, m_context.localZone, m_context.localHighlight);
}

int CClock::GetSkinFontSize() const
{
    return m_style ? m_style->GetFontSize() : 0;
}

RECT CClock::GetRect() const
{
    return GetClockRect(m_record);
}

void CClock::SetRect(const RECT& rect)
{
    SetClockRect(m_record, rect);
}

bool CClock::UsesFontText() const
{
    DWORD features = m_style ? m_style->GetFeatures() : 0;
    return !(features & (kSkinDigits | kSkinBitmapFont)) || (features & kSkinClockFace);
}

bool CClock::ShowsSeconds() const
{
    return (m_record.flags & kClockShowsSeconds) != 0;
}

bool CClock::HitButton(POINT) const
{
    return false;
}

int CClock::Update(const SYSTEMTIME& utc)
{
    SYSTEMTIME t;
    GetClockLocalTime(utc, &t, m_record);
    const SYSTEMTIME& old = m_record.localTime;
    int result;
    if (t.wHour / 10 != old.wHour / 10 || !SameDate(t, old)) {
        result = kClockRelayout;
    } else {
        int oldMinute = old.wHour * 60 + old.wMinute, newMinute = t.wHour * 60 + t.wMinute;
        if (ShowsSeconds())
            result = (oldMinute * 60 + old.wSecond != newMinute * 60 + t.wSecond) ? kClockRepaint : kClockUnchanged;
        else
            result = oldMinute != newMinute ? kClockRepaint : kClockUnchanged;
    }
    m_record.localTime = t;
    RefreshProfile();
    return result;
}

void CClock::BindStyle(HDC dc, HTHEME theme)
{
    if (m_style)
        m_style->SetDC(dc, theme);
}

void CClock::ApplyFont()
{
    if (!m_style || m_fontApplied || m_fontSize == 0)
        return;
    m_savedFontHeight = m_style->GetFontHeight();
    int dpi = 96;
    if (m_style->GetDC())
        dpi = GetDeviceCaps(m_style->GetDC(), LOGPIXELSY);
    m_style->SetFontHeight(FontPixelsFromSize(m_fontSize, dpi));
    m_fontApplied = true;
}

void CClock::RestoreFont()
{
    if (!m_fontApplied)
        return;
    m_style->SetFontHeight(m_savedFontHeight);
    m_fontApplied = false;
}

SIZE CClock::Extent(const WCHAR* text, int length)
{
    SIZE size = {0, 0};
    if (m_style && text && text[0])
        m_style->GetTextExtent(&size, text, length);
    return size;
}

void CClock::FormatTexts(const SYSTEMTIME& time, Texts* t)
{
    t->time[0] = t->date[0] = t->dateLine[0] = 0;
    if (m_context.language) {
        WCHAR name[33];
        CopyFieldText(name, 33, m_record.timeFormat, 32);
        FormatTime(*m_context.language, t->time, time, name);
        WCHAR picture[69];
        CopyFieldText(picture, 69, m_record.dateFormat, 68);
        FormatDate(*m_context.language, t->date, time, picture, false, m_context.weekRules);
    }
    // one line: breaks become blanks, a leading one is dropped
    t->breaks = 0;
    int n = 0;
    for (const WCHAR* p = t->date; *p; ++p) {
        if (*p == L'\r')
            continue;
        if (*p == L'\n') {
            ++t->breaks;
            if (n == 0)
                continue;
            t->dateLine[n++] = L' ';
        } else {
            t->dateLine[n++] = *p;
        }
    }
    t->dateLine[n] = 0;
    WCHAR prefix[33];
    CopyFieldText(prefix, 33, m_record.prefix, 32);
    t->blank = Extent(kBlank);
    t->prefix = Extent(prefix);
    if (prefix[0])
        t->prefix.cx += t->blank.cx;
    t->timeSize = Extent(t->time);
    t->dateLineSize = Extent(t->dateLine);
    t->dateSize = {0, 0};
    if (m_style && t->date[0])
        t->dateSize = m_style->MeasureLines(t->date, -1);
}

bool CClock::UseTwoLines(const Texts& t, int width, int height, int* lineHeight, int* twoLineHeight)
{
    int l = t.timeSize.cy;
    if (t.prefix.cy > l)
        l = t.prefix.cy;
    if (t.blank.cy > l)
        l = t.blank.cy;
    int h2 = t.dateSize.cy + l + (t.dateSize.cy > 0 && l > 0 ? 1 : 0);
    *lineHeight = l;
    *twoLineHeight = h2;
    bool fits = height >= h2 + 2 * m_verticalMargin;
    int oneLine = t.blank.cx + t.dateLineSize.cx + 2 * m_horizontalMargin + t.timeSize.cx + t.prefix.cx;
    return m_layoutMode == kLayoutTwoLines || (t.breaks > 0 && fits) ||
           (m_layoutMode == kLayoutAuto && fits && width < oneLine);
}

void CClock::Measure(HDC dc, int largestWidth, int largestHeight, HTHEME theme, const SYSTEMTIME* sample)
{
    BindStyle(dc, theme);
    ApplyFont();
    SYSTEMTIME time;
    if (sample) {
        time = *sample;
    } else {
        time = m_record.localTime;
        time.wMinute = 58;
        time.wSecond = 58;
    }
    Texts t;
    FormatTexts(time, &t);
    int l, h2, width, height;
    if (UseTwoLines(t, largestWidth, largestHeight, &l, &h2)) {
        int first = t.prefix.cx + t.timeSize.cx;
        width = 2 * m_horizontalMargin + (first > t.dateSize.cx ? first : t.dateSize.cx);
        height = h2;
    } else {
        width = t.blank.cx + t.dateLineSize.cx + 2 * m_horizontalMargin + t.timeSize.cx + t.prefix.cx;
        height = l > t.dateLineSize.cy ? l : t.dateLineSize.cy;
    }
    height += 2 * m_verticalMargin;
    RestoreFont();
    RECT rect = {0, 0, width, height};
    SetRect(rect);
}

bool CClock::BeginDraw(const RECT& rect, DWORD flags)
{
    if (!m_style)
        return false;
    if (flags & kDrawBackground)
        m_style->FillBackground(&rect, (m_record.flags & kClockTransparent) ? kNoColor : kDefaultColor);
    if (!(flags & kDrawText))
        return false;
    ApplyFont();
    if (m_style->GetBorderStyle() != kBorderNone)
        m_style->DrawFrame(&rect, m_style->GetBorderStyle() == kBorderRounded, m_style->GetBorderColor(), kNoColor);
    return true;
}

void CClock::Draw(DWORD flags)
{
    DrawAt(GetRect(), flags);
}

void CClock::DrawAt(const RECT& rect, DWORD flags)
{
    if (!BeginDraw(rect, flags))
        return;
    Texts t;
    FormatTexts(m_record.localTime, &t);
    WCHAR prefix[33];
    CopyFieldText(prefix, 33, m_record.prefix, 32);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int l, h2;
    if (UseTwoLines(t, width, height, &l, &h2)) {
        int top = rect.top + (height - h2) / 2;
        int first = t.prefix.cx + t.timeSize.cx;
        int x = m_centered ? rect.left + (width - first) / 2 : rect.right - m_horizontalMargin - first;
        if (prefix[0])
            m_style->DrawText(x, top + (l - t.prefix.cy) / 2, prefix, -1);
        m_style->DrawText(x + t.prefix.cx, top + (l - t.timeSize.cy) / 2, t.time, -1);
        if (t.date[0]) {
            int dateX = m_centered ? rect.left + width / 2 : rect.right - m_horizontalMargin;
            m_style->DrawLines(dateX, top + l + 1, m_centered ? kLinesCentered : kLinesRight, t.date, -1);
        }
    } else {
        int line = t.prefix.cx + t.dateLineSize.cx + t.blank.cx + t.timeSize.cx;
        int x = m_centered ? rect.left + (width - line) / 2 : rect.right - m_horizontalMargin - line;
        if (prefix[0])
            m_style->DrawText(x, rect.top + (height - t.prefix.cy) / 2, prefix, -1);
        x += t.prefix.cx;
        if (t.dateLine[0])
            m_style->DrawText(x, rect.top + (height - t.dateLineSize.cy) / 2, t.dateLine, -1);
        x += t.dateLineSize.cx + t.blank.cx;
        m_style->DrawText(x, rect.top + (height - t.timeSize.cy) / 2, t.time, -1);
    }
    RestoreFont();
}

void CClock::DrawHighlight()
{
    const ClockProfileRecord* profile = ActiveProfile();
    if (!profile || !m_style || !m_style->GetDC())
        return;
    RECT rect = GetRect();
    OffsetRect(&rect, -rect.left, -rect.top);
    COLORREF c = profile->color & 0xFFFFFF;
    CGdiObject<HBRUSH> brush(CreateSolidBrush(c ^ 0xFFFFFF));
    FillRect(m_style->GetDC(), &rect, brush.Get());
    m_style->DrawFrame(&rect, true, c, c);
}

void CClock::Paint(HDC dc, HTHEME theme)
{
    if (!m_style)
        return;
    if (!ActiveProfile()) {
        BindStyle(dc, theme);
        Draw(kDrawBackground | kDrawText);
        return;
    }
    PaintTinted(dc, theme);
}

void CClock::PaintTinted(HDC dc, HTHEME theme)
{
    const ClockProfileRecord* profile = ActiveProfile();
    RECT rect = GetRect();
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    CDibSection work;
    if (width <= 0 || height <= 0 || !work.Create(width, height)) {
        BindStyle(dc, theme);
        Draw(kDrawBackground | kDrawText);
        return;
    }
    BitBlt(work.GetDC(), 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
    RECT local = {0, 0, width, height};
    BindStyle(work.GetDC(), theme);
    DrawAt(local, kDrawBackground);
    GdiFlush();

    CPixelBuffer pixels(work);
    uint32_t colour = PixelOfColor(profile->color);
    const uint32_t* shades = m_context.shadeTable;
    if (pixels.IsValid()) {
        if (m_style->GetBorderStyle() == kBorderRounded) {
            CDibSection shape;
            if (shape.Create(width, height)) {
                m_style->SetDC(shape.GetDC(), nullptr);
                DrawHighlight();
                GdiFlush();
                CPixelBuffer mask(shape);
                // the corner keeps the inverted colour: outside the rounded shape
                uint32_t key = mask.GetPixel(0, 0);
                pixels.BlendFrom(mask, key, profile->weight);
                if (shades)
                    pixels.ShadeMaskedRows(mask, shades, key);
                m_style->SetDC(work.GetDC(), theme);
            }
        } else {
            // no pixel of a DIB GDI drew into carries this alpha
            const uint32_t kNoKey = 0x01000000;
            pixels.BlendColor(colour, kNoKey, profile->weight);
            if (shades)
                pixels.ShadeRows(shades, kNoKey);
        }
        pixels.CopyTo(work);
    }
    DrawAt(local, kDrawText);
    GdiFlush();
    BitBlt(dc, rect.left, rect.top, width, height, work.GetDC(), 0, 0, SRCCOPY);
    BindStyle(dc, theme);
}

bool CClock::StepFontSize(bool bigger)
{
    int size = m_fontSize, nominal = m_style->GetFontSize();
    int next;
    if (bigger) {
        if (size > 71 || size < -200)
            return false;
        next = size * 125 / 100;
        if (next > 72)
            next = 72;
        if (next < -200)
            next = -200;
    } else {
        next = size * 100 / 125;
        int absNext = next < 0 ? -next : next, absNominal = nominal < 0 ? -nominal : nominal;
        if (absNext < absNominal)
            next = nominal;
        if (next == nominal)
            return false;
    }
    if (next == size)
        return false;
    m_fontSize = next;
    return true;
}

bool CClock::ChangeFontSize(HDC dc, bool bigger)
{
    if (!m_style || m_fontSize == 0 || (m_style->GetFeatures() & (kSkinDigits | kSkinBitmapFont)))
        return false;
    if (!StepFontSize(bigger))
        return false;
    BindStyle(dc, nullptr);
    ApplyFont();
    SYSTEMTIME sample;
    BuildSampleTime(&sample);
    RestoreFont();
    Measure(dc, 0x7FFFFFFF, 0x7FFFFFFF, m_style->GetTheme(), &sample);
    return true;
}

void CClock::BuildSampleTime(SYSTEMTIME* sample)
{
    SYSTEMTIME t = {};
    t.wYear = 2088;
    t.wMonth = 1;
    t.wHour = 23;
    t.wMinute = 58;
    t.wSecond = 58;
    t.wMilliseconds = 888;
    // Sundays of 2088, one per month
    static const WORD kSundays[12] = {25, 22, 21, 18, 23, 20, 25, 22, 19, 24, 21, 19};
    auto dateWidth = [this](const SYSTEMTIME& date) {
        WCHAR text[kDateTextChars] = L"";
        if (m_context.language) {
            WCHAR picture[69];
            CopyFieldText(picture, 69, m_record.dateFormat, 68);
            FormatDate(*m_context.language, text, date, picture, true, m_context.weekRules);
        }
        return Extent(text).cx;
    };
    int weekday = 0, widest = -1;
    for (int d = 0; d < 7; ++d) {
        t.wDay = (WORD)(kSundays[0] + d);
        t.wDayOfWeek = (WORD)d;
        int w = dateWidth(t);
        if (w > widest) {
            widest = w;
            weekday = d;
        }
    }
    int month = 1;
    widest = -1;
    for (int m = 1; m <= 12; ++m) {
        t.wMonth = (WORD)m;
        t.wDay = (WORD)(kSundays[m - 1] + weekday);
        t.wDayOfWeek = (WORD)weekday;
        int w = dateWidth(t);
        if (w > widest) {
            widest = w;
            month = m;
        }
    }
    t.wMonth = (WORD)month;
    t.wDay = (WORD)(kSundays[month - 1] + weekday);
    t.wDayOfWeek = (WORD)weekday;
    *sample = t;
}
