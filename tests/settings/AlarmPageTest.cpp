// The alarm page and its sub-pages in the real settings dialog from the
// English library: driven as a user's edits drive them (the text and the
// notification the control sends), then Apply, then the main program's
// reader of the alarm sections.
#include <functional>
#include <string>
#include <vector>

#include "app/zones/ZoneHelpers.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/WebSites.h"
#include "settings/alarmpages/AlarmPageIds.h"
#include "settings/alarmtest/AlarmTest.h"
#include "settings/clockpages/ClockPageServices.h"
#include "settings/dialog/FileBox.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"

namespace {

const char* const kKindNames[6] = {"once", "daily", "weekly", "monthly", "yearly", "cron"};

// Refuses a start that holds "://" as the system's box refuses a name it
// cannot take; else gives `chosen`, or nothing when that is empty.
class CFakeFileBox : public IFileOpenBox {
public:
    bool OpenFile(OPENFILENAMEW* box, DWORD* error) override
    {
        filters.push_back(box->lpstrFilter);
        starts.push_back(box->lpstrFile);
        flags.push_back(box->Flags);
        if (wcsstr(box->lpstrFile, L"://")) {
            *error = FNERR_INVALIDFILENAME;
            return false;
        }
        *error = 0;
        if (chosen.empty())
            return false;
        lstrcpynW(box->lpstrFile, chosen.c_str(), (int)box->nMaxFile);
        return true;
    }
    std::wstring chosen;
    std::vector<std::wstring> filters;  // the first name of each
    std::vector<std::wstring> starts;
    std::vector<DWORD> flags;
};

class AlarmPage : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        pageServices.fileBox = &files;
        services.clockPages = &pageServices;
    }

    using Keys = std::vector<std::pair<const wchar_t*, const wchar_t*>>;
    // Clock 1 with one alarm section of `keys`, the dialog opened on that
    // alarm; `mode` is the clock's timer mode, `clockKeys` more of its keys.
    void OpenAlarm(Keys keys, const wchar_t* mode = L"0", Keys clockKeys = {})
    {
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        tree.ClearTree();
        DeleteFileW(paths.userIni);
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
        WriteClock(1, L"Paris", 0, mode);
        for (auto& key : clockKeys)
            Set(Clock(1), key.first, key.second);
        std::wstring section = Clock(1) + L":alarm1";
        Set(section, L"enabled", L"1");
        Set(section, L"comment", L"Wake up");
        for (auto& key : keys)
            Set(section, key.first, key.second);
        if (beforeOpen)
            beforeOpen();
        Open();
        CTreeNode* list = tree.Clock(0)->Child(kNodeAlarms);
        ASSERT_TRUE(list);
        ASSERT_FALSE(list->Children().empty()) << "the alarm section does not read";
        alarmNode = list->Children()[0];
        TreeView_Expand(treeView, list->Item(), TVE_EXPAND);
        Select(alarmNode);
        page = VisiblePage();
        ASSERT_TRUE(page);
        beep.beeps.clear();
    }
    void OpenOnce() { OpenAlarm({{L"type", L"0"}, {L"once", L"2026.05.01 08:00:00"}, {L"text", L"Alarm"}}); }

    HWND Sub(int kind) const { return GetDlgItem(page, kSchedulePageTemplates[kind]); }
    HWND In(HWND parent, int id) const { return GetDlgItem(parent, id); }

    // What a user's typing does: the text, then the control's notice.
    void Type(HWND parent, int id, const wchar_t* text)
    {
        HWND control = In(parent, id);
        ASSERT_TRUE(control) << id;
        SetWindowTextW(control, text);
        WCHAR name[32] = {};
        GetClassNameW(control, name, 32);
        WORD code = lstrcmpiW(name, WC_COMBOBOXW) == 0 ? CBN_EDITCHANGE : EN_CHANGE;
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)control);
        Pump();
    }
    void Choose(HWND parent, int id, int index)
    {
        HWND list = In(parent, id);
        ASSERT_TRUE(list) << id;
        SendMessageW(list, CB_SETCURSEL, index, 0);
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)list);
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), (LPARAM)list);
        Pump();
    }
    void Press(HWND parent, int id)
    {
        HWND button = In(parent, id);
        ASSERT_TRUE(button) << id;
        SendMessageW(button, BM_CLICK, 0, 0);
        Pump();
    }
    void PickDate(HWND parent, int id, SYSTEMTIME date)
    {
        HWND picker = In(parent, id);
        ASSERT_TRUE(picker) << id;
        ASSERT_TRUE(DateTime_SetSystemtime(picker, GDT_VALID, &date));
        NMDATETIMECHANGE change = {};
        change.nmhdr = {picker, (UINT_PTR)id, DTN_DATETIMECHANGE};
        change.dwFlags = GDT_VALID;
        change.st = date;
        SendMessageW(parent, WM_NOTIFY, id, (LPARAM)&change);
        Pump();
    }
    std::wstring Text(HWND parent, int id) const
    {
        WCHAR text[512] = {};
        GetDlgItemTextW(parent, id, text, 512);
        return text;
    }
    // A time of day as the language's locale writes it, and the seconds a
    // sub-page's time box shows.
    std::wstring TimeText(uint32_t seconds) const
    {
        TimeLocale locale = {};
        RefreshTimeLocale(&locale, language.GetLcid());
        WCHAR text[64];
        FormatTimeOfDay(locale, text, 64, seconds, false);
        return text;
    }
    int ShownSeconds(HWND sub) const
    {
        TimeLocale locale = {};
        RefreshTimeLocale(&locale, language.GetLcid());
        return ParseTimeOfDay(locale, Text(sub, kIdcScheduleTime).c_str());
    }
    bool Checked(HWND parent, int id) const { return IsDlgButtonChecked(parent, id) == BST_CHECKED; }
    int Selection(HWND parent, int id) const { return (int)SendDlgItemMessageW(parent, id, CB_GETCURSEL, 0, 0); }

    // Apply; true when the dialog took it without a beep.
    bool Apply()
    {
        beep.beeps.clear();
        Click(kIdcApply);
        return beep.beeps.empty();
    }
    // The refusal of the last Apply: one beep of the invalid value, the
    // focus on `control`.
    void ExpectRefused(HWND control)
    {
        EXPECT_EQ((std::vector<std::pair<DWORD, DWORD>>{{1760, 125}}), beep.beeps);
        // a box with an edit field gives the focus to that field
        HWND focus = GetFocus();
        EXPECT_TRUE(focus && (focus == control || GetParent(focus) == control)) << focus << " " << control;
        EXPECT_TRUE(IsWindow(control));
    }
    // Alarm 1 of clock 1 as the main program reads it from the file.
    AlarmRecord ReadBack()
    {
        AlarmRecord alarm = {};
        std::wstring section = L"user" + Clock(1);
        EXPECT_TRUE(ReadAlarmSection(context, section.c_str(), tree.Clock(0)->Record(), 1, &alarm));
        return alarm;
    }
    const AlarmRecord& NodeAlarm() const { return static_cast<CAlarmNode*>(alarmNode)->Alarm(); }

    void Shot(HWND window, const std::wstring& name)
    {
        std::wstring folder = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        ClientPicture picture = GrabClientPicture(window);
        ASSERT_EQ((size_t)picture.width * picture.height * 3, picture.rgb.size());
        EXPECT_TRUE(WritePngPixels(folder + name + L".png", picture.width, picture.height, 3, picture.rgb.data()));
    }

    CFakeFileBox files;
    ClockPageServices pageServices = {};
    std::function<void()> beforeOpen;  // more of the file, written last
    CTreeNode* alarmNode = nullptr;
    HWND page = nullptr;
};

// The schedule's and the reminder's edge cases: what Apply
// writes, or which control it names with a beep.
TEST_F(AlarmPage, EdgeCasesReachTheFileOrAreRefused)
{
    struct Case {
        const char* name;
        std::function<void()> edit;
        std::function<HWND()> invalid;  // null: Apply takes it
        std::function<void(const AlarmRecord&)> check;  // the file's alarm, or the node's after a refusal
    };
    const SYSTEMTIME july19 = MakeTime(2026, 7, 19);
    Case cases[] = {
        {"daily 0 is Monday to Friday",
         [&] {
             Press(page, kIdcKindOnce + kAlarmDaily);
             Press(Sub(kAlarmDaily), kIdcDailyEvery);
             Type(Sub(kAlarmDaily), kIdcDailyDays, L"0");
         },
         nullptr,
         [](const AlarmRecord& a) {
             EXPECT_EQ(kAlarmDaily, a.kind);
             EXPECT_EQ(0, a.dailyInterval);
         }},
        {"daily without a number",
         [&] {
             Press(page, kIdcKindOnce + kAlarmDaily);
             Press(Sub(kAlarmDaily), kIdcDailyEvery);
             Type(Sub(kAlarmDaily), kIdcDailyDays, L"");
         },
         [&] { return In(Sub(kAlarmDaily), kIdcDailyDays); }, nullptr},
        {"weekly 54",
         [&] {
             Press(page, kIdcKindOnce + kAlarmWeekly);
             Type(Sub(kAlarmWeekly), kIdcWeeklyInterval, L"54");
         },
         [&] { return In(Sub(kAlarmWeekly), kIdcWeeklyInterval); }, nullptr},
        {"weekly empty",
         [&] {
             Press(page, kIdcKindOnce + kAlarmWeekly);
             Type(Sub(kAlarmWeekly), kIdcWeeklyInterval, L"");
         },
         [&] { return In(Sub(kAlarmWeekly), kIdcWeeklyInterval); }, nullptr},
        {"weekly 53 on Monday and Friday",
         [&] {
             Press(page, kIdcKindOnce + kAlarmWeekly);
             for (int i = 0; i < 7; ++i) {
                 if (Checked(Sub(kAlarmWeekly), kWeekdayBoxes[i]) != (i == 1 || i == 5))
                     Press(Sub(kAlarmWeekly), kWeekdayBoxes[i]);
             }
             Type(Sub(kAlarmWeekly), kIdcWeeklyInterval, L"53");
         },
         nullptr,
         [](const AlarmRecord& a) {
             EXPECT_EQ(kAlarmWeekly, a.kind);
             EXPECT_EQ(53, a.weeklyInterval);
             EXPECT_EQ(0x22u, a.weeklyMask);
         }},
        {"yearly 31 April is cut to 30 and named",
         [&] {
             Press(page, kIdcKindOnce + kAlarmYearly);
             Press(Sub(kAlarmYearly), kIdcYearlyFixed);
             Type(Sub(kAlarmYearly), kIdcYearlyDay, L"31");
             Choose(Sub(kAlarmYearly), kIdcYearlyFixedMonth, 3);
         },
         [&] { return In(Sub(kAlarmYearly), kIdcYearlyDay); },
         [](const AlarmRecord& a) {
             EXPECT_EQ(30u, a.yearlyDay);
             EXPECT_EQ(4u, a.yearlyMonth);
         }},
        {"yearly 29 February stays",
         [&] {
             Press(page, kIdcKindOnce + kAlarmYearly);
             Press(Sub(kAlarmYearly), kIdcYearlyFixed);
             Type(Sub(kAlarmYearly), kIdcYearlyDay, L"29");
             Choose(Sub(kAlarmYearly), kIdcYearlyFixedMonth, 1);
         },
         nullptr,
         [](const AlarmRecord& a) {
             EXPECT_EQ(kAlarmYearly, a.kind);
             EXPECT_EQ(0, a.yearlyNthForm);
             EXPECT_EQ(29u, a.yearlyDay);
             EXPECT_EQ(2u, a.yearlyMonth);
         }},
        {"cron days -31",
         [&] {
             Press(page, kIdcKindOnce + kAlarmCron);
             Type(Sub(kAlarmCron), kIdcCronMinutes + 2, L"-31");
         },
         [&] { return In(Sub(kAlarmCron), kIdcCronMinutes + 2); }, nullptr},
        {"cron days -30",
         [&] {
             Press(page, kIdcKindOnce + kAlarmCron);
             Type(Sub(kAlarmCron), kIdcCronMinutes + 2, L"-30");
         },
         nullptr, [](const AlarmRecord& a) { EXPECT_EQ(-30, a.cronDays); }},
        {"cron days 1,15 and weekdays 2-6",
         [&] {
             Press(page, kIdcKindOnce + kAlarmCron);
             Type(Sub(kAlarmCron), kIdcCronMinutes, L"30");
             Type(Sub(kAlarmCron), kIdcCronMinutes + 2, L"1,15");
             Type(Sub(kAlarmCron), kIdcCronMinutes + 4, L"2-6");
         },
         nullptr,
         [](const AlarmRecord& a) {
             EXPECT_EQ(kAlarmCron, a.kind);
             EXPECT_EQ(1ull << 30, a.cronMinutes);
             EXPECT_EQ((1 << 0) | (1 << 14), a.cronDays);
             EXPECT_EQ(0x3Eu, a.cronWeekdays);
         }},
        {"cron hours past 23",
         [&] {
             Press(page, kIdcKindOnce + kAlarmCron);
             Type(Sub(kAlarmCron), kIdcCronMinutes + 1, L"8,24");
         },
         [&] { return In(Sub(kAlarmCron), kIdcCronMinutes + 1); }, nullptr},
        {"cron minutes not read to the end",
         [&] {
             Press(page, kIdcKindOnce + kAlarmCron);
             Type(Sub(kAlarmCron), kIdcCronMinutes, L"5;6");
         },
         [&] { return In(Sub(kAlarmCron), kIdcCronMinutes); }, nullptr},
        {"once to monthly carries day, month, year and time",
         [&] {
             PickDate(Sub(kAlarmOnce), kIdcScheduleDate, july19);
             Type(Sub(kAlarmOnce), kIdcScheduleTime, TimeText(9 * 3600 + 45 * 60).c_str());
             Press(page, kIdcKindOnce + kAlarmMonthly);
             EXPECT_EQ(L"19", Text(Sub(kAlarmMonthly), kIdcMonthlyDay));
             EXPECT_EQ(6, Selection(Sub(kAlarmMonthly), kIdcMonthlyFirstMonth));
             EXPECT_EQ(9 * 3600 + 45 * 60, ShownSeconds(Sub(kAlarmMonthly)));
         },
         nullptr,
         [](const AlarmRecord& a) {
             EXPECT_EQ(kAlarmMonthly, a.kind);
             EXPECT_EQ(0, a.monthlyNthForm);
             EXPECT_EQ(19u, a.monthlyDay);
             EXPECT_EQ(7u, a.monthlyFirstMonth);
             EXPECT_EQ(2026u, a.monthlyFirstYear);
             EXPECT_EQ(9u * 3600 + 45 * 60, a.monthlyTime);
         }},
        {"monthly on the last Friday",
         [&] {
             Press(page, kIdcKindOnce + kAlarmMonthly);
             Press(Sub(kAlarmMonthly), kIdcMonthlyNth);
             Choose(Sub(kAlarmMonthly), kIdcMonthlyOrdinal, 4);
             Choose(Sub(kAlarmMonthly), kIdcMonthlyWeekday, 5);
             Type(Sub(kAlarmMonthly), kIdcMonthlyInterval, L"2");
         },
         nullptr,
         [](const AlarmRecord& a) {
             EXPECT_EQ(1, a.monthlyNthForm);
             EXPECT_EQ(5u, a.monthlyOrdinal);
             EXPECT_EQ(5u, a.monthlyWeekday);
             EXPECT_EQ(2, a.monthlyInterval);
         }},
        {"monthly interval 13",
         [&] {
             Press(page, kIdcKindOnce + kAlarmMonthly);
             Type(Sub(kAlarmMonthly), kIdcMonthlyInterval, L"13");
         },
         [&] { return In(Sub(kAlarmMonthly), kIdcMonthlyInterval); }, nullptr},
        {"a time that does not read",
         [&] { Type(Sub(kAlarmOnce), kIdcScheduleTime, L"9:5"); },
         [&] { return In(Sub(kAlarmOnce), kIdcScheduleTime); }, nullptr},
        {"the last failing control is named",
         [&] {
             Press(page, kIdcKindOnce + kAlarmMonthly);
             Type(Sub(kAlarmMonthly), kIdcScheduleTime, L"x");
             Type(Sub(kAlarmMonthly), kIdcMonthlyInterval, L"0");
         },
         [&] { return In(Sub(kAlarmMonthly), kIdcMonthlyInterval); }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenOnce();
        std::string before = ReadFileBytes(paths.userIni);
        c.edit();
        bool taken = Apply();
        if (c.invalid) {
            EXPECT_FALSE(taken);
            ExpectRefused(c.invalid());
            EXPECT_EQ(before, ReadFileBytes(paths.userIni));
            if (c.check)
                c.check(NodeAlarm());
        } else {
            EXPECT_TRUE(taken);
            if (c.check)
                c.check(ReadBack());
        }
    }
}

// Unchecking the reminder keeps its lead time, negated; checking it again
// shows the time and stores it as it was.
TEST_F(AlarmPage, ReminderOffAndOnAgain)
{
    OpenAlarm({{L"type", L"0"}, {L"once", L"2026.05.01 08:00:00"}, {L"reminder", L"15"}});
    EXPECT_TRUE(Checked(page, kIdcReminderOn));
    int at = Selection(page, kIdcReminderList);
    ASSERT_GE(at, 0);
    EXPECT_EQ(15, (int)SendDlgItemMessageW(page, kIdcReminderList, CB_GETITEMDATA, at, 0));
    EXPECT_EQ(L"15 min", Text(page, kIdcReminderList));

    Press(page, kIdcReminderOn);
    EXPECT_FALSE(IsWindowEnabled(In(page, kIdcReminderList)));
    ASSERT_TRUE(Apply());
    // the main program reads a lead time below 0 as none
    EXPECT_EQ(L"-15", Get(Clock(1) + L":alarm1", L"reminder"));
    EXPECT_EQ(0, ReadBack().reminderMinutes);

    Select(tree.Clock(0));
    Select(alarmNode);
    EXPECT_FALSE(Checked(page, kIdcReminderOn));
    EXPECT_EQ(L"15 min", Text(page, kIdcReminderList));
    Press(page, kIdcReminderOn);
    EXPECT_TRUE(IsWindowEnabled(In(page, kIdcReminderList)));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(15, ReadBack().reminderMinutes);
}

// A lead time the list lacks comes first under its own text; the texts
// join their parts with single blanks.
TEST_F(AlarmPage, LeadTimeOutsideTheList)
{
    OpenAlarm({{L"type", L"0"}, {L"once", L"2026.05.01 08:00:00"}, {L"reminder", L"2945"}});
    EXPECT_EQ(0, Selection(page, kIdcReminderList));
    EXPECT_EQ(L"2 d 1 h 5 min", Text(page, kIdcReminderList));
    EXPECT_EQ(13, (int)SendDlgItemMessageW(page, kIdcReminderList, CB_GETCOUNT, 0, 0));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(2945, ReadBack().reminderMinutes);

    // the next alarm shown has no use for it
    OpenAlarm({{L"type", L"0"}, {L"once", L"2026.05.01 08:00:00"}, {L"reminder", L"10080"}});
    EXPECT_EQ(12, (int)SendDlgItemMessageW(page, kIdcReminderList, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"7 d", Text(page, kIdcReminderList));
}

// The kind radio buttons show one sub-page on 1114's rectangle, the five
// others hidden; the new kind starts from the old one's values and from
// now where it has none; the switch is an edit.
TEST_F(AlarmPage, KindSwitchShowsOneSubPageOnThePane)
{
    OpenOnce();
    HWND bare = CreateDialogParamW(resources.Get(), MAKEINTRESOURCEW(kAlarmPageTemplate), page,
                                   [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; }, 0);
    ASSERT_TRUE(bare);
    RECT pane;
    GetWindowRect(GetDlgItem(bare, kIdcSchedulePane), &pane);
    MapWindowPoints(nullptr, bare, (POINT*)&pane, 2);
    DestroyWindow(bare);
    EXPECT_EQ(nullptr, GetDlgItem(page, kIdcSchedulePane));

    for (int kind : {kAlarmCron, kAlarmDaily, kAlarmYearly, kAlarmWeekly, kAlarmMonthly, kAlarmOnce}) {
        SCOPED_TRACE(kKindNames[kind]);
        EnableWindow(GetDlgItem(dialog, kIdcApply), FALSE);
        Press(page, kIdcKindOnce + kind);
        EXPECT_TRUE(Enabled(kIdcApply));
        EXPECT_EQ(kind, NodeAlarm().kind);
        for (int k = 0; k < 6; ++k) {
            ASSERT_TRUE(Sub(k));
            EXPECT_EQ(k == kind, IsWindowVisible(Sub(k)) != FALSE) << kKindNames[k];
        }
        RECT r;
        GetWindowRect(Sub(kind), &r);
        MapWindowPoints(nullptr, page, (POINT*)&r, 2);
        EXPECT_TRUE(EqualRect(&pane, &r));
        if (kind == kAlarmCron) {
            // a once alarm's cron starts at minute 0 of every hour
            EXPECT_EQ(L"0", Text(Sub(kind), kIdcCronMinutes));
            for (int i = 1; i < 5; ++i)
                EXPECT_EQ(L"*", Text(Sub(kind), kIdcCronMinutes + i));
        }
        // the pane's pixels are the sub-page's: its first edit field's white
        ClientPicture picture = GrabClientPicture(page);
        ASSERT_FALSE(picture.rgb.empty());
        HWND field = kind == kAlarmCron ? In(Sub(kind), kIdcCronMinutes) : In(Sub(kind), kIdcScheduleTime);
        RECT f;
        GetWindowRect(field, &f);
        MapWindowPoints(nullptr, page, (POINT*)&f, 2);
        COLORREF white = GetSysColor(COLOR_WINDOW);
        EXPECT_EQ((uint32_t)GetRValue(white) << 16 | GetGValue(white) << 8 | GetBValue(white),
                  picture.At(f.left + 4, (f.top + f.bottom) / 2))
            << "no edit field drawn in the pane";
        Shot(page, std::wstring(L"alarm-") + std::wstring(kKindNames[kind], kKindNames[kind] + strlen(kKindNames[kind])));
    }
    // a click on the kind shown is no edit
    EnableWindow(GetDlgItem(dialog, kIdcApply), FALSE);
    Press(page, kIdcKindOnce + kAlarmOnce);
    EXPECT_FALSE(Enabled(kIdcApply));
}

// The action's text follows the action chosen, and so does the browse
// button with its filter.
TEST_F(AlarmPage, ActionChangeRules)
{
    struct Case {
        const char* name;
        const wchar_t* storedAction;
        const wchar_t* text;
        int action;
        std::wstring expected;
    } cases[] = {
        {"a web page proposes ours", L"0", L"Alarm", kActionOpenAddress, kProductSite},
        {"a web page keeps an address", L"1", L"https://example.org/a", kActionOpenAddress, L"https://example.org/a"},
        {"our address goes again", L"4", kProductSite, kActionSound, L""},
        {"a message goes", L"0", L"Wake up", kActionSound, L""},
        {"a sound file stays", L"1", L"C:\\a.wav", kActionSoundLoop, L"C:\\a.wav"},
        {"shut-down has no text", L"1", L"C:\\a.wav", kActionShutdown, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenAlarm({{L"type", L"0"}, {L"once", L"2026.05.01 08:00:00"}, {L"action", c.storedAction}, {L"text", c.text}});
        EXPECT_EQ(c.text, Text(page, kIdcAlarmText));
        Choose(page, kIdcAlarmAction, c.action);
        EXPECT_EQ(c.expected, Text(page, kIdcAlarmText));
        EXPECT_TRUE(Enabled(kIdcApply));
        EXPECT_EQ(c.action != kActionShutdown, IsWindowEnabled(In(page, kIdcAlarmText)) != FALSE);
        ASSERT_TRUE(Apply());
        AlarmRecord a = ReadBack();
        EXPECT_EQ(c.action, a.action);
        EXPECT_EQ(c.expected, std::wstring(a.text));
    }
}

TEST_F(AlarmPage, BrowseFiltersByAction)
{
    struct Case {
        int action;
        const wchar_t* filter;  // its first name; null: the button is off
    } cases[] = {
        {kActionReminder, nullptr},   {kActionSound, L"Sounds"},         {kActionSoundLoop, L"Sounds"},
        {kActionOpenFile, L"Images"}, {kActionOpenAddress, nullptr},     {kActionCommandLine, L"Executable"},
        {kActionOpenDocument, L"Documents"}, {kActionShutdown, nullptr}, {kActionHibernate, nullptr},
    };
    OpenOnce();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        Choose(page, kIdcAlarmAction, c.action);
        EXPECT_EQ(c.filter != nullptr, IsWindowEnabled(In(page, kIdcAlarmBrowse)) != FALSE);
        if (!c.filter)
            continue;
        Type(page, kIdcAlarmText, L"C:\\start.txt");
        files.chosen = L"C:\\chosen.file";
        files.filters.clear();
        files.starts.clear();
        EnableWindow(GetDlgItem(dialog, kIdcApply), FALSE);
        Press(page, kIdcAlarmBrowse);
        ASSERT_EQ(1u, files.filters.size());
        EXPECT_EQ(c.filter, files.filters[0]);
        EXPECT_EQ(L"C:\\start.txt", files.starts[0]);
        EXPECT_EQ(L"C:\\chosen.file", Text(page, kIdcAlarmText));
        EXPECT_TRUE(Enabled(kIdcApply));
    }
    EXPECT_EQ((DWORD)(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY), files.flags.back());
    // nothing chosen: nothing changes
    Choose(page, kIdcAlarmAction, kActionSound);
    Type(page, kIdcAlarmText, L"C:\\kept.wav");
    files.chosen.clear();
    Press(page, kIdcAlarmBrowse);
    EXPECT_EQ(L"C:\\kept.wav", Text(page, kIdcAlarmText));
    // a start that is no file name: once more with none
    Type(page, kIdcAlarmText, L"https://example.org/");
    files.chosen = L"C:\\b.wav";
    files.starts.clear();
    Press(page, kIdcAlarmBrowse);
    EXPECT_EQ((std::vector<std::wstring>{L"https://example.org/", L""}), files.starts);
    EXPECT_EQ(L"C:\\b.wav", Text(page, kIdcAlarmText));
}

// The comment is the heading and the node's caption as it is typed.
TEST_F(AlarmPage, CommentIsTheCaption)
{
    OpenOnce();
    EXPECT_EQ(L"Wake up", Text(page, kIdcAlarmCaption));
    Type(page, kIdcAlarmComment, L"Dentist");
    EXPECT_EQ(L"Dentist", Text(page, kIdcAlarmCaption));
    WCHAR caption[64] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = alarmNode->Item();
    item.pszText = caption;
    item.cchTextMax = 64;
    ASSERT_TRUE(TreeView_GetItem(treeView, &item));
    EXPECT_STREQ(L"Dentist", caption);
    ASSERT_TRUE(Apply());
    EXPECT_STREQ(L"Dentist", ReadBack().comment);
}

// A countdown's alarm, its time before the end, and a stopwatch's, after
// the start: read with the duration reader; a field it cannot read is
// named and nothing reaches the file.
TEST_F(AlarmPage, CountdownOffsetEdgeCases)
{
    struct Case {
        const wchar_t* fields[4];
        int invalid;  // the field named, or -1
        int32_t seconds;
    } cases[] = {
        {{L"1000", L"0", L"0", L"0"}, 0, 0},
        {{L"999", L"25", L"0", L"0"}, -1, 999 * 86400 + 25 * 3600},
        {{L"0", L"1", L"x", L"0"}, 2, 0},
        {{L"0", L"0", L"0", L""}, 3, 0},
        {{L"0", L"0", L"0", L"2147483648"}, 3, 0},
        {{L"0", L"0", L"1", L"30"}, -1, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.fields[0]) + L"/" + c.fields[1] + L"/" + c.fields[2] +
                                            L"/" + c.fields[3]));
        for (bool countdown : {true, false}) {
            SCOPED_TRACE(countdown ? "countdown" : "stopwatch");
            if (countdown)
                OpenAlarm({{L"type", L"0"}, {L"timestamp", L"3000000000"}}, L"-1", {{L"duration", L"3600"}});
            else
                OpenAlarm({{L"type", L"0"}, {L"timestamp", L"3000000000"}}, L"1");
            ASSERT_EQ(GetDlgItem(dialog, countdown ? kCountdownAlarmTemplate : kTimerAlarmTemplate), page);
            EXPECT_EQ(L"0", Text(page, kIdcOffsetDays));
            EXPECT_EQ(L"5", Text(page, kIdcOffsetDays + 2));
            std::string before = ReadFileBytes(paths.userIni);
            for (int i = 0; i < 4; ++i)
                Type(page, kIdcOffsetDays + i, c.fields[i]);
            bool taken = Apply();
            if (c.invalid >= 0) {
                EXPECT_FALSE(taken);
                ExpectRefused(In(page, kIdcOffsetDays + c.invalid));
                EXPECT_EQ(before, ReadFileBytes(paths.userIni));
            } else {
                EXPECT_TRUE(taken);
                EXPECT_EQ(c.seconds, ReadBack().timerOffset);
            }
        }
    }
}

// A countdown to a date: the alarm's moment in the clock's zone, and its
// distance from the end.
TEST_F(AlarmPage, DatedCountdownMoment)
{
    OpenAlarm({{L"type", L"0"}, {L"time", L"2026.12.31 17:30:00"}}, L"-1", {{L"term", L"2026.12.31 18:00:00"}});
    ASSERT_EQ(GetDlgItem(dialog, kDatedAlarmTemplate), page);
    SYSTEMTIME shown = {};
    ASSERT_EQ(GDT_VALID, DateTime_GetSystemtime(In(page, kIdcAlarmTime), &shown));
    EXPECT_EQ(17, shown.wHour);
    EXPECT_EQ(30, shown.wMinute);
    PickDate(page, kIdcAlarmTime, MakeTime(2026, 12, 31, 17, 45, 0));
    EXPECT_TRUE(Enabled(kIdcApply));
    ASSERT_TRUE(Apply());
    AlarmRecord a = ReadBack();
    EXPECT_EQ(17, a.once.wHour);
    EXPECT_EQ(45, a.once.wMinute);
    EXPECT_EQ(31, a.once.wDay);
    EXPECT_EQ(15 * 60, a.timerOffset);
}

// Leaving a time box that does not read empties it; a cron days field
// that starts with something and a minus becomes "any".
TEST_F(AlarmPage, LeavingAFieldMendsIt)
{
    OpenOnce();
    HWND once = Sub(kAlarmOnce);
    Type(once, kIdcScheduleTime, L"half past");
    SendMessageW(once, WM_COMMAND, MAKEWPARAM(kIdcScheduleTime, CBN_KILLFOCUS), (LPARAM)In(once, kIdcScheduleTime));
    EXPECT_EQ(L"", Text(once, kIdcScheduleTime));
    Type(once, kIdcScheduleTime, TimeText(7 * 3600).c_str());
    SendMessageW(once, WM_COMMAND, MAKEWPARAM(kIdcScheduleTime, CBN_KILLFOCUS), (LPARAM)In(once, kIdcScheduleTime));
    EXPECT_EQ(7 * 3600, ShownSeconds(once));
    // the list: every half hour, as the locale writes it
    HWND box = In(once, kIdcScheduleTime);
    ASSERT_EQ(48, (int)SendMessageW(box, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, (int)SendMessageW(box, CB_GETITEMDATA, 0, 0));
    EXPECT_EQ(23 * 60 + 30, (int)SendMessageW(box, CB_GETITEMDATA, 47, 0));

    Press(page, kIdcKindOnce + kAlarmCron);
    HWND cron = Sub(kAlarmCron);
    for (const wchar_t* text : {L"x-5", L"1-5"}) {
        Type(cron, kIdcCronMinutes + 2, text);
        SendMessageW(cron, WM_COMMAND, MAKEWPARAM(kIdcCronMinutes + 2, EN_KILLFOCUS),
                     (LPARAM)In(cron, kIdcCronMinutes + 2));
    }
    EXPECT_EQ(L"1-5", Text(cron, kIdcCronMinutes + 2));
    Type(cron, kIdcCronMinutes + 2, L"x-5");
    SendMessageW(cron, WM_COMMAND, MAKEWPARAM(kIdcCronMinutes + 2, EN_KILLFOCUS), (LPARAM)In(cron, kIdcCronMinutes + 2));
    EXPECT_EQ(L"*", Text(cron, kIdcCronMinutes + 2));
}

// The form radios of the monthly page enable their own fields; a click is
// an edit only when it changes the stored form.
TEST_F(AlarmPage, FormRadios)
{
    OpenAlarm({{L"type", L"3"}, {L"monthly", L"08:00:00 0 15 1 0 1 1.2026"}});
    HWND monthly = Sub(kAlarmMonthly);
    ASSERT_TRUE(IsWindowVisible(monthly));
    EXPECT_TRUE(Checked(monthly, kIdcMonthlyFixed));
    EXPECT_EQ(L"15", Text(monthly, kIdcMonthlyDay));
    EXPECT_TRUE(IsWindowEnabled(In(monthly, kIdcMonthlyDay)));
    EXPECT_FALSE(IsWindowEnabled(In(monthly, kIdcMonthlyOrdinal)));
    EXPECT_FALSE(Enabled(kIdcApply));
    Press(monthly, kIdcMonthlyFixed);
    EXPECT_FALSE(Enabled(kIdcApply));
    Press(monthly, kIdcMonthlyNth);
    EXPECT_TRUE(Enabled(kIdcApply));
    EXPECT_FALSE(IsWindowEnabled(In(monthly, kIdcMonthlyDay)));
    EXPECT_TRUE(IsWindowEnabled(In(monthly, kIdcMonthlyOrdinal)));
    EXPECT_TRUE(IsWindowEnabled(In(monthly, kIdcMonthlyWeekday)));
    // a day the n-th weekday form does not use may be anything
    Type(monthly, kIdcMonthlyDay, L"40");
    ASSERT_TRUE(Apply());
    AlarmRecord a = ReadBack();
    EXPECT_EQ(1, a.monthlyNthForm);
    EXPECT_EQ(15u, a.monthlyDay);
}

// A first year the list does not hold leaves the list without a choice,
// and the store keeps the year: the previous alarm's choice must not
// stand in for it.
TEST_F(AlarmPage, FirstYearOutsideTheList)
{
    std::wstring second = Clock(1) + L":alarm2";
    beforeOpen = [&] {
        Set(second, L"type", L"3");
        Set(second, L"enabled", L"1");
        Set(second, L"comment", L"Old");
        Set(second, L"monthly", L"08:00:00 0 15 1 0 1 1.2020");
    };
    OpenAlarm({{L"type", L"3"}, {L"monthly", L"08:00:00 0 15 1 0 1 1.2028"}});
    HWND monthly = Sub(kAlarmMonthly);
    EXPECT_EQ(L"2028", Text(monthly, kIdcMonthlyFirstYear));
    CTreeNode* old = tree.Clock(0)->Child(kNodeAlarms)->Children().at(1);
    Select(old);
    EXPECT_EQ(-1, Selection(monthly, kIdcMonthlyFirstYear));
    Type(monthly, kIdcMonthlyInterval, L"3");
    ASSERT_TRUE(Apply());
    AlarmRecord a = {};
    ASSERT_TRUE(ReadAlarmSection(context, (L"user" + Clock(1)).c_str(), tree.Clock(0)->Record(), 2, &a));
    EXPECT_EQ(2020u, a.monthlyFirstYear);
    EXPECT_EQ(3, a.monthlyInterval);
}

// A change of the locale's settings reaches the sub-pages: their time
// boxes are filled again and show their times in the new form.
TEST_F(AlarmPage, LocaleChangeWritesTheTimesAgain)
{
    OpenAlarm({{L"type", L"0"}, {L"once", L"2026.05.01 14:30:00"}});
    HWND once = Sub(kAlarmOnce);
    EXPECT_EQ(TimeText(14 * 3600 + 30 * 60), Text(once, kIdcScheduleTime));
    language.SetLanguage(L"de");
    ASSERT_EQ(LANG_GERMAN, PRIMARYLANGID(LANGIDFROMLCID(language.GetLcid())));
    SendMessageW(dialog, WM_WININICHANGE, 0, (LPARAM)L"intl");
    Pump();
    std::wstring german = TimeText(14 * 3600 + 30 * 60);
    language.SetLanguage(L"en");
    EXPECT_EQ(L"14:30", german);
    EXPECT_EQ(german, Text(once, kIdcScheduleTime));
    WCHAR entry[32] = {};
    SendDlgItemMessageW(once, kIdcScheduleTime, CB_GETLBTEXT, 27, (LPARAM)entry);
    EXPECT_STREQ(L"13:30", entry);
    EXPECT_FALSE(Enabled(kIdcApply));
}

// A new language file's texts: the section of the clock's kind, the lists
// filled again with their selections kept.
TEST_F(AlarmPage, RelocalizedByTheClocksKind)
{
    OpenAlarm({{L"type", L"0"}, {L"timestamp", L"3000000000"}, {L"action", L"4"}}, L"-1", {{L"duration", L"3600"}});
    std::wstring ini = language.GetIniPath();
    WritePrivateProfileStringW(L"DLG_PageAlarm_Down", L"1402", L"Before zero", ini.c_str());
    WritePrivateProfileStringW(L"StringTable", L"186", L"Web page", ini.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, ini.c_str());
    SendMessageW(page, UM_RELOCALIZE, 0, 0);
    EXPECT_EQ(L"Before zero", Text(page, 1402));
    EXPECT_EQ(kActionOpenAddress, Selection(page, kIdcAlarmAction));
    EXPECT_EQ(L"Web page", Text(page, kIdcAlarmAction));
    EXPECT_FALSE(Enabled(kIdcApply));
}

// Test fires the alarm as the page shows it: a reminder of the clock is a
// log entry with the page's text, a sound plays the file typed; nothing
// is stored by it.
TEST_F(AlarmPage, TestFiresWhatThePageShows)
{
    OpenOnce();
    HWND log = RegisterLogWindow(services);
    ASSERT_TRUE(log);
    HWND list = FindWindowExW(log, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_TRUE(list);
    Type(page, kIdcAlarmText, L"at three");
    ASSERT_TRUE(Apply());
    Press(page, kIdcAlarmTest);
    ASSERT_EQ(1, (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    WCHAR text[64] = {};
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, 0, (LPARAM)&item);
    EXPECT_STREQ(L"at three", text);
    EXPECT_TRUE(alarmFakes.events.empty());
    EXPECT_FALSE(Enabled(kIdcApply));

    Choose(page, kIdcAlarmAction, kActionSound);
    Type(page, kIdcAlarmText, L"C:\\bell.wav");
    Press(page, kIdcAlarmTest);
    EXPECT_EQ((std::vector<std::wstring>{L"play C:\\bell.wav"}), alarmFakes.events);
    EXPECT_EQ(1, (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

// Every variant and sub-page as the dialog shows it.
TEST_F(AlarmPage, Shots)
{
    OpenOnce();
    Shot(dialog, L"alarm-page");
    OpenAlarm({{L"type", L"0"}, {L"timestamp", L"3000000000"}}, L"-1", {{L"duration", L"3600"}});
    ASSERT_EQ(GetDlgItem(dialog, kCountdownAlarmTemplate), page);
    Shot(page, L"alarm-countdown");
    OpenAlarm({{L"type", L"0"}, {L"time", L"2026.12.31 17:30:00"}}, L"-1", {{L"term", L"2026.12.31 18:00:00"}});
    ASSERT_EQ(GetDlgItem(dialog, kDatedAlarmTemplate), page);
    Shot(page, L"alarm-dated");
    OpenAlarm({{L"type", L"0"}, {L"timestamp", L"3000000000"}}, L"1");
    ASSERT_EQ(GetDlgItem(dialog, kTimerAlarmTemplate), page);
    Shot(page, L"alarm-timer");
}

}  // namespace
