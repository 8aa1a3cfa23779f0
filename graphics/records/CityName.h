// The "city, country" text by which a clock's location names its city.
#pragma once

#include "graphics/records/CityRecord.h"

const int kCityTextChars = 161;  // "city, country" with its terminator

// "city, country" into a buffer of at least kCityTextChars characters; does
// nothing for a null buffer.
void FormatCityName(const CityRecord& city, WCHAR* buffer);
