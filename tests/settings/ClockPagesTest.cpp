// A clock's own pages in the real settings dialog from the English library:
// driven with the messages a user's edits send, then Apply, then the clock
// read back from the file as the main program reads it.
#include <atomic>
#include <functional>
#include <thread>

#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/clockpages/ClockPageRules.h"
#include "settings/clockpages/ClockPageServices.h"
#include "settings/clockpages/SkinList.h"
#include "settings/frame/Preview.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/HandlerWindow.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "windows/CityList.h"
#include "windows/SkinManager.h"

namespace {

// Answers the page while it is "open" as the chooser does: through the
// pointer send of the dialog's thread.
class CScriptedChooser : public ILocationChooser {
public:
    bool ChooseLocation(HWND page, const CityRecord* start) override
    {
        starts.push_back(start);
        open = true;
        if (answer)
            answer(page);
        open = false;
        return true;
    }
    HWND ChooserWindow() override { return open ? window : nullptr; }

    std::function<void(HWND page)> answer;
    std::vector<const CityRecord*> starts;
    HWND window = nullptr;
    bool open = false;
};

// Takes the initial names it is opened with; refuses names in `refused`.
class CScriptedFileBox : public IFileOpenBox {
public:
    bool OpenFile(OPENFILENAMEW* box, DWORD* error) override
    {
        names.push_back(box->lpstrFile);
        filters.push_back(std::wstring(box->lpstrFilter, 26));
        flags = box->Flags;
        if (names.back() == refused) {
            *error = FNERR_INVALIDFILENAME;
            return false;
        }
        if (chosen.empty()) {
            *error = 0;
            return false;
        }
        lstrcpynW(box->lpstrFile, chosen.c_str(), box->nMaxFile);
        return true;
    }
    std::vector<std::wstring> names;
    std::vector<std::wstring> filters;
    std::wstring refused;
    std::wstring chosen;
    DWORD flags = 0;
};

std::wstring Text(HWND window)
{
    WCHAR text[600];
    GetWindowTextW(window, text, 600);
    return text;
}

class ClockPages : public DialogTest {
protected:
    ClockPages() : skins(nullptr), cities(db) {}
    void SetUp() override
    {
        DialogTest::SetUp();
        // places: a long name with a comma in a zone with daylight saving
        std::string list =
            "Paris\tParis\tFrance\t48.85\t2.35\tW. Europe Standard Time\n"
            "Washington, D.C. and a name far longer than thirty\tWashington\tTestland\t38.9\t-77.0\t"
            "Testland Standard Time\n"
            "Reykjavik\tReykjavik\tIceland\t64.1\t-21.9\tIsland Standard Time\n";
        ASSERT_TRUE(folder.WriteBytes(L"cities.txt", list));
        ASSERT_TRUE(cities.LoadCityList(folder.File(L"cities.txt").c_str()));
        // the skins: two whose names begin alike, analogue faces of 12 and 24 hours
        std::wstring shipped = std::wstring(TL_PROGRAM_FOLDER) + L"skins\\";
        ASSERT_TRUE(folder.AddFolder(L"skins"));
        ASSERT_TRUE(folder.AddFolder(L"skins\\Blue LCD"));
        ASSERT_TRUE(CopyFolderFiles(shipped + L"Blue LCD\\", std::wstring(paths.skinsRoot) + L"Blue LCD\\"));
        ASSERT_TRUE(folder.AddFolder(L"skins\\Blue"));
        ASSERT_TRUE(CopyFolderFiles(shipped + L"Blue LCD\\", std::wstring(paths.skinsRoot) + L"Blue\\"));
        for (const wchar_t* name : {L"Analog", L"Analog24"}) {
            std::wstring to = std::wstring(paths.skinsRoot) + name + L"\\";
            ASSERT_TRUE(folder.AddFolder(std::wstring(L"skins\\") + name));
            ASSERT_TRUE(CopyFolderFiles(shipped + L"Classic Analog\\", to));
        }
        WritePrivateProfileStringW(L"clock", L"face24h", L"1",
                                   (std::wstring(paths.skinsRoot) + L"Analog24\\skin.ini").c_str());
        skins.reset(new CSkinManager(paths.skinsRoot, nullptr, false));
        preview.reset(new CPreviewClock(*skins, previewBlock));

        pageServices.zones = &db;
        pageServices.cities = &cities;
        pageServices.localZone = &sys;
        pageServices.skins = skins.get();
        pageServices.preview = preview.get();
        pageServices.chooser = &chooser;
        pageServices.fileBox = &fileBox;
        services.clockPages = &pageServices;
    }
    void TearDown() override
    {
        DialogTest::TearDown();
        preview.reset();
        if (skins)
            skins->ReleaseAll();
    }

    HWND Page(int kind) const { return GetDlgItem(dialog, kPages[kind].templateId); }
    HWND Control(int kind, int id) const { return GetDlgItem(Page(kind), id); }
    // Typed text: the control's own change notice reaches the page.
    void Type(int kind, int id, const wchar_t* text)
    {
        SetWindowTextW(Control(kind, id), text);
        Pump();
    }
    void ClickOn(int kind, int id)
    {
        SendMessageW(Control(kind, id), BM_CLICK, 0, 0);
        Pump();
    }
    // A pick in the list as a user's: while the box tells its parent, its
    // text is still the old one.
    void Pick(int kind, int id, int index)
    {
        HWND box = Control(kind, id);
        std::wstring before = Text(box);
        SendMessageW(box, CB_SETCURSEL, index, 0);
        std::wstring after = Text(box);
        SendMessageW(box, WM_SETTEXT, 0, (LPARAM)before.c_str());
        SendMessageW(Page(kind), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)box);
        SendMessageW(box, WM_SETTEXT, 0, (LPARAM)after.c_str());
        Pump();
    }
    // The tree item's text, as the caption refresh left it.
    std::wstring ItemText(const CTreeNode* node) const
    {
        WCHAR text[128] = {};
        TVITEMW item = {};
        item.mask = TVIF_HANDLE | TVIF_TEXT;
        item.hItem = node->Item();
        item.pszText = text;
        item.cchTextMax = 128;
        TreeView_GetItem(treeView, &item);
        return text;
    }
    bool ControlEnabled(int kind, int id) const { return IsWindowEnabled(Control(kind, id)) != FALSE; }
    bool Checked(int kind, int id) const { return IsDlgButtonChecked(Page(kind), id) == BST_CHECKED; }
    // Apply, then the clock as the main program reads it from the file.
    ClockRecord ApplyAndRead(int number)
    {
        Click(kIdcApply);
        ClockRecord clock = {};
        clock.id = number;
        EXPECT_TRUE(ReadClock(context, L"user", number, &clock));
        FreeClockAlarms(&clock);
        return clock;
    }
    // One refusal: the high beep, the focus on the control, the dialog still there.
    void ExpectRefused(int kind, int id)
    {
        EXPECT_EQ((std::vector<std::pair<DWORD, DWORD>>{{1760, 125}}), beep.beeps);
        EXPECT_EQ(Control(kind, id), GetFocus());
        EXPECT_TRUE(IsWindow(dialog));
    }
    void SavePicture(const wchar_t* name)
    {
        ClientPicture picture = GrabClientPicture(dialog);
        ASSERT_FALSE(picture.rgb.empty());
        std::wstring shots = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
        CreateDirectoryW(shots.c_str(), nullptr);
        EXPECT_TRUE(WritePngPixels(shots + name + L".png", picture.width, picture.height, 3, picture.rgb.data()));
    }

    std::unique_ptr<CSkinManager> skins;
    SettingsBlock previewBlock = {};
    std::unique_ptr<CPreviewClock> preview;
    CCityList cities;
    CScriptedChooser chooser;
    CScriptedFileBox fileBox;
    ClockPageServices pageServices = {};
};

// The clock page shows the record and gives back what the user changed:
// caption (mirrored and in the tree), click action and address, place and
// desktop; the main program reads it all from the file.
TEST_F(ClockPages, ClockPageLoadsAndStores)
{
    WriteClock(1, L"Home");
    Set(Clock(1), L"location", L"Paris, France");
    Set(Clock(1), L"zone", L"W. Europe Standard Time");
    Set(Clock(1), L"usedaylight", L"1");
    Set(Clock(1), L"action", L"1");
    Set(Clock(1), L"url", L"https://example.org/");
    Open();
    Select(tree.Clock(0));
    ASSERT_EQ(Page(kPageClock), VisiblePage());
    EXPECT_EQ(L"Paris, France", Text(Control(kPageClock, kIdcLocationText)));
    EXPECT_EQ(L"Home", Text(Control(kPageClock, kIdcCaption)));
    EXPECT_EQ(L"Home", Text(Control(kPageClock, kIdcCaptionShown)));
    EXPECT_EQ(L"https://example.org/", Text(Control(kPageClock, kIdcUrl)));
    EXPECT_TRUE(Checked(kPageClock, kIdcUseDaylight));
    EXPECT_TRUE(ControlEnabled(kPageClock, kIdcUseDaylight));
    EXPECT_TRUE(ControlEnabled(kPageClock, kIdcUrl));
    EXPECT_TRUE(ControlEnabled(kPageClock, kIdcBrowse));
    EXPECT_TRUE(Checked(kPageClock, kIdcInTaskbar));
    EXPECT_EQ(L"Open a web page or program", Text(Control(kPageClock, kIdcAction)));
    EXPECT_FALSE(Enabled(kIdcApply));

    Type(kPageClock, kIdcCaption, L"Office");
    EXPECT_EQ(L"Office", Text(Control(kPageClock, kIdcCaptionShown)));
    EXPECT_EQ(0u, ItemText(tree.Clock(0)).find(L"Office ")) << ItemText(tree.Clock(0));
    EXPECT_TRUE(Enabled(kIdcApply));
    Pick(kPageClock, kIdcAction, 3);
    EXPECT_FALSE(ControlEnabled(kPageClock, kIdcUrl));
    EXPECT_FALSE(ControlEnabled(kPageClock, kIdcBrowse));
    ClickOn(kPageClock, kIdcOnDesktop);
    ClickOn(kPageClock, kIdcUseDaylight);

    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(L"Office", FieldText(clock.prefix, FIELD_WIDTH(clock.prefix)));
    EXPECT_EQ(3u, clock.clickAction);
    EXPECT_EQ(L"https://example.org/", FieldText(clock.clickUrl, FIELD_WIDTH(clock.clickUrl)));
    EXPECT_EQ(L"Paris, France", FieldText(clock.location, FIELD_WIDTH(clock.location)));
    EXPECT_EQ(L"W. Europe Standard Time", FieldText(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName)));
    EXPECT_TRUE(clock.flags & kClockOnDesktop);
    EXPECT_FALSE(clock.flags & kClockUseDaylight);
    EXPECT_TRUE(beep.beeps.empty());
}

// Seven actions for clocks and countdowns, eight for timers, whose clocks
// alone are started and stopped; an action the list lacks shows the first
// entry and is stored as 0.
TEST_F(ClockPages, ActionListByKind)
{
    struct Case {
        const wchar_t* mode;
        int kind;
        int entries;
    } cases[] = {{L"0", kPageClock, 7}, {L"-1", kPageCountdown, 7}, {L"1", kPageTimer, 8}};
    int n = 0;
    for (const Case& c : cases) {
        WriteClock(++n, L"Clock", 0, c.mode);
        Set(Clock(n), L"duration", L"60");
    }
    Open();
    // the reader keeps 0..7 only: an older record's value reaches the page directly
    for (int i = 0; i < 3; ++i)
        tree.Clock(i)->Record().clickAction = 9;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        Select(tree.Clock(i));
        ASSERT_EQ(Page(cases[i].kind), VisiblePage());
        HWND list = Control(cases[i].kind, kIdcAction);
        EXPECT_EQ(cases[i].entries, (int)SendMessageW(list, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(0, (int)SendMessageW(list, CB_GETCURSEL, 0, 0));
        if (cases[i].entries == 8) {
            SendMessageW(list, CB_SETCURSEL, 7, 0);
            EXPECT_EQ(L"Start or stop the timer", Text(list));
        }
    }
    Type(kPageTimer, kIdcCaption, L"Run");
    Pick(kPageTimer, kIdcAction, 7);
    Click(kIdcApply);
    EXPECT_EQ(L"0", Get(Clock(1), L"action"));
    EXPECT_EQ(L"0", Get(Clock(2), L"action"));
    EXPECT_EQ(L"7", Get(Clock(3), L"action"));
}

// The countdown's four fields: a valid duration is stored; every refused
// one keeps the old duration, beeps and puts the focus on the field to blame.
TEST_F(ClockPages, CountdownDurations)
{
    WriteClock(1, L"Tea", 0, L"-1");
    Set(Clock(1), L"duration", L"300");
    Open();
    Select(tree.Clock(0));
    ASSERT_EQ(Page(kPageCountdown), VisiblePage());
    EXPECT_TRUE(Checked(kPageCountdown, kIdcFixedDuration));
    EXPECT_FALSE(ControlEnabled(kPageCountdown, kIdcDate));
    EXPECT_FALSE(ControlEnabled(kPageCountdown, kIdcLocationButton));
    EXPECT_EQ(L"5", Text(Control(kPageCountdown, kIdcMinutes)));
    EXPECT_EQ(L"0", Text(Control(kPageCountdown, kIdcDays)));

    struct Case {
        const wchar_t* fields[4];
        int64_t seconds;  // -1: refused
        int blamed;
    } cases[] = {
        {{L"999", L"25", L"0", L"0"}, 999 * 86400 + 25 * 3600, 0},
        {{L"1000", L"0", L"0", L"0"}, -1, kIdcDays},
        {{L"0", L"x", L"0", L"0"}, -1, kIdcHours},
        {{L"0", L"0", L"", L"0"}, -1, kIdcMinutes},
        {{L"0", L"0", L"0", L"0"}, -1, kIdcDays},               // a countdown of nothing
        {{L"0", L"0", L"0", L"2147483648"}, -1, kIdcSeconds},   // past a timer's 32 bits
        {{L"1", L"2", L"3", L"4"}, 86400 + 2 * 3600 + 3 * 60 + 4, 0},
    };
    int64_t last = 300;
    const int ids[4] = {kIdcDays, kIdcHours, kIdcMinutes, kIdcSeconds};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.fields[0]) + L" " + c.fields[1] + L" " + c.fields[2] +
                                            L" " + c.fields[3]));
        for (int i = 0; i < 4; ++i)
            Type(kPageCountdown, ids[i], c.fields[i]);
        beep.beeps.clear();
        SetFocus(treeView);
        Click(kIdcApply);
        if (c.seconds < 0) {
            ExpectRefused(kPageCountdown, c.blamed);
            EXPECT_EQ(std::to_wstring(last), Get(Clock(1), L"duration"));
            EXPECT_EQ(last, tree.Clock(0)->Record().countdownSeconds);
        } else {
            EXPECT_TRUE(beep.beeps.empty());
            EXPECT_EQ(std::to_wstring(c.seconds), Get(Clock(1), L"duration"));
            last = c.seconds;
        }
    }
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(last, clock.countdownSeconds);
    EXPECT_FALSE(clock.kind & kClockFixedMoment);
}

// A countdown switched to a date takes the pickers' moment in its place's
// zone; the fields and pickers change places in being enabled.
TEST_F(ClockPages, CountdownToDate)
{
    WriteClock(1, L"Launch", 0, L"-1");
    Set(Clock(1), L"duration", L"60");
    Open();
    Select(tree.Clock(0));
    ClickOn(kPageCountdown, kIdcToDate);
    EXPECT_TRUE(Checked(kPageCountdown, kIdcToDate));
    EXPECT_FALSE(Checked(kPageCountdown, kIdcFixedDuration));
    EXPECT_FALSE(ControlEnabled(kPageCountdown, kIdcDays));
    EXPECT_TRUE(ControlEnabled(kPageCountdown, kIdcDate));
    EXPECT_TRUE(ControlEnabled(kPageCountdown, kIdcLocationButton));
    SYSTEMTIME moment = MakeTime(2027, 1, 1, 9, 30, 0);
    for (int id : {kIdcDate, kIdcTime}) {
        HWND picker = Control(kPageCountdown, id);
        DateTime_SetSystemtime(picker, GDT_VALID, &moment);
        NMDATETIMECHANGE change = {};
        change.nmhdr = {picker, (UINT_PTR)id, DTN_DATETIMECHANGE};
        change.dwFlags = GDT_VALID;
        change.st = moment;
        SendMessageW(Page(kPageCountdown), WM_NOTIFY, id, (LPARAM)&change);
    }
    Pump();
    EXPECT_TRUE(Enabled(kIdcApply));
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_TRUE(clock.kind & kClockFixedMoment);
    EXPECT_EQ(0, clock.countdownSeconds);
    EXPECT_EQ(2027, clock.timerMoment.wYear);
    EXPECT_EQ(1, clock.timerMoment.wMonth);
    EXPECT_EQ(9, clock.timerMoment.wHour);
    EXPECT_EQ(30, clock.timerMoment.wMinute);
    const ClockRecord& held = tree.Clock(0)->Record();
    EXPECT_EQ(clock.timerAnchorUtc, held.timerAnchorUtc);
}

// The daylight box follows the place a chooser answer names: a zone without
// rules disables it, one with rules enables it, the computer's own zone
// checks it by its bias and disables it. A stored place is found without
// case and written back as the city names it. A timer counting from its
// start has no place at all.
TEST_F(ClockPages, DaylightFollowsThePlace)
{
    WriteClock(1, L"Here");
    Set(Clock(1), L"location", L"reykjavik, ICELAND");
    Set(Clock(1), L"zone", L"W. Europe Standard Time");
    WriteClock(2, L"Sport", 0, L"1");
    Set(Clock(2), L"zone", L"W. Europe Standard Time");
    Open();
    Select(tree.Clock(0));
    // Iceland keeps no daylight saving, whatever the stored zone says
    EXPECT_FALSE(ControlEnabled(kPageClock, kIdcUseDaylight));

    const TimeZoneRecord& europe = db.Zone(db.FindZoneByName(L"W. Europe Standard Time"));
    const TimeZoneRecord& island = db.Zone(db.FindZoneByName(L"Island Standard Time"));
    struct Case {
        const CityRecord* city;
        const TimeZoneRecord* zone;
        bool enabled;
        bool checked;
    } cases[] = {
        {&cities.Cities()[0], nullptr, true, true},     // Paris
        {nullptr, &island, false, true},                 // the box keeps its check
        {nullptr, &europe, true, true},
        {&cities.Cities()[1], nullptr, false, true},     // Testland
        {nullptr, &db.Zone(0), false, true},             // the computer's zone, with a daylight bias
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.city ? "city" : "zone");
        chooser.answer = [&](HWND page) {
            if (c.city)
                SendPointerMessage(page, UM_MAPSELECTCITY, 0, (LPARAM)c.city);
            else
                SendPointerMessage(page, UM_ZONEPICKED, 0, (LPARAM)c.zone);
        };
        ClickOn(kPageClock, kIdcLocationButton);
        EXPECT_EQ(c.enabled, ControlEnabled(kPageClock, kIdcUseDaylight));
        EXPECT_EQ(c.checked, Checked(kPageClock, kIdcUseDaylight));
    }
    sys.zone.DaylightBias = 0;
    db.Zone(0).tzi.DaylightBias = 0;
    chooser.answer = [&](HWND page) { SendPointerMessage(page, UM_ZONEPICKED, 0, (LPARAM)&db.Zone(0)); };
    ClickOn(kPageClock, kIdcLocationButton);
    EXPECT_FALSE(Checked(kPageClock, kIdcUseDaylight));
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(L"", FieldText(clock.location, FIELD_WIDTH(clock.location)));
    EXPECT_EQ(kLocalZoneName, FieldText(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName)));

    // a place that names nothing is the computer's zone
    SetWindowTextW(Control(kPageClock, kIdcLocationText), L"Nowhere at all");
    Set(Clock(1), L"zone", L"Island Standard Time");
    clock = ApplyAndRead(1);
    EXPECT_EQ(L"", Get(Clock(1), L"zone"));

    Select(tree.Clock(1));
    ASSERT_EQ(Page(kPageTimer), VisiblePage());
    EXPECT_FALSE(Checked(kPageTimer, kIdcFromDate));
    EXPECT_FALSE(ControlEnabled(kPageTimer, kIdcUseDaylight));
    EXPECT_FALSE(ControlEnabled(kPageTimer, kIdcLocationButton));
    ClickOn(kPageTimer, kIdcFromDate);
    EXPECT_TRUE(ControlEnabled(kPageTimer, kIdcLocationButton));
    EXPECT_TRUE(ControlEnabled(kPageTimer, kIdcUseDaylight));
    EXPECT_TRUE(ControlEnabled(kPageTimer, kIdcDate));
}

// A place stored in another case is written back as the city list names it.
TEST_F(ClockPages, StoredPlaceFoundWithoutCase)
{
    WriteClock(1, L"Here");
    Set(Clock(1), L"location", L"paris, FRANCE");
    Set(Clock(1), L"zone", L"Island Standard Time");
    Open();
    Select(tree.Clock(0));
    EXPECT_TRUE(ControlEnabled(kPageClock, kIdcUseDaylight));
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(L"Paris, France", FieldText(clock.location, FIELD_WIDTH(clock.location)));
    EXPECT_EQ(L"W. Europe Standard Time", FieldText(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName)));
}

// The chooser's answers: a city gives place and caption (up to its first
// comma, 30 characters at most) and the daylight box; a zone its display
// name; Cancel, a plain send and another thread's send change nothing.
TEST_F(ClockPages, ChooserAnswers)
{
    WriteClock(1, L"Home");
    Set(Clock(1), L"location", L"Paris, France");
    Set(Clock(1), L"zone", L"W. Europe Standard Time");
    Set(Clock(1), L"usedaylight", L"1");
    Open();
    Select(tree.Clock(0));
    HWND page = Page(kPageClock);

    // what the page names is where the chooser starts
    chooser.answer = [](HWND p) { SendPointerMessage(p, UM_MAPSELECTCITY, (WPARAM)-1, 0); };
    ClickOn(kPageClock, kIdcLocationButton);
    ASSERT_EQ(1u, chooser.starts.size());
    ASSERT_NE(nullptr, chooser.starts[0]);
    EXPECT_EQ(L"Paris", FieldText(chooser.starts[0]->cityName, 80));
    EXPECT_EQ(L"Paris, France", Text(Control(kPageClock, kIdcLocationText)));
    EXPECT_EQ(L"Home", Text(Control(kPageClock, kIdcCaption)));
    EXPECT_FALSE(Enabled(kIdcApply));

    // not from the dialog's own pointer send: ignored
    CityRecord* washington = &cities.Cities()[1];
    SendMessageW(page, UM_MAPSELECTCITY, 1, (LPARAM)washington);
    std::atomic<bool> done(false);
    std::thread other([&] {
        SendMessageW(page, UM_MAPSELECTCITY, 1, (LPARAM)washington);
        SendMessageW(page, UM_ZONEPICKED, 0, (LPARAM)&db.Zone(3));
        done = true;
    });
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    other.join();
    PostMessageW(page, UM_ZONEPICKED, 0, (LPARAM)&db.Zone(3));
    Pump();
    EXPECT_EQ(L"Paris, France", Text(Control(kPageClock, kIdcLocationText)));
    EXPECT_EQ(L"Home", Text(Control(kPageClock, kIdcCaption)));

    ClickOn(kPageClock, kIdcUseDaylight);
    ASSERT_FALSE(Checked(kPageClock, kIdcUseDaylight));
    chooser.answer = [&](HWND p) { SendPointerMessage(p, UM_MAPSELECTCITY, 1, (LPARAM)washington); };
    ClickOn(kPageClock, kIdcLocationButton);
    EXPECT_EQ(L"Washington, D.C. and a name far longer than thirty, Testland",
              Text(Control(kPageClock, kIdcLocationText)));
    EXPECT_EQ(L"Washington", Text(Control(kPageClock, kIdcCaption)));
    EXPECT_EQ(L"Washington", Text(Control(kPageClock, kIdcCaptionShown)));
    EXPECT_EQ(0u, ItemText(tree.Clock(0)).find(L"Washington ")) << ItemText(tree.Clock(0));
    // Testland has no daylight rules
    EXPECT_FALSE(Checked(kPageClock, kIdcUseDaylight));
    EXPECT_FALSE(ControlEnabled(kPageClock, kIdcUseDaylight));

    const TimeZoneRecord& europe = db.Zone(db.FindZoneByName(L"W. Europe Standard Time"));
    chooser.answer = [&](HWND p) { SendPointerMessage(p, UM_ZONEPICKED, 0, (LPARAM)&europe); };
    ClickOn(kPageClock, kIdcLocationButton);
    EXPECT_EQ(L"(UTC+01:00) Amsterdam, Berlin", Text(Control(kPageClock, kIdcLocationText)));
    EXPECT_TRUE(Checked(kPageClock, kIdcUseDaylight));
    EXPECT_TRUE(ControlEnabled(kPageClock, kIdcUseDaylight));
    EXPECT_EQ(L"Washington", Text(Control(kPageClock, kIdcCaption)));

    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(L"", FieldText(clock.location, FIELD_WIDTH(clock.location)));
    EXPECT_EQ(L"W. Europe Standard Time", FieldText(clock.zone.zoneName, FIELD_WIDTH(clock.zone.zoneName)));
    EXPECT_TRUE(clock.flags & kClockUseDaylight);
    EXPECT_EQ(L"Washington", FieldText(clock.prefix, FIELD_WIDTH(clock.prefix)));

    // a city's name of 30 characters and more without a comma is cut
    WCHAR caption[kCityCaptionChars + 1];
    CityCaption(L"Llanfairpwllgwyngyllgogerychwyrndrobwll", caption);
    EXPECT_EQ(L"Llanfairpwllgwyngyllgogerychwy", std::wstring(caption));
}

// The map's overlay reaches the chooser while it is open, and nothing else.
TEST_F(ClockPages, OverlayChangeReachesTheOpenChooser)
{
    WriteClock(1, L"Home");
    Open();
    Select(tree.Clock(0));
    std::vector<LPARAM> heard;
    CHandlerWindow window([&](UINT message, WPARAM, LPARAM lParam) {
        if (message == UM_MAPOVERLAYCHANGED)
            heard.push_back(lParam);
        return true;
    });
    chooser.window = window.Window();
    SendMessageW(dialog, UM_MAPOVERLAYCHANGED, 0, 1);
    EXPECT_TRUE(heard.empty());
    chooser.answer = [&](HWND) { SendMessageW(dialog, UM_MAPOVERLAYCHANGED, 0, 1); };
    ClickOn(kPageClock, kIdcLocationButton);
    EXPECT_EQ(std::vector<LPARAM>{1}, heard);
}

// Browse stores the page first, opens the box on the address, once more
// with no name when the box refuses that one, and loads the chosen program.
// An empty address for action 1 is refused.
TEST_F(ClockPages, BrowseAndEmptyAddress)
{
    WriteClock(1, L"Home");
    Set(Clock(1), L"action", L"1");
    Set(Clock(1), L"url", L"https://example.org/");
    Open();
    Select(tree.Clock(0));
    // typed, and the box opened before the page's change notice came through
    SetWindowTextW(Control(kPageClock, kIdcCaption), L"Typed first");
    fileBox.refused = L"https://example.org/";
    fileBox.chosen = L"C:\\Tools\\run.exe";
    ClickOn(kPageClock, kIdcBrowse);
    EXPECT_EQ((std::vector<std::wstring>{L"https://example.org/", L""}), fileBox.names);
    EXPECT_EQ(std::wstring(L"Executable\0*.EXE\0All\0*.*\0", 26), fileBox.filters[0]);
    EXPECT_EQ((DWORD)(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY), fileBox.flags);
    EXPECT_EQ(L"C:\\Tools\\run.exe", Text(Control(kPageClock, kIdcUrl)));
    EXPECT_EQ(L"Typed first", Text(Control(kPageClock, kIdcCaption)));
    // cancelled: the address stays
    fileBox.names.clear();
    fileBox.chosen.clear();
    ClickOn(kPageClock, kIdcBrowse);
    EXPECT_EQ(1u, fileBox.names.size());
    EXPECT_EQ(L"C:\\Tools\\run.exe", Text(Control(kPageClock, kIdcUrl)));
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(L"C:\\Tools\\run.exe", FieldText(clock.clickUrl, FIELD_WIDTH(clock.clickUrl)));
    EXPECT_EQ(L"Typed first", FieldText(clock.prefix, FIELD_WIDTH(clock.prefix)));

    Type(kPageClock, kIdcUrl, L"   ");
    beep.beeps.clear();
    SetFocus(treeView);
    Click(kIdcApply);
    ExpectRefused(kPageClock, kIdcUrl);
    EXPECT_EQ(L"C:\\Tools\\run.exe", Get(Clock(1), L"url"));
}

// The main program's notice of a desktop clock reaches the shown clock's radios.
TEST_F(ClockPages, ClockOnDesktopNotice)
{
    WriteClock(1, L"Home");
    WriteClock(2, L"Away");
    Open();
    Select(tree.Clock(0));
    SendMessageW(Page(kPageClock), UM_SETCLOCKONDESKTOP, 2, 1);
    EXPECT_TRUE(Checked(kPageClock, kIdcInTaskbar));
    SendMessageW(Page(kPageClock), UM_SETCLOCKONDESKTOP, 1, 1);
    EXPECT_TRUE(Checked(kPageClock, kIdcOnDesktop));
    EXPECT_FALSE(Checked(kPageClock, kIdcInTaskbar));
    EXPECT_TRUE(tree.Clock(0)->Record().flags & kClockOnDesktop);
    SendMessageW(dialog, UM_SETCLOCKONDESKTOP, 1, 0);
    EXPECT_TRUE(Checked(kPageClock, kIdcInTaskbar));
}

// The formats lists in another language: shown names, literals stored; a
// literal typed in English is kept; "Week w" is kept as the user's language
// shows it; a text of the user's own is kept; the seconds flag follows.
TEST_F(ClockPages, FormatsStoreLiterals)
{
    std::wstring ini = languages.File(L"tempolan_en.ini");
    WritePrivateProfileStringW(L"StringTable", L"146", L"12 Stunden", ini.c_str());
    WritePrivateProfileStringW(L"StringTable", L"148", L"Standard", ini.c_str());
    WritePrivateProfileStringW(L"StringTable", L"222", L"Woche w", ini.c_str());
    WriteClock(1, L"Home");
    Set(Clock(1), L"timeformat", L"12 hours");
    Open();
    Select(tree.Clock(0)->Child(kNodeFormats));
    ASSERT_EQ(Page(kPageFormats), VisiblePage());
    HWND time = Control(kPageFormats, kIdcTimeFormat);
    EXPECT_EQ(13, (int)SendMessageW(time, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(14, (int)SendMessageW(Control(kPageFormats, kIdcDateFormat), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"12 Stunden", Text(time));

    struct Case {
        int box;
        int pick;               // -1: typed
        const wchar_t* typed;
        const wchar_t* key;
        const wchar_t* stored;
    } cases[] = {
        {kIdcTimeFormat, -1, L"12 hours", L"timeformat", L"12 hours"},
        {kIdcTimeFormat, 0, nullptr, L"timeformat", L"Default"},
        {kIdcTimeFormat, 1, nullptr, L"timeformat", L"12 hours"},
        {kIdcTimeFormat, 3, nullptr, L"timeformat", L"HH:mm:ss"},
        {kIdcTimeFormat, -1, L"HH 'h' mm", L"timeformat", L"HH 'h' mm"},
        {kIdcDateFormat, 13, nullptr, L"dateformat", L"Woche w"},
        {kIdcDateFormat, -1, L"Week w", L"dateformat", L"Woche w"},
        {kIdcDateFormat, 3, nullptr, L"dateformat", L"\\ndd.MM.yyyy"},
        {kIdcDateFormat, 0, nullptr, L"dateformat", L"None"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.stored)));
        if (c.pick >= 0)
            Pick(kPageFormats, c.box, c.pick);
        else
            Type(kPageFormats, c.box, c.typed);
        Click(kIdcApply);
        EXPECT_EQ(c.stored, Get(Clock(1), c.key));
    }
    Pick(kPageFormats, kIdcTimeFormat, 3);
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_TRUE(clock.flags & kClockShowsSeconds);
    Pick(kPageFormats, kIdcTimeFormat, 0);
    clock = ApplyAndRead(1);
    EXPECT_FALSE(clock.flags & kClockShowsSeconds);
}

// A new selection is read once the box shows it: the preview has it after
// the page's own second command.
TEST_F(ClockPages, FormatsPreviewFollowsTheSelection)
{
    WriteClock(1, L"Home");
    Open();
    Select(tree.Clock(0)->Child(kNodeFormats));
    Pick(kPageFormats, kIdcTimeFormat, 9);
    EXPECT_EQ(L"HH:mm", FieldText(preview->Record().timeFormat, FIELD_WIDTH(preview->Record().timeFormat)));
    EXPECT_TRUE(preview->Clock());
    Pick(kPageFormats, kIdcDateFormat, 2);
    EXPECT_EQ(L"dd.MM.yyyy", FieldText(preview->Record().dateFormat, FIELD_WIDTH(preview->Record().dateFormat)));
    // the clock itself changes only with a store
    EXPECT_EQ(L"HH:mm", FieldText(tree.Clock(0)->Record().timeFormat, 32));
}

// A timer's format is read up to the record's field, past 31 characters.
TEST_F(ClockPages, TimerFormatKeepsItsLength)
{
    WriteClock(1, L"Run", 0, L"1");
    Open();
    Select(tree.Clock(0)->Child(kNodeFormats));
    ASSERT_EQ(Page(kPageTimerFormats), VisiblePage());
    HWND box = Control(kPageTimerFormats, kIdcTimeFormat);
    EXPECT_EQ(6, (int)SendMessageW(box, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"%H:%02m:%02s", Text(box));
    std::wstring longFormat = L"%W %Wn %d %dn %h %hn %m %mn %s %sn";
    while (longFormat.size() < 99)
        longFormat += L"x";
    Type(kPageTimerFormats, kIdcTimeFormat, longFormat.c_str());
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(longFormat, FieldText(clock.timerFormat, FIELD_WIDTH(clock.timerFormat)));
    Pick(kPageTimerFormats, kIdcTimeFormat, 0);
    clock = ApplyAndRead(1);
    EXPECT_EQ(L"%D %Dn\\n%h:%02m", FieldText(clock.timerFormat, FIELD_WIDTH(clock.timerFormat)));
}

// The skin decides: an analogue face takes no time format and offers the
// seconds hand, and AM or PM only on a 12-hour face; other skins the reverse.
TEST_F(ClockPages, FormatsFollowTheSkin)
{
    struct Case {
        const wchar_t* skin;
        bool time, secondsHand, suffix;
    } cases[] = {
        {L"Analog", false, true, true},
        {L"Analog24", false, true, false},
        {L"Blue LCD", true, false, false},
        {L"Standard System Clock", true, false, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        WriteClock(++n, c.skin);
        Set(Clock(n), L"skin", c.skin);
        Set(Clock(n), L"on_desktop", L"1");
    }
    // a clock in the taskbar follows the taskbar's skin
    WriteClock(++n, L"Tray");
    Set(Clock(n), L"skin", L"Blue LCD");
    Set(L":main", L"skin", L"Analog24");
    Open();
    for (int i = 0; i < n; ++i) {
        const Case& c = i < 4 ? cases[i] : cases[1];
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.skin)));
        Select(tree.Clock(i)->Child(kNodeFormats));
        EXPECT_EQ(c.time, ControlEnabled(kPageFormats, kIdcTimeFormat));
        EXPECT_EQ(c.secondsHand, ControlEnabled(kPageFormats, kIdcSecondsHand));
        EXPECT_EQ(c.suffix, ControlEnabled(kPageFormats, kIdcSuffix));
    }
    EXPECT_EQ(L"Analog24", std::wstring(preview->SkinName()));
}

// The desktop page: the slider's ends are opacities 255 and 16, the fill box
// the transparent flag; the skin list has the built-in looks first, picks
// "Blue" itself rather than "Blue LCD", and leaves analogue skins out for
// timers; the preview record is a desktop clock.
TEST_F(ClockPages, DesktopPage)
{
    WriteClock(1, L"Home");
    Set(Clock(1), L"skin", L"Blue");
    Set(Clock(1), L"alpha", L"128");
    WriteClock(2, L"Run", 0, L"1");
    Open();
    Select(tree.Clock(0)->Child(kNodeDesktop));
    ASSERT_EQ(Page(kPageDesktop), VisiblePage());
    HWND list = Control(kPageDesktop, kIdcSkin);
    WCHAR entry[80];
    SendMessageW(list, CB_GETLBTEXT, 0, (LPARAM)entry);
    EXPECT_EQ(L"Standard System Clock", std::wstring(entry));
    SendMessageW(list, CB_GETLBTEXT, 1, (LPARAM)entry);
    EXPECT_EQ(L"Classic Tempolan Style", std::wstring(entry));
    EXPECT_EQ(6, (int)SendMessageW(list, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"Blue", Text(list));
    EXPECT_EQ(127, (int)SendMessageW(Control(kPageDesktop, kIdcOpacity), TBM_GETPOS, 0, 0));
    EXPECT_TRUE(preview->Record().flags & kClockOnDesktop);
    EXPECT_FALSE(tree.Clock(0)->Record().flags & kClockOnDesktop);

    HWND slider = Control(kPageDesktop, kIdcOpacity);
    struct Case {
        int position;
        int alpha;
    } cases[] = {{0, 255}, {kOpacitySliderMax, 16}, {64, 191}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        SendMessageW(slider, TBM_SETPOS, TRUE, c.position);
        SendMessageW(Page(kPageDesktop), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, c.position), (LPARAM)slider);
        Pump();
        EXPECT_EQ(c.alpha, preview->Record().alpha);
        ClockRecord clock = ApplyAndRead(1);
        EXPECT_EQ(c.alpha, clock.alpha);
    }
    ClickOn(kPageDesktop, kIdcOpaque);
    EXPECT_EQ(Checked(kPageDesktop, kIdcOpaque), !(preview->Record().flags & kClockTransparent));
    bool opaque = Checked(kPageDesktop, kIdcOpaque);
    Pick(kPageDesktop, kIdcSkin, 1);
    EXPECT_EQ(L"Classic Tempolan Style", std::wstring(preview->SkinName()));
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(L"Classic Tempolan Style", FieldText(clock.skin, FIELD_WIDTH(clock.skin)));
    EXPECT_EQ(opaque, !(clock.flags & kClockTransparent));

    Select(tree.Clock(1)->Child(kNodeDesktop));
    EXPECT_EQ(4, (int)SendMessageW(list, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(CB_ERR, SendMessageW(list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)L"Analog"));
}

// Another language: the pages take their sections' texts, the action list
// its names with the selection kept, the formats lists their names with the
// stored format shown under its new one and stored as before.
TEST_F(ClockPages, Relocalize)
{
    ASSERT_TRUE(languages.WriteBytes(L"tempolan_de.ini",
                                     "[StringTable]\r\n200=Kalender\r\n203=Alle Uhren\r\n146=12 Stunden\r\n"
                                     "[DLG_PageClock]\r\n1901=&Beschriftung:\r\n"
                                     "[DLG_PageFormats]\r\n1912=&Zeit:\r\n"));
    WriteClock(1, L"Home");
    Set(Clock(1), L"action", L"3");
    Set(Clock(1), L"timeformat", L"12 hours");
    Open();
    Select(tree.Clock(0));
    HWND actions = Control(kPageClock, kIdcAction);
    EXPECT_EQ(L"Show all clocks", Text(actions));
    language.SetLanguage(L"de");
    for (int kind : {kPageClock, kPageFormats})
        SendMessageW(Page(kind), UM_RELOCALIZE, 0, 0);
    Pump();
    EXPECT_EQ(L"&Beschriftung:", Text(Control(kPageClock, 1901)));
    EXPECT_EQ(L"Alle Uhren", Text(actions));
    WCHAR first[64];
    SendMessageW(actions, CB_GETLBTEXT, 0, (LPARAM)first);
    EXPECT_EQ(L"Kalender", std::wstring(first));
    EXPECT_EQ(7, (int)SendMessageW(actions, CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(Enabled(kIdcApply));

    Select(tree.Clock(0)->Child(kNodeFormats));
    EXPECT_EQ(L"&Zeit:", Text(Control(kPageFormats, 1912)));
    EXPECT_EQ(L"12 Stunden", Text(Control(kPageFormats, kIdcTimeFormat)));
    ClockRecord clock = ApplyAndRead(1);
    EXPECT_EQ(L"12 hours", FieldText(clock.timeFormat, FIELD_WIDTH(clock.timeFormat)));
    EXPECT_EQ(3u, clock.clickAction);
}

// A selection made by another thread's send (as a UI driver's): the page
// exchanges run inside that send and still load and store.
TEST_F(ClockPages, SelectedFromAnotherThread)
{
    WriteClock(1, L"Paris");
    WriteClock(2, L"Tokyo");
    Open();
    auto sendFromOtherThread = [&](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        std::atomic<bool> done(false);
        std::thread other([&] {
            SendMessageW(window, message, wParam, lParam);
            done = true;
        });
        while (!done) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            Pump();
        }
        other.join();
    };
    sendFromOtherThread(treeView, TVM_SELECTITEM, TVGN_CARET, (LPARAM)tree.Clock(1)->Item());
    ASSERT_EQ(Page(kPageClock), VisiblePage());
    EXPECT_EQ(L"Tokyo", Text(Control(kPageClock, kIdcCaption)));
    SetWindowTextW(Control(kPageClock, kIdcCaption), L"Kyoto");
    sendFromOtherThread(treeView, TVM_SELECTITEM, TVGN_CARET, (LPARAM)tree.Clock(0)->Item());
    EXPECT_EQ(L"Paris", Text(Control(kPageClock, kIdcCaption)));
    EXPECT_EQ(L"Kyoto", FieldText(tree.Clock(1)->Record().prefix, 32));
}

// A skin name selects itself before the names it begins, whatever order the
// folder search gave; a name found nowhere stays in the box as typed.
TEST(SkinList, SelectsTheExactNameFirst)
{
    HWND box = CreateWindowW(WC_COMBOBOXW, L"", CBS_DROPDOWN | WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(box);
    for (const wchar_t* name : {L"Standard System Clock", L"Classic Tempolan Style", L"Blue LCD", L"Blue", L"Amber"})
        SendMessageW(box, CB_ADDSTRING, 0, (LPARAM)name);
    struct Case {
        const wchar_t* skin;
        int index;
        const wchar_t* shown;
    } cases[] = {
        {L"Blue", 3, L"Blue"},
        {L"BLUE", 3, L"Blue"},
        {L"Blue L", 2, L"Blue LCD"},
        {L"amb", 4, L"Amber"},
        {L"", 0, L"Standard System Clock"},
        {L"Gone Skin", -1, L"Gone Skin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.skin)));
        EXPECT_EQ(c.index, SelectSkin(box, c.skin));
        EXPECT_EQ(c.index < 0 ? CB_ERR : c.index, (int)SendMessageW(box, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(c.shown, Text(box));
    }
    DestroyWindow(box);
}

// Each page of a clock, for each kind of clock, in a picture; the preview's
// place is a frame in the button face colour until the previews draw there.
TEST_F(ClockPages, Shots)
{
    WriteClock(1, L"Paris");
    Set(Clock(1), L"location", L"Paris, France");
    Set(Clock(1), L"zone", L"W. Europe Standard Time");
    Set(Clock(1), L"usedaylight", L"1");
    WriteClock(2, L"Tea", 0, L"-1");
    Set(Clock(2), L"duration", L"300");
    WriteClock(3, L"Run", 0, L"1");
    Open();
    struct Shot {
        CTreeNode* node;
        int kind;
        const wchar_t* name;
    } shots[] = {
        {tree.Clock(0), kPageClock, L"page-clock"},
        {tree.Clock(1), kPageCountdown, L"page-countdown"},
        {tree.Clock(2), kPageTimer, L"page-timer"},
        {tree.Clock(0)->Child(kNodeDesktop), kPageDesktop, L"page-desktop"},
        {tree.Clock(0)->Child(kNodeFormats), kPageFormats, L"page-formats"},
        {tree.Clock(2)->Child(kNodeFormats), kPageTimerFormats, L"page-timer-formats"},
    };
    for (const Shot& shot : shots) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(shot.name)));
        Select(shot.node);
        ASSERT_EQ(Page(shot.kind), VisiblePage());
        SavePicture(shot.name);
        HWND frame = Control(shot.kind, kIdcPreview);
        if (!frame)
            continue;
        RECT r;
        GetWindowRect(frame, &r);
        std::vector<uint8_t> rgb = GrabScreenRgb(r);
        ASSERT_FALSE(rgb.empty());
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        size_t middle = ((size_t)(r.bottom - r.top) / 2 * (r.right - r.left) + (r.right - r.left) / 2) * 3;
        EXPECT_EQ(GetRValue(face), rgb[middle]);
        EXPECT_EQ(GetGValue(face), rgb[middle + 1]);
        EXPECT_EQ(GetBValue(face), rgb[middle + 2]);
        // its frame, which no one draws but the page
        COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
        size_t edge = (size_t)(r.bottom - r.top) / 2 * (r.right - r.left) * 3;
        EXPECT_EQ(GetRValue(shadow), rgb[edge]);
        EXPECT_EQ(GetGValue(shadow), rgb[edge + 1]);
        EXPECT_EQ(GetBValue(shadow), rgb[edge + 2]);
    }
}

}  // namespace
