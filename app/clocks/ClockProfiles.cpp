#include "app/clocks/ClockSettings.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "graphics/time/FileTimeTicks.h"
#include "graphics/records/FixedText.h"
#include "app/zones/ZoneHelpers.h"

namespace {

const uint32_t kMinutesPerDay = 1440;
const size_t kMaxLabelChars = 77;

bool IsBlank(WCHAR c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

int HexDigit(WCHAR c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// The scanf conversions the profile strings use, over wide text. Every
// number conversion skips blanks first, as scanf does.
class CScanner {
public:
    explicit CScanner(const WCHAR* text) : m_p(text) {}

    const WCHAR* Rest() const { return m_p; }
    void SkipBlanks()
    {
        while (IsBlank(*m_p))
            ++m_p;
    }
    // A literal character of the format; a blank in the format matches any run of blanks.
    bool Literal(WCHAR c)
    {
        if (c == L' ') {
            SkipBlanks();
            return true;
        }
        if (*m_p != c)
            return false;
        ++m_p;
        return true;
    }
    // %d (width 0: unbounded)
    bool Int(int* value, int width = 0)
    {
        SkipBlanks();
        int used = 0;
        bool negative = false;
        if (*m_p == L'-' || *m_p == L'+') {
            negative = *m_p == L'-';
            ++m_p;
            ++used;
        }
        uint64_t v;
        if (!Digits(&v, width ? width - used : 0, 0x7FFFFFFF))
            return false;
        *value = negative ? -(int)v : (int)v;
        return true;
    }
    // %u, %hu, %I64u without a sign; `max` bounds the value
    bool Unsigned(uint64_t* value, int width, uint64_t max)
    {
        SkipBlanks();
        return Digits(value, width, max);
    }
    // %x
    bool Hex(uint32_t* value, int width)
    {
        SkipBlanks();
        uint32_t v = 0;
        int n = 0;
        while ((width == 0 || n < width) && HexDigit(*m_p) >= 0) {
            v = v * 16 + (uint32_t)HexDigit(*m_p);
            ++m_p;
            ++n;
        }
        if (n == 0)
            return false;
        *value = v;
        return true;
    }
    // %7[0123456]: weekday digits, as bits
    bool Weekdays(uint32_t* bits, int width)
    {
        uint32_t v = 0;
        int n = 0;
        while (n < width && *m_p >= L'0' && *m_p <= L'6') {
            v |= 1u << (*m_p - L'0');
            ++m_p;
            ++n;
        }
        if (n == 0)
            return false;
        *bits = v;
        return true;
    }

private:
    bool Digits(uint64_t* value, int width, uint64_t max)
    {
        uint64_t v = 0;
        int n = 0;
        while ((width <= 0 || n < width) && *m_p >= L'0' && *m_p <= L'9') {
            uint32_t d = (uint32_t)(*m_p - L'0');
            if (v > (max - d) / 10)
                return false;
            v = v * 10 + d;
            ++m_p;
            ++n;
        }
        if (n == 0)
            return false;
        *value = v;
        return true;
    }

    const WCHAR* m_p;
};

bool DateTimeField(CScanner& s, SYSTEMTIME* t)
{
    uint64_t v[6];
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    const WCHAR separators[6] = {0, L'.', L'.', L' ', L':', L':'};
    for (int i = 0; i < 6; ++i) {
        if (separators[i] && !s.Literal(separators[i]))
            return false;
        if (!s.Unsigned(&v[i], widths[i], 0xFFFF))
            return false;
    }
    *t = {};
    t->wYear = (WORD)v[0];
    t->wMonth = (WORD)v[1];
    t->wDay = (WORD)v[2];
    t->wHour = (WORD)v[3];
    t->wMinute = (WORD)v[4];
    t->wSecond = (WORD)v[5];
    return true;
}

// ", %6lx, %2x": the colour is written RRGGBB and kept as a COLORREF.
bool ColorWeightLabel(CScanner& s, ClockProfileRecord* profile)
{
    uint32_t color, weight;
    if (!s.Literal(L',') || !s.Literal(L' '))
        return false;
    if (!s.Hex(&color, 6) || !s.Literal(L',') || !s.Literal(L' ') || !s.Hex(&weight, 2))
        return false;
    if (weight > 255)
        return false;
    profile->color = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    profile->weight = (uint8_t)weight;
    return true;
}

// The label after ", "; a profile written without one has an empty label.
void Label(CScanner& s, ClockProfileRecord* profile)
{
    const WCHAR* p = s.Rest();
    if (*p == L',') {
        ++p;
        while (IsBlank(*p) && *p != L'\r' && *p != L'\n')
            ++p;
    } else {
        p = L"";
    }
    size_t n = 0;
    while (p[n] && p[n] != L'\r' && p[n] != L'\n' && n < kMaxLabelChars)
        ++n;
    memset(profile->label, 0, sizeof(profile->label));
    memcpy(profile->label, p, n * sizeof(WCHAR));
}

bool ColorWeightAndLabel(CScanner& s, ClockProfileRecord* profile)
{
    if (!ColorWeightLabel(s, profile))
        return false;
    Label(s, profile);
    return true;
}

bool ParseTimeWindow(const WCHAR* text, ClockProfileRecord* profile)
{
    CScanner s(text);
    int h1, m1, h2, m2;
    if (!s.Int(&h1) || !s.Literal(L':') || !s.Int(&m1, 2) || !s.Literal(L'-') || !s.Int(&h2) ||
        !s.Literal(L':') || !s.Int(&m2, 2))
        return false;
    int64_t start = (int64_t)h1 * 60 + m1;
    int64_t end = (int64_t)h2 * 60 + m2;
    if (start < 0 || end < 0 || start >= kMinutesPerDay || end >= kMinutesPerDay)
        return false;
    if (!ColorWeightLabel(s, profile) || !s.Literal(L',') || !s.Literal(L' '))
        return false;
    // the weekday digits may be missing: ", , " is an empty weekday set
    uint32_t days = 0;
    if (*s.Rest() == L',')
        days = 0;
    else if (!s.Weekdays(&days, 7))
        return false;
    if (*s.Rest() && *s.Rest() != L',')
        return false;
    profile->startMinute = (uint32_t)start;
    profile->endMinute = (uint32_t)end;
    profile->weekdays = days;
    Label(s, profile);
    return true;
}

bool ParseFixedRange(const WCHAR* text, ClockProfileRecord* profile)
{
    CScanner s(text);
    SYSTEMTIME start, end;
    if (!DateTimeField(s, &start) || !s.Literal(L'-') || !DateTimeField(s, &end))
        return false;
    if (!ColorWeightAndLabel(s, profile))
        return false;
    profile->rangeStart = start;
    profile->rangeEnd = end;
    return true;
}

bool ParseSecondCounts(const WCHAR* text, ClockProfileRecord* profile)
{
    CScanner s(text);
    uint64_t start, end;
    const uint64_t max = UINT64_MAX / kTicksPerSecond;
    if (!s.Unsigned(&start, 0, max) || !IsBlank(*s.Rest()) || !s.Unsigned(&end, 0, max))
        return false;
    if (!ColorWeightAndLabel(s, profile))
        return false;
    profile->rangeStartUtc = start * kTicksPerSecond;
    profile->rangeEndUtc = end * kTicksPerSecond;
    return true;
}

bool StartsWithYear(const WCHAR* text)
{
    for (int i = 0; i < 4; ++i)
        if (text[i] < L'0' || text[i] > L'9')
            return false;
    return text[4] == L'.';
}

bool LocalToFileTime(const TimeZoneRecord& zone, const SYSTEMTIME& local, uint64_t* utc)
{
    FILETIME ft;
    SYSTEMTIME t = local;
    t.wDayOfWeek = 0;
    t.wMilliseconds = 0;
    // the round trip rejects dates that do not exist
    if (!SystemTimeToFileTime(&t, &ft))
        return false;
    SYSTEMTIME u;
    ZoneTimeToUtc(&u, zone, t);
    if (!SystemTimeToFileTime(&u, &ft))
        return false;
    *utc = ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return true;
}

}  // namespace

bool ProfileRangeToUtc(const ClockRecord& clock, ClockProfileRecord* profile)
{
    TimeZoneRecord zone;
    GetClockZone(clock, &zone);
    uint64_t start, end;
    if (!LocalToFileTime(zone, profile->rangeStart, &start) || !LocalToFileTime(zone, profile->rangeEnd, &end))
        return false;
    profile->rangeStartUtc = start;
    profile->rangeEndUtc = end;
    return true;
}

bool ParseClockProfile(const WCHAR* text, ClockProfileRecord* profile, const ClockRecord* clock)
{
    if (!text || !profile)
        return false;
    ClockProfileRecord parsed = {};
    parsed.enabled = 1;
    // what the settings program writes starts with the enabled flag: "1, ..." or "0, ..."
    if (text[0] && text[1] == L',') {
        parsed.enabled = text[0] != L'0';
        text += 2;
    }
    while (IsBlank(*text))
        ++text;

    bool ok;
    if (StartsWithYear(text)) {
        ok = ParseFixedRange(text, &parsed);
        if (ok && clock)
            ok = ProfileRangeToUtc(*clock, &parsed);
        else if (ok) {
            FILETIME ft;
            ok = SystemTimeToFileTime(&parsed.rangeStart, &ft) && SystemTimeToFileTime(&parsed.rangeEnd, &ft);
        }
    } else if (clock && (clock->kind & kClockTimer)) {
        ok = ParseSecondCounts(text, &parsed);
    } else if (clock) {
        ok = ParseTimeWindow(text, &parsed);
    } else {
        ok = ParseTimeWindow(text, &parsed) || ParseSecondCounts(text, &parsed);
    }
    if (!ok)
        return false;
    *profile = parsed;
    return true;
}

void WriteClockProfile(const ClockProfileRecord& profile, WCHAR* out, size_t chars, const ClockRecord& clock)
{
    if (chars == 0)
        return;
    // stored 0x00BBGGRR, written as RRGGBB
    unsigned long rgb = (profile.color & 0xFF) << 16 | (profile.color & 0xFF00) | (profile.color >> 16 & 0xFF);
    std::wstring text(profile.label, FixedLength(profile.label, FIELD_WIDTH(profile.label)));
    const WCHAR* label = text.c_str();
    int enabled = profile.enabled ? 1 : 0;
    bool timer = (clock.kind & kClockTimer) != 0;
    if (timer && (clock.kind & kClockFixedMoment)) {
        const SYSTEMTIME& a = profile.rangeStart;
        const SYSTEMTIME& b = profile.rangeEnd;
        swprintf(out, chars, L"%01d, %04u.%02hu.%02u %02u:%02u:%02u-%04u.%02hu.%02u %02u:%02u:%02u, %06lX, %02X, %ls",
                 enabled, a.wYear, a.wMonth, a.wDay, a.wHour, a.wMinute, a.wSecond, b.wYear, b.wMonth, b.wDay, b.wHour,
                 b.wMinute, b.wSecond, rgb, (unsigned)profile.weight, label);
    } else if (timer) {
        swprintf(out, chars, L"%01d, %05llu %05llu, %06lX, %02X, %ls", enabled,
                 (unsigned long long)(profile.rangeStartUtc / kTicksPerSecond),
                 (unsigned long long)(profile.rangeEndUtc / kTicksPerSecond), rgb, (unsigned)profile.weight, label);
    } else {
        WCHAR days[8];
        int n = 0;
        for (int day = 0; day < 7; ++day)
            if (profile.weekdays >> day & 1)
                days[n++] = (WCHAR)(L'0' + day);
        days[n] = 0;
        swprintf(out, chars, L"%01d, %02d:%02d-%02d:%02d, %06lX, %02X, %ls, %ls", enabled,
                 (int)(profile.startMinute / 60), (int)(profile.startMinute % 60), (int)(profile.endMinute / 60),
                 (int)(profile.endMinute % 60), rgb, (unsigned)profile.weight, days, label);
    }
}
