#include <gtest/gtest.h>

#include <string>

#include "graphics/photos/PhotoIndex.h"

namespace {

std::wstring Text(const WCHAR* text, int length)
{
    return text ? std::wstring(text, length) : std::wstring();
}

}  // namespace

TEST(PhotoIndex, SanitizedNames)
{
    struct {
        const WCHAR* name;
        bool underscores;
        const WCHAR* sanitized;
        bool folder;  // usable as a folder of the store
    } cases[] = {
        {L"New York", false, L"New York", true},
        {L"New York", true, L"New_York", true},
        {L"Ho Chi Minh: City", false, L"Ho Chi Minh City", true},
        {L"a*b/c:d;e?f\\g", false, L"abcdefg", true},
        {L"tab\there\x7f\x01\x1f!", false, L"tabhere!", true},
        {L"S\u00e3o Tom\u00e9", true, L"S\u00e3o_Tom\u00e9", true},
        {L"St. John's", false, L"St. John's", true},
        {L"", false, L"", false},
        {L"::", false, L"", false},
        // dots and blanks alone would name the store or its parent
        {L"..", false, L"..", false},
        {L".:.", false, L"..", false},
        {L". .", false, L". .", false},
        {L"  ", false, L"  ", false},
        {L"...a", false, L"...a", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::wstring(c.name) << "\"");
        std::wstring text = c.name;
        SanitizeFileName(&text[0], c.underscores);
        EXPECT_EQ(std::wstring(c.sanitized), std::wstring(text.c_str()));
        EXPECT_EQ(c.folder, IsPhotoFolderName(text.c_str()));
    }
    SanitizeFileName(nullptr, true);
    EXPECT_FALSE(IsPhotoFolderName(nullptr));
}

TEST(PhotoIndex, PhotoNumbers)
{
    struct {
        const WCHAR* field;
        int32_t number;
    } cases[] = {
        {L"1", 1},
        {L"42.jpg", 42},
        {L"0000000007", 7},
        {L"2147483647", 2147483647},
        // past 2^31 - 1 a 32-bit reading turns negative or wraps round
        {L"2147483648", 0},
        {L"3000000000", 0},
        {L"4294967297", 0},
        {L"9999999999", 0},
        // only the first ten characters are read
        {L"12345678901", 1234567890},
        {L"0", 0},
        {L"", 0},
        {L"-5", 0},
        {L" 5", 0},
        {L"x1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::wstring(c.field) << "\"");
        EXPECT_EQ(c.number, ReadPhotoNumber(c.field, (int)wcslen(c.field)));
    }
    // the length bounds the reading
    EXPECT_EQ(12, ReadPhotoNumber(L"123", 2));
    EXPECT_EQ(0, ReadPhotoNumber(nullptr, 3));
}

TEST(PhotoIndex, IndexLines)
{
    struct {
        const char* name;
        const WCHAR* line;
        bool country;
        bool ok;
        int32_t number;
        const WCHAR* city;
        const WCHAR* title;
        const WCHAR* link;
        int32_t authorId;
        const WCHAR* author;
    } cases[] = {
        {"city, 8 fields", L"17\tx\t/img/17.jpg\tThe bridge\t/photo/17\ty\t5\tAnna", false, true, 17, L"",
         L"The bridge", L"/photo/17", 5, L"Anna"},
        {"city, 6 fields", L"17\tx\t/img\tBridge\t/photo/17\ty", false, true, 17, L"", L"Bridge", L"/photo/17", -1,
         L""},
        {"city, last field empty", L"17\tx\t/img\tBridge\t/photo/17\t", false, true, 17, L"", L"Bridge",
         L"/photo/17", -1, L""},
        {"city, 5 fields", L"17\tx\t/img\tBridge\t/photo/17", false, false},
        {"city, more than 8 fields", L"17\tx\t/img\tT\t/p\ty\t5\tAnna\tmore", false, true, 17, L"", L"T", L"/p", 5,
         L"Anna"},
        {"city, empty author id", L"17\tx\t/img\tT\t/p\ty\t\tAnna", false, true, 17, L"", L"T", L"/p", -1, L"Anna"},
        {"city, bad number", L"x17\tx\t/img\tT\t/p\ty", false, false},
        {"city, number past 2^31 - 1", L"9999999999\tx\t/img\tT\t/p\ty", false, false},
        {"comment #", L"#17\tx\t/img\tT\t/p\ty", false, false},
        {"comment ;", L";17\tx\t/img\tT\t/p\ty", false, false},
        {"empty", L"", false, false},
        // a country index: the city folder after the number, the rest one on
        {"country, 8 fields", L"17\tParis\tx\t/img\tSeine\t/photo/17\ty\t9", true, true, 17, L"Paris", L"Seine",
         L"/photo/17", 9, L""},
        {"country, 7 fields", L"17\tParis\tx\t/img\tSeine\t/photo/17\ty", true, true, 17, L"Paris", L"Seine",
         L"/photo/17", -1, L""},
        {"country, 6 fields", L"17\tParis\tx\t/img\tSeine\t/photo/17", true, false},
        {"country, author name beyond the fields read", L"17\tParis\tx\t/img\tSeine\t/p\ty\t9\tAnna", true, true, 17,
         L"Paris", L"Seine", L"/p", 9, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PhotoIndexLine line;
        ASSERT_EQ(c.ok, ParsePhotoIndexLine(c.line, c.country, &line));
        if (!c.ok)
            continue;
        EXPECT_EQ(c.number, line.number);
        EXPECT_EQ(std::wstring(c.city), Text(line.city, line.cityLength));
        EXPECT_EQ(std::wstring(c.title), Text(line.title, line.titleLength));
        EXPECT_EQ(std::wstring(c.link), Text(line.linkPath, line.linkPathLength));
        EXPECT_EQ(c.authorId, line.authorId);
        EXPECT_EQ(std::wstring(c.author), Text(line.authorName, line.authorNameLength));
    }
}

TEST(PhotoIndex, PickSpreadsOverEveryPhoto)
{
    struct {
        int r, count, pick;
    } cases[] = {
        {0, 3, 0},        {10922, 3, 0},     {10923, 3, 1},  {16383, 3, 1},
        {32766, 3, 2},    {32767, 3, 2},     {32767, 1, 0},  {0, 1024, 0},
        {32767, 1024, 1023}, {32735, 1024, 1022}, {-4, 3, 0}, {40000, 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "r " << c.r << " of " << c.count);
        EXPECT_EQ(c.pick, PickPhoto(c.r, c.count));
    }
    EXPECT_EQ(-1, PickPhoto(5, 0));
}
