// A zone as the clocks use it. Travels inside ClockRecord to the taskbar's
// process, so the layout is fixed. Names filled to their full width carry no
// terminator: bound every read by the array's width.
#pragma once

#include <stddef.h>
#include "graphics/records/WinTypes.h"

struct TimeZoneRecord {
    TIME_ZONE_INFORMATION tzi;  // Bias, names, StandardDate/Bias, DaylightDate/Bias
    int32_t zoneId;             // 0 for "Local System Time"
    int32_t standardRule;       // 1..4 week of the month, -1 last week, 0 none
    int32_t daylightRule;
    WCHAR displayName[128];
    WCHAR zoneName[40];         // the key by which clocks and cities name the zone
    uint32_t cityCount;         // cities of cities.txt in this zone
};

static_assert(sizeof(TimeZoneRecord) == 524, "shared layout");
static_assert(offsetof(TimeZoneRecord, tzi.StandardDate) == 68, "shared layout");
static_assert(offsetof(TimeZoneRecord, tzi.DaylightDate) == 152, "shared layout");
static_assert(offsetof(TimeZoneRecord, tzi.DaylightBias) == 168, "shared layout");
static_assert(offsetof(TimeZoneRecord, zoneId) == 172, "shared layout");
static_assert(offsetof(TimeZoneRecord, displayName) == 184, "shared layout");
static_assert(offsetof(TimeZoneRecord, zoneName) == 440, "shared layout");
static_assert(offsetof(TimeZoneRecord, cityCount) == 520, "shared layout");

// The name that stands for the computer's own zone.
extern const WCHAR kLocalZoneName[];
