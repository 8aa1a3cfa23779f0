#include <gtest/gtest.h>

#include <string>

#include "graphics/records/FixedText.h"
#include "taskbar/tooltip/TooltipText.h"

namespace {

TEST(TooltipPlacement, BelowOrAboveTheClockAndNeverLeftOfTheDesktop)
{
    const TooltipBox desktop = {0, 0, 1024, 768};
    struct Case {
        const char* name;
        TooltipBox anchor;
        int width, height;
        int x, y;
    } cases[] = {
        // a clock in a bottom taskbar: above it, its right edge at the clock's centre
        {"bottom taskbar", {900, 740, 1000, 768}, 200, 120, 750, 620},
        // a top taskbar: below it
        {"top taskbar", {900, 0, 1000, 28}, 200, 120, 750, 28},
        // exactly reaching the desktop's bottom still fits below
        {"touches the bottom", {100, 600, 140, 648}, 50, 120, 70, 648},
        // a clock near the left edge (a vertical taskbar): the left edge on the desktop's
        {"left edge", {0, 300, 60, 330}, 200, 100, 0, 330},
        {"left edge, low", {0, 700, 60, 730}, 200, 100, 0, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t x = -1, y = -1;
        PlaceTooltip(c.anchor, c.width, c.height, desktop, &x, &y);
        EXPECT_EQ(c.x, x);
        EXPECT_EQ(c.y, y);
    }
}

TEST(TooltipCaptionFormat, OnlyFourStringsAndEscapedPercents)
{
    struct Case {
        const wchar_t* format;
        bool usable;
    } cases[] = {
        {L"<a href=\"%s\">%s</a><br>Photo: <a href=\"%s\">%s</a>", true},
        {L"%s%s%s%s", true},
        {L"100%% %s %s %s %s", true},
        {L"%s %s %s", false},               // too few: the fourth argument unused is harmless, but not ours
        {L"%s %s %s %s %s", false},         // a fifth would read past the arguments
        {L"%s %s %s %d", false},
        {L"%s %s %s %s %n", false},         // writes through an argument
        {L"%s %s %s %10s", false},          // a width is another conversion
        {L"%s %s %s %s %", false},          // a lone percent at the end
        {L"%S %s %s %s", false},
        {L"", false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.format ? c.format : L"(null)"));
        EXPECT_EQ(c.usable, IsPhotoCaptionFormat(c.format));
    }
}

TEST(TooltipCaptionFormat, CaptionFromTheFormatOrTheFallback)
{
    const wchar_t* kFormat = L"<a href=\"%s\">%s</a> 100%% by <a href=\"%s\">%s</a>";
    struct Case {
        const char* name;
        const wchar_t* format;
        const wchar_t* author;
        const wchar_t* expected;
    } cases[] = {
        {"format", kFormat, L"Ann",
         L"<a href=\"/p/1.htm\">Bridge</a> 100% by <a href=\"/cms/authoring_photos.htm?author_id=42\">Ann</a>"},
        {"no author name", kFormat, L"", L"<a href=\"/p/1.htm\">Bridge</a>"},
        {"unsafe format", L"%s %s %s %s %n", L"Ann", L"<a href=\"/p/1.htm\">Bridge</a>"},
        {"no format", L"", L"Ann", L"<a href=\"/p/1.htm\">Bridge</a>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t out[kPhotoCaptionChars];
        BuildPhotoCaption(out, kPhotoCaptionChars, c.format, L"/p/1.htm", L"Bridge", 42, c.author);
        EXPECT_EQ(std::wstring(c.expected), out);
    }
    // a long link path is cut, never written past the buffer
    std::wstring path(kPhotoLinkChars - 1, L'x');
    wchar_t small[40];
    small[39] = 0x55AA;
    BuildPhotoCaption(small, 39, kFormat, path.c_str(), L"Bridge", 1, L"Ann");
    EXPECT_EQ(38u, std::wstring(small).size());
    EXPECT_EQ(0x55AA, small[39]);
}

TEST(TooltipText, CaptionDateAndLabel)
{
    struct Case {
        const char* name;
        const wchar_t* caption;
        const wchar_t* date;
        const wchar_t* label;
        const wchar_t* expected;
    } cases[] = {
        // doubled so that drawing shows the ampersand instead of underlining "D"
        {"ampersand", L"R&D", L"Friday, 11 December 2026", L"", L"R&&D\nFriday, 11 December 2026"},
        // the calendar option: no date line under the caption
        {"calendar", L"Pune", L"", L"", L"Pune"},
        {"label", L"Pune", L"", L"Lunch", L"Pune\nLunch"},
        {"no caption", L"", L"Friday, 11 December 2026", L"", L"Friday, 11 December 2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wchar_t out[kTooltipTextChars];
        BuildClockTooltipText(out, c.caption, lstrlenW(c.caption), c.date, c.label, lstrlenW(c.label));
        EXPECT_EQ(std::wstring(c.expected), out);
    }
}

TEST(TooltipText, CaptionRoomShrinksWithTheDateAndStopsAtZero)
{
    std::wstring caption(77, L'c');
    struct Case {
        int dateLength;
        size_t captionShown;
    } cases[] = {
        {25, 50},
        {75, 0},
        // a date longer than the room: the caption is left out, the text still ends in its buffer
        {79, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dateLength);
        std::wstring date(c.dateLength, L'd');
        wchar_t out[kTooltipTextChars + 1];
        out[kTooltipTextChars] = 0x55AA;
        BuildClockTooltipText(out, caption.c_str(), (int)caption.size(), date.c_str(), L"", 0);
        std::wstring text = out;
        EXPECT_EQ(c.captionShown, text.find_first_not_of(L'c'));
        EXPECT_LE(text.size(), (size_t)kTooltipTextChars - 1);
        EXPECT_EQ(0x55AA, out[kTooltipTextChars]);
    }
    // a doubled ampersand that no longer fits is left out whole
    std::wstring amps(40, L'&');
    wchar_t out[kTooltipTextChars];
    BuildClockTooltipText(out, amps.c_str(), (int)amps.size(), std::wstring(74, L'd').c_str(), L"", 0);
    EXPECT_EQ(std::wstring(74, L'd'), out);
    BuildClockTooltipText(out, amps.c_str(), (int)amps.size(), std::wstring(72, L'd').c_str(), L"", 0);
    EXPECT_EQ(std::wstring(L"&&\n") + std::wstring(72, L'd'), out);
}

int CompareByCaption(const ClockRecord& a, const ClockRecord& b)
{
    return lstrcmpW(a.caption, b.caption);
}

TEST(TooltipTable, EnabledTimeClocksInOrder)
{
    ClockRecord clocks[5] = {};
    const struct {
        const wchar_t* caption;
        uint32_t kind;
        uint32_t enabled;
    } rows[] = {
        {L"d", 0, 1},
        {L"a", kClockTimer, 1},                     // a stopwatch
        {L"c", 0, 0},                               // switched off
        {L"b", 0, 1},
        {L"e", kClockTimer | kClockCountdown, 1},   // a countdown
    };
    for (int i = 0; i < 5; ++i) {
        CopyFixed(clocks[i].caption, FIELD_WIDTH(clocks[i].caption), rows[i].caption);
        clocks[i].kind = rows[i].kind;
        clocks[i].enabled = rows[i].enabled;
    }
    int order[5] = {};
    ASSERT_EQ(2, TableClockOrder(clocks, 5, CompareByCaption, order));
    EXPECT_EQ(3, order[0]);
    EXPECT_EQ(0, order[1]);
}

}  // namespace
