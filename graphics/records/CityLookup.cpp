#include "graphics/records/CityLookup.h"

#include "graphics/records/CityName.h"
#include "graphics/records/FixedText.h"

namespace {

// Copies may fill a field without a terminator.
bool FieldEqualsNoCase(const WCHAR* field, size_t width, const WCHAR* text)
{
    return lstrcmpiW(FieldText(field, width).c_str(), text) == 0;
}

}  // namespace

int FindCityByName(const CityRecord* cities, int count, const WCHAR* location)
{
    if (!cities || !location)
        return -1;
    WCHAR name[kCityTextChars];
    for (int i = 0; i < count; ++i) {
        FormatCityName(cities[i], name);
        if (lstrcmpiW(name, location) == 0)
            return i;
    }
    return -1;
}

int FindCity(const CityRecord* cities, int count, const WCHAR* country, const WCHAR* name)
{
    if (!cities || !name)
        return -1;
    bool anyCountry = !country || !*country;
    for (int i = 0; i < count; ++i) {
        const CityRecord& city = cities[i];
        if (FieldEqualsNoCase(city.cityName, FIELD_WIDTH(city.cityName), name) &&
            (anyCountry || FieldEqualsNoCase(city.countryName, FIELD_WIDTH(city.countryName), country)))
            return i;
    }
    return -1;
}
