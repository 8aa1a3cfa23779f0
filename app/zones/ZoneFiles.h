// Line parsers of timezones.txt and tz_changes.txt: 8-bit text, TAB-separated
// fields, read one byte per character. No Win32 calls.
#pragma once

#include "graphics/records/ZoneRecord.h"

const int kZoneFields = 20;
const int kZoneLineMax = 2047;

// The fields of one line, up to the first CR or LF; `count` counts empty ones.
struct ZoneLineFields {
    int count;
    const char* start[kZoneFields];
    int length[kZoneFields];
};

// False for comments and empty lines. `line` must outlive `fields`.
bool SplitZoneLine(const char* line, ZoneLineFields* fields);

// Fills a cleared record from a timezones.txt line; false when the line is
// rejected (the record may then hold partial data and must be cleared again).
bool ParseTimeZoneLine(const char* line, TimeZoneRecord* zone);

// One accepted tz_changes.txt line.
struct ZoneChangeLine {
    int32_t zoneId;
    SYSTEMTIME effective;   // UTC
    ZoneLineFields fields;
};
bool ParseZoneChangeLine(const char* line, ZoneChangeLine* change);

// Overwrites `zone` (the zone as loaded) with the non-empty fields of a change line.
void ApplyZoneChangeFields(const ZoneLineFields& fields, TimeZoneRecord* zone);
