// The background pages in the real settings dialog: edits made as a user
// makes them (with the notifications the controls send), Apply, and the
// profile as the main program reads it back from the file.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/clocks/ClockSettings.h"
#include "app/zones/ZoneHelpers.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/time/FileTimeTicks.h"
#include "settings/backgrounds/BackgroundPageIds.h"
#include "settings/backgrounds/ColorBox.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"

namespace {

// The clocks of the settings file, by their number.
const int kPlainClock = 1;
const int kCountdownClock = 2;
const int kTimerClock = 3;
const int kDatedClock = 4;

class CFakeColorBox : public IColorBox {
public:
    bool Choose(HWND owner, COLORREF* color) override
    {
        owners.push_back(owner);
        starts.push_back(*color);
        if (!answer)
            return false;
        *color = chosen;
        return true;
    }
    bool answer = true;
    COLORREF chosen = RGB(1, 2, 3);
    std::vector<HWND> owners;
    std::vector<COLORREF> starts;
};

class BackgroundPage : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        services.colorBox = &colors;
        WriteClock(kPlainClock, L"Office");
        Set(Clock(kPlainClock), L"profile1", L"1, 09:00-17:00, 00FF00, 80, 1, Work");
        WriteClock(kCountdownClock, L"Launch", 0, L"-1");
        Set(Clock(kCountdownClock), L"duration", L"3600");
        Set(Clock(kCountdownClock), L"profile1", L"1, 00060 00120, 0000FF, 40, Last minutes");
        WriteClock(kTimerClock, L"Run", 0, L"1");
        Set(Clock(kTimerClock), L"profile1", L"1, 00010 00020, 0000FF, 40, Warm up");
        WriteClock(kDatedClock, L"New year", 0, L"-1");
        Set(Clock(kDatedClock), L"duration", L"0");
        Set(Clock(kDatedClock), L"term", L"2026.12.31 23:59:00");
        Set(Clock(kDatedClock), L"profile1", L"1, 2026.12.31 20:00:00-2026.12.31 23:00:00, FF0000, 10, Evening");
        Open();
    }

    // Selects the first background of clock `number` and gives its page.
    HWND ShowBackground(int number)
    {
        CClockNode* clock = tree.FindClockById((uint32_t)number);
        EXPECT_NE(nullptr, clock);
        if (!clock)
            return nullptr;
        CTreeNode* list = clock->Child(kNodeBackgrounds);
        EXPECT_TRUE(list && !list->Children().empty());
        if (!list || list->Children().empty())
            return nullptr;
        Select(list->Children()[0]);
        EXPECT_EQ(list->Children()[0], Selected());
        EXPECT_EQ(BackgroundPageKind(clock->Record().kind), list->Children()[0]->GetPageKind())
            << "kind " << clock->Record().kind;
        page = VisiblePage();
        return page;
    }
    HWND Item(int id) const { return GetDlgItem(page, id); }
    std::wstring Text(int id) const
    {
        WCHAR text[256] = {};
        GetDlgItemTextW(page, id, text, 256);
        return text;
    }
    // What a user's typing sends.
    void Type(int id, const wchar_t* text)
    {
        SetDlgItemTextW(page, id, text);
        WCHAR name[16] = {};
        GetClassNameW(Item(id), name, 16);
        if (lstrcmpiW(name, WC_COMBOBOXW) == 0)
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), (LPARAM)Item(id));
        Pump();
    }
    void ClickItem(int id)
    {
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    void Slide(int position)
    {
        SendMessageW(Item(kIdcBkgOpacity), TBM_SETPOS, TRUE, position);
        SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), (LPARAM)Item(kIdcBkgOpacity));
        Pump();
    }
    // The clock's first profile as the main program reads it from the file.
    ClockProfileRecord Stored(int number)
    {
        ClockRecord clock = {};
        EXPECT_TRUE(ReadClock(context, paths.userPrefix, number, &clock));
        EXPECT_GE(clock.profileCount, 1u);
        return clock.profiles[0];
    }
    // The refusal: the dialog's beep and the focus on `id`.
    void ExpectRefused(int id)
    {
        ASSERT_FALSE(beep.beeps.empty()) << "no beep";
        EXPECT_EQ(1760u, beep.beeps.back().first);
        EXPECT_EQ(125u, beep.beeps.back().second);
        HWND focus = GetFocus();
        EXPECT_TRUE(focus == Item(id) || GetParent(focus) == Item(id)) << "focus not on " << id;
    }

    CFakeColorBox colors;
    HWND page = nullptr;
};

TEST_F(BackgroundPage, OpacitySliderStoresTwiceItsPositionAndOpaqueAtTheEnd)
{
    ASSERT_EQ(kPages[kPageBackground].templateId, (UINT)GetDlgCtrlID(ShowBackground(kPlainClock)));
    EXPECT_EQ(64, SendMessageW(Item(kIdcBkgOpacity), TBM_GETPOS, 0, 0)) << "alpha 0x80 shown as half of it";
    // the same alpha again is no change
    Slide(64);
    EXPECT_FALSE(Enabled(kIdcApply));
    struct Case {
        int position;
        uint8_t alpha;
    };
    const Case cases[] = {{127, 255}, {64, 128}, {0, 0}, {126, 252}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        Slide(c.position);
        EXPECT_TRUE(Enabled(kIdcApply));
        Click(kIdcApply);
        EXPECT_EQ(c.alpha, Stored(kPlainClock).weight);
    }
}

TEST_F(BackgroundPage, TimeBoxesListTheDayAndMidnightAgainAndTakeWholeMinutes)
{
    ShowBackground(kPlainClock);
    // in the language's own form of a time
    TimeLocale locale = {};
    RefreshTimeLocale(&locale, language.GetLcid());
    auto shown = [&](uint32_t minutes) {
        WCHAR text[32];
        FormatTimeOfDay(locale, text, 32, minutes * 60, false);
        return std::wstring(text);
    };
    EXPECT_EQ(shown(9 * 60), Text(kIdcBkgStartTime));
    EXPECT_EQ(shown(17 * 60), Text(kIdcBkgEndTime));
    HWND end = Item(kIdcBkgEndTime);
    ASSERT_EQ(49, SendMessageW(end, CB_GETCOUNT, 0, 0));
    WCHAR first[32] = {}, last[32] = {};
    SendMessageW(end, CB_GETLBTEXT, 0, (LPARAM)first);
    SendMessageW(end, CB_GETLBTEXT, 48, (LPARAM)last);
    EXPECT_EQ(shown(0), first);
    EXPECT_EQ(shown(0), last);
    EXPECT_EQ(0, SendMessageW(end, CB_GETITEMDATA, 48, 0));

    // the extra last entry: a window to midnight
    SendMessageW(end, CB_SETCURSEL, 48, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcBkgEndTime, CBN_SELCHANGE), (LPARAM)end);
    Pump();
    Type(kIdcBkgStartTime, L"7:45");
    Click(kIdcApply);
    ClockProfileRecord stored = Stored(kPlainClock);
    EXPECT_EQ(465u, stored.startMinute);
    EXPECT_EQ(0u, stored.endMinute);

    struct Case {
        int box;
        const wchar_t* text;
    };
    const Case refused[] = {
        {kIdcBkgStartTime, L"25:00"},
        {kIdcBkgStartTime, L"later"},
        {kIdcBkgEndTime, L"10:30:15"},  // not a whole minute
        {kIdcBkgEndTime, L""},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        beep.beeps.clear();
        Type(c.box, c.text);
        Click(kIdcApply);
        ExpectRefused(c.box);
        ClockProfileRecord kept = Stored(kPlainClock);
        EXPECT_EQ(465u, kept.startMinute);
        EXPECT_EQ(0u, kept.endMinute);
        Type(c.box, shown(c.box == kIdcBkgStartTime ? 465 : 0).c_str());
    }

    // leaving a box with unreadable text empties it
    Type(kIdcBkgStartTime, L"soon");
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcBkgStartTime, CBN_KILLFOCUS), (LPARAM)Item(kIdcBkgStartTime));
    EXPECT_EQ(L"", Text(kIdcBkgStartTime));
}

TEST_F(BackgroundPage, TheLastCheckedWeekdayStays)
{
    ShowBackground(kPlainClock);
    ASSERT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kIdcBkgWeekdays[1]));
    ClickItem(kIdcBkgWeekdays[1]);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kIdcBkgWeekdays[1]));
    EXPECT_FALSE(Enabled(kIdcApply)) << "nothing changed";

    ClickItem(kIdcBkgWeekdays[6]);
    ClickItem(kIdcBkgWeekdays[1]);
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, kIdcBkgWeekdays[1]));
    ClickItem(kIdcBkgWeekdays[6]);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kIdcBkgWeekdays[6])) << "Saturday is the last one now";
    Click(kIdcApply);
    EXPECT_EQ(1u << 6, Stored(kPlainClock).weekdays);
}

TEST_F(BackgroundPage, OffsetsAreReadAsDurationsAndRefusedWhenUnreadable)
{
    for (int number : {kCountdownClock, kTimerClock}) {
        SCOPED_TRACE(number);
        bool countdown = number == kCountdownClock;
        ShowBackground(number);
        UINT expected = kPages[countdown ? kPageCountdownBackground : kPageTimerBackground].templateId;
        ASSERT_EQ(expected, (UINT)GetDlgCtrlID(page));
        const wchar_t* shown[4] = {L"0", L"0", countdown ? L"1" : L"0", countdown ? L"0" : L"10"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(shown[i], Text(kIdcBkgStartOffset[i])) << i;

        struct Case {
            const wchar_t* start[4];
            const wchar_t* end[4];
            int refused;  // 0: taken
        };
        const Case cases[] = {
            {{L"0", L"1", L"30", L"5"}, {L"999", L"25", L"0", L"0"}, 0},
            {{L"1000", L"0", L"0", L"0"}, {L"999", L"25", L"0", L"0"}, kIdcBkgStartOffset[0]},
            {{L"0", L"x", L"0", L"0"}, {L"999", L"25", L"0", L"0"}, kIdcBkgStartOffset[1]},
            {{L"0", L"1", L"30", L"5"}, {L"0", L"0", L"", L"0"}, kIdcBkgEndOffset[2]},
            // past what a timer's 32 bits hold
            {{L"0", L"1", L"30", L"5"}, {L"999", L"999999", L"0", L"0"}, kIdcBkgEndOffset[1]},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.refused);
            beep.beeps.clear();
            for (int i = 0; i < 4; ++i) {
                Type(kIdcBkgStartOffset[i], c.start[i]);
                Type(kIdcBkgEndOffset[i], c.end[i]);
            }
            Click(kIdcApply);
            ClockProfileRecord stored = Stored(number);
            // the first case's values stay through the refusals
            EXPECT_EQ((uint64_t)(3600 + 30 * 60 + 5) * kTicksPerSecond, stored.rangeStartUtc);
            EXPECT_EQ((uint64_t)(999 * 86400 + 25 * 3600) * kTicksPerSecond, stored.rangeEndUtc);
            if (c.refused)
                ExpectRefused(c.refused);
            else
                EXPECT_TRUE(beep.beeps.empty());
        }
        // readable again, so that the page may be left
        for (int i = 0; i < 4; ++i) {
            Type(kIdcBkgStartOffset[i], cases[0].start[i]);
            Type(kIdcBkgEndOffset[i], cases[0].end[i]);
        }
    }
}

TEST_F(BackgroundPage, DatedTimerTakesItsMomentsInTheClocksZone)
{
    ASSERT_EQ(kPages[kPageDatedBackground].templateId, (UINT)GetDlgCtrlID(ShowBackground(kDatedClock)));
    SYSTEMTIME from = {};
    SendMessageW(Item(kIdcBkgFromTime), DTM_GETSYSTEMTIME, 0, (LPARAM)&from);
    EXPECT_EQ(20, from.wHour);
    SYSTEMTIME to = MakeTime(2027, 1, 1, 1, 30, 0);
    for (int id : {kIdcBkgToDate, kIdcBkgToTime}) {
        SendMessageW(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&to);
        NMDATETIMECHANGE change = {};
        change.nmhdr.hwndFrom = Item(id);
        change.nmhdr.idFrom = id;
        change.nmhdr.code = DTN_DATETIMECHANGE;
        change.st = to;
        SendMessageW(page, WM_NOTIFY, id, (LPARAM)&change);
    }
    Pump();
    EXPECT_TRUE(Enabled(kIdcApply));
    Click(kIdcApply);
    EXPECT_EQ(0u, Get(Clock(kDatedClock), L"profile1").find(L"1, 2026.12.31 20:00:00-2027.01.01 01:30:00, FF0000"))
        << testing::PrintToString(Get(Clock(kDatedClock), L"profile1"));
    ClockProfileRecord stored = Stored(kDatedClock);
    // the moments converted by the clock's zone: five and a half hours apart
    EXPECT_EQ((uint64_t)(5 * 3600 + 1800) * kTicksPerSecond, stored.rangeEndUtc - stored.rangeStartUtc);
}

TEST_F(BackgroundPage, LabelIsShownAboveAndNamesTheNode)
{
    ShowBackground(kPlainClock);
    EXPECT_EQ(L"Work", Text(kIdcBkgLabelShown));
    CTreeNode* node = Selected();
    Type(kIdcBkgLabel, L"Core hours");
    EXPECT_EQ(L"Core hours", Text(kIdcBkgLabelShown));
    WCHAR item[64] = {};
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = node->Item();
    tv.pszText = item;
    tv.cchTextMax = 64;
    TreeView_GetItem(treeView, &tv);
    EXPECT_STREQ(L"Core hours", item);
    Click(kIdcApply);
    EXPECT_NE(std::wstring::npos, Get(Clock(kPlainClock), L"profile1").find(L", Core hours"));
}

TEST_F(BackgroundPage, ColourBoxStartsFromTheProfileAndItsChoiceIsKept)
{
    ShowBackground(kPlainClock);
    colors.answer = false;
    ClickItem(kIdcBkgColor);
    EXPECT_FALSE(Enabled(kIdcApply)) << "cancelled";
    colors.answer = true;
    ClickItem(kIdcBkgColor);
    ASSERT_EQ(2u, colors.starts.size());
    EXPECT_EQ(RGB(0, 255, 0), colors.starts[1]);
    EXPECT_EQ(dialog, colors.owners[1]);
    EXPECT_TRUE(Enabled(kIdcApply));
    Click(kIdcApply);
    EXPECT_EQ((uint32_t)RGB(1, 2, 3), Stored(kPlainClock).color);
}

TEST_F(BackgroundPage, TextsFollowTheClockKind)
{
    // a translation that differs for the countdown's page
    std::wstring ini = languages.File(L"tempolan_en.ini");
    WritePrivateProfileStringW(L"DLG_PageBkg_Down", L"1351", L"Countdown window", ini.c_str());
    WritePrivateProfileStringW(L"DLG_PageBkg", L"1351", L"Daily window", ini.c_str());
    ShowBackground(kCountdownClock);
    SendMessageW(page, UM_RELOCALIZE, 0, 0);
    EXPECT_EQ(L"Countdown window", Text(1351));
    ShowBackground(kPlainClock);
    SendMessageW(page, UM_RELOCALIZE, 0, 0);
    EXPECT_EQ(L"Daily window", Text(1351));
}

TEST_F(BackgroundPage, Shots)
{
    std::wstring folder = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const struct {
        int clock;
        const wchar_t* name;
    } shots[] = {{kPlainClock, L"background-146.png"},
                 {kDatedClock, L"background-214-at.png"},
                 {kCountdownClock, L"background-215-down.png"},
                 {kTimerClock, L"background-216-up.png"}};
    for (const auto& shot : shots) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(shot.name)));
        ShowBackground(shot.clock);
        ClientPicture picture = GrabClientPicture(dialog);
        ASSERT_FALSE(picture.rgb.empty());
        EXPECT_TRUE(WritePngPixels(folder + shot.name, picture.width, picture.height, 3, picture.rgb.data()));
        // the preview's frame is filled with the button face
        RECT preview;
        GetWindowRect(Item(kIdcBkgPreview), &preview);
        MapWindowPoints(nullptr, dialog, (POINT*)&preview, 2);
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        uint32_t expected = (uint32_t)GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
        EXPECT_EQ(expected, picture.At((preview.left + preview.right) / 2, (preview.top + preview.bottom) / 2));
    }
}

TEST_F(BackgroundPage, LocaleChangeWritesTheTimesAgainInItsForm)
{
    ShowBackground(kPlainClock);
    std::wstring before = Text(kIdcBkgStartTime);
    language.SetLanguage(L"de");
    TimeLocale german = {};
    RefreshTimeLocale(&german, language.GetLcid());
    WCHAR nine[32], midnight[32];
    FormatTimeOfDay(german, nine, 32, 9 * 3600, false);
    FormatTimeOfDay(german, midnight, 32, 0, false);
    ASSERT_NE(before, nine) << "the two locales write times alike";

    SendMessageW(dialog, WM_WININICHANGE, 0, (LPARAM)L"intl");
    EXPECT_EQ(nine, Text(kIdcBkgStartTime));
    WCHAR last[32] = {};
    SendMessageW(Item(kIdcBkgEndTime), CB_GETLBTEXT, 48, (LPARAM)last);
    EXPECT_STREQ(midnight, last);
    EXPECT_FALSE(Enabled(kIdcApply)) << "no edit of the user's";
    language.SetLanguage(L"en");
}

}  // namespace
