#include "windows/map/ZoneRows.h"

#include <algorithm>

#include "graphics/records/FixedText.h"

namespace {

const int kMinutesPerHour = 60;

// Ordinal order of two display names, bounded by their field.
bool NameBefore(const TimeZoneRecord& a, const TimeZoneRecord& b)
{
    size_t na = FixedLength(a.displayName, FIELD_WIDTH(a.displayName));
    size_t nb = FixedLength(b.displayName, FIELD_WIDTH(b.displayName));
    for (size_t i = 0; i < na && i < nb; ++i) {
        if (a.displayName[i] != b.displayName[i])
            return a.displayName[i] < b.displayName[i];
    }
    return na < nb;
}

void CopyRange(const WCHAR* from, size_t count, WCHAR* out)
{
    size_t n = std::min(count, (size_t)kZoneRowTextChars - 1);
    for (size_t i = 0; i < n; ++i)
        out[i] = from[i];
    out[n] = 0;
}

void PutTwoDigits(int value, WCHAR* out)
{
    out[0] = (WCHAR)(TL_W('0') + value / 10 % 10);
    out[1] = (WCHAR)(TL_W('0') + value % 10);
}

}  // namespace

int64_t ZoneStandardOffset(const TimeZoneRecord& zone)
{
    return (int64_t)zone.tzi.Bias + zone.tzi.StandardBias;
}

void FormatGmtOffset(int64_t offsetMinutes, WCHAR* out)
{
    out[0] = TL_W('G');
    out[1] = TL_W('M');
    out[2] = TL_W('T');
    out[3] = 0;
    if (offsetMinutes == 0)
        return;
    // the bias counts minutes west of UTC: a negative one is ahead of UTC
    out[3] = offsetMinutes < 0 ? TL_W('+') : TL_W('-');
    int64_t magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    // no zone is days away from UTC; a damaged table still gets two digits
    int hours = (int)(magnitude / kMinutesPerHour % 100);
    PutTwoDigits(hours, out + 4);
    out[6] = TL_W(':');
    PutTwoDigits((int)(magnitude % kMinutesPerHour), out + 7);
    out[9] = 0;
}

void MakeZoneRowTexts(const TimeZoneRecord& zone, ZoneRowTexts* out)
{
    const WCHAR* name = zone.displayName;
    size_t length = FixedLength(name, FIELD_WIDTH(zone.displayName));
    if (length > 0 && name[0] == TL_W('(')) {
        size_t close = 1;
        while (close < length && name[close] != TL_W(')'))
            ++close;
        CopyRange(name + 1, close - 1, out->offset);
        size_t rest = close < length ? close + 1 : length;
        while (rest < length && name[rest] == TL_W(' '))
            ++rest;
        CopyRange(name + rest, length - rest, out->name);
    } else {
        CopyRange(name, length, out->name);
        FormatGmtOffset(ZoneStandardOffset(zone), out->offset);
    }
    CopyRange(zone.tzi.StandardName, FixedLength(zone.tzi.StandardName, FIELD_WIDTH(zone.tzi.StandardName)),
              out->standard);
}

int SortZoneRows(const TimeZoneRecord* zones, int count, const TimeZoneRecord** rows)
{
    int n = std::max(0, std::min(count, kZoneListMaxRows));
    for (int i = 0; i < n; ++i)
        rows[i] = &zones[i];
    std::stable_sort(rows, rows + n, [](const TimeZoneRecord* a, const TimeZoneRecord* b) {
        int64_t oa = ZoneStandardOffset(*a), ob = ZoneStandardOffset(*b);
        if (oa != ob)
            return oa < ob;
        return NameBefore(*a, *b);
    });
    return n;
}
