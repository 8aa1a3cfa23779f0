#include "app/ui/NumberFormat.h"

namespace {

// Fields wider than any output buffer are pointless; capping keeps the
// arithmetic small whatever a translator wrote.
const int kMaxField = 1024;

struct Conversion {
    bool left = false;      // '-'
    bool plus = false;      // '+'
    bool space = false;     // ' '
    bool zero = false;      // '0'
    int width = 0;
    int precision = -1;     // none
    WCHAR code = 0;
    int length = 0;         // characters from the '%' to the code, inclusive
};

bool IsDigit(WCHAR c)
{
    return c >= '0' && c <= '9';
}

int ReadDigits(const WCHAR*& p)
{
    int v = 0;
    while (IsDigit(*p)) {
        if (v < kMaxField)
            v = v * 10 + (*p - '0');
        ++p;
    }
    return v < kMaxField ? v : kMaxField;
}

// Reads a conversion starting at the '%' at `s`; false when it is not an
// integer conversion (any other code, '*' widths, "ll", "I64").
bool ReadConversion(const WCHAR* s, Conversion* c)
{
    const WCHAR* p = s + 1;
    for (;; ++p) {
        if (*p == '-')
            c->left = true;
        else if (*p == '+')
            c->plus = true;
        else if (*p == ' ')
            c->space = true;
        else if (*p == '0')
            c->zero = true;
        else if (*p != '#')
            break;
    }
    c->width = ReadDigits(p);
    if (*p == '.') {
        ++p;
        c->precision = ReadDigits(p);
    }
    if (*p == 'h' || *p == 'l')
        ++p;
    if (*p != 'd' && *p != 'i' && *p != 'u')
        return false;
    c->code = *p;
    c->length = (int)(p - s) + 1;
    return true;
}

// The number of integer conversions, or -1 when the format holds any other.
int CountConversions(const WCHAR* format, Conversion* first)
{
    int count = 0;
    for (const WCHAR* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (p[1] == '%') {
            ++p;
            continue;
        }
        Conversion c;
        if (!ReadConversion(p, &c))
            return -1;
        if (count++ == 0)
            *first = c;
        p += c.length - 1;
    }
    return count;
}

class COut {
public:
    COut(WCHAR* out, int cap) : m_out(out), m_cap(cap) {}
    void Put(WCHAR c)
    {
        if (m_n + 1 < m_cap)
            m_out[m_n++] = c;
    }
    int Finish()
    {
        if (m_cap > 0)
            m_out[m_n] = 0;
        return m_n;
    }

private:
    WCHAR* m_out;
    int m_cap;
    int m_n = 0;
};

void PutNumber(COut& out, int32_t value, const Conversion& c)
{
    bool isSigned = c.code != 'u';
    bool negative = isSigned && value < 0;
    uint32_t magnitude = negative ? 0u - (uint32_t)value : (uint32_t)value;
    WCHAR digits[10];
    int count = 0;
    do {
        digits[count++] = (WCHAR)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (c.precision == 0 && value == 0)
        count = 0;  // as printf: no digits for 0 at precision 0
    WCHAR sign = negative ? '-' : (isSigned && c.plus) ? '+' : (isSigned && c.space) ? ' ' : 0;
    int zeros = c.precision > count ? c.precision - count : 0;
    int body = (sign ? 1 : 0) + zeros + count;
    int pad = c.width > body ? c.width - body : 0;
    // the 0 flag pads between sign and digits; '-' and a precision cancel it
    if (c.zero && !c.left && c.precision < 0) {
        zeros += pad;
        pad = 0;
    }
    if (!c.left)
        for (int i = 0; i < pad; ++i)
            out.Put(' ');
    if (sign)
        out.Put(sign);
    for (int i = 0; i < zeros; ++i)
        out.Put('0');
    while (count > 0)
        out.Put(digits[--count]);
    if (c.left)
        for (int i = 0; i < pad; ++i)
            out.Put(' ');
}

// Copies `format` with "%%" as "%" and `put(at)` in place of each
// conversion; `put` returns the conversion's length from its '%'.
template <class Put>
void CopyFormat(COut& out, const WCHAR* format, Put put)
{
    for (const WCHAR* p = format; *p; ++p) {
        if (*p != '%') {
            out.Put(*p);
        } else if (p[1] == '%') {
            out.Put('%');
            ++p;
        } else {
            p += put(p) - 1;
        }
    }
}

}  // namespace

bool IsOneNumberFormat(const WCHAR* format)
{
    Conversion c;
    return format && CountConversions(format, &c) == 1;
}

int FormatWithNumber(const WCHAR* format, int32_t value, int most, WCHAR* out, int cap)
{
    if (!out || cap <= 0)
        return 0;
    COut o(out, cap);
    Conversion first;
    int count = format ? CountConversions(format, &first) : -1;
    if (count < 1 || count > most) {
        Conversion plain;
        plain.code = 'd';
        PutNumber(o, value, plain);
        return o.Finish();
    }
    // each conversion with its own flags
    CopyFormat(o, format, [&](const WCHAR* at) {
        Conversion c;
        ReadConversion(at, &c);
        PutNumber(o, value, c);
        return c.length;
    });
    return o.Finish();
}

int FormatWithOneNumber(const WCHAR* format, int32_t value, WCHAR* out, int cap)
{
    return FormatWithNumber(format, value, 1, out, cap);
}

namespace {

// The number of bare "%s" in `format`, or -1 when it holds any other
// conversion.
int CountTextConversions(const WCHAR* format)
{
    int count = 0;
    for (const WCHAR* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (p[1] == '%')
            ++p;
        else if (p[1] == 's')
            ++count, ++p;
        else
            return -1;
    }
    return count;
}

void PutText(COut& out, const WCHAR* text)
{
    for (; text && *text; ++text)
        out.Put(*text);
}

}  // namespace

int FormatWithOneText(const WCHAR* format, const WCHAR* text, WCHAR* out, int cap)
{
    if (!out || cap <= 0)
        return 0;
    COut o(out, cap);
    const WCHAR none[1] = {0};
    if (!format)
        format = none;
    if (CountTextConversions(format) != 1) {
        // shown as written, so a translator sees the mistake
        PutText(o, format);
        if (format[0])
            o.Put(' ');
        PutText(o, text);
        return o.Finish();
    }
    CopyFormat(o, format, [&](const WCHAR*) {
        PutText(o, text);
        return 2;
    });
    return o.Finish();
}
