#include "timesvc/sync/UrlTemplate.h"

namespace {

class COutput {
public:
    COutput(WCHAR* out, size_t capacity) : m_out(out), m_capacity(capacity), m_length(0), m_full(false) {}

    void Put(WCHAR c)
    {
        if (m_length + 1 >= m_capacity) {
            m_full = true;
            return;
        }
        m_out[m_length++] = c;
    }
    void Repeat(WCHAR c, size_t count)
    {
        for (size_t i = 0; i < count && !m_full; ++i)
            Put(c);
    }
    bool Full() const { return m_full; }
    void Finish(bool ok)
    {
        if (m_capacity > 0)
            m_out[ok ? m_length : 0] = 0;
    }

private:
    WCHAR* m_out;
    size_t m_capacity;
    size_t m_length;
    bool m_full;
};

struct Spec {
    bool left, zero, plus, space, alternate;
    size_t width;
    WCHAR conversion;
};

// Digits of `value` in `base`, most significant first, into `digits`; their count.
size_t Digits(unsigned long long value, unsigned base, WCHAR* digits)
{
    WCHAR reversed[32];
    size_t n = 0;
    do {
        unsigned d = (unsigned)(value % base);
        reversed[n++] = (WCHAR)(d < 10 ? '0' + d : 'a' + d - 10);
        value /= base;
    } while (value);
    for (size_t i = 0; i < n; ++i)
        digits[i] = reversed[n - 1 - i];
    return n;
}

void PutNumber(COutput& out, const Spec& spec, long long number)
{
    WCHAR sign = 0;
    unsigned long long magnitude;
    unsigned base = spec.conversion == 'x' ? 16 : 10;
    if (spec.conversion == 'd' || spec.conversion == 'i') {
        magnitude = number < 0 ? 0ull - (unsigned long long)number : (unsigned long long)number;
        sign = number < 0 ? '-' : spec.plus ? '+' : spec.space ? ' ' : 0;
    } else {
        // unsigned conversions see the 32-bit value, as a wide printf would
        magnitude = (unsigned long long)(unsigned)number;
    }
    WCHAR digits[32];
    size_t count = Digits(magnitude, base, digits);
    bool prefix = spec.alternate && base == 16 && magnitude != 0;
    size_t length = count + (sign ? 1 : 0) + (prefix ? 2 : 0);
    size_t pad = spec.width > length ? spec.width - length : 0;
    if (!spec.left && !spec.zero)
        out.Repeat(' ', pad);
    if (sign)
        out.Put(sign);
    if (prefix) {
        out.Put('0');
        out.Put('x');
    }
    if (!spec.left && spec.zero)
        out.Repeat('0', pad);
    for (size_t i = 0; i < count; ++i)
        out.Put(digits[i]);
    if (spec.left)
        out.Repeat(' ', pad);
}

void PutText(COutput& out, const Spec& spec, const WCHAR* text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    size_t pad = spec.width > length ? spec.width - length : 0;
    if (!spec.left)
        out.Repeat(' ', pad);
    for (size_t i = 0; i < length && !out.Full(); ++i)
        out.Put(text[i]);
    if (spec.left)
        out.Repeat(' ', pad);
}

}  // namespace

bool FormatUrlTemplate(const WCHAR* pattern, const UrlTemplateArg* args, size_t argCount, WCHAR* out,
                       size_t capacity)
{
    if (!out || capacity == 0)
        return false;
    COutput result(out, capacity);
    if (!pattern) {
        result.Finish(false);
        return false;
    }
    size_t next = 0;
    for (const WCHAR* p = pattern; *p && !result.Full(); ++p) {
        if (*p != '%') {
            result.Put(*p);
            continue;
        }
        ++p;
        if (*p == '%') {
            result.Put('%');
            continue;
        }
        Spec spec = {};
        for (;; ++p) {
            if (*p == '-')
                spec.left = true;
            else if (*p == '0')
                spec.zero = true;
            else if (*p == '+')
                spec.plus = true;
            else if (*p == ' ')
                spec.space = true;
            else if (*p == '#')
                spec.alternate = true;
            else
                break;
        }
        for (; *p >= '0' && *p <= '9'; ++p) {
            spec.width = spec.width * 10 + (size_t)(*p - '0');
            // no width can fit: the result would not either
            if (spec.width >= capacity) {
                result.Finish(false);
                return false;
            }
        }
        spec.conversion = *p;
        bool text = spec.conversion == 's';
        bool number = spec.conversion == 'd' || spec.conversion == 'i' || spec.conversion == 'u' ||
                      spec.conversion == 'x';
        if ((!text && !number) || next >= argCount || args[next].isText != text ||
            (text && !args[next].text)) {
            result.Finish(false);
            return false;
        }
        if (text)
            PutText(result, spec, args[next].text);
        else
            PutNumber(result, spec, args[next].number);
        ++next;
    }
    bool ok = !result.Full();
    result.Finish(ok);
    return ok;
}
