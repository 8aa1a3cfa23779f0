#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "graphics/text/DurationFormat.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/text/TimeFormat.h"
#include "graphics/text/TimeFormatPicture.h"
#include "tests/support/TestFiles.h"

namespace {

// A language of strings held in a map, in US English.
class CFakeLanguage : public ILanguageStrings {
public:
    int GetString(UINT id, WCHAR* buffer, int chars) const override
    {
        ++reads;
        lastChars = chars;
        auto it = strings.find(id);
        if (it == strings.end() || chars <= 0) {
            if (chars > 0)
                buffer[0] = 0;
            return 0;
        }
        int n = std::min((int)it->second.size(), chars - 1);
        wmemcpy(buffer, it->second.data(), n);
        buffer[n] = 0;
        return n;
    }
    LCID GetLcid() const override { return lcid; }

    std::map<UINT, std::wstring> strings;
    LCID lcid = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    mutable int reads = 0;
    mutable int lastChars = 0;
};

// Duration values as FormatDurationTicks derives them from seconds.
std::wstring Expand(const wchar_t* picture, int32_t seconds, const CUnitNames& names, int capacity = 256)
{
    WCHAR out[256] = {};
    int32_t days = seconds / 86400;
    FormatDuration(out, capacity, picture, seconds, seconds / 60, seconds / 3600, days, days / 7, names);
    return out;
}

// Russian-style plurals of minutes in plain letters: genitive plural by
// default, singular for 1, 21, ..., paucal for 2-4, 22-24, ...
const wchar_t kMinuteNames[] = L"minut;1,21,31,41,51,61,71,81,91 minuta;2-4,22-24,32-34,42-44,52-54 minuty";

uint64_t Ticks(int seconds)
{
    return (uint64_t)seconds * 10000000;
}

}  // namespace

TEST(DurationFormat, CodesWidthsAndPrecisions)
{
    CUnitNames none;
    struct { const wchar_t* picture; int32_t seconds; const wchar_t* expected; } cases[] = {
        {L"%H:%02m:%02s", 3725, L"1:02:05"},
        {L"%D days %h:%02m", 90000, L"1 days 1:00"},
        // 700000 s = 11666 min = 194 h = 8 days = 1 week
        {L"%S|%M|%H|%D|%W|%w", 700000, L"700000|11666|194|8|1|1"},
        {L"%s %m %h %d", 700000, L"40 26 2 1"},
        {L"%q", 5, L"q"},
        {L"%5.2q", 5, L"q"},
        {L"100%%", 5, L"100%"},
        {L"%%s", 5, L"%s"},
        {L"a\\nb\\x", 5, L"a\nb\\x"},
        {L"[%5S]", 42, L"[   42]"},
        {L"[%.3S]", 7, L"[007]"},
        {L"[%05.3S]", 7, L"[  007]"},  // the 0 flag yields to a precision, as in printf
        {L"[%.0S]", 0, L"[]"},
        {L"[%.S]", 0, L"[]"},
        {L"[%0S]", 5, L"[5]"},
        {L"%H %Hn", 7200, L"2 h"},    // no names loaded: the fallback letters
        {L"%Sn%Mn%Hn%Dn%Wn", 0, L"smhdw"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "picture " << testing::PrintToString(std::wstring(c.picture)));
        EXPECT_EQ(std::wstring(c.expected), Expand(c.picture, c.seconds, none));
    }
}

TEST(DurationFormat, TicksGiveWholeUnits)
{
    CUnitNames none;
    WCHAR out[64];
    // 8 days, 1 hour, 1 minute, 1.9 seconds
    uint64_t ticks = Ticks(8 * 86400 + 3661) + 9000000;
    FormatDurationTicks(out, 64, L"%W %d %D %H %M %S", ticks, none);
    EXPECT_STREQ(L"1 1 8 193 11581 694861", out);
    // totals past 2^31 - 1 seconds stay at the largest value, never turn negative
    FormatDurationTicks(out, 64, L"%S", Ticks(2147483647) * 3, none);
    EXPECT_STREQ(L"2147483647", out);
}

TEST(UnitNames, PluralGroupsSelectByValueModulo100)
{
    CUnitNames names;
    names.Parse(kUnitMinutes, kMinuteNames);
    struct { int32_t minutes; const wchar_t* expected; } cases[] = {
        {21, L"21 minuta"}, {12, L"12 minut"}, {1, L"1 minuta"}, {3, L"3 minuty"},
        {11, L"11 minut"}, {14, L"14 minut"}, {0, L"0 minut"}, {122, L"122 minuty"}, {5, L"5 minut"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.minutes);
        WCHAR out[64];
        FormatDuration(out, 64, L"%M %Mn", 0, c.minutes, 0, 0, 0, names);
        EXPECT_STREQ(c.expected, out);
    }
    EXPECT_STREQ(L"", names.GetName(5, 1));
}

TEST(UnitNames, LaterGroupsWinAndBrokenFormsKeepWhatCameBefore)
{
    struct { const wchar_t* text; int32_t number; const wchar_t* expected; } cases[] = {
        {L"x;1-10 a;5 b", 5, L"b"},
        {L"x;1-10 a;5 b", 6, L"a"},
        {L"", 1, L"m"},
        {L";1 one", 1, L"m"},                // no default name: only the letter
        {L"many;1 one;2x two", 1, L"one"},
        {L"many;1 one;2x two", 2, L"many"},  // no blank after the list
        {L"many;1,2", 1, L"many"},           // ranges without a name select nothing
        {L"many;5-3 bad", 5, L"many"},       // a reversed range ends the list
        {L"many;100 big", 0, L"many"},       // out of 0..99
        {L"many;7-12 few;13", 8, L"few"},
        {L"many;7-12 few;13", 13, L"many"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.text)) << " " << c.number);
        CUnitNames names;
        names.Parse(kUnitMinutes, c.text);
        EXPECT_STREQ(c.expected, names.GetName(kUnitMinutes, c.number));
    }
}

TEST(UnitNames, AtMostOneHundredRanges)
{
    std::wstring text = L"many;";
    for (int i = 0; i < 99; ++i)
        text += L"0,";
    text += L"1 x;2 two";  // range 101 is dropped and leaves its group empty
    CUnitNames names;
    names.Parse(kUnitSeconds, text.c_str());
    EXPECT_STREQ(L"x", names.GetName(kUnitSeconds, 1));
    EXPECT_STREQ(L"many", names.GetName(kUnitSeconds, 2));
}

TEST(UnitNames, LoadReadsTheFiveStringsAndReplacesEarlierNames)
{
    CFakeLanguage language;
    language.strings = {{257, L"sec;1 second"}, {258, kMinuteNames}, {259, L"hours"}, {260, L"days"},
                        {261, L"weeks;1 week"}};
    CUnitNames names;
    names.Load(language);
    WCHAR out[128];
    FormatDuration(out, 128, L"%Sn %Mn %Hn %Dn %Wn", 1, 22, 2, 3, 1, names);
    EXPECT_STREQ(L"second minuty hours days week", out);
    EXPECT_GT(language.lastChars, kUnitStringReadChars);

    // another language without unit strings leaves no name of the first behind
    CFakeLanguage bare;
    names.Load(bare);
    FormatDuration(out, 128, L"%Sn %Mn %Hn %Dn %Wn", 1, 22, 2, 3, 1, names);
    EXPECT_STREQ(L"s m h d w", out);
}

TEST(UnitNames, LongStringsAreCutToTheField)
{
    struct Guarded {
        CUnitNames names;
        char canary[64];
    } g;
    memset(g.canary, 0x5A, sizeof(g.canary));
    CFakeLanguage language;
    language.strings[257] = std::wstring(2000, L'a') + L";1 one";
    language.strings[261] = std::wstring(3100, L'w');
    // 1018 letters, ";1 " and the name: the cut leaves "on"
    language.strings[258] = std::wstring(1018, L'b') + L";1 one";
    g.names.Load(language);

    EXPECT_EQ(std::wstring(1023, L'a'), g.names.GetName(kUnitSeconds, 1));
    EXPECT_EQ(std::wstring(1023, L'w'), g.names.GetName(kUnitWeeks, 2));
    EXPECT_STREQ(L"on", g.names.GetName(kUnitMinutes, 1));
    EXPECT_EQ(std::wstring(1018, L'b'), g.names.GetName(kUnitMinutes, 2));
    for (char c : g.canary)
        ASSERT_EQ(0x5A, c);
}

TEST(DurationFormat, NeverWritesPastItsCapacity)
{
    CUnitNames names;
    names.Parse(kUnitSeconds, std::wstring(50, L'n').c_str());
    const wchar_t* pictures[] = {
        L"%2000000000S", L"%99999999999999999999S", L"%.2000000000S", L"%040S", L"x%40.39M",
        L"%S %Sn", L"%Sn%Sn%Sn", L"abcdefghijklmnopqrstuvwxyz0123456789", L"\\n\\n\\n\\n\\n\\n\\n\\n\\n\\n\\n\\n\\n",
        L"%%%%%%%%%%%%%%%%%%%%%%%%", L"%H:%02m:%02s",
    };
    const int kGuard = 200;
    for (const wchar_t* picture : pictures) {
        for (int capacity : {1, 2, 12, 13, 20, 41, 64}) {
            SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(picture)) << " capacity "
                                            << capacity);
            WCHAR out[kGuard];
            wmemset(out, L'Z', kGuard);
            FormatDuration(out, capacity, picture, 59, 59, 23, 6, 0, names);
            int length = (int)wcsnlen(out, kGuard);
            EXPECT_LT(length, capacity);
            for (int i = capacity; i < kGuard; ++i)
                ASSERT_EQ(L'Z', out[i]) << "at " << i;
        }
    }
}

TEST(DurationFormat, NumbersAndNamesThatDoNotFitEndTheText)
{
    CUnitNames names;
    names.Parse(kUnitSeconds, std::wstring(30, L'n').c_str());
    struct { const wchar_t* picture; int capacity; std::wstring expected; } cases[] = {
        {L"%S", 12, L""},                 // 11 places left: a number is not started
        {L"%S", 13, L"42"},
        {L"ab%40S", 64, L"ab" + std::wstring(38, L' ') + L"42"},
        {L"ab%40S!", 41, L"ab"},          // 40 wide does not fit in 38
        {L"%S %Sn", 30, L"42 "},          // 30 letters do not fit in 26
        {L"%S %Sn!", 64, L"42 " + std::wstring(30, L'n') + L"!"},
        {L"abcdef", 4, L"abc"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.picture)) << " capacity "
                                        << c.capacity);
        EXPECT_EQ(c.expected, Expand(c.picture, 42, names, c.capacity));
    }
}

TEST(DurationFormat, PictureEndingInsideACodeEndsTheText)
{
    CUnitNames none;
    // text after each picture's NUL must never be read
    const wchar_t ending[][8] = {L"ab%\0S!!", L"ab%12\0S", L"ab%1.\0S", L"ab%.\0%S"};
    for (auto& picture : ending) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(picture)));
        WCHAR out[32];
        wmemset(out, L'Z', 32);
        FormatDuration(out, 32, picture, 42, 0, 0, 0, 0, none);
        EXPECT_STREQ(L"ab", out);
        EXPECT_EQ(L'Z', out[3]);
    }
}

TEST(DurationFormat, NothingWrittenWithoutPictureOrRoom)
{
    CUnitNames none;
    WCHAR out[4] = {L'Z', L'Z', L'Z', L'Z'};
    FormatDuration(out, 0, L"%S", 1, 0, 0, 0, 0, none);
    FormatDuration(out, 4, nullptr, 1, 0, 0, 0, 0, none);
    EXPECT_EQ(L'Z', out[0]);
    FormatDuration(nullptr, 4, L"%S", 1, 0, 0, 0, 0, none);  // no crash
    FormatDuration(out, 1, L"%S", 1, 0, 0, 0, 0, none);
    EXPECT_EQ(0, out[0]);
}

TEST(DurationFormat, HasSeconds)
{
    struct { const wchar_t* picture; bool expected; } cases[] = {
        {L"%s", true}, {L"%02S", true}, {L"x %5.2s", true}, {L"%Sn", true}, {L"%H:%02m:%02s", true},
        {L"%%s", false}, {L"%m", false}, {L"s S", false}, {L"%", false}, {L"%H:%02m", false}, {L"%12", false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.picture)));
        EXPECT_EQ(c.expected, FormatHasSeconds(c.picture));
    }
    EXPECT_FALSE(FormatHasSeconds(nullptr));
}

TEST(DurationFormat, MaskDigits)
{
    WCHAR text[] = L"1:09:59 x7";
    MaskDigits(text);
    EXPECT_STREQ(L"0:00:00 x0", text);
}

namespace {

ClockRecord TimerClock(uint32_t kind, const wchar_t* picture, uint64_t anchor, uint64_t value)
{
    ClockRecord c = {};
    c.kind = kind;
    wcsncpy(c.timerFormat, picture, 99);
    c.timerRunning = 1;
    c.timerAnchorUtc = anchor;
    c.timerValue = value;
    return c;
}

}  // namespace

TEST(TimerText, AdvancesAndTellsTheShapeOfTheChange)
{
    CUnitNames none;
    SYSTEMTIME start = MakeTime(2026, 3, 1, 8, 0, 0);
    uint64_t s0 = TicksOfTime(start);
    const uint32_t stopwatch = kClockTimer, countdown = kClockTimer | kClockCountdown;
    struct {
        const char* name;
        uint32_t kind;
        uint64_t anchor;
        int oldSeconds, nowSeconds;  // after start
        int expected;
        int newSeconds;
    } cases[] = {
        {"stopwatch 9:59 to 10:00 grows", stopwatch, s0, 599, 600, kTimerNewShape, 600},
        {"stopwatch 1:01 to 1:02", stopwatch, s0, 61, 62, kTimerSameShape, 62},
        {"stopwatch unchanged", stopwatch, s0, 62, 62, kTimerUnchanged, 62},
        {"countdown 10:00 to 9:59 shrinks", countdown, s0 + Ticks(1000), 600, 401, kTimerNewShape, 599},
        {"countdown 5:02 to 5:01", countdown, s0 + Ticks(1000), 302, 699, kTimerSameShape, 301},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClockRecord clock = TimerClock(c.kind, L"%m:%02s", c.anchor, Ticks(c.oldSeconds));
        SYSTEMTIME now = start;
        AddMinutes(now, c.nowSeconds / 60);
        now.wSecond = (WORD)(c.nowSeconds % 60);
        now.wMilliseconds = 900;  // ignored
        EXPECT_EQ(c.expected, UpdateTimerText(clock, now, none));
        EXPECT_EQ(Ticks(c.newSeconds), clock.timerValue);
        EXPECT_EQ(1u, clock.timerRunning);
        EXPECT_EQ(0u, clock.timerFinished);
    }
}

TEST(TimerText, PassedCountdownAndFutureStopwatchStopAtZero)
{
    CUnitNames none;
    SYSTEMTIME now = MakeTime(2026, 3, 1, 8, 0, 0);
    uint64_t t = TicksOfTime(now);
    struct { const char* name; uint32_t kind; uint64_t anchor; } cases[] = {
        {"countdown at its end", kClockTimer | kClockCountdown, t},
        {"countdown past its end", kClockTimer | kClockCountdown, t - Ticks(5)},
        {"stopwatch starting later", kClockTimer, t + Ticks(5)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClockRecord clock = TimerClock(c.kind, L"%m:%02s", c.anchor, Ticks(3));
        EXPECT_EQ(kTimerSameShape, UpdateTimerText(clock, now, none));
        EXPECT_EQ(0u, clock.timerValue);
        EXPECT_EQ(0u, clock.timerRunning);
        EXPECT_EQ(1u, clock.timerFinished);
    }
}

TEST(TimerText, OnlyRunningTimersMove)
{
    CUnitNames none;
    SYSTEMTIME now = MakeTime(2026, 3, 1, 8, 0, 0);
    uint64_t start = TicksOfTime(now) - Ticks(100);
    ClockRecord stopped = TimerClock(kClockTimer, L"%S", start, Ticks(3));
    stopped.timerRunning = 0;
    ClockRecord plain = TimerClock(0, L"%S", start, Ticks(3));
    for (ClockRecord* c : {&stopped, &plain}) {
        EXPECT_EQ(kTimerUnchanged, UpdateTimerText(*c, now, none));
        EXPECT_EQ(Ticks(3), c->timerValue);
    }
}

TEST(TimerText, PictureFillingItsFieldIsReadWithinIt)
{
    CUnitNames none;
    SYSTEMTIME now = MakeTime(2026, 3, 1, 8, 0, 0);
    ClockRecord clock = TimerClock(kClockTimer, L"", TicksOfTime(now) - Ticks(100), 0);
    for (WCHAR& c : clock.timerFormat)
        c = L'x';
    clock.caption[0] = L'%';  // the field after the picture: would turn the text into a number
    clock.caption[1] = L'S';
    EXPECT_EQ(kTimerSameShape, UpdateTimerText(clock, now, none));
    EXPECT_EQ(Ticks(100), clock.timerValue);
}

TEST(TimePicture, NamedFormats)
{
    struct { const wchar_t* name; bool own; const wchar_t* picture; } cases[] = {
        {nullptr, false, L""},
        {L"", false, L""},
        {L"Default", false, L""},
        {L"24 hours", true, L"H:mm"},
        {L"12 hours", true, L"h:mm tt"},
        {L"default", true, L"default"},
        {L"24 hours ", true, L"24 hours "},
        {L"0123456789012345678901234567890123456789", true, L"0123456789012345678901234567890"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name ? c.name : L"(null)")));
        WCHAR picture[kPictureChars + 1];
        EXPECT_EQ(c.own, GetTimePicture(c.name, picture));
        EXPECT_STREQ(c.picture, picture);
    }
}

TEST(TimePicture, WeekCodesOfDatePictures)
{
    const WeekRules isoMonday = {1, 1}, jan1Sunday = {0, 0};
    SYSTEMTIME mon29 = MakeTime(2008, 12, 29), sun28 = MakeTime(2008, 12, 28), mon22 = MakeTime(2008, 12, 22);
    struct {
        const wchar_t* picture;
        SYSTEMTIME date;
        WeekRules rules;
        bool singleLine;
        const wchar_t* expected;
    } cases[] = {
        {L"dd.MM.yyyy ww", mon29, isoMonday, false, L"dd.MM.yyyy 01"},
        {L"wD wd", sun28, isoMonday, false, L"7 6"},
        {L"wD wd", sun28, jan1Sunday, false, L"1 0"},
        {L"w|ww", mon29, isoMonday, false, L"1|01"},
        {L"w|ww", mon22, isoMonday, false, L"52|52"},
        {L"w|ww", sun28, jan1Sunday, false, L"1|01"},    // the week that holds 1 January
        {L"www", mon22, isoMonday, false, L"5252"},
        {L"'w'", mon29, isoMonday, false, L"'1'"},       // quotes do not protect
        {L"d\\nMMMM", mon29, isoMonday, false, L"d\nMMMM"},
        {L"d\\nMMMM", mon29, isoMonday, true, L"d MMMM"},
        {L"d\\x", mon29, isoMonday, false, L"d\\x"},
        {L"0123456789012345678901234567890123456789", mon29, isoMonday, false, L"0123456789012345678901234567890"},
        // the cut comes after the replacements
        {L"\\n\\n\\n\\n\\n\\n\\n\\n\\n\\n0123456789012345678901", mon29, isoMonday, false,
         L"\n\n\n\n\n\n\n\n\n\n012345678901234567890"},
        {L"012345678901234567890123456789ww", mon22, isoMonday, false, L"0123456789012345678901234567895"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.picture)));
        WCHAR working[kPictureChars + 1];
        EXPECT_TRUE(BuildDatePicture(c.picture, c.date, c.rules, c.singleLine, working));
        EXPECT_STREQ(c.expected, working);
    }
    for (const wchar_t* none : {(const wchar_t*)nullptr, L"", L"None"}) {
        WCHAR working[kPictureChars + 1] = L"x";
        EXPECT_FALSE(BuildDatePicture(none, mon29, isoMonday, false, working));
        EXPECT_STREQ(L"", working);
    }
}

TEST(TimePicture, FollowsTheLocaleTimeFormat)
{
    struct { const wchar_t* format; const wchar_t* sep; bool seconds; const wchar_t* expected; } cases[] = {
        {L"h:mm:ss tt", L":", true, L"h:mm:ss tt"},
        {L"h:mm:ss tt", L":", false, L"h:mm tt"},
        {L"HH:mm:ss", L":", true, L"HH:mm:ss"},
        {L"H.mm.s", L".", true, L"H.mm.s"},
        {L"H.m", L".", true, L"H.m.ss"},    // no s in the format: two
        {L"tt hh:mm", L":", false, L"hh:mm tt"},
        {L"HH:mm", L"", false, L"HH:mm"},   // a missing separator is taken as ":"
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.format)));
        WCHAR out[12];
        BuildTimePictureFrom(c.format, c.sep, c.seconds, out);
        EXPECT_STREQ(c.expected, out);
    }
}

TEST(TimeFormat, NamedFormatsAndPicturesInTheLanguageLocale)
{
    CFakeLanguage english;
    SYSTEMTIME t = MakeTime(2026, 3, 1, 13, 5, 42);
    struct { const wchar_t* name; const wchar_t* expected; } cases[] = {
        {L"12 hours", L"1:05 PM"},
        {L"24 hours", L"13:05"},
        {L"Default", L"1:05 PM"},          // the locale's format without seconds
        {nullptr, L"1:05 PM"},
        {L"HH'h'mm", L"13h05"},
        // 31 characters of quoted text, then an hour that the cut removes
        {L"'aaaaaaaaaaaaaaaaaaaaaaaaaaaaa'H", L"aaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name ? c.name : L"(null)")));
        WCHAR out[kTimeTextChars];
        FormatTime(english, out, t, c.name);
        EXPECT_STREQ(c.expected, out);
    }
    WCHAR out[kTimeTextChars];
    SYSTEMTIME bad = t;
    bad.wHour = 25;
    FormatTime(english, out, bad, L"24 hours");
    EXPECT_STREQ(L"Error!", out);
}

TEST(TimeFormat, DatesWithWeekCodes)
{
    CFakeLanguage english;
    const WeekRules isoMonday = {1, 1};
    SYSTEMTIME mon29 = MakeTime(2008, 12, 29, 10, 0, 0);
    struct { const wchar_t* picture; bool singleLine; const wchar_t* expected; } cases[] = {
        {L"dd.MM.yyyy ww", false, L"29.12.2008 01"},
        {L"dddd wD", false, L"Monday 1"},
        {L"d\\nMMMM", false, L"29\nDecember"},
        {L"d\\nMMMM", true, L"29 December"},
        {L"None", false, L""},
        {nullptr, false, L""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.picture ? c.picture : L"(null)")));
        WCHAR out[kDateTextChars];
        FormatDate(english, out, mon29, c.picture, c.singleLine, isoMonday);
        EXPECT_STREQ(c.expected, out);
    }
    WCHAR out[kDateTextChars];
    SYSTEMTIME bad = mon29;
    bad.wMonth = 13;
    FormatDate(english, out, bad, L"dd.MM.yyyy ww", false, isoMonday);
    EXPECT_STREQ(L"Error!", out);
}

TEST(TimeFormat, LocaleTextAndLocaleTimePicture)
{
    WCHAR text[8];
    wmemset(text, L'Z', 8);
    LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    EXPECT_GT(GetLocaleText(english, LOCALE_SENGLANGUAGE, text, 8), 0);
    EXPECT_STREQ(L"English", text);
    wmemset(text, L'Z', 8);
    EXPECT_EQ(0, GetLocaleText(english, 0xFFFF, text, 8));
    for (WCHAR c : text)
        EXPECT_EQ(L'\0', c);  // cleared first

    // the built pictures are ones the system accepts, and differ by the seconds
    WCHAR with[12], without[12], a[kTimeTextChars], b[kTimeTextChars];
    BuildLocaleTimeFormat(with, true);
    BuildLocaleTimeFormat(without, false);
    CFakeLanguage language;
    SYSTEMTIME t = MakeTime(2026, 3, 1, 13, 5, 42);
    FormatTime(language, a, t, with);
    FormatTime(language, b, t, without);
    EXPECT_NE(nullptr, wcsstr(a, L"42"));
    EXPECT_EQ(nullptr, wcsstr(b, L"42"));
}
