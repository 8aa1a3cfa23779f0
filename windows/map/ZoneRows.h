// The rows of the map pane's zone list: their order and their texts. No
// Win32 here.
#pragma once

#include "graphics/records/ZoneRecord.h"

// The list shows no more zones of the table than this.
const int kZoneListMaxRows = 512;
// Each column's text, with its terminator; the display name is 128 wide.
const int kZoneRowTextChars = 129;

struct ZoneRowTexts {
    WCHAR name[kZoneRowTextChars];      // column 1
    WCHAR offset[kZoneRowTextChars];    // column 2: "UTC+01:00", "GMT-05:00"
    WCHAR standard[kZoneRowTextChars];  // column 3: the standard name
};

// Bias plus standard bias: minutes west of UTC in standard time.
int64_t ZoneStandardOffset(const TimeZoneRecord& zone);

// "GMT" and, for an offset other than 0, the UTC offset as "+hh:mm" or
// "-hh:mm": east of UTC (an offset below 0) is "+". `out` holds 16.
void FormatGmtOffset(int64_t offsetMinutes, WCHAR* out);

// A display name "(UTC+01:00) Amsterdam, Berlin" gives "Amsterdam, Berlin"
// and "UTC+01:00"; any other is column 1 whole, and column 2 is its offset.
void MakeZoneRowTexts(const TimeZoneRecord& zone, ZoneRowTexts* out);

// The first kZoneListMaxRows of `count` zones into `rows`, by offset
// ascending, then by display name in code-unit order. Returns how many.
int SortZoneRows(const TimeZoneRecord* zones, int count, const TimeZoneRecord** rows);
