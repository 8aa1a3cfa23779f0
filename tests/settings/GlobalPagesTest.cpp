// The general, profiles, time and calendar pages inside the real settings
// dialog from the English library: driven by messages, applied, and read
// back with the program's own readers.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "app/settings/SettingsIni.h"
#include "app/ui/Hyperlink.h"
#include "app/settings/SettingsExport.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "tests/support/HandlerWindow.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/protocol/TimeServiceProtocol.h"
#include "graphics/system/Restrictions.h"
#include "settings/dialog/SettingsBackup.h"
#include "settings/globalpages/GlobalPages.h"
#include "settings/globalpages/SyncStatusText.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"

namespace {

class CRecordingBoxes : public IGlobalPageBoxes {
public:
    void ShowError(HWND, const WCHAR* text, const WCHAR* caption) override
    {
        errors.push_back(std::wstring(caption) + L"|" + text);
    }
    bool ChooseProfile(HWND, WCHAR* path) override { return Choose(profile, path); }
    bool ChooseExportFile(HWND, WCHAR* path) override { return Choose(exportFile, path); }
    std::vector<std::wstring> errors;
    std::wstring profile, exportFile;  // empty: cancelled

private:
    static bool Choose(const std::wstring& choice, WCHAR* path)
    {
        if (choice.empty())
            return false;
        lstrcpynW(path, choice.c_str(), MAX_PATH);
        return true;
    }
};

std::wstring WindowText(HWND window)
{
    WCHAR text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// What the main program gets, with the blocks of WM_COPYDATA copied.
class CCopyDataLink : public CRecordingLink {
public:
    LRESULT SendToMainProgram(UINT message, WPARAM wParam, LPARAM lParam, bool send) override
    {
        if (message == WM_COPYDATA && lParam) {
            auto* block = (const COPYDATASTRUCT*)lParam;
            blocks.push_back({block->dwData, std::wstring((const WCHAR*)block->lpData, block->cbData / 2)});
            sizes.push_back(block->cbData);
            senders.push_back((HWND)wParam);
        }
        return CRecordingLink::SendToMainProgram(message, wParam, lParam, send);
    }
    std::vector<std::pair<ULONG_PTR, std::wstring>> blocks;
    std::vector<DWORD> sizes;
    std::vector<HWND> senders;
};

int ThreadsOfThisProcess()
{
    CKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {sizeof(entry)};
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    return count;
}

class GlobalPages : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        pageSeams = {&service, &boxes, nullptr};
        services.globalPages = &pageSeams;
    }
    void TearDown() override
    {
        DialogTest::TearDown();
        timeEvent.Reset();
    }
    // Opens the dialog on the page of top-level node `kind`.
    HWND OpenPage(NodeKind kind)
    {
        Open();
        return ShowPage(kind);
    }
    HWND ShowPage(NodeKind kind)
    {
        for (int i = 0; i < tree.TopCount(); ++i) {
            if (tree.Top(i)->Kind() == kind)
                Select(tree.Top(i));
        }
        HWND page = GetDlgItem(dialog, kPages[kind].templateId);
        EXPECT_EQ(page, VisiblePage());
        return page;
    }
    // What a user's choice in a list does: the selection, then its notice.
    void Choose(HWND page, int id, int index)
    {
        SendDlgItemMessageW(page, id, CB_SETCURSEL, index, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)GetDlgItem(page, id));
        Pump();
    }
    void Type(HWND page, int id, const std::wstring& text)
    {
        for (size_t n = 1; n <= text.size(); ++n) {
            SetDlgItemTextW(page, id, text.substr(0, n).c_str());
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), (LPARAM)GetDlgItem(page, id));
        }
        Pump();
    }
    int Selection(HWND page, int id) const { return (int)SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0); }
    int Count(HWND page, int id) const { return (int)SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0); }
    std::wstring Entry(HWND page, int id, int index) const
    {
        WCHAR text[1100] = {};
        SendDlgItemMessageW(page, id, CB_GETLBTEXT, index, (LPARAM)text);
        return text;
    }
    std::wstring Common(const wchar_t* key) const
    {
        std::wstring value;
        ReadProfileText(paths.userIni, L"common", key, kMissingKey, &value);
        return IsMissingKey(value.c_str()) ? L"<missing>" : value;
    }
    void SetCommon(const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(L"common", key, value, paths.userIni);
    }
    std::wstring String(UINT id) const
    {
        WCHAR text[512] = {};
        language.GetString(id, text, 512);
        return text;
    }
    // The main settings as the program reads them from the file now.
    std::unique_ptr<CMainSettings> ReadBack()
    {
        std::unique_ptr<CMainSettings> fresh(new CMainSettings(seams));
        fresh->LoadMainSettings();
        return fresh;
    }
    void CreateTimeEvent()
    {
        timeEvent.Reset(CreateEventW(nullptr, FALSE, FALSE, kTimeEventName));
        ASSERT_TRUE(timeEvent);
    }
    // Pumps until `done` or a second has passed.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 100; ++i) {
            if (done())
                return true;
            Pump();
        }
        return done();
    }
    ClientPicture Shot(HWND page, const wchar_t* name)
    {
        ClientPicture picture = GrabClientPicture(page);
        EXPECT_FALSE(picture.rgb.empty());
        std::wstring folder = std::wstring(TL_SHOTS_FOLDER) + L"settings";
        CreateDirectoryW(folder.c_str(), nullptr);
        if (!picture.rgb.empty()) {
            EXPECT_TRUE(WritePngPixels(folder + L"\\" + name, picture.width, picture.height, 3, picture.rgb.data()));
        }
        return picture;
    }

    CRecordingBoxes boxes;
    GlobalPageSeams pageSeams = {};
    CKernelHandle timeEvent;
};

// The calendar page shows the stored rules, a month count it does not offer
// shows no choice and survives a store, and Apply writes what was chosen.
TEST_F(GlobalPages, CalendarPageLoadsStoresAndApplies)
{
    struct Case {
        const wchar_t* numbering;
        const wchar_t* start;
        const wchar_t* months;
        int shownMonths;     // selection of 1317 at load
        int chooseStart;     // the user's first day
        int chooseMonths;    // -1: left alone
        uint32_t appliedMonths;
    } cases[] = {
        {L"0", L"1", L"6", -1, 3, -1, 6},
        {L"1", L"0", L"2", 1, 6, 3, 12},
        {L"1", L"6", L"12", 3, 0, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.months);
        Set(L":main", L"week_numeration", c.numbering);
        Set(L":main", L"week_start", c.start);
        Set(L":calendar", L"num_month", c.months);
        HWND page = OpenPage(kNodeCalendar);
        EXPECT_EQ(_wtoi(c.numbering), Selection(page, kIdcWeekNumbering));
        EXPECT_EQ(_wtoi(c.start), Selection(page, kIdcWeekStart));
        EXPECT_EQ(c.shownMonths, Selection(page, kIdcCalendarMonths));
        EXPECT_EQ(2, Count(page, kIdcWeekNumbering));
        EXPECT_EQ(4, Count(page, kIdcCalendarMonths));

        EXPECT_FALSE(Enabled(kIdcApply));
        Choose(page, kIdcWeekStart, c.chooseStart);
        EXPECT_TRUE(Enabled(kIdcApply)) << "the choice is reported";
        Choose(page, kIdcWeekNumbering, 1 - _wtoi(c.numbering));
        if (c.chooseMonths >= 0)
            Choose(page, kIdcCalendarMonths, c.chooseMonths);
        Click(kIdcApply);

        std::unique_ptr<CMainSettings> read = ReadBack();
        EXPECT_EQ((uint32_t)c.chooseStart, read->Block().weekStart);
        EXPECT_EQ((uint32_t)(1 - _wtoi(c.numbering)), read->Block().weekNumbering);
        EXPECT_EQ(c.appliedMonths, read->Block().calendarMonths);
        DestroyWindow(dialog);
    }
}

// The days follow the language's locale from Sunday; a new language
// refills both lists and keeps the choices.
TEST_F(GlobalPages, CalendarPageDayNamesStartOnSunday)
{
    Set(L":main", L"week_start", L"4");
    HWND page = OpenPage(kNodeCalendar);
    ASSERT_EQ(7, Count(page, kIdcWeekStart));
    WCHAR sunday[80] = {}, monday[80] = {};
    GetLocaleInfoW(language.GetLcid(), LOCALE_SDAYNAME7, sunday, 80);
    GetLocaleInfoW(language.GetLcid(), LOCALE_SDAYNAME1, monday, 80);
    EXPECT_EQ(sunday, Entry(page, kIdcWeekStart, 0));
    EXPECT_EQ(monday, Entry(page, kIdcWeekStart, 1));
    EXPECT_EQ(String(kStrWeekFourDays), Entry(page, kIdcWeekNumbering, 1));

    SendMessageW(page, UM_RELOCALIZE, 0, 0);
    EXPECT_EQ(7, Count(page, kIdcWeekStart));
    EXPECT_EQ(2, Count(page, kIdcWeekNumbering));
    EXPECT_EQ(4, Selection(page, kIdcWeekStart));
    EXPECT_FALSE(Enabled(kIdcApply)) << "a refill is no edit";
    Shot(page, L"page-calendar.png");
}

// A server typed key by key is one new numbered key, written at once and
// rewritten with each key; a stored kind the list does not offer survives.
TEST_F(GlobalPages, TimePageTypedServerIsOneKey)
{
    SetCommon(L"autosync", L"1");
    SetCommon(L"synctype", L"7");
    SetCommon(L"server", L"2");
    SetCommon(L"server1", L"a.example");
    SetCommon(L"server2", L"b.example");
    CreateTimeEvent();
    HWND page = OpenPage(kNodeTime);
    EXPECT_EQ(-1, Selection(page, kIdcSyncType));
    EXPECT_EQ(5, Count(page, kIdcSyncType));
    EXPECT_EQ(String(kStrSyncTypeFirst + 4), Entry(page, kIdcSyncType, 4));
    EXPECT_EQ(2, Count(page, kIdcTimeServer));
    EXPECT_EQ(1, Selection(page, kIdcTimeServer));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kIdcSyncType)));

    Type(page, kIdcTimeServer, L"time.example.org");
    EXPECT_TRUE(Enabled(kIdcApply));
    // written before any Apply, so that a Close keeps it
    EXPECT_EQ(L"time.example.org", Common(L"server3"));
    EXPECT_EQ(L"<missing>", Common(L"server4"));
    EXPECT_EQ(3, Count(page, kIdcTimeServer));
    EXPECT_EQ(L"time.example.org", WindowText(GetDlgItem(page, kIdcTimeServer)));
    // away and back before Apply: still chosen, and still the one being typed
    ShowPage(kNodeCalendar);
    ShowPage(kNodeTime);
    EXPECT_EQ(2, Selection(page, kIdcTimeServer));
    Type(page, kIdcTimeServer, L"time.example.org");
    EXPECT_EQ(L"<missing>", Common(L"server4"));
    Click(kIdcApply);
    EXPECT_EQ(L"3", Common(L"server"));
    EXPECT_EQ(L"7", Common(L"synctype"));
    EXPECT_EQ(L"time.example.org", Common(L"server3"));
    std::unique_ptr<CMainSettings> read = ReadBack();
    EXPECT_STREQ(L"time.example.org", read->Block().timeServer);
    EXPECT_EQ(7u, read->Block().syncType);

    // another choice ends the typing; the next typed server is the next key
    Choose(page, kIdcTimeServer, 0);
    Type(page, kIdcTimeServer, L"c.example");
    EXPECT_EQ(L"time.example.org", Common(L"server3"));
    EXPECT_EQ(L"c.example", Common(L"server4"));
    EXPECT_EQ(L"<missing>", Common(L"server5"));
    // an entry's text chooses that entry
    Type(page, kIdcTimeServer, L"a.example");
    Choose(page, kIdcSyncType, 2);
    CheckDlgButton(page, kIdcAutoSync, BST_UNCHECKED);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcAutoSync, BN_CLICKED), (LPARAM)GetDlgItem(page, kIdcAutoSync));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kIdcSyncType)));
    Click(kIdcApply);
    EXPECT_EQ(L"1", Common(L"server"));
    EXPECT_EQ(L"2", Common(L"synctype"));
    EXPECT_EQ(L"0", Common(L"autosync"));
    EXPECT_EQ(L"<missing>", Common(L"server5"));
}

// The status texts follow what the service wrote each time its event is set.
TEST_F(GlobalPages, TimePageStatusFollowsTheEvent)
{
    SYSTEMTIME at = {2026, 3, 2, 10, 12, 34, 56, 0};
    WCHAR date[128] = {}, time[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &at, nullptr, date, 128);
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &at, nullptr, time, 64);
    const std::wstring last = String(kStrLastSync) + L" ";
    const std::wstring never = last + String(kStrNeverSynced);
    const std::wstring when = last + date + L" " + String(kStrSyncTimeAt) + L" " + time;
    const std::wstring status = String(kStrSyncStatus) + L"<br>";
    struct Case {
        const wchar_t* result;  // null: no key
        const wchar_t* time;
        std::wstring status, last;
    } cases[] = {
        {L"135", L"2026031012345", status + String(135), never},
        {L"250", L"2026031012345x", status + String(250), never},
        {L"133", L"20260310123456", status + String(133), when},
        {L"-1", nullptr, status, never},
        {nullptr, L"", status, never},
        {L"0", L"20260310123456", status + String(136), when},
    };
    CreateTimeEvent();
    HWND page = OpenPage(kNodeTime);
    HWND statusText = GetDlgItem(page, kIdcSyncStatus);
    HWND lastText = GetDlgItem(page, kIdcLastSync);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result ? c.result : L"none");
        SetCommon(L"synclastresult", c.result);
        SetCommon(L"synclasttime", c.time);
        SetEvent(timeEvent.Get());
        EXPECT_TRUE(PumpUntil([&] { return WindowText(statusText) == c.status && WindowText(lastText) == c.last; }))
            << WindowText(statusText) << " / " << WindowText(lastText);
    }
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kIdcSyncNow)));
    EXPECT_EQ((LONG_PTR)HyperlinkProc, GetWindowLongPtrW(statusText, GWLP_WNDPROC));
    Shot(page, L"page-time.png");
}

// Without the service's event the page says so and the button is off; the
// watching thread is gone with the page.
TEST_F(GlobalPages, TimePageWithoutTheService)
{
    int threadsBefore = ThreadsOfThisProcess();
    HWND page = OpenPage(kNodeTime);
    HWND button = GetDlgItem(page, kIdcSyncNow);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowEnabled(button); }));
    EXPECT_EQ(String(kStrNoTimeService), WindowText(GetDlgItem(page, kIdcSyncStatus)));
    SendMessageW(page, UM_RELOCALIZE, 0, 0);
    EXPECT_EQ(String(kStrNoTimeService), WindowText(GetDlgItem(page, kIdcSyncStatus)));
    DestroyWindow(dialog);
    EXPECT_EQ(threadsBefore, ThreadsOfThisProcess());

    // with the event, the thread runs until the page goes and is then joined
    CreateTimeEvent();
    page = OpenPage(kNodeTime);
    Pump();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kIdcSyncNow)));
    EXPECT_EQ(threadsBefore + 1, ThreadsOfThisProcess());
    // told to stop and joined: gone at once, not after its next wait
    DestroyWindow(page);
    EXPECT_EQ(threadsBefore, ThreadsOfThisProcess());
}

// Synchronise now stores the page, writes the synchronisation keys (which
// asks the service to read them, 129) and then asks for a synchronisation
// (130); a refusal shows the service's message.
TEST_F(GlobalPages, TimePageSynchroniseNow)
{
    SetCommon(L"autosync", L"0");
    SetCommon(L"synctype", L"1");
    CreateTimeEvent();
    HWND page = OpenPage(kNodeTime);
    Choose(page, kIdcSyncType, 0);
    service.codes.clear();
    Click(kIdcSyncNow);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcSyncNow, BN_CLICKED), (LPARAM)GetDlgItem(page, kIdcSyncNow));
    Pump();
    EXPECT_EQ((std::vector<DWORD>{kServiceControlReadSettings, kServiceControlSyncNow}), service.codes);
    EXPECT_EQ(L"0", Common(L"synctype"));
    EXPECT_TRUE(boxes.errors.empty());

    service.succeed = false;
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcSyncNow, BN_CLICKED), (LPARAM)GetDlgItem(page, kIdcSyncNow));
    Pump();
    ASSERT_EQ(1u, boxes.errors.size());
    EXPECT_EQ(String(kStrSettingsCaption) + L"|" + String(kStrNoTimeService), boxes.errors[0]);
}

// The languages with a language file are listed after the system's; a new
// choice acts at once, keeps what the pages hold unsaved, and English comes
// back whole.
TEST_F(GlobalPages, GeneralPageLanguages)
{
    ASSERT_TRUE(languages.WriteBytes(L"tempolan_de.ini",
                                     "[StringTable]\r\n196=Systemsprache\r\n216=Allgemein\r\n206=Taeglich\r\n"
                                     "271=Die Woche des 1. Januar\r\n"
                                     "[DLG_PageDetail]\r\nCaption=Einstellungen\r\n"
                                     "[DLG_PageGeneral]\r\n1031=Mit Windows starten\r\n"
                                     "[DLG_PageTime]\r\n1032=Jetzt stellen\r\n"));
    // the frame's part: the dialog and each page
    std::vector<UINT> frameMessages;
    CHandlerWindow frame([&](UINT message, WPARAM, LPARAM) {
        frameMessages.push_back(message);
        if (message == UM_RELOCALIZE && IsWindow(dialog)) {
            SendMessageW(dialog, UM_RELOCALIZE, 0, 0);
            for (const PageInfo& info : kPages)
                SendMessageW(GetDlgItem(dialog, info.templateId), UM_RELOCALIZE, 0, 0);
        }
        return true;
    });
    services.frame = frame.Window();
    Set(L":main", L"language", L"zz");
    Set(L":main", L"week_start", L"0");

    HWND calendar = OpenPage(kNodeCalendar);
    Choose(calendar, kIdcWeekStart, 5);
    HWND page = ShowPage(kNodeGeneral);
    HWND list = GetDlgItem(page, kIdcLanguage);
    EXPECT_EQ(L"System language", Entry(page, kIdcLanguage, 0));
    EXPECT_EQ(0, Selection(page, kIdcLanguage)) << "a code without an entry";
    int german = (int)SendMessageW(list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)L"German");
    ASSERT_GT(german, 0);
    EXPECT_EQ((LPARAM)('d' | 'e' << 16), (LPARAM)SendMessageW(list, CB_GETITEMDATA, german, 0));
    EXPECT_GT(SendMessageW(list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)L"English"), 0);
    EXPECT_EQ(CB_ERR, SendMessageW(list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)L"French")) << "no language file";

    const std::wstring englishBox = WindowText(GetDlgItem(page, kIdcAutostart));
    Choose(page, kIdcLanguage, german);
    EXPECT_STREQ(L"de", language.GetCode());
    EXPECT_EQ(1, (int)std::count(frameMessages.begin(), frameMessages.end(), UM_RELOCALIZE));
    EXPECT_EQ(L"Einstellungen", WindowText(dialog));
    EXPECT_EQ(L"Mit Windows starten", WindowText(GetDlgItem(page, kIdcAutostart)));
    HWND timePage = GetDlgItem(dialog, 196);
    EXPECT_EQ(L"Jetzt stellen", WindowText(GetDlgItem(timePage, kIdcSyncNow)));
    EXPECT_EQ(L"Taeglich", Entry(timePage, kIdcSyncType, 0));
    EXPECT_EQ(5, Count(timePage, kIdcSyncType));
    EXPECT_EQ(L"Die Woche des 1. Januar", Entry(calendar, kIdcWeekNumbering, 0));
    EXPECT_EQ(5, Selection(calendar, kIdcWeekStart));
    EXPECT_EQ(L"Systemsprache", Entry(page, kIdcLanguage, 0));
    EXPECT_EQ(german, Selection(page, kIdcLanguage));
    EXPECT_TRUE(Enabled(kIdcApply));
    // not read again: the calendar's unsaved choice is still there
    EXPECT_EQ(5u, settings->Block().weekStart);
    Click(kIdcApply);
    EXPECT_EQ(L"de", Get(L":main", L"language"));
    EXPECT_EQ(L"5", Get(L":main", L"week_start"));

    Choose(page, kIdcLanguage, 0);
    EXPECT_EQ(L"System language", Entry(page, kIdcLanguage, 0));
    EXPECT_EQ(englishBox, WindowText(GetDlgItem(page, kIdcAutostart)));
    HWND bare = CreateDialogParamW(resources.Get(), MAKEINTRESOURCEW(137), dialog, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(bare);
    for (HWND child = GetWindow(bare, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id == kIdcLanguage)
            continue;
        SCOPED_TRACE(id);
        EXPECT_EQ(WindowText(child), WindowText(GetDlgItem(page, id)));
    }
    DestroyWindow(bare);
    Click(kIdcApply);
    EXPECT_EQ(L"", Get(L":main", L"language"));
    Shot(page, L"page-general.png");
    DestroyWindow(dialog);
}

// The check boxes, and the city photos switch left alone under the
// administrator's restriction.
TEST_F(GlobalPages, GeneralPageSwitches)
{
    for (bool restricted : {false, true}) {
        SCOPED_TRACE(restricted ? "restricted" : "free");
        DWORD flags = restricted ? kNoCityPhotos : 0;
        pageSeams.restrictions = &flags;
        Set(L":main", L"placeviews", L"1");
        Set(L":main", L"autostart", L"0");
        HWND page = OpenPage(kNodeGeneral);
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kIdcCityPhotos));
        EXPECT_EQ(!restricted, IsWindowEnabled(GetDlgItem(page, kIdcCityPhotos)) != FALSE);
        for (int id : {kIdcCityPhotos, kIdcAutostart}) {
            CheckDlgButton(page, id, IsDlgButtonChecked(page, id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(page, id));
        }
        EXPECT_TRUE(Enabled(kIdcApply));
        autostart.calls.clear();
        Click(kIdcApply);
        EXPECT_EQ(restricted ? L"1" : L"0", Get(L":main", L"placeviews"));
        EXPECT_EQ(L"1", Get(L":main", L"autostart"));
        ASSERT_FALSE(autostart.calls.empty());
        EXPECT_EQ(0u, autostart.calls.back().find(L"set "));
        DestroyWindow(dialog);
    }
}

class ProfilePages : public GlobalPages {
protected:
    void SetUp() override
    {
        GlobalPages::SetUp();
        // the import writes the sections of the user who runs it
        ASSERT_TRUE(BuildIniPathsFor(folder.Path().c_str(), CurrentUserName().c_str(), &paths));
        services.link = &link;
    }
    void WriteUserClock(const wchar_t* caption)
    {
        std::wstring section = std::wstring(paths.userPrefix) + L":clock1";
        WritePrivateProfileStringW(section.c_str(), L"enabled", L"1", paths.userIni);
        WritePrivateProfileStringW(section.c_str(), L"prefix", caption, paths.userIni);
        WritePrivateProfileStringW(section.c_str(), L"timer_mode", L"0", paths.userIni);
    }
    std::string FileBytes(const std::wstring& file) const
    {
        CKernelHandle h(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!h)
            return "<none>";
        std::string bytes(GetFileSize(h.Get(), nullptr), '\0');
        DWORD read = 0;
        ReadFile(h.Get(), &bytes[0], (DWORD)bytes.size(), &read, nullptr);
        bytes.resize(read);
        return bytes;
    }
    void Load(HWND page, const std::wstring& text)
    {
        SetDlgItemTextW(page, kIdcProfilePath, text.c_str());
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcProfileLoad, BN_CLICKED), (LPARAM)GetDlgItem(page, kIdcProfileLoad));
        Pump();
    }
    std::wstring LoadError(const std::wstring& file) const
    {
        WCHAR format[256] = {};
        language.GetString(kStrProfileLoadFailed, format, 256);
        std::wstring text = format;
        text.replace(text.find(L"%s"), 2, file);
        WCHAR caption[64] = {};
        language.GetString(141, caption, 64);
        return std::wstring(caption) + L"|" + text;
    }

    CCopyDataLink link;
};

// A local profile is imported after one backup of the state before the
// first load; the tree shows it with the profiles node selected and the
// main program is told.
TEST_F(ProfilePages, LocalProfileLoads)
{
    WriteUserClock(L"Tokyo");
    std::wstring profile = folder.File(L"profile.ini");
    ASSERT_TRUE(ExportSettings(&paths, profile.c_str()));
    WriteUserClock(L"Paris");
    std::string before = FileBytes(paths.userIni);
    HWND page = OpenPage(kNodeIni);
    EXPECT_EQ(L"Paris", Caption(tree.Clock(0)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kIdcProfileLoad)));
    SetDlgItemTextW(page, kIdcProfilePath, profile.c_str());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kIdcProfileLoad)));

    Load(page, profile);
    EXPECT_TRUE(boxes.errors.empty());
    EXPECT_EQ(L"Tokyo", Caption(tree.Clock(0)));
    EXPECT_EQ(tree.Top(1), Selected());
    EXPECT_EQ(1, link.Count("post " + std::to_string(UM_SETTINGSCHANGED) + " 0"));
    EXPECT_TRUE(services.profileLoaded);
    std::wstring backup = SettingsBackupPath(paths.userIni);
    EXPECT_EQ(before, FileBytes(backup));

    WriteUserClock(L"Lima");
    Load(page, profile);
    EXPECT_EQ(before, FileBytes(backup)) << "one backup, of the state before the first load";
    EXPECT_EQ(2, link.Count("post " + std::to_string(UM_SETTINGSCHANGED) + " 0"));

    // a file that is no profile
    Load(page, folder.File(L"none.ini"));
    ASSERT_EQ(1u, boxes.errors.size());
    EXPECT_EQ(LoadError(folder.File(L"none.ini")), boxes.errors[0]);
    Shot(page, L"page-profiles.png");

    // Close without OK takes back what the loads did
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(dialog));
    std::wstring clock1 = std::wstring(paths.userPrefix) + L":clock1";
    WCHAR caption[64] = {};
    GetPrivateProfileStringW(clock1.c_str(), L"prefix", L"", caption, 64, paths.userIni);
    EXPECT_STREQ(L"Paris", caption);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(backup.c_str()));
}

// An address goes to the main program as a 260-character block; its answer
// loads the downloaded file or shows the error; an overlong one is refused.
TEST_F(ProfilePages, DownloadedProfile)
{
    WriteUserClock(L"Tokyo");
    std::wstring downloaded = std::wstring(paths.folder) + L"downloaded.ini";
    ASSERT_TRUE(ExportSettings(&paths, downloaded.c_str()));
    WriteUserClock(L"Paris");
    HWND page = OpenPage(kNodeIni);
    const std::wstring address = L"HTTPS://profiles.example.invalid/a.ini";
    Load(page, address);
    ASSERT_EQ(1u, link.blocks.size());
    EXPECT_EQ(CD_DOWNLOADREQUEST, link.blocks[0].first);
    EXPECT_EQ(520u, link.sizes[0]);
    EXPECT_EQ(page, link.senders[0]);
    EXPECT_EQ(address, link.blocks[0].second.c_str());
    EXPECT_EQ(L"Paris", Caption(tree.Clock(0))) << "nothing before the answer";

    SendMessageW(page, UM_PROFILEDOWNLOADED, 404, 0);
    ASSERT_EQ(1u, boxes.errors.size());
    EXPECT_EQ(LoadError(downloaded), boxes.errors[0]);
    EXPECT_FALSE(services.profileLoaded);
    SendMessageW(page, UM_PROFILEDOWNLOADED, 200, 0);
    Pump();
    EXPECT_EQ(1u, boxes.errors.size());
    EXPECT_EQ(L"Tokyo", Caption(tree.Clock(0)));

    std::wstring overlong = L"https://profiles.example.invalid/" + std::wstring(240, L'a') + L".ini";
    Load(page, overlong);
    EXPECT_EQ(1u, link.blocks.size()) << "refused, not cut";
    ASSERT_EQ(2u, boxes.errors.size());
    EXPECT_EQ(LoadError(overlong), boxes.errors[1]);

    // OK keeps the profile and drops the backup
    Click(IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    std::wstring clock1 = std::wstring(paths.userPrefix) + L":clock1";
    WCHAR caption[64] = {};
    GetPrivateProfileStringW(clock1.c_str(), L"prefix", L"", caption, 64, paths.userIni);
    EXPECT_STREQ(L"Tokyo", caption);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(SettingsBackupPath(paths.userIni).c_str()));
}

// An export that fails names the file; one that works writes a profile.
TEST_F(ProfilePages, Export)
{
    WriteUserClock(L"Tokyo");
    HWND page = OpenPage(kNodeIni);
    auto exportTo = [&](const std::wstring& file) {
        boxes.exportFile = file;
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcProfileExport, BN_CLICKED),
                     (LPARAM)GetDlgItem(page, kIdcProfileExport));
    };
    exportTo(folder.File(L"out.ini"));
    EXPECT_TRUE(boxes.errors.empty());
    EXPECT_TRUE(KeyExists(folder.File(L"out.ini").c_str(), L"default:main", L"description"));
    std::wstring bad = folder.File(L"missing\\out.ini");
    exportTo(bad);
    ASSERT_EQ(1u, boxes.errors.size());
    WCHAR format[256] = {}, caption[64] = {};
    language.GetString(kStrExportFailed, format, 256);
    language.GetString(141, caption, 64);
    std::wstring text = format;
    text.replace(text.find(L"%s"), 2, bad);
    EXPECT_EQ(std::wstring(caption) + L"|" + text, boxes.errors[0]);
}

TEST(SyncStatusText, ResultsAndTimes)
{
    EXPECT_EQ(0u, SyncResultStringId(-1));
    EXPECT_EQ(kStrSyncSucceeded, SyncResultStringId(0));
    EXPECT_EQ(135u, SyncResultStringId(135));
    struct Case {
        const wchar_t* text;
        bool ok;
    } cases[] = {
        {L"20260310123456", true}, {L"2026031012345", false}, {L"202603101234567", false},
        {L"2026031012345x", false}, {L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SYSTEMTIME t = {};
        EXPECT_EQ(c.ok, ParseSyncTime(c.text, &t));
        if (c.ok) {
            EXPECT_EQ(2026, t.wYear);
            EXPECT_EQ(3, t.wMonth);
            EXPECT_EQ(10, t.wDay);
            EXPECT_EQ(12, t.wHour);
            EXPECT_EQ(34, t.wMinute);
            EXPECT_EQ(56, t.wSecond);
        }
    }
    EXPECT_FALSE(ParseSyncTime(nullptr, nullptr));
}

}  // namespace
