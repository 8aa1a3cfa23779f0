#include "windows/http/HttpDate.h"

#include <string.h>

namespace {

const char* const kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A cursor over the header's characters; any step that does not match
// leaves it failed.
class CReader {
public:
    explicit CReader(const WCHAR* text) : m_p(text), m_ok(text != nullptr) {}

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_ok && *m_p == 0; }

    void Literal(const char* text)
    {
        for (; m_ok && *text; ++text, ++m_p)
            m_ok = *m_p == (WCHAR)(unsigned char)*text;
    }
    // Exactly `count` digits; with `padded`, a leading blank may stand for a zero.
    int Number(int count, bool padded = false)
    {
        int value = 0;
        for (int i = 0; m_ok && i < count; ++i, ++m_p) {
            if (padded && i == 0 && *m_p == ' ')
                continue;
            m_ok = *m_p >= '0' && *m_p <= '9';
            value = value * 10 + (int)(*m_p - '0');
        }
        return m_ok ? value : 0;
    }
    // One of `names` (case-sensitive, as the forms are defined); its index.
    int Name(const char* const* names, int count)
    {
        for (int i = 0; m_ok && i < count; ++i) {
            size_t n = strlen(names[i]);
            size_t k = 0;
            while (k < n && m_p[k] == (WCHAR)(unsigned char)names[i][k])
                ++k;
            // a short name must not match the start of a longer word
            if (k == n && !((m_p[n] >= 'a' && m_p[n] <= 'z'))) {
                m_p += n;
                return i;
            }
        }
        m_ok = false;
        return -1;
    }
    void Time(SYSTEMTIME* t)
    {
        t->wHour = (WORD)Number(2);
        Literal(":");
        t->wMinute = (WORD)Number(2);
        Literal(":");
        t->wSecond = (WORD)Number(2);
    }

private:
    const WCHAR* m_p;
    bool m_ok;
};

bool IsLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

// Sakamoto's method: 0 = Sunday.
int DayOfWeek(int year, int month, int day)
{
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        --year;
    return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

bool Valid(const SYSTEMTIME& t)
{
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
           t.wDay <= DaysInMonth(t.wYear, t.wMonth) && t.wHour <= 23 && t.wMinute <= 59 &&
           t.wSecond <= 60;
}

// "Sun, 06 Nov 1994 08:49:37 GMT"
bool ReadFixdate(const WCHAR* text, SYSTEMTIME* t)
{
    CReader r(text);
    r.Name(kDays, 7);
    r.Literal(", ");
    t->wDay = (WORD)r.Number(2);
    r.Literal(" ");
    t->wMonth = (WORD)(r.Name(kMonths, 12) + 1);
    r.Literal(" ");
    t->wYear = (WORD)r.Number(4);
    r.Literal(" ");
    r.Time(t);
    r.Literal(" GMT");
    return r.AtEnd();
}

// "Sunday, 06-Nov-94 08:49:37 GMT"; two-digit years from 70 are the 1900s
bool ReadRfc850(const WCHAR* text, SYSTEMTIME* t)
{
    CReader r(text);
    r.Name(kLongDays, 7);
    r.Literal(", ");
    t->wDay = (WORD)r.Number(2);
    r.Literal("-");
    t->wMonth = (WORD)(r.Name(kMonths, 12) + 1);
    r.Literal("-");
    int year = r.Number(2);
    t->wYear = (WORD)(year >= 70 ? 1900 + year : 2000 + year);
    r.Literal(" ");
    r.Time(t);
    r.Literal(" GMT");
    return r.AtEnd();
}

// "Sun Nov  6 08:49:37 1994"
bool ReadAsctime(const WCHAR* text, SYSTEMTIME* t)
{
    CReader r(text);
    r.Name(kDays, 7);
    r.Literal(" ");
    t->wMonth = (WORD)(r.Name(kMonths, 12) + 1);
    r.Literal(" ");
    t->wDay = (WORD)r.Number(2, true);
    r.Literal(" ");
    r.Time(t);
    r.Literal(" ");
    t->wYear = (WORD)r.Number(4);
    return r.AtEnd();
}

}  // namespace

bool ParseHttpDate(const WCHAR* text, SYSTEMTIME* out)
{
    SYSTEMTIME t = {};
    bool read = ReadFixdate(text, &t);
    if (!read) {
        t = {};
        read = ReadRfc850(text, &t);
    }
    if (!read) {
        t = {};
        read = ReadAsctime(text, &t);
    }
    if (!read || !Valid(t)) {
        *out = {};
        return false;
    }
    t.wDayOfWeek = (WORD)DayOfWeek(t.wYear, t.wMonth, t.wDay);
    t.wMilliseconds = 0;
    *out = t;
    return true;
}
