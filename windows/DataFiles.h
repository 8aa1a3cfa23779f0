// The data files of the program folder that both programs load at start-up.
#pragma once

#include <windows.h>

class CCityList;
class CZoneDatabase;

// "timezones.txt", then "tz_changes.txt" with the changes due at `nowUtc`
// applied (a missing change file is no error), then "cities.txt", all from
// `folder` (trailing backslash). False when the zones or the cities are missing.
bool LoadZoneAndCityFiles(const WCHAR* folder, CZoneDatabase& zones, CCityList& cities, const SYSTEMTIME& nowUtc);
