#include <gtest/gtest.h>

#include "windows/http/HttpDate.h"

TEST(HttpDate, TheThreeFormsAreReadAndNothingElse)
{
    struct Case {
        const wchar_t* text;
        SYSTEMTIME expected;  // year 0: refused
    };
    const Case cases[] = {
        {L"Sun, 06 Nov 1994 08:49:37 GMT", {1994, 11, 0, 6, 8, 49, 37, 0}},
        {L"Sunday, 06-Nov-94 08:49:37 GMT", {1994, 11, 0, 6, 8, 49, 37, 0}},
        {L"Sun Nov  6 08:49:37 1994", {1994, 11, 0, 6, 8, 49, 37, 0}},
        {L"Thu, 29 Feb 2024 23:59:59 GMT", {2024, 2, 4, 29, 23, 59, 59, 0}},
        {L"Friday, 11-Dec-26 00:00:00 GMT", {2026, 12, 5, 11, 0, 0, 0, 0}},   // two-digit years below 70: 20xx
        {L"Thu Jan  1 00:00:00 1970", {1970, 1, 4, 1, 0, 0, 0, 0}},
        {L"Sat, 31 Feb 2026 10:00:00 GMT", {}},       // no such day
        {L"Fri, 29 Feb 2025 10:00:00 GMT", {}},       // not a leap year
        {L"Sun, 06 Nov 1994 24:00:00 GMT", {}},
        {L"Sun, 06 Nov 1994 08:49:37 UTC", {}},       // only GMT is allowed
        {L"Sun, 06 Nov 1994 08:49:37 GMT extra", {}},
        {L"Sun, 6 Nov 1994 08:49:37 GMT", {}},        // the day takes two digits
        {L"sun, 06 nov 1994 08:49:37 gmt", {}},
        {L"Sunday, 06 Nov 1994 08:49:37 GMT", {}},    // the long name belongs to the other form
        {L"yesterday at noon", {}},
        {L"", {}},
        {nullptr, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.text ? std::wstring(c.text).c_str() : L"(null)"));
        SYSTEMTIME t = {1, 1, 1, 1, 1, 1, 1, 1};
        EXPECT_EQ(c.expected.wYear != 0, ParseHttpDate(c.text, &t));
        EXPECT_EQ(c.expected.wYear, t.wYear);
        EXPECT_EQ(c.expected.wMonth, t.wMonth);
        EXPECT_EQ(c.expected.wDayOfWeek, t.wDayOfWeek);
        EXPECT_EQ(c.expected.wDay, t.wDay);
        EXPECT_EQ(c.expected.wHour, t.wHour);
        EXPECT_EQ(c.expected.wMinute, t.wMinute);
        EXPECT_EQ(c.expected.wSecond, t.wSecond);
        EXPECT_EQ(0, t.wMilliseconds);
    }
}
