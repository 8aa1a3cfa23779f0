#include "graphics/text/TimeFormatPicture.h"

namespace {

const WCHAR kDefaultName[] = TL_W("Default");
const WCHAR k24HoursName[] = TL_W("24 hours");
const WCHAR k12HoursName[] = TL_W("12 hours");
const WCHAR k24HoursPicture[] = TL_W("H:mm");
const WCHAR k12HoursPicture[] = TL_W("h:mm tt");
const WCHAR kNoDate[] = TL_W("None");

// Compares the NUL-terminated `a` with `b` reading no further than `b` is long.
bool SameText(const WCHAR* a, const WCHAR* b)
{
    int i = 0;
    for (; b[i]; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return a[i] == 0;
}

void CopyPicture(WCHAR (&out)[kPictureChars + 1], const WCHAR* src)
{
    int i = 0;
    for (; i < kPictureChars && src[i]; ++i)
        out[i] = src[i];
    out[i] = 0;
}

int CountOf(const WCHAR* s, WCHAR c)
{
    int n = 0;
    for (; *s; ++s)
        n += *s == c;
    return n;
}

bool IsValidDate(const SYSTEMTIME& d)
{
    return d.wYear >= 1601 && d.wYear <= 30827 && d.wMonth >= 1 && d.wMonth <= 12 && d.wDay >= 1 &&
           d.wDay <= GetDaysInMonth(d.wMonth, d.wYear);
}

// Builds the working picture one character at a time, cut at its width.
class CPictureWriter {
public:
    explicit CPictureWriter(WCHAR (&out)[kPictureChars + 1]) : m_out(out) {}
    bool Full() const { return m_length >= kPictureChars; }
    void Put(WCHAR c)
    {
        if (!Full())
            m_out[m_length++] = c;
    }
    void End() { m_out[m_length] = 0; }

private:
    WCHAR (&m_out)[kPictureChars + 1];
    int m_length = 0;
};

}  // namespace

bool GetTimePicture(const WCHAR* name, WCHAR (&picture)[kPictureChars + 1])
{
    picture[0] = 0;
    if (!name || !name[0] || SameText(name, kDefaultName))
        return false;
    if (SameText(name, k24HoursName))
        CopyPicture(picture, k24HoursPicture);
    else if (SameText(name, k12HoursName))
        CopyPicture(picture, k12HoursPicture);
    else
        CopyPicture(picture, name);
    return true;
}

bool BuildDatePicture(const WCHAR* picture, const SYSTEMTIME& date, const WeekRules& rules, bool singleLine,
                      WCHAR (&working)[kPictureChars + 1])
{
    working[0] = 0;
    if (!picture || !picture[0] || SameText(picture, kNoDate))
        return false;

    // Worked out only for pictures that use them. An invalid date fails in
    // the system's formatting; its week codes stay 0.
    int week = -1, weekday = -1;
    auto weekNumber = [&]() {
        if (week < 0)
            week = IsValidDate(date) ? GetWeekNumber(date, rules) : 0;
        return week;
    };
    auto weekdayNumber = [&]() {
        if (weekday < 0) {
            int firstDay = (int)(rules.firstDay % 7);
            weekday = IsValidDate(date) ? (WeekdayOfDayNumber(GetDayNumber(date)) - firstDay + 7) % 7 : 0;
        }
        return weekday;
    };

    CPictureWriter out(working);
    const WCHAR* p = picture;
    while (*p && !out.Full()) {
        WCHAR c = *p++;
        if (c == '\\' && *p == 'n') {
            out.Put('\n');
            ++p;
        } else if (c == 'w' && *p == 'd') {
            out.Put((WCHAR)('0' + weekdayNumber()));
            ++p;
        } else if (c == 'w' && *p == 'D') {
            out.Put((WCHAR)('1' + weekdayNumber()));
            ++p;
        } else if (c == 'w' && *p == 'w') {
            int n = weekNumber();
            out.Put((WCHAR)('0' + n / 10 % 10));
            out.Put((WCHAR)('0' + n % 10));
            ++p;
        } else if (c == 'w') {
            int n = weekNumber();
            if (n >= 10)
                out.Put((WCHAR)('0' + n / 10 % 10));
            out.Put((WCHAR)('0' + n % 10));
        } else {
            out.Put(c);
        }
    }
    out.End();
    if (singleLine) {
        for (WCHAR* q = working; *q; ++q) {
            if (*q == '\n')
                *q = ' ';
        }
    }
    return true;
}

void BuildTimePictureFrom(const WCHAR* localeFormat, const WCHAR* separator, bool withSeconds, WCHAR* out)
{
    const WCHAR* format = localeFormat ? localeFormat : TL_W("");
    // a locale without a separator would otherwise end the picture early
    WCHAR sep = separator && separator[0] ? separator[0] : (WCHAR)':';
    int p = 0;
    int bigH = CountOf(format, 'H');
    bool twelveHour = bigH == 0;
    WCHAR hour = twelveHour ? 'h' : 'H';
    int hours = twelveHour ? CountOf(format, 'h') : bigH;
    out[p++] = hour;
    if (hours > 1)
        out[p++] = hour;
    out[p++] = sep;
    out[p++] = 'm';
    if (CountOf(format, 'm') > 1)
        out[p++] = 'm';
    if (withSeconds) {
        out[p++] = sep;
        out[p++] = 's';
        if (CountOf(format, 's') != 1)
            out[p++] = 's';
    }
    if (twelveHour) {
        out[p++] = ' ';
        out[p++] = 't';
        out[p++] = 't';
    }
    out[p] = 0;
}
