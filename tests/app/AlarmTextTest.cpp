#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "app/alarms/AlarmText.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/records/FixedText.h"
#include "windows/CityList.h"
#include "tests/support/FakeLanguage.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/TestFiles.h"

namespace {

// A clock in Berlin (UTC+1 in winter) on a computer in India (UTC+5:30, the
// zone of the test run), so that dates differ across midnight.
class AlarmText : public testing::Test {
protected:
    AlarmText() : zones(sys), cities(zones), cityFile("Berlin\tBerlin\tGermany\t52.52\t13.405\tW. Europe Standard Time\n")
    {
    }
    void SetUp() override
    {
        ASSERT_TRUE(zones.LoadTimeZonesFile(TestDataPath(L"zones.txt").c_str()));
        ASSERT_TRUE(cities.LoadCityList(cityFile.Path()));
        memset(&clock, 0, sizeof(clock));
        clock.zone.tzi = CentralEuropeTzi();
        clock.zone.standardRule = clock.zone.daylightRule = -1;
        CopyFixed(clock.zone.displayName, FIELD_WIDTH(clock.zone.displayName), L"(UTC+01:00) Amsterdam, Berlin");
        CopyFixed(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName), L"W. Europe Standard Time");
        clock.flags = kClockUseDaylight;
        CopyFixed(clock.prefix, FIELD_WIDTH(clock.prefix), L"BER");
        CopyFixed(clock.location, FIELD_WIDTH(clock.location), L"Berlin, Germany");
        CopyFixed(clock.timeFormat, FIELD_WIDTH(clock.timeFormat), L"HH:mm");
        CopyFixed(clock.dateFormat, FIELD_WIDTH(clock.dateFormat), L"dd.MM.yyyy");
        memset(&alarm, 0, sizeof(alarm));
        CopyFixed(alarm.comment, FIELD_WIDTH(alarm.comment), L"Standup");
        memset(&build, 0, sizeof(build));
        build.fileVersion.dwFileVersionMS = 0x00050003;
        build.fileVersion.dwFileVersionLS = 0x00010007;
        build.buildDate = MakeTime(2026, 3, 1, 20, 0);  // UTC: 2 March in India
        context = {&language, &cities, &build, {0, 0}};
    }
    std::wstring Expand(const std::wstring& text, bool withClock = true, bool withAlarm = true, int capacity = 600)
    {
        std::wstring out(capacity, L'#');
        int n = ExpandAlarmText(text.c_str(), &out[0], capacity, withClock ? &clock : nullptr,
                                withAlarm ? &alarm : nullptr, occurrence, context);
        EXPECT_EQ((size_t)n, wcslen(out.c_str()));
        return out.c_str();
    }
    static std::wstring ShortDate(const SYSTEMTIME& t)
    {
        WCHAR text[80] = {};
        GetDateFormatW(CFakeLanguage().GetLcid(), DATE_SHORTDATE, &t, nullptr, text, 80);
        return text;
    }
    static std::wstring DefaultTime(const SYSTEMTIME& t)
    {
        WCHAR text[80] = {};
        GetTimeFormatW(CFakeLanguage().GetLcid(), 0, &t, nullptr, text, 80);
        return text;
    }

    CFakeSystemZone sys;
    CZoneDatabase zones;
    CCityList cities;
    CTempFile cityFile;
    CFakeLanguage language;
    ClockRecord clock;
    AlarmRecord alarm;
    BuildInfo build;
    AlarmTextContext context;
    // 23:30 in Berlin = 22:30 UTC = 04:00 the next day in India
    SYSTEMTIME occurrence = MakeTime(2026, 12, 24, 23, 30);
};

}  // namespace

TEST_F(AlarmText, MacrosWithAClock)
{
    const SYSTEMTIME local = MakeTime(2026, 12, 25, 4, 0);
    struct Case {
        std::wstring text, expected;
    } cases[] = {
        {L"$$alarm", L"$alarm"},
        {L"${alarm}s", L"Standups"},
        {L"$alarms", L""},
        {L"[$nothing]", L"[]"},
        {L"$ALARM: $Label", L"Standup: BER"},
        {L"$alarm!", L"Standup!"},
        {L"$tz", L"(UTC+01:00) Amsterdam, Berlin"},
        {L"$city/$country", L"Berlin/Germany"},
        {L"$location", L"Berlin, Germany"},
        {L"$version", L"5.3.1"},
        {L"$compiled", L"2 Mar 2026"},
        // dates and times of the computer's zone: across midnight from Berlin's
        {L"$date", ShortDate(local)},
        {L"$time", DefaultTime(local)},
        {L"${date(yyyy-MM-dd)}", L"2026-12-25"},
        {L"${date(yyyy)}", L"2026"},
        {L"${time(HH:mm)}", L"04:00"},
        {L"${date()}", L"25.12.2026"},
        {L"${time()}", L"04:00"},
        // the clock's own zone
        {L"$cdate", ShortDate(occurrence)},
        {L"$ctime", DefaultTime(occurrence)},
        {L"${cdate()}", L"24.12.2026"},
        {L"${ctime()}", L"23:30"},
        {L"${cdate(d MMM)}", L"24 Dec"},
        // a suffix only in braces; anything but parentheses gives nothing
        {L"$date(yyyy)", ShortDate(local) + L"(yyyy)"},
        {L"${date[yyyy]}", L""},
        {L"${date(yyyy}", L""},
        {L"${alarm(x)}", L""},
        // an empty name, a lone "$" at the end, an unclosed brace
        {L"a${}b", L"ab"},
        {L"cost 5$", L"cost 5"},
        {L"$ $", L" "},
        {L"at ${alarm", L"at Standup"},
        {L"${", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(c.expected, Expand(c.text));
    }
}

TEST_F(AlarmText, MacrosWithoutAClockOrAlarm)
{
    struct Case {
        std::wstring text, expected;
    } cases[] = {
        {L"<$label$tz$city$country$location>", L"<>"},
        {L"$alarm", L"Standup"},
        {L"$version", L"5.3.1"},
        // the occurrence is taken as it is
        {L"${date(yyyy-MM-dd)} ${ctime(HH:mm)}", L"2026-12-24 23:30"},
        {L"${date()}", ShortDate(occurrence)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(c.expected, Expand(c.text, false));
    }
    EXPECT_EQ(L"[]", Expand(L"[$alarm]", true, false));
    context.build = nullptr;
    EXPECT_EQ(L"[]", Expand(L"[$version$compiled]"));
}

TEST_F(AlarmText, CityLookupAndEmptyLocation)
{
    CopyFixed(clock.location, FIELD_WIDTH(clock.location), L"Atlantis");
    EXPECT_EQ(L"[]Atlantis", Expand(L"[$city$country]$location"));
    CopyFixed(clock.location, FIELD_WIDTH(clock.location), L"");
    EXPECT_EQ(L"(UTC+01:00) Amsterdam, Berlin", Expand(L"$location"));
    context.cities = nullptr;
    CopyFixed(clock.location, FIELD_WIDTH(clock.location), L"Berlin, Germany");
    EXPECT_EQ(L"[]", Expand(L"[$city]"));
    // a prefix filling its field has no terminator
    wmemset(clock.prefix, L'p', FIELD_WIDTH(clock.prefix));
    EXPECT_EQ(std::wstring(FIELD_WIDTH(clock.prefix), L'p'), Expand(L"$label"));
}

TEST_F(AlarmText, ExpansionIsCutAt548)
{
    EXPECT_EQ(std::wstring(548, L'x'), Expand(std::wstring(600, L'x')));
    EXPECT_EQ(std::wstring(545, L'x') + L"Sta", Expand(std::wstring(545, L'x') + L"$alarm tail"));
    EXPECT_EQ(std::wstring(548, L'x'), Expand(std::wstring(548, L'x') + L"$alarm"));
    // a smaller buffer cuts earlier, always terminated
    EXPECT_EQ(L"Standup i", Expand(L"$alarm is due", true, true, 10));
}
