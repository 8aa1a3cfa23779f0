// Finding a city in a process's array of city records (the main program's
// list, the map's view of it, the tray clock's copies). Names compare as
// lstrcmpiW compares them.
#pragma once

#include <windows.h>

#include "graphics/records/CityRecord.h"

// The index of the first city whose "city, country" equals `location`
// ignoring case; -1 when none, for a null text or no cities.
int FindCityByName(const CityRecord* cities, int count, const WCHAR* location);

// The index of the first city named `name` ignoring case and, when `country`
// is neither null nor empty, in that country ignoring case; -1 when none.
int FindCity(const CityRecord* cities, int count, const WCHAR* country, const WCHAR* name);
