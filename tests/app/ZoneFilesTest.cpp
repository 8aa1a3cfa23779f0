#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "app/zones/ZoneFiles.h"
#include "graphics/records/FixedText.h"

namespace {

// Joins fields with TABs.
std::string Line(std::initializer_list<const char*> fields)
{
    std::string s;
    bool first = true;
    for (const char* f : fields) {
        if (!first)
            s += '\t';
        s += f;
        first = false;
    }
    return s;
}

// A W. Europe line: daylight from the last Sunday of March 02:00 to the last Sunday of October 03:00.
const char* const kEurope[] = {"110", "W. Europe Standard Time", "(UTC+01:00) Amsterdam, Berlin", "-60",
                               "W. Europe Standard Time", "0", "", "10", "", "0", "-1", "03:00:00",
                               "W. Europe Daylight Time", "-60", "", "3", "", "0", "-1", "02:00:00"};

std::string EuropeLine(int replace = -1, const char* value = "")
{
    std::string s;
    for (int i = 0; i < 20; ++i) {
        if (i)
            s += '\t';
        s += i == replace ? value : kEurope[i];
    }
    return s;
}

bool Parse(const std::string& line, TimeZoneRecord* z)
{
    memset(z, 0, sizeof(*z));
    return ParseTimeZoneLine(line.c_str(), z);
}

}  // namespace

TEST(ZoneFile, ReadsAFullLine)
{
    TimeZoneRecord z;
    ASSERT_TRUE(Parse(EuropeLine() + "\r\n", &z));
    EXPECT_EQ(110, z.zoneId);
    EXPECT_TRUE(FixedEquals(z.zoneName, 40, L"W. Europe Standard Time"));
    EXPECT_TRUE(FixedEquals(z.displayName, 128, L"(UTC+01:00) Amsterdam, Berlin"));
    EXPECT_EQ(-60, z.tzi.Bias);
    EXPECT_EQ(-60, z.tzi.DaylightBias);
    EXPECT_EQ(-1, z.standardRule);
    EXPECT_EQ(-1, z.daylightRule);
    EXPECT_EQ(10, z.tzi.StandardDate.wMonth);
    EXPECT_EQ(5, z.tzi.StandardDate.wDay);  // last week
    EXPECT_EQ(3, z.tzi.StandardDate.wHour);
    EXPECT_EQ(3, z.tzi.DaylightDate.wMonth);
    EXPECT_EQ(2, z.tzi.DaylightDate.wHour);
    EXPECT_TRUE(FixedEquals(z.tzi.DaylightName, 32, L"W. Europe Daylight Time"));
}

TEST(ZoneFile, FieldCountsAndRejectedLines)
{
    TimeZoneRecord z;
    std::string nineteen = EuropeLine();
    nineteen.erase(nineteen.rfind('\t'));
    EXPECT_FALSE(Parse(nineteen, &z));
    // fields past the 20th are ignored
    ASSERT_TRUE(Parse(EuropeLine() + "\tx\ty\t7\t8\t9", &z));
    EXPECT_EQ(2, z.tzi.DaylightDate.wHour);

    const char* comments[] = {"", "# 1\tx", "; 1\tx", "\r\n"};
    for (const char* c : comments)
        EXPECT_FALSE(Parse(c, &z)) << c;

    struct { int field; const char* value; } rejects[] = {{0, "x"}, {0, ""}, {1, ""}, {2, ""}, {3, ""}, {3, "--5"}};
    for (auto& r : rejects) {
        SCOPED_TRACE(testing::Message() << "field " << r.field << " = '" << r.value << "'");
        EXPECT_FALSE(Parse(EuropeLine(r.field, r.value), &z));
    }
}

TEST(ZoneFile, DaylightNeedsBothMonths)
{
    struct { int field; const char* value; } cases[] = {{15, ""}, {15, "13"}, {15, "0"}, {7, ""}, {7, "x"}};
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "field " << c.field << " = '" << c.value << "'");
        TimeZoneRecord z;
        ASSERT_TRUE(Parse(EuropeLine(c.field, c.value), &z));
        SYSTEMTIME zero = {};
        EXPECT_EQ(0, memcmp(&zero, &z.tzi.StandardDate, sizeof(zero)));
        EXPECT_EQ(0, memcmp(&zero, &z.tzi.DaylightDate, sizeof(zero)));
    }
}

TEST(ZoneFile, WeekRulesAndTimes)
{
    struct { int field; const char* value; int rule; int wDay; int hour, minute, second; } cases[] = {
        {10, "-1", -1, 5, 3, 0, 0},
        {10, "2", 2, 2, 3, 0, 0},
        {10, "5", 5, 5, 3, 0, 0},
        {10, "0", 0, 0, 3, 0, 0},      // ignored: the day field stays (empty = 0)
        {10, "7", 0, 0, 3, 0, 0},
        {11, "24:00:00", -1, 5, 0, 0, 0},  // ignored: midnight stays
        {11, "23:59:59", -1, 5, 23, 59, 59},
        {11, "02:60:00", -1, 5, 0, 0, 0},
        {11, "02:30", -1, 5, 0, 0, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "field " << c.field << " = '" << c.value << "'");
        TimeZoneRecord z;
        ASSERT_TRUE(Parse(EuropeLine(c.field, c.value), &z));
        EXPECT_EQ(c.rule, z.standardRule);
        EXPECT_EQ(c.wDay, z.tzi.StandardDate.wDay);
        EXPECT_EQ(c.hour, z.tzi.StandardDate.wHour);
        EXPECT_EQ(c.minute, z.tzi.StandardDate.wMinute);
        EXPECT_EQ(c.second, z.tzi.StandardDate.wSecond);
    }
    // with a year, the rule is stored but the day stays
    TimeZoneRecord z;
    std::string line = EuropeLine(6, "2011");
    ASSERT_TRUE(Parse(line, &z));
    EXPECT_EQ(2011, z.tzi.StandardDate.wYear);
    EXPECT_EQ(-1, z.standardRule);
    EXPECT_EQ(0, z.tzi.StandardDate.wDay);
}

TEST(ZoneFile, NamesAreCutToTheirFieldsWithoutTerminator)
{
    std::string longName(60, 'N');
    TimeZoneRecord z;
    ASSERT_TRUE(Parse(EuropeLine(1, longName.c_str()), &z));
    EXPECT_EQ(40u, FixedLength(z.zoneName, 40));
    EXPECT_EQ(-60, z.tzi.Bias);  // the next field is intact
    EXPECT_TRUE(FixedEquals(z.zoneName, 40, std::wstring(40, L'N').c_str()));
    EXPECT_FALSE(FixedEquals(z.zoneName, 40, std::wstring(41, L'N').c_str()));
    // 8-bit text: one byte per character
    ASSERT_TRUE(Parse(EuropeLine(2, "S\xe3o Paulo"), &z));
    EXPECT_EQ(0xe3, z.displayName[1]);
}

TEST(ZoneChangeFile, EffectiveTimes)
{
    struct { const char* time; bool ok; int y, mo, d, h, mi, s; } cases[] = {
        {"2026.03.29 01:00:00", true, 2026, 3, 29, 1, 0, 0},
        {"2026.3.29", true, 2026, 3, 29, 0, 0, 0},
        {"2026.03.29 05", true, 2026, 3, 29, 5, 0, 0},
        {"1999.12.31 00:00:00", false},
        {"3000.01.01", false},
        {"2026.13.01", false},
        {"2026.00.01", false},
        {"2026.02.32", false},
        {"2026.02", false},
        {"2026.02.01 24:00:00", false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.time);
        ZoneChangeLine change;
        std::string line = std::string("110\t") + c.time + "\t\t-120";
        ASSERT_EQ(c.ok, ParseZoneChangeLine(line.c_str(), &change));
        if (!c.ok)
            continue;
        EXPECT_EQ(110, change.zoneId);
        EXPECT_EQ(c.y, change.effective.wYear);
        EXPECT_EQ(c.mo, change.effective.wMonth);
        EXPECT_EQ(c.d, change.effective.wDay);
        EXPECT_EQ(c.h, change.effective.wHour);
        EXPECT_EQ(c.mi, change.effective.wMinute);
        EXPECT_EQ(c.s, change.effective.wSecond);
    }
    ZoneChangeLine change;
    EXPECT_FALSE(ParseZoneChangeLine("110\t2026.01.01", &change));  // fewer than three fields
    EXPECT_FALSE(ParseZoneChangeLine("x\t2026.01.01\t", &change));
}

TEST(ZoneChangeFile, EmptyFieldsKeepTheLoadedValues)
{
    TimeZoneRecord z;
    ASSERT_TRUE(Parse(EuropeLine(), &z));
    ZoneChangeLine change;
    // new bias only
    ASSERT_TRUE(ParseZoneChangeLine("110\t2026.01.01\t\t-120", &change));
    TimeZoneRecord r = z;
    ApplyZoneChangeFields(change.fields, &r);
    EXPECT_EQ(-120, r.tzi.Bias);
    EXPECT_EQ(0, memcmp(&z.tzi.StandardDate, &r.tzi.StandardDate, sizeof(SYSTEMTIME)));
    EXPECT_TRUE(FixedEquals(r.displayName, 128, L"(UTC+01:00) Amsterdam, Berlin"));

    // an empty daylight month cannot remove daylight saving
    // the parsed fields point into the line: keep it alive
    std::string moved = Line({"110", "2026.01.01", "Moved", "-120", "", "", "", "9", "1", "0", "", "04:00:00", "", "", "", ""});
    ASSERT_TRUE(ParseZoneChangeLine(moved.c_str(), &change));
    r = z;
    ApplyZoneChangeFields(change.fields, &r);
    EXPECT_EQ(9, r.tzi.StandardDate.wMonth);
    EXPECT_EQ(-1, r.standardRule);  // "" keeps the loaded rule
    EXPECT_EQ(1, r.tzi.StandardDate.wDay);
    EXPECT_EQ(4, r.tzi.StandardDate.wHour);
    EXPECT_EQ(3, r.tzi.DaylightDate.wMonth);
    EXPECT_TRUE(FixedEquals(r.displayName, 128, L"Moved"));

    // a full line replaces both dates
    std::string full = EuropeLine(1, "2026.06.01 12:00:00");
    ASSERT_TRUE(ParseZoneChangeLine(full.c_str(), &change));
    memset(&r, 0, sizeof(r));
    r.tzi.Bias = 99;
    ApplyZoneChangeFields(change.fields, &r);
    EXPECT_EQ(-60, r.tzi.Bias);
    EXPECT_EQ(10, r.tzi.StandardDate.wMonth);
    EXPECT_EQ(3, r.tzi.DaylightDate.wMonth);
    EXPECT_EQ(-1, r.daylightRule);
}
