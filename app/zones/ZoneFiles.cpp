#include "app/zones/ZoneFiles.h"

#include <string.h>

#include "graphics/records/FixedText.h"

namespace {

bool IsEmpty(const ZoneLineFields& f, int i)
{
    return i >= f.count || f.length[i] == 0;
}

// A signed decimal at the start of the field, as scanf's %d reads it.
bool ParseInt(const ZoneLineFields& f, int i, int32_t* value)
{
    if (IsEmpty(f, i))
        return false;
    const char* p = f.start[i];
    const char* end = p + f.length[i];
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    if (p >= end || *p < '0' || *p > '9')
        return false;
    int64_t v = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > 0x7fffffff)
            return false;
    }
    *value = (int32_t)(negative ? -v : v);
    return true;
}

// Up to `max` unsigned numbers separated by `sep`, from the start of text.
int ParseNumbers(const char* p, const char* end, char sep, int max, int* out)
{
    int n = 0;
    while (n < max) {
        if (p >= end || *p < '0' || *p > '9')
            break;
        int v = 0;
        for (; p < end && *p >= '0' && *p <= '9'; ++p) {
            if (v > 100000)
                return n;
            v = v * 10 + (*p - '0');
        }
        out[n++] = v;
        if (p < end && *p == sep)
            ++p;
        else
            break;
    }
    return n;
}

void CopyName(const ZoneLineFields& f, int i, WCHAR* field, size_t width)
{
    size_t n = 0;
    for (; n < width && n < (size_t)f.length[i]; ++n)
        field[n] = (WCHAR)(unsigned char)f.start[i][n];
    for (; n < width; ++n)
        field[n] = 0;
}

bool ParseMonth(const ZoneLineFields& f, int i, int32_t* month)
{
    return ParseInt(f, i, month) && *month >= 1 && *month <= 12;
}

bool ParseTime(const ZoneLineFields& f, int i, SYSTEMTIME* date)
{
    if (IsEmpty(f, i))
        return false;
    int v[3];
    if (ParseNumbers(f.start[i], f.start[i] + f.length[i], ':', 3, v) != 3 || v[0] >= 24 || v[1] >= 60 ||
        v[2] >= 60)
        return false;
    date->wHour = (WORD)v[0];
    date->wMinute = (WORD)v[1];
    date->wSecond = (WORD)v[2];
    return true;
}

// Fields base+0..base+5: year, month (already checked), day, weekday, week rule, time.
void ReadDate(const ZoneLineFields& f, int base, int32_t month, SYSTEMTIME* date, int32_t* rule)
{
    int32_t v;
    date->wMonth = (WORD)month;
    if (ParseInt(f, base, &v))
        date->wYear = (WORD)v;
    if (ParseInt(f, base + 2, &v))
        date->wDay = (WORD)v;
    if (ParseInt(f, base + 3, &v))
        date->wDayOfWeek = (WORD)v;
    if (ParseInt(f, base + 4, &v) && ((v >= 1 && v <= 5) || v == -1)) {
        *rule = v;
        if (date->wYear == 0)
            date->wDay = (WORD)(v == -1 ? 5 : v);
    }
    ParseTime(f, base + 5, date);
}

}  // namespace

bool SplitZoneLine(const char* line, ZoneLineFields* f)
{
    memset(f, 0, sizeof(*f));
    if (line[0] == 0 || line[0] == '#' || line[0] == ';' || line[0] == '\r' || line[0] == '\n')
        return false;
    const char* p = line;
    f->start[0] = p;
    f->count = 1;
    for (; *p && *p != '\r' && *p != '\n'; ++p) {
        if (*p != '\t')
            continue;
        f->length[f->count - 1] = (int)(p - f->start[f->count - 1]);
        if (f->count == kZoneFields)
            return true;  // fields past the 20th are ignored
        f->start[f->count++] = p + 1;
    }
    f->length[f->count - 1] = (int)(p - f->start[f->count - 1]);
    return true;
}

bool ParseTimeZoneLine(const char* line, TimeZoneRecord* z)
{
    ZoneLineFields f;
    int32_t id, bias, v;
    if (!SplitZoneLine(line, &f) || f.count < kZoneFields || !ParseInt(f, 0, &id) || IsEmpty(f, 1) ||
        IsEmpty(f, 2) || !ParseInt(f, 3, &bias))
        return false;
    z->zoneId = id;
    CopyName(f, 1, z->zoneName, FIELD_WIDTH(z->zoneName));
    CopyName(f, 2, z->displayName, FIELD_WIDTH(z->displayName));
    z->tzi.Bias = bias;
    CopyName(f, 4, z->tzi.StandardName, FIELD_WIDTH(z->tzi.StandardName));
    CopyName(f, 12, z->tzi.DaylightName, FIELD_WIDTH(z->tzi.DaylightName));

    int32_t month;
    if (ParseMonth(f, 7, &month)) {
        if (ParseInt(f, 5, &v))
            z->tzi.StandardBias = v;
        ReadDate(f, 6, month, &z->tzi.StandardDate, &z->standardRule);
        if (ParseMonth(f, 15, &month)) {
            if (ParseInt(f, 13, &v))
                z->tzi.DaylightBias = v;
            ReadDate(f, 14, month, &z->tzi.DaylightDate, &z->daylightRule);
        }
    }
    // both dates or none: without a daylight month the zone has no daylight saving
    if (z->tzi.DaylightDate.wMonth == 0)
        memset(&z->tzi.StandardDate, 0, sizeof(z->tzi.StandardDate));
    return true;
}

bool ParseZoneChangeLine(const char* line, ZoneChangeLine* c)
{
    memset(c, 0, sizeof(*c));
    ZoneLineFields& f = c->fields;
    if (!SplitZoneLine(line, &f) || f.count < 3 || !ParseInt(f, 0, &c->zoneId) || IsEmpty(f, 1))
        return false;
    const char* p = f.start[1];
    const char* end = p + f.length[1];
    int date[3], time[3] = {0, 0, 0};
    if (ParseNumbers(p, end, '.', 3, date) != 3)
        return false;
    const char* blank = (const char*)memchr(p, ' ', end - p);
    if (blank)
        ParseNumbers(blank + 1, end, ':', 3, time);
    if (date[0] < 2000 || date[0] > 2999 || date[1] < 1 || date[1] > 12 || date[2] < 1 || date[2] > 31 ||
        time[0] >= 24 || time[1] >= 60 || time[2] >= 60)
        return false;
    c->effective.wYear = (WORD)date[0];
    c->effective.wMonth = (WORD)date[1];
    c->effective.wDay = (WORD)date[2];
    c->effective.wHour = (WORD)time[0];
    c->effective.wMinute = (WORD)time[1];
    c->effective.wSecond = (WORD)time[2];
    return true;
}

void ApplyZoneChangeFields(const ZoneLineFields& f, TimeZoneRecord* z)
{
    int32_t v, month;
    if (ParseInt(f, 3, &v))
        z->tzi.Bias = v;
    if (!IsEmpty(f, 2))
        CopyName(f, 2, z->displayName, FIELD_WIDTH(z->displayName));
    if (!IsEmpty(f, 4))
        CopyName(f, 4, z->tzi.StandardName, FIELD_WIDTH(z->tzi.StandardName));
    if (!IsEmpty(f, 12))
        CopyName(f, 12, z->tzi.DaylightName, FIELD_WIDTH(z->tzi.DaylightName));
    if (ParseMonth(f, 7, &month)) {
        if (ParseInt(f, 5, &v))
            z->tzi.StandardBias = v;
        ReadDate(f, 6, month, &z->tzi.StandardDate, &z->standardRule);
    }
    if (z->tzi.StandardDate.wMonth != 0 && ParseMonth(f, 15, &month)) {
        if (ParseInt(f, 13, &v))
            z->tzi.DaylightBias = v;
        ReadDate(f, 14, month, &z->tzi.DaylightDate, &z->daylightRule);
    }
}
