#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/text/TextFields.h"

namespace {

std::wstring Text(const WCHAR* text, int length)
{
    return std::wstring(text, length);
}

}  // namespace

TEST(SplitFields, SplitsAtTabsUpToTheLineEnd)
{
    struct Case {
        const WCHAR* line;
        int capacity;
        std::vector<std::wstring> fields;
    } cases[] = {
        {L"a\t\tb", 8, {L"a", L"", L"b"}},
        {L"a\t", 8, {L"a"}},
        {L"", 8, {}},
        {L"\r\n", 8, {}},
        {L"\n", 8, {}},
        {L"\tb", 8, {L"", L"b"}},
        {L"a\tbc\r\n", 8, {L"a", L"bc"}},
        {L"a\t\r\n", 8, {L"a"}},
        {L"a\t\t\n", 8, {L"a", L""}},
        {L"a\tb\tc\td", 2, {L"a", L"b"}},
        {L"only", 8, {L"only"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.line)));
        const WCHAR* fields[8];
        int lengths[8];
        int n = SplitFields(c.line, fields, lengths, c.capacity);
        ASSERT_EQ((int)c.fields.size(), n);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(c.fields[i], Text(fields[i], lengths[i])) << "field " << i;
    }
}

TEST(SplitFields, FieldsPointIntoTheLine)
{
    const WCHAR line[] = L"ab\tcd";
    const WCHAR* fields[2];
    ASSERT_EQ(2, SplitFields(line, fields, nullptr, 2));
    EXPECT_EQ(line, fields[0]);
    EXPECT_EQ(line + 3, fields[1]);
}

TEST(CountChar, CountsEveryOccurrence)
{
    EXPECT_EQ(3, CountChar(L"a;b;;c", ';'));
    EXPECT_EQ(0, CountChar(L"abc", ';'));
    EXPECT_EQ(0, CountChar(nullptr, ';'));
}
