#include "graphics/records/CityName.h"

#include <string.h>

#include "graphics/records/FixedText.h"

namespace {

const int kNameChars = 79;  // the fields' terminator is not trusted

}  // namespace

void FormatCityName(const CityRecord& city, WCHAR* buffer)
{
    if (!buffer)
        return;
    size_t n = FixedLength(city.cityName, kNameChars);
    memcpy(buffer, city.cityName, n * sizeof(WCHAR));
    buffer[n++] = ',';
    buffer[n++] = ' ';
    size_t c = FixedLength(city.countryName, kNameChars);
    memcpy(buffer + n, city.countryName, c * sizeof(WCHAR));
    buffer[n + c] = 0;
}
