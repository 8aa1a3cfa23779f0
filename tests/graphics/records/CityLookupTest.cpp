#include <gtest/gtest.h>

#include <vector>

#include "graphics/records/CityLookup.h"
#include "graphics/records/CityName.h"
#include "graphics/records/FixedText.h"

namespace {

CityRecord City(const WCHAR* name, const WCHAR* country)
{
    CityRecord city = {};
    CopyFixed(city.cityName, FIELD_WIDTH(city.cityName), name);
    CopyFixed(city.countryName, FIELD_WIDTH(city.countryName), country);
    return city;
}

}  // namespace

TEST(CityLookup, FindsByLocationAndByName)
{
    std::vector<CityRecord> cities = {City(L"Paris", L"France"), City(L"Paris", L"United States"),
                                      City(L"S\u00e3o Paulo", L"Brazil"), City(L"Lyon", L"France")};
    int count = (int)cities.size();
    WCHAR text[kCityTextChars];
    FormatCityName(cities[1], text);
    EXPECT_EQ(std::wstring(L"Paris, United States"), text);

    struct {
        const WCHAR* location;
        int index;
    } locations[] = {
        {L"Paris, France", 0}, {L"paris, UNITED STATES", 1}, {L"Lyon, France", 3},
        {L"Paris,France", -1}, {L"Paris", -1}, {L"", -1}, {nullptr, -1},
    };
    for (const auto& c : locations) {
        SCOPED_TRACE(testing::Message() << (c.location ? c.location : L"(null)"));
        EXPECT_EQ(c.index, FindCityByName(cities.data(), count, c.location));
    }
    EXPECT_EQ(-1, FindCityByName(nullptr, 0, L"Paris, France"));

    struct {
        const WCHAR* country;
        const WCHAR* name;
        int index;
    } names[] = {
        {L"France", L"Paris", 0}, {L"united states", L"PARIS", 1}, {L"", L"Paris", 0}, {nullptr, L"lyon", 3},
        {L"Brazil", L"Paris", -1}, {L"France", L"Nice", -1}, {L"France", nullptr, -1}, {L"France", L"", -1},
    };
    for (const auto& c : names) {
        SCOPED_TRACE(testing::Message() << (c.country ? c.country : L"(null)") << " / "
                                        << (c.name ? c.name : L"(null)"));
        EXPECT_EQ(c.index, FindCity(cities.data(), count, c.country, c.name));
    }

    // a full-width name without its terminator is read to the field's end
    CityRecord wide = City(L"", L"France");
    std::wstring longName(FIELD_WIDTH(wide.cityName), L'x');
    for (size_t i = 0; i < longName.size(); ++i)
        wide.cityName[i] = longName[i];
    EXPECT_EQ(0, FindCity(&wide, 1, L"France", longName.c_str()));
}
