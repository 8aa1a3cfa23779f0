#include "graphics/text/DurationFormat.h"

#include <string.h>

#include "graphics/time/FileTimeTicks.h"
#include "graphics/records/FixedText.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/time/ZoneTime.h"

namespace {

const WCHAR kFallbackNames[kUnitCount][2] = {{'s', 0}, {'m', 0}, {'h', 0}, {'d', 0}, {'w', 0}};
const WCHAR kNoName[1] = {0};


// Keeps width and precision digits from overflowing; anything this wide never fits.
const int kHugeField = 1 << 30;

// Space kept free for a number, whatever its width.
const int kNumberReserve = 11;

bool IsDigit(WCHAR c)
{
    return c >= '0' && c <= '9';
}

int TextLength(const WCHAR* s)
{
    int n = 0;
    while (s[n])
        ++n;
    return n;
}

// Digits of a number at `*p`, saturated at kHugeField; -1 when there are none.
int ReadNumber(const WCHAR*& p)
{
    if (!IsDigit(*p))
        return -1;
    int v = 0;
    while (IsDigit(*p)) {
        v = v * 10 + (*p - '0');
        if (v > kHugeField)
            v = kHugeField;
        ++p;
    }
    return v;
}

// A printf "%<0><width>.<precision>d" conversion, for fields of any width.
struct NumberField {
    bool zeroFlag = false;
    int width = 0;
    int precision = -1;   // none
};

int DecimalDigits(uint32_t v, WCHAR* digits)
{
    WCHAR tmp[10];
    int n = 0;
    do {
        tmp[n++] = (WCHAR)('0' + v % 10);
        v /= 10;
    } while (v);
    for (int i = 0; i < n; ++i)
        digits[i] = tmp[n - 1 - i];
    return n;
}

// Writes the number when it fits in `room`; its length, or -1 when it does not fit.
int WriteNumber(WCHAR* out, int room, int32_t value, const NumberField& f)
{
    bool negative = value < 0;
    uint32_t magnitude = negative ? 0u - (uint32_t)value : (uint32_t)value;
    WCHAR digits[10];
    int count = DecimalDigits(magnitude, digits);
    if (f.precision == 0 && magnitude == 0)
        count = 0;  // as printf: no digits for 0 at precision 0
    int zeros = f.precision > count ? f.precision - count : 0;
    int body = (negative ? 1 : 0) + zeros + count;
    int length = f.width > body ? f.width : body;
    if (length > room)
        return -1;
    int pad = length - body;
    // the 0 flag pads between sign and digits, and is ignored with a precision
    if (f.zeroFlag && f.precision < 0) {
        zeros += pad;
        pad = 0;
    }
    int p = 0;
    while (pad-- > 0)
        out[p++] = ' ';
    if (negative)
        out[p++] = '-';
    while (zeros-- > 0)
        out[p++] = '0';
    for (int i = 0; i < count; ++i)
        out[p++] = digits[i];
    return p;
}

// Reads "<width>.<precision>" after a percent sign, leaving `p` on the code letter.
NumberField ReadField(const WCHAR*& p)
{
    NumberField f;
    f.zeroFlag = *p == '0';
    int width = ReadNumber(p);
    f.width = width < 0 ? 0 : width;
    if (*p == '.') {
        ++p;
        int precision = ReadNumber(p);
        f.precision = precision < 0 ? 0 : precision;
    }
    return f;
}

int32_t ClampToInt32(uint64_t v)
{
    return v > 0x7FFFFFFFu ? 0x7FFFFFFF : (int32_t)v;
}

}  // namespace

CUnitNames::CUnitNames()
{
    memset(m_units, 0, sizeof(m_units));
}

void CUnitNames::Parse(int unit, const WCHAR* text)
{
    if (unit < 0 || unit >= kUnitCount)
        return;
    Unit& u = m_units[unit];
    u.rangeCount = 0;
    u.hasDefault = false;
    u.text[0] = 0;
    if (!text)
        return;

    int length = 0;
    while (length < kTextChars && text[length]) {
        u.text[length] = text[length];
        ++length;
    }
    u.text[length] = 0;

    // The names stay in the text: each one is ended in place where its ";" stood.
    WCHAR* s = u.text;
    int p = 0;
    while (s[p] && s[p] != ';')
        ++p;
    if (p == 0)
        return;
    u.hasDefault = true;

    while (s[p] == ';') {
        s[p++] = 0;
        Range group[kMaxRanges];
        int count = 0;
        for (;;) {
            const WCHAR* q = s + p;
            int low = ReadNumber(q);
            if (low < 0)
                break;
            int high = low;
            if (*q == '-') {
                ++q;
                high = ReadNumber(q);
                if (high < 0)
                    break;
            }
            p = (int)(q - s);
            if (low > high || high > 99 || u.rangeCount + count >= kMaxRanges)
                break;
            group[count].low = (uint8_t)low;
            group[count].high = (uint8_t)high;
            ++count;
            if (s[p] != ',')
                break;
            ++p;
        }
        if (s[p] != ' ')
            return;  // the group has no name: its ranges select nothing
        ++p;
        for (int i = 0; i < count; ++i) {
            group[i].name = (uint16_t)p;
            u.ranges[u.rangeCount++] = group[i];
        }
        while (s[p] && s[p] != ';')
            ++p;
    }
}

void CUnitNames::Load(const ILanguageStrings& strings)
{
    // The resource string may be longer than a unit holds; Parse cuts it.
    WCHAR buffer[kUnitStringReadChars + 1];
    for (int unit = 0; unit < kUnitCount; ++unit) {
        buffer[0] = 0;
        int length = strings.GetString(kUnitNameStringIds[unit], buffer, kUnitStringReadChars + 1);
        Parse(unit, length > 0 ? buffer : nullptr);
    }
}

const WCHAR* CUnitNames::GetName(int unit, int32_t number) const
{
    if (unit < 0 || unit >= kUnitCount)
        return kNoName;
    const Unit& u = m_units[unit];
    int n = number % 100;
    if (n < 0)
        n += 100;
    for (int i = u.rangeCount - 1; i >= 0; --i) {
        if (u.ranges[i].low <= n && n <= u.ranges[i].high)
            return u.text + u.ranges[i].name;
    }
    return u.hasDefault ? u.text : kFallbackNames[unit];
}

void FormatDuration(WCHAR* out, int capacity, const WCHAR* picture, int32_t seconds, int32_t minutes,
                    int32_t hours, int32_t days, int32_t weeks, const CUnitNames& names)
{
    if (!out || !picture || capacity <= 0)
        return;
    const int last = capacity - 1;
    int w = 0;
    const WCHAR* p = picture;
    while (*p && w < last) {
        if (*p == '\\' && p[1] == 'n') {
            out[w++] = '\n';
            p += 2;
            continue;
        }
        if (*p != '%') {
            out[w++] = *p++;
            continue;
        }
        ++p;
        NumberField field = ReadField(p);
        WCHAR code = *p;
        if (!code)
            break;  // a picture that ends inside a code
        ++p;
        int32_t value;
        int unit;
        switch (code) {
        case 'S': value = seconds; unit = kUnitSeconds; break;
        case 'M': value = minutes; unit = kUnitMinutes; break;
        case 'H': value = hours; unit = kUnitHours; break;
        case 'D': value = days; unit = kUnitDays; break;
        case 'W':
        case 'w': value = weeks; unit = kUnitWeeks; break;
        case 's': value = seconds % 60; unit = kUnitSeconds; break;
        case 'm': value = minutes % 60; unit = kUnitMinutes; break;
        case 'h': value = hours % 24; unit = kUnitHours; break;
        case 'd': value = days % 7; unit = kUnitDays; break;
        default:
            out[w++] = code;  // %% and unknown codes write their letter
            continue;
        }
        int room = last - w;
        if (room <= kNumberReserve)
            break;
        if (*p == 'n') {
            ++p;
            const WCHAR* name = names.GetName(unit, value);
            int length = TextLength(name);
            if (length > room)
                break;
            memcpy(out + w, name, length * sizeof(WCHAR));
            w += length;
            continue;
        }
        int length = WriteNumber(out + w, room, value, field);
        if (length < 0)
            break;
        w += length;
    }
    out[w] = 0;
}

void FormatDurationTicks(WCHAR* out, int capacity, const WCHAR* picture, uint64_t ticks,
                         const CUnitNames& names)
{
    uint64_t seconds = ticks / kTicksPerSecond;
    uint64_t days = seconds / 86400;
    FormatDuration(out, capacity, picture, ClampToInt32(seconds), ClampToInt32(seconds / 60),
                   ClampToInt32(seconds / 3600), ClampToInt32(days), ClampToInt32(days / 7), names);
}

bool FormatHasSeconds(const WCHAR* picture)
{
    if (!picture)
        return false;
    const WCHAR* p = picture;
    while (*p) {
        if (*p++ != '%')
            continue;
        ReadField(p);
        if (*p == 's' || *p == 'S')
            return true;
        if (!*p)
            break;
        ++p;  // the code letter, so that "%%s" is no code
    }
    return false;
}

void MaskDigits(WCHAR* text)
{
    for (; *text; ++text) {
        if (*text >= '1' && *text <= '9')
            *text = '0';
    }
}

uint64_t TicksOfTime(const SYSTEMTIME& time)
{
    SYSTEMTIME t = time;
    t.wMilliseconds = 0;
    uint32_t day = GetDayNumber(t);
    if (day == 0 && (t.wYear != 1601 || t.wMonth != 1 || t.wDay != 1))
        return 0;
    if (t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59)
        return 0;
    uint64_t seconds = (uint64_t)day * 86400 + t.wHour * 3600u + t.wMinute * 60u + t.wSecond;
    return seconds * kTicksPerSecond;
}

int UpdateTimerText(ClockRecord& clock, const SYSTEMTIME& nowUtc, const CUnitNames& names)
{
    if (!(clock.kind & kClockTimer) || !clock.timerRunning)
        return kTimerUnchanged;
    uint64_t now = TicksOfTime(nowUtc);
    if (now == 0)
        return kTimerUnchanged;

    // the record's field may fill its width without a terminator
    const int kPictureChars = (int)FIELD_WIDTH(clock.timerFormat);
    WCHAR picture[kPictureChars + 1];
    memcpy(picture, clock.timerFormat, sizeof(clock.timerFormat));
    picture[kPictureChars] = 0;

    const int kTextChars = 256;
    WCHAR before[kTextChars], after[kTextChars];
    uint64_t old = clock.timerValue;
    FormatDurationTicks(before, kTextChars, picture, old, names);

    uint64_t anchor = clock.timerAnchorUtc;
    bool countdown = (clock.kind & kClockCountdown) != 0;
    uint64_t value = 0;
    if (countdown ? now < anchor : now >= anchor) {
        value = countdown ? anchor - now : now - anchor;
    } else {
        clock.timerRunning = 0;
        clock.timerFinished = 1;
    }
    clock.timerValue = value;
    if (value == old)
        return kTimerUnchanged;

    FormatDurationTicks(after, kTextChars, picture, value, names);
    if (TextLength(before) != TextLength(after))
        return kTimerNewShape;
    MaskDigits(before);
    MaskDigits(after);
    return memcmp(before, after, sizeof(WCHAR) * (TextLength(before) + 1)) == 0 ? kTimerSameShape
                                                                              : kTimerNewShape;
}
