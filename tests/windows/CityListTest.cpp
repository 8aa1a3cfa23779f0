#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "app/zones/ZoneDatabase.h"
#include "graphics/records/FixedText.h"
#include "windows/CityList.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

// zones.txt of tests/data: "W. Europe Standard Time" (id 110) and "UTC" (id 1) among others
class CityList : public testing::Test {
protected:
    CityList() : zones(sys), cities(zones) {}
    void SetUp() override { ASSERT_TRUE(zones.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str())); }
    uint32_t CitiesOf(const wchar_t* zone) { return zones.Zone(zones.FindZoneByName(zone)).cityCount; }

    CFakeSystemZone sys;
    CZoneDatabase zones;
    CCityList cities;
};

const char kGood[] =
    "# name, ascii name, country, latitude, longitude, zone\r\n"
    "Berlin\tBerlin\tGermany\t52.52\t13.405\tW. Europe Standard Time\r\n"
    "Sydney\tSydney\tAustralia\t-33.87\t151.21\tUTC\n";

}  // namespace

TEST_F(CityList, KeepsCitiesOfKnownZones)
{
    CTempFile file(std::string(kGood) +
                   "Five\tfields\tonly\t1\t2\n"
                   "Blank zone\tx\tLand\t1\t2\t\n"                       // a TAB before the end: five fields
                   "Seven\tx\tLand\t1.5\t2.5\tUTC\textra\n"
                   "Case\tx\tLand\t1\t2\tutc\n"                          // zone names are case-sensitive
                   "NoLatitude\tx\tLand\tnorth\t2\tUTC\n"
                   "Empty\tx\tLand\t\t2\tUTC\n"
                   "Berlin\tBerlin\tGermany\t0\t0\tUTC\n"                // duplicates are kept
                   "\n; comment\n");
    ASSERT_TRUE(cities.LoadCityList(file.Path()));
    ASSERT_EQ(4, cities.Count());
    const CityRecord& sydney = cities.Cities()[1];
    EXPECT_STREQ(L"Sydney", sydney.cityName);
    EXPECT_STREQ(L"Australia", sydney.countryName);
    EXPECT_DOUBLE_EQ(-33.87, sydney.latitude);
    EXPECT_DOUBLE_EQ(151.21, sydney.longitude);
    EXPECT_EQ(1u, sydney.zoneId);
    EXPECT_EQ(&zones.Zone(zones.FindZoneByName(L"UTC")), sydney.zoneRecord.ptr);
    EXPECT_STREQ(L"Seven", cities.Cities()[2].cityName);
    EXPECT_EQ(1u, CitiesOf(L"W. Europe Standard Time"));
    EXPECT_EQ(3u, CitiesOf(L"UTC"));

    EXPECT_EQ(0, cities.FindCityByName(L"berlin, GERMANY"));  // the first of two, any case
    EXPECT_EQ(1, cities.FindCityByName(L"Sydney, Australia"));
    EXPECT_EQ(-1, cities.FindCityByName(L"Sydney"));
    EXPECT_EQ(-1, cities.FindCityByName(nullptr));
    WCHAR text[kCityTextChars];
    FormatCityName(cities.Cities()[0], text);
    EXPECT_STREQ(L"Berlin, Germany", text);
}

TEST_F(CityList, NamesAreCutAndBytesAreCharacters)
{
    std::string longName(100, 'N'), country(80, 'C');
    CTempFile file(longName + "\tx\t" + country + "\t1\t2\tUTC\n" + "S\xe3o Paulo\tx\tBrazil\t-23.5\t-46.6\tUTC\n");
    ASSERT_TRUE(cities.LoadCityList(file.Path()));
    ASSERT_EQ(2, cities.Count());
    EXPECT_EQ(79u, FixedLength(cities.Cities()[0].cityName, 80));
    EXPECT_EQ(79u, FixedLength(cities.Cities()[0].countryName, 80));
    EXPECT_EQ(0xe3, cities.Cities()[1].cityName[1]);
    WCHAR text[kCityTextChars];
    FormatCityName(cities.Cities()[0], text);
    EXPECT_EQ(79u + 2 + 79, wcslen(text));
}

// What "%lf" makes of a field, as the list's numbers must read.
static bool Scanned(const std::string& field, double* value)
{
    return sscanf(field.substr(0, 63).c_str(), "%lf", value) == 1;
}

TEST_F(CityList, NumbersReadAsScanfReadsThem)
{
    const char* fields[] = {"52.52", "-33.87", "+7.25", "-0", "0.0", ".5", "-.5", "5.", "  2.5", "1e3", "1.5E-2",
                            "0x10", "inf", "nan", "12abc", "3.25 north", "1.2.3", "-", ".", "+-1", "00012.5000",
                            "123456789012345", "1234567890123456789", "0.1234567890123456789", "179.9999999999999",
                            "-89.99999", "0.30000000000000004", "1\xe9", "4.000000000000000000001"};
    std::string text;
    for (const char* f : fields)
        text += std::string("City\tx\tLand\t") + f + "\t0\tUTC\n";
    CTempFile file(text);
    cities.LoadCityList(file.Path());
    int kept = 0;
    for (const char* f : fields) {
        double expected = 0;
        if (!Scanned(f, &expected))
            continue;
        ASSERT_LT(kept, cities.Count()) << f;
        double got = cities.Cities()[kept++].latitude;
        EXPECT_EQ(0, memcmp(&expected, &got, sizeof(got))) << f << ": " << got << " != " << expected;
    }
    EXPECT_EQ(kept, cities.Count());
    EXPECT_GT(kept, 20);
}

TEST_F(CityList, LongLinesAreReadInPieces)
{
    // the part past 1023 bytes is a line of its own; a NUL ends a line's text
    std::string head = "Long\tx\tLand\t1\t2\tUTC\t";
    std::string line = head + std::string(1023 - head.size(), 'p') + "Tail\tx\tLand\t3\t4\tUTC\n";
    std::string nul = std::string("Cut\tx\tLand\t5\t6\tUTC") + '\0' + "\textra\n";
    CTempFile file(line + nul + "Last\tx\tLand\t7\t8\tUTC");
    ASSERT_TRUE(cities.LoadCityList(file.Path()));
    ASSERT_EQ(4, cities.Count());
    const wchar_t* names[] = {L"Long", L"Tail", L"Cut", L"Last"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(names[i], cities.Cities()[i].cityName);
        EXPECT_EQ(2.0 * i + 1, cities.Cities()[i].latitude);
    }
}

TEST_F(CityList, ReloadsReplaceOnlyOnSuccess)
{
    CTempFile comments("# nothing\n;\n\n");
    EXPECT_FALSE(cities.LoadCityList(comments.Path()));
    EXPECT_EQ(0, cities.Count());

    CTempFile good(kGood);
    ASSERT_TRUE(cities.LoadCityList(good.Path()));
    EXPECT_FALSE(cities.LoadCityList(TestDataPath(L"no-such-cities.txt").c_str()));
    EXPECT_EQ(2, cities.Count());                  // still there
    EXPECT_FALSE(cities.LoadCityList(nullptr));
    EXPECT_EQ(2, cities.Count());
    ASSERT_TRUE(cities.LoadCityList(good.Path()));  // counted afresh, not added up
    EXPECT_EQ(1u, CitiesOf(L"UTC"));
    // a restore of the zone table keeps the counts
    zones.RestoreZoneTable(nullptr, 0);
    EXPECT_EQ(1u, CitiesOf(L"UTC"));
}

TEST(CityNames, CountryOfTheLocale)
{
    WCHAR buffer[162];
    ASSERT_TRUE(GetUserCountryName(buffer, MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT)));
    EXPECT_LT(0u, wcslen(buffer));
    EXPECT_FALSE(GetUserCountryName(nullptr, LOCALE_USER_DEFAULT));
}

TEST(ShippedCities, EveryCityFindsItsZone)
{
    CFakeSystemZone sys;
    CZoneDatabase zones(sys);
    std::wstring data = TL_SHIPPED_DATA;
    ASSERT_TRUE(zones.LoadTimeZonesFile((data + L"timezones.txt").c_str()));
    CCityList cities(zones);
    ASSERT_TRUE(cities.LoadCityList((data + L"cities.txt").c_str()));
    FILE* f = _wfopen((data + L"cities.txt").c_str(), L"rb");
    ASSERT_NE(nullptr, f);
    int lines = 0;
    char line[1024];
    while (fgets(line, sizeof(line), f))
        lines += line[0] != '#' && line[0] != ';' && line[0] != '\n';
    fclose(f);
    EXPECT_EQ(lines, cities.Count());
    EXPECT_GT(cities.Count(), 5000);
    // every coordinate exactly as "%lf" reads it
    f = _wfopen((data + L"cities.txt").c_str(), L"rb");
    ASSERT_NE(nullptr, f);
    int index = 0, differ = 0;
    while (fgets(line, sizeof(line), f) && index < cities.Count()) {
        if (line[0] == '#' || line[0] == ';' || line[0] == '\n')
            continue;
        double latitude = 0, longitude = 0;
        ASSERT_EQ(2, sscanf(line, "%*[^\t]\t%*[^\t]\t%*[^\t]\t%lf\t%lf", &latitude, &longitude)) << line;
        const CityRecord& city = cities.Cities()[index++];
        differ += memcmp(&latitude, &city.latitude, sizeof(double)) != 0 ||
                  memcmp(&longitude, &city.longitude, sizeof(double)) != 0;
    }
    fclose(f);
    EXPECT_EQ(cities.Count(), index);
    EXPECT_EQ(0, differ);
    EXPECT_LE(0, cities.FindCityByName(L"Berlin, Germany"));
    EXPECT_LE(0, cities.FindCityByName(L"Sydney, Australia"));
}
