#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "graphics/records/FixedText.h"
#include "windows/map/ZoneRows.h"

namespace {

TimeZoneRecord Zone(const wchar_t* display, int bias, int standardBias, const wchar_t* standard = L"")
{
    TimeZoneRecord zone;
    memset(&zone, 0, sizeof(zone));
    CopyFixed(zone.displayName, FIELD_WIDTH(zone.displayName), display);
    CopyFixed(zone.tzi.StandardName, FIELD_WIDTH(zone.tzi.StandardName), standard);
    zone.tzi.Bias = bias;
    zone.tzi.StandardBias = standardBias;
    return zone;
}

}  // namespace

TEST(ZoneRows, ColumnTexts)
{
    struct Case {
        const wchar_t* display;
        int bias, standardBias;
        const wchar_t* name;
        const wchar_t* offset;
    } cases[] = {
        {L"(UTC+01:00) Amsterdam, Berlin", -60, 0, L"Amsterdam, Berlin", L"UTC+01:00"},
        {L"(UTC)   Coordinated Universal Time", 0, 0, L"Coordinated Universal Time", L"UTC"},
        {L"(GMT-05:00)", 300, 0, L"", L"GMT-05:00"},
        {L"(unclosed", 0, 0, L"", L"unclosed"},
        // no parenthesised prefix: the offset's text, east of UTC with "+"
        {L"Plain", 0, 0, L"Plain", L"GMT"},
        {L"Plain", -60, 0, L"Plain", L"GMT+01:00"},
        {L"Plain", 300, 0, L"Plain", L"GMT-05:00"},
        {L"Plain", -330, 0, L"Plain", L"GMT+05:30"},
        {L"Plain", 60, -60, L"Plain", L"GMT"},      // the standard bias counts too
        {L"Plain", -600, 15, L"Plain", L"GMT+09:45"},
        {L"Plain", 720, 0, L"Plain", L"GMT-12:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bias << "+" << c.standardBias);
        TimeZoneRecord zone = Zone(c.display, c.bias, c.standardBias, L"Some Standard Time");
        ZoneRowTexts texts;
        MakeZoneRowTexts(zone, &texts);
        EXPECT_EQ(std::wstring(c.name), texts.name);
        EXPECT_EQ(std::wstring(c.offset), texts.offset);
        EXPECT_EQ(std::wstring(L"Some Standard Time"), texts.standard);
    }
}

TEST(ZoneRows, FullWidthFieldsStayInTheirBounds)
{
    TimeZoneRecord zone = Zone(L"", 0, 0);
    for (WCHAR& c : zone.displayName)
        c = L'D';
    for (WCHAR& c : zone.tzi.StandardName)
        c = L'S';
    ZoneRowTexts texts;
    MakeZoneRowTexts(zone, &texts);
    EXPECT_EQ(std::wstring(128, L'D'), texts.name);
    EXPECT_EQ(std::wstring(32, L'S'), texts.standard);  // not running on into the daylight date
}

// Ascending by bias plus standard bias (west last), then by display name code unit by code unit.
TEST(ZoneRows, SortedByOffsetThenOrdinalName)
{
    std::vector<TimeZoneRecord> zones = {
        Zone(L"b west", 300, 0), Zone(L"(UTC+01:00) Berlin", -60, 0), Zone(L"a", 0, 0),
        Zone(L"B", 0, 0),  // "B" (0x42) before "a" (0x61) in code-unit order
        Zone(L"ahead", 0, -60), Zone(L"a", 0, 0),
    };
    std::vector<const TimeZoneRecord*> rows(zones.size());
    ASSERT_EQ((int)zones.size(), SortZoneRows(zones.data(), (int)zones.size(), rows.data()));
    const TimeZoneRecord* expected[] = {&zones[1], &zones[4], &zones[3], &zones[2], &zones[5], &zones[0]};
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i], rows[i]);
    }
}

TEST(ZoneRows, OnlyTheTablesFirst512)
{
    std::vector<TimeZoneRecord> zones(600, Zone(L"z", 0, 0));
    zones[599] = Zone(L"far east", -720, 0);  // would sort first, but lies past the 512
    zones[10] = Zone(L"east", -60, 0);
    std::vector<const TimeZoneRecord*> rows(kZoneListMaxRows);
    ASSERT_EQ(512, SortZoneRows(zones.data(), (int)zones.size(), rows.data()));
    EXPECT_EQ(&zones[10], rows[0]);
    for (const TimeZoneRecord* row : rows)
        EXPECT_LT(row, &zones[512]);
    EXPECT_EQ(0, SortZoneRows(zones.data(), 0, rows.data()));
}
