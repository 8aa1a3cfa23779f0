// A city of cities.txt. Sent raw to the tray clock and handed by address to
// the map library, which writes its working fields in place.
#pragma once

#include "graphics/records/PtrSlot.h"
#include "graphics/records/ZoneRecord.h"

struct CityRecord {
    WCHAR cityName[80];         // at most 79 characters, terminated
    WCHAR countryName[80];
    int32_t sortKey;            // 0 as loaded; the map orders photos by it
    uint32_t reserved0;
    double latitude;            // degrees, north positive
    double longitude;           // degrees, east positive
    uint32_t zoneId;
    uint32_t reserved1;
    PtrSlot<TimeZoneRecord> zoneRecord;  // into the main program's zone table; cleared in copies
    // written by the map library
    double mapPosition[4];
    double labelPosition[4];
    double probeDistance2;
    uint8_t inProbeRadius;
    uint8_t isNearest;
    uint8_t reserved2[6];
};

static_assert(sizeof(CityRecord) == 440, "shared layout");
static_assert(offsetof(CityRecord, countryName) == 160, "shared layout");
static_assert(offsetof(CityRecord, sortKey) == 320, "shared layout");
static_assert(offsetof(CityRecord, latitude) == 328, "shared layout");
static_assert(offsetof(CityRecord, zoneId) == 344, "shared layout");
static_assert(offsetof(CityRecord, zoneRecord) == 352, "shared layout");
static_assert(offsetof(CityRecord, mapPosition) == 360, "shared layout");
static_assert(offsetof(CityRecord, labelPosition) == 392, "shared layout");
static_assert(offsetof(CityRecord, probeDistance2) == 424, "shared layout");
static_assert(offsetof(CityRecord, inProbeRadius) == 432, "shared layout");
static_assert(offsetof(CityRecord, isNearest) == 433, "shared layout");
