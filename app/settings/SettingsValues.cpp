#include "app/settings/SettingsValues.h"

namespace {

bool IsDigit(WCHAR c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(WCHAR c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// One "%<width>hu" field: blanks, then 1 to `width` digits.
bool ReadNumber(const WCHAR*& p, int width, WORD* out)
{
    while (IsBlank(*p))
        ++p;
    unsigned value = 0;
    int digits = 0;
    while (digits < width && IsDigit(*p)) {
        value = value * 10 + (unsigned)(*p - '0');
        ++p;
        ++digits;
    }
    *out = (WORD)value;
    return digits > 0;
}

WCHAR FoldAscii(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') ? (WCHAR)(c - 'A' + 'a') : c;
}

bool ContainsFolded(const WCHAR* text, const char* word)
{
    for (const WCHAR* p = text; *p; ++p) {
        size_t i = 0;
        while (word[i] && FoldAscii(p[i]) == (WCHAR)word[i])
            ++i;
        if (!word[i])
            return true;
    }
    return false;
}

// Appends the decimal digits of `value`, at least `minDigits` of them.
void PutUnsigned(WCHAR* out, size_t chars, size_t* pos, uint64_t value, int minDigits)
{
    WCHAR digits[24];
    int n = 0;
    do {
        digits[n++] = (WCHAR)('0' + value % 10);
        value /= 10;
    } while (value);
    while (n < minDigits)
        digits[n++] = '0';
    while (n > 0 && *pos + 1 < chars)
        out[(*pos)++] = digits[--n];
}

void PutChar(WCHAR* out, size_t chars, size_t* pos, WCHAR c)
{
    if (*pos + 1 < chars)
        out[(*pos)++] = c;
}

}  // namespace

bool ParseMsValue(const WCHAR* text, int64_t* value100ns)
{
    if (!text || !IsDigit(*text))
        return false;
    const int64_t kMaxMs = INT64_MAX / 10000;
    int64_t ms = 0;
    for (const WCHAR* p = text; IsDigit(*p); ++p) {
        int digit = *p - '0';
        if (ms > (kMaxMs - digit) / 10)
            return false;
        ms = ms * 10 + digit;
    }
    *value100ns = ms * 10000;
    return true;
}

bool FormatMsValue(int64_t value100ns, WCHAR* out, size_t chars)
{
    if (chars < 24)
        return false;
    int64_t ms = value100ns / 10000;
    size_t pos = 0;
    if (ms < 0)
        PutChar(out, chars, &pos, '-');
    // negate in unsigned arithmetic: INT64_MIN has no positive counterpart
    uint64_t magnitude = ms < 0 ? 0 - (uint64_t)ms : (uint64_t)ms;
    PutUnsigned(out, chars, &pos, magnitude, 1);
    out[pos] = 0;
    return true;
}

bool ParseTimeStampValue(const WCHAR* text, SYSTEMTIME* value)
{
    if (!text)
        return false;
    SYSTEMTIME t = {};
    const WCHAR* p = text;
    if (!ReadNumber(p, 4, &t.wYear) || *p++ != '.')
        return false;
    if (!ReadNumber(p, 2, &t.wMonth) || *p++ != '.')
        return false;
    if (!ReadNumber(p, 2, &t.wDay))
        return false;
    // the blank of the picture matches any run of blanks, also none
    while (IsBlank(*p))
        ++p;
    if (!ReadNumber(p, 2, &t.wHour) || *p++ != ':')
        return false;
    if (!ReadNumber(p, 2, &t.wMinute) || *p++ != ':')
        return false;
    if (!ReadNumber(p, 2, &t.wSecond))
        return false;
    *value = t;
    return true;
}

void FormatTimeStampValue(const SYSTEMTIME& value, const WCHAR* text, WCHAR* out, size_t chars)
{
    if (chars == 0)
        return;
    if (chars > kMaxTypedValueChars + 1)
        chars = kMaxTypedValueChars + 1;
    size_t pos = 0;
    PutUnsigned(out, chars, &pos, value.wYear, 4);
    PutChar(out, chars, &pos, '.');
    PutUnsigned(out, chars, &pos, value.wMonth, 2);
    PutChar(out, chars, &pos, '.');
    PutUnsigned(out, chars, &pos, value.wDay, 2);
    PutChar(out, chars, &pos, ' ');
    PutUnsigned(out, chars, &pos, value.wHour, 2);
    PutChar(out, chars, &pos, ':');
    PutUnsigned(out, chars, &pos, value.wMinute, 2);
    PutChar(out, chars, &pos, ':');
    PutUnsigned(out, chars, &pos, value.wSecond, 2);
    for (const WCHAR* p = text; p && *p; ++p)
        PutChar(out, chars, &pos, *p);
    out[pos] = 0;
}

bool ParseNumberList(const WCHAR* text, WCHAR separator, int32_t* values, int count)
{
    if (!text)
        return false;
    const WCHAR* p = text;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && separator && *p++ != separator)
            return false;
        while (IsBlank(*p))
            ++p;
        bool negative = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        if (!IsDigit(*p))
            return false;
        int64_t value = 0;
        for (; IsDigit(*p); ++p) {
            value = value * 10 + (*p - '0');
            if (value > (int64_t)INT32_MAX + 1)
                return false;
        }
        if (negative)
            value = -value;
        if (value > INT32_MAX)
            return false;
        values[i] = (int32_t)value;
    }
    return true;
}

int ParseFontStyle(const WCHAR* text)
{
    if (!text)
        return 0;
    int style = 0;
    if (ContainsFolded(text, "bold"))
        style += kFontStyleBold;
    if (ContainsFolded(text, "italic"))
        style += kFontStyleItalic;
    return style;
}

namespace {

// Blanks, an optional minus and at least one digit; the value stops growing
// past any duration's reach, so it cannot overflow.
bool ReadDurationField(const WCHAR* text, int64_t* value)
{
    if (!text)
        return false;
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = *text == '-';
    if (negative)
        ++text;
    if (*text < '0' || *text > '9')
        return false;
    int64_t v = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (v < 1000000000000ll)
            v = v * 10 + (*text - '0');
    *value = negative ? -v : v;
    return true;
}

}  // namespace

bool ParseDurationFields(const WCHAR* days, const WCHAR* hours, const WCHAR* minutes, const WCHAR* seconds,
                         int64_t* total)
{
    int64_t d, h, m, s;
    if (!ReadDurationField(days, &d) || !ReadDurationField(hours, &h) || !ReadDurationField(minutes, &m) ||
        !ReadDurationField(seconds, &s) || d < 0 || d > 999)
        return false;
    int64_t sum = d * 86400 + h * 3600 + m * 60 + s;
    if (sum < 0 || sum > 2147483647ll)
        return false;
    *total = sum;
    return true;
}
