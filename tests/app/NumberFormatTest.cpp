#include <gtest/gtest.h>

#include <wchar.h>

#include "app/ui/NumberFormat.h"

TEST(NumberFormat, TranslatedFormats)
{
    struct { const wchar_t* format; int32_t value; const wchar_t* expected; } cases[] = {
        {L"Shutting down in %d seconds", 15, L"Shutting down in 15 seconds"},
        {L"%d%% done", 40, L"40% done"},
        {L"100%% in %i s", 8, L"100% in 8 s"},
        {L"%u left", 3, L"3 left"},
        {L"[%03d]", 7, L"[007]"},
        {L"[%-4d]", 7, L"[7   ]"},
        {L"[%+d]", 7, L"[+7]"},
        {L"[%5.3d]", -7, L"[ -007]"},
        {L"%ld hours", 2, L"2 hours"},
        // not exactly one integer conversion: the number alone
        {L"%s seconds", 15, L"15"},
        {L"%d of %d", 15, L"15"},
        {L"no number", 15, L"15"},
        {L"%n", 15, L"15"},
        {L"%*d", 15, L"15"},
        {L"%lld", 15, L"15"},
        {L"%I64d", 15, L"15"},
        {L"50%", 15, L"15"},
        {L"%%d", 15, L"15"},
        {L"", -3, L"-3"},
    };
    for (const auto& c : cases) {
        wchar_t out[64];
        int n = FormatWithOneNumber(c.format, c.value, out, 64);
        EXPECT_STREQ(c.expected, out) << "format " << c.format;
        EXPECT_EQ((int)wcslen(c.expected), n);
    }
}

// Formats that may take their number twice (a word form after it, say).
TEST(NumberFormat, NumberUsedTwice)
{
    struct { const wchar_t* format; int32_t value; const wchar_t* expected; } cases[] = {
        {L"%d min", 5, L"5 min"},
        {L"%d Tag(e) [%02d]", 3, L"3 Tag(e) [03]"},
        {L"%d %d %d", 3, L"3"},
        {L"%d %s", 3, L"3"},
    };
    for (const auto& c : cases) {
        wchar_t out[64];
        int n = FormatWithNumber(c.format, c.value, 2, out, 64);
        EXPECT_STREQ(c.expected, out) << "format " << c.format;
        EXPECT_EQ((int)wcslen(c.expected), n);
    }
}

TEST(NumberFormat, CutToCapacity)
{
    wchar_t out[6];
    wmemset(out, L'#', 6);
    EXPECT_EQ(5, FormatWithOneNumber(L"wait %d seconds", 12, out, 6));
    EXPECT_STREQ(L"wait ", out);
    // a huge width is cut, never overruns
    EXPECT_EQ(5, FormatWithOneNumber(L"%999999999d", 1, out, 6));
    EXPECT_STREQ(L"     ", out);
    EXPECT_EQ(0, FormatWithOneNumber(L"%d", 1, out, 1));
    EXPECT_STREQ(L"", out);
    EXPECT_EQ(2, FormatWithOneNumber(nullptr, 42, out, 6));
    EXPECT_STREQ(L"42", out);
}

// The About box's version line: a translation's format takes the version
// only where it has exactly one "%s".
TEST(NumberFormat, TranslatedTextFormats)
{
    struct { const wchar_t* format; const wchar_t* expected; } cases[] = {
        {L"Version %s", L"Version 5.3.1"},
        {L"%s", L"5.3.1"},
        {L"100%% v%s", L"100% v5.3.1"},
        // anything else: the text as written, a blank, the version
        {L"Version %d", L"Version %d 5.3.1"},
        {L"%s %s", L"%s %s 5.3.1"},
        {L"Version", L"Version 5.3.1"},
        {L"%S", L"%S 5.3.1"},
        {L"%-5s", L"%-5s 5.3.1"},
        {L"", L"5.3.1"},
        {nullptr, L"5.3.1"},
    };
    for (const auto& c : cases) {
        wchar_t out[64];
        int n = FormatWithOneText(c.format, L"5.3.1", out, 64);
        EXPECT_STREQ(c.expected, out) << "format " << (c.format ? c.format : L"(none)");
        EXPECT_EQ((int)wcslen(c.expected), n);
    }
    wchar_t small[8];
    EXPECT_EQ(7, FormatWithOneText(L"Version %s", L"5.3.1", small, 8));
    EXPECT_STREQ(L"Version", small);
}
