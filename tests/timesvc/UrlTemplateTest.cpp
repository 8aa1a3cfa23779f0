#include <gtest/gtest.h>

#include <string>

#include "timesvc/sync/UrlTemplate.h"

namespace {

// The time request's values in their order: the date and time (all 0 here),
// the encoded blank among them, and the program's version 5.3.1.
const UrlTemplateArg kArgs[] = {
    {false, 0, nullptr}, {false, 0, nullptr}, {false, 0, nullptr}, {true, 0, L"%20"}, {false, 0, nullptr},
    {false, 0, nullptr}, {false, 0, nullptr}, {false, 5, nullptr}, {false, 3, nullptr}, {false, 1, nullptr},
};
const size_t kArgCount = sizeof(kArgs) / sizeof(kArgs[0]);

}  // namespace

TEST(UrlTemplate, FormatsOnlyTheDirectivesItKnows)
{
    struct Case {
        const wchar_t* pattern;
        const wchar_t* expected;  // null: refused
    };
    const Case cases[] = {
        {L"http://time.example/", L"http://time.example/"},
        {L"/t?%d%d%d%s%d%d%d&v=%d.%d.%d", L"/t?000%20000&v=5.3.1"},
        {L"100%%", L"100%"},
        {L"%d%d%d%s%d%d%d%d%d%d%d", nullptr},  // eleven directives, ten values
        {L"%s%s%s%s%s", nullptr},              // a text directive for a number
        {L"%d%d%d%d", nullptr},                // a number directive for the text
        {L"%n", nullptr},
        {L"%p", nullptr},
        {L"%c", nullptr},
        {L"%99999d", nullptr},                 // wider than any URL
        {L"a%20b", nullptr},                   // an encoded blank is no directive
        {L"trailing %", nullptr},
        {L"%.3d", nullptr},                    // no precision
        {L"%ld", nullptr},                     // no size prefixes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.pattern).c_str());
        WCHAR out[1024] = L"junk";
        bool ok = FormatUrlTemplate(c.pattern, kArgs, kArgCount, out, 1024);
        EXPECT_EQ(c.expected != nullptr, ok);
        EXPECT_EQ(std::wstring(c.expected ? c.expected : L""), std::wstring(out));
    }
}

TEST(UrlTemplate, NumbersAndTextsTakeFlagsAndWidths)
{
    const UrlTemplateArg args[] = {{false, -42, nullptr}, {false, -1, nullptr}, {false, 255, nullptr},
                                   {false, 2147483647, nullptr}, {false, 7, nullptr}, {false, 7, nullptr},
                                   {false, 7, nullptr}, {false, 7, nullptr}, {false, 255, nullptr},
                                   {true, 0, L"ab"}, {true, 0, L"ab"}, {false, -5, nullptr}};
    WCHAR out[128];
    ASSERT_TRUE(FormatUrlTemplate(L"%i %u %x %d|%03d|%-3d|%+d|% d|%#x|%4s|%-4s|%05d", args, 12, out, 128));
    EXPECT_EQ(std::wstring(L"-42 4294967295 ff 2147483647|007|7  |+7| 7|0xff|  ab|ab  |-0005"), std::wstring(out));
}

TEST(UrlTemplate, AResultThatDoesNotFitIsRefusedNotCut)
{
    WCHAR out[8];
    EXPECT_TRUE(FormatUrlTemplate(L"1234567", kArgs, kArgCount, out, 8));
    EXPECT_EQ(std::wstring(L"1234567"), std::wstring(out));
    EXPECT_FALSE(FormatUrlTemplate(L"12345678", kArgs, kArgCount, out, 8));
    EXPECT_EQ(std::wstring(L""), std::wstring(out));
    EXPECT_FALSE(FormatUrlTemplate(L"123456%s", kArgs + 3, 1, out, 8));  // the text pushes it over
    EXPECT_TRUE(FormatUrlTemplate(L"%7d", kArgs, kArgCount, out, 8));
    EXPECT_FALSE(FormatUrlTemplate(L"%8d", kArgs, kArgCount, out, 8));
}
