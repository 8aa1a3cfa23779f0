// The location chooser over a program folder with the English strings: with
// the stand-in map library whose child notes what it is sent, and without
// any library; its answers to a page of the test's own and to the real
// clock page; the desktop clocks hidden meanwhile; the saved placement.
#include <functional>
#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/records/FixedText.h"
#include "settings/chooser/LocationChooser.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/clockpages/ClockPages.h"
#include "settings/frame/SettingsFrame.h"
#include "graphics/protocol/WindowClasses.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/ListViewText.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/StubMapMessages.h"
#include "windows/CityList.h"
#include "windows/map/CityListPane.h"

namespace {

// What a page heard from the chooser.
struct Answer {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool pointer;  // through the pointer send of this thread
};

// A hidden top-level window standing for the clock page.
class CAnswerPage {
public:
    CAnswerPage()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TlTestChooserPage";
        RegisterClassW(&wc);  // fails harmlessly for the second page
        m_window = CreateWindowW(wc.lpszClassName, L"page", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, wc.hInstance,
                                 this);
    }
    ~CAnswerPage() { DestroyWindow(m_window); }
    HWND Window() const { return m_window; }
    std::vector<Answer> answers;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTW*)lParam)->lpCreateParams);
        auto* self = (CAnswerPage*)GetWindowLongPtrW(window, GWLP_USERDATA);
        if (self && (message == UM_MAPSELECTCITY || message == UM_ZONEPICKED)) {
            self->answers.push_back({message, wParam, lParam, IsPointerMessage()});
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND m_window;
};

// Whether a window of this thread was sized maximised since the last look.
// Without a window manager Wine may take the state back soon after (it waits
// for one to confirm it), so the size message is what shows the request.
bool g_maximised = false;
LRESULT CALLBACK NoteMaximised(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* call = (const CWPSTRUCT*)lParam;
    if (code == HC_ACTION && call->message == WM_SIZE && call->wParam == SIZE_MAXIMIZED)
        g_maximised = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs `whileOpen` once inside the chooser's modal loop; a chooser it leaves
// open (a failed assertion) is closed after it.
std::function<void()> g_whileOpen;
ILocationChooser* g_chooser = nullptr;
void CALLBACK RunWhileOpen(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    std::function<void()> run = std::move(g_whileOpen);
    g_whileOpen = nullptr;
    if (run)
        run();
    if (HWND open = g_chooser ? g_chooser->ChooserWindow() : nullptr)
        PostMessageW(open, WM_CLOSE, 0, 0);
}

class LocationChooserTest : public DialogTest {
protected:
    LocationChooserTest() : cities(db) {}
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(folder.WriteBytes(L"cities.txt",
                                      "Paris\tParis\tFrance\t48.85\t2.35\tW. Europe Standard Time\n"
                                      "Reykjavik\tReykjavik\tIceland\t64.1\t-21.9\tIsland Standard Time\n"
                                      "Sydney\tSydney\tAustralia\t-33.87\t151.21\tUTC\n"));
        ASSERT_TRUE(cities.LoadCityList(folder.File(L"cities.txt").c_str()));
        ASSERT_EQ(3, cities.Count());
        LocationChooserServices s = {};
        s.paths = &paths;
        s.strings = &language;
        s.program = GetModuleHandleW(nullptr);
        s.cities = &cities;
        s.zones = &db;
        s.settings = &block;
        s.mainProgram = &recorder;
        s.library = &library;
        chooser.reset(new CLocationChooser(s));
        g_chooser = chooser.get();
    }
    void TearDown() override
    {
        g_chooser = nullptr;
        chooser.reset();
        UnloadMapLibrary(library);
        DialogTest::TearDown();
    }
    void AddStubLibrary()
    {
        ASSERT_TRUE(CopyFileW(TL_TEST_BINARIES L"mapstub_child\\orbex.dll", folder.File(L"orbex.dll").c_str(), FALSE));
    }
    // `open` runs the chooser; `whileOpen` acts in its loop. What `open` returns.
    template <typename Open>
    auto WhileOpen(std::function<void()> whileOpen, Open open) -> decltype(open())
    {
        g_whileOpen = std::move(whileOpen);
        SetTimer(nullptr, 0, 50, RunWhileOpen);
        auto result = open();
        EXPECT_FALSE(g_whileOpen) << "the chooser was not open";
        g_whileOpen = nullptr;
        return result;
    }
    // The chooser run for `page` from `start`.
    bool Run(HWND page, const CityRecord* start, std::function<void()> whileOpen)
    {
        return WhileOpen(std::move(whileOpen), [&] { return chooser->ChooseLocation(page, start); });
    }
    HWND Window() const { return chooser->ChooserWindow(); }
    HWND List() const { return GetDlgItem(Window(), kIdPaneList); }
    HWND MapChild() const { return FindWindowExW(Window(), nullptr, L"TempolanStubMapChild", nullptr); }
    int SelectedRow() const { return (int)SendMessageW(List(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
    void SelectRow(int row)
    {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(List(), LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
        if (row < 0)
            return;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(List(), LVM_SETITEMSTATE, row, (LPARAM)&item);
    }
    void Command(int id) { SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void ZoneMode(int id)
    {
        HWND city = GetDlgItem(Window(), kIdPaneMode);
        HWND zone = GetWindow(city, GW_HWNDNEXT);
        SendMessageW(city, BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageW(zone, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)zone);
    }
    std::wstring MainKey(const wchar_t* key) { return Get(L":main", key); }
    std::wstring MapKey(const wchar_t* key)
    {
        WCHAR value[64] = {};
        GetPrivateProfileStringW(L"map", key, L"<missing>", value, 64, paths.userIni);
        return value;
    }
    LPARAM Record(int index) { return (LPARAM)(cities.Cities() + index); }
    void SavePicture(const wchar_t* name)
    {
        ClientPicture picture = GrabClientPicture(Window());
        ASSERT_FALSE(picture.rgb.empty());
        std::wstring shots = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
        CreateDirectoryW(shots.c_str(), nullptr);
        EXPECT_TRUE(WritePngPixels(shots + name + L".png", picture.width, picture.height, 3, picture.rgb.data()));
    }

    CCityList cities;
    SettingsBlock block = {};
    MapLibraryTable library;
    CAnswerPage page;
    std::unique_ptr<CLocationChooser> chooser;
};

std::vector<std::string> HideEvents(const CRecordingLink& link)
{
    std::vector<std::string> events;
    std::string prefix = "send " + std::to_string(UM_HIDEDESKTOPCLOCKS) + " ";
    for (const std::string& e : link.events)
        if (e.compare(0, prefix.size(), prefix) == 0)
            events.push_back(e.substr(prefix.size()));
    return events;
}

}  // namespace

// With the map: maximised at first (no place saved), the desktop clocks hidden before the map
// child and shown again at the end, the clouds and the start city sent to
// the child, the start city selected; the page disabled meanwhile. OK
// answers the selected city by its index and record.
TEST_F(LocationChooserTest, WithMapOkAnswersTheCity)
{
    AddStubLibrary();
    block.cloudOverlay = 1;
    bool ran = false, zoomed = false;
    g_maximised = false;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, NoteMaximised, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    bool result = Run(page.Window(), &cities.Cities()[1], [&] {
        ran = true;
        ASSERT_NE(nullptr, Window());
        ASSERT_NE(nullptr, MapChild());
        EXPECT_TRUE(g_maximised);
        zoomed = IsZoomed(Window()) != FALSE;
        EXPECT_FALSE(IsWindowEnabled(page.Window()));
        EXPECT_EQ(std::vector<std::string>{"1"}, HideEvents(recorder));
        EXPECT_EQ(L"1", MapKey(L"initialized"));
        EXPECT_NE(0u, block.options & kOptMapInitialized);
        std::vector<StubMapMessage> noted = TakeStubMapMessages();
        std::vector<StubMapMessage> overlay = OfKind(noted, UM_MAPSETOVERLAY);
        ASSERT_EQ(1u, overlay.size());
        EXPECT_EQ(1, overlay[0].lParam);
        std::vector<StubMapMessage> flown = OfKind(noted, UM_MAPSELECTCITY);
        ASSERT_EQ(1u, flown.size());
        EXPECT_EQ(1u, flown[0].wParam);
        EXPECT_EQ(Record(1), flown[0].lParam);
        EXPECT_EQ(1, SelectedRow());
        EXPECT_EQ(L"Reykjavik", ListViewCellText(List(), SelectedRow(), 0));
        // the main window's overlay switch reaches the map
        SendMessageW(Window(), UM_MAPOVERLAYCHANGED, 0, 0);
        std::vector<StubMapMessage> off = OfKind(TakeStubMapMessages(), UM_MAPSETOVERLAY);
        ASSERT_EQ(1u, off.size());
        EXPECT_EQ(0, off[0].lParam);
        SelectRow(2);
        Command(IDOK);
    });
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(result);
    EXPECT_EQ(nullptr, Window());
    EXPECT_TRUE(IsWindowEnabled(page.Window()));
    EXPECT_EQ((std::vector<std::string>{"1", "0"}), HideEvents(recorder));
    ASSERT_EQ(1u, page.answers.size());
    EXPECT_EQ(UM_MAPSELECTCITY, page.answers[0].message);
    EXPECT_EQ(2u, page.answers[0].wParam);
    EXPECT_EQ(Record(2), page.answers[0].lParam);
    EXPECT_TRUE(page.answers[0].pointer);
    EXPECT_EQ(zoomed ? L"1" : L"0", MainKey(L"MapWindowMax"));
    // the library stays bound for the next chooser
    EXPECT_NE(nullptr, GetModuleHandleW(L"orbex.dll"));
}

// OK in city mode without a selection leaves the chooser open; Cancel then
// answers (-1, 0), and the desktop clocks come back.
TEST_F(LocationChooserTest, OkWithoutSelectionStaysOpenAndCancelAnswers)
{
    AddStubLibrary();
    Run(page.Window(), nullptr, [&] {
        EXPECT_EQ(-1, SelectedRow());
        Command(IDOK);
        EXPECT_NE(nullptr, Window());
        EXPECT_TRUE(page.answers.empty());
        Command(IDCANCEL);
    });
    EXPECT_EQ(nullptr, Window());
    ASSERT_EQ(1u, page.answers.size());
    EXPECT_EQ(UM_MAPSELECTCITY, page.answers[0].message);
    EXPECT_EQ((WPARAM)-1, page.answers[0].wParam);
    EXPECT_EQ(0, page.answers[0].lParam);
    EXPECT_EQ((std::vector<std::string>{"1", "0"}), HideEvents(recorder));
}

// Without the library: the list alone, "initialized" 0, nothing sent to the
// main program. Zone mode by either radio id answers the selected zone's
// record; its picture is saved.
TEST_F(LocationChooserTest, WithoutMapListAloneAndZoneAnswer)
{
    block.options = kOptMapInitialized;
    Run(page.Window(), nullptr, [&] {
        ASSERT_NE(nullptr, Window());
        EXPECT_EQ(nullptr, MapChild());
        EXPECT_EQ(GetFocus(), List());
        // the pane keeps its place at the right; where the map would be
        // is the button face
        RECT client, list;
        GetClientRect(Window(), &client);
        GetWindowRect(List(), &list);
        MapWindowPoints(nullptr, Window(), (POINT*)&list, 2);
        EXPECT_GE(list.left, client.right - kCityListPaneWidth);
        EXPECT_LE(list.right, client.right);
        ClientPicture picture = GrabClientPicture(Window());
        ASSERT_EQ(client.right, picture.width);
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        uint32_t faceRgb = (uint32_t)GetRValue(face) << 16 | (uint32_t)GetGValue(face) << 8 | GetBValue(face);
        int left = picture.width - kCityListPaneWidth, faces = 0, pixels = 0;
        for (int y = 0; y < picture.height; y += 5)
            for (int x = 0; x < left; x += 5, ++pixels)
                faces += picture.At(x, y) == faceRgb;
        EXPECT_EQ(pixels, faces);
        // the list's rows are drawn: some of its pixels are not the face
        int marks = 0;
        for (int y = list.top + 2; y < list.bottom - 2; ++y)
            marks += picture.At(list.left + 20, y) != faceRgb;
        EXPECT_GT(marks, 0);
        SavePicture(L"location_chooser_list");
        ZoneMode(207);
        ASSERT_GT(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 3);
        Command(IDOK);  // no zone selected yet
        EXPECT_NE(nullptr, Window());
        SelectRow(2);
        Command(IDOK);
    });
    EXPECT_EQ(L"0", MapKey(L"initialized"));
    EXPECT_EQ(0u, block.options & kOptMapInitialized);
    EXPECT_TRUE(HideEvents(recorder).empty());
    ASSERT_EQ(1u, page.answers.size());
    EXPECT_EQ(UM_ZONEPICKED, page.answers[0].message);
    const TimeZoneRecord* zone = (const TimeZoneRecord*)page.answers[0].lParam;
    ASSERT_NE(nullptr, zone);
    EXPECT_GE(zone, &db.Zone(0));
    EXPECT_LT(zone, &db.Zone(0) + db.Count());
    EXPECT_TRUE(page.answers[0].pointer);
}

// A saved normal place comes back and is saved again as it was used; one on
// no monitor (a screen unplugged since) is moved onto the screen with its
// size; one of no size is no place: the chooser opens maximised.
TEST_F(LocationChooserTest, SavedPlacementComesBackOnScreen)
{
    struct Case {
        const wchar_t* pos;
        bool maximised;
        RECT rect;
    } cases[] = {
        {L"100 80 700 500", false, {100, 80, 800, 580}},
        // a whole number of five characters, partly on the screen: kept
        {L"-1000 40 1200 600", false, {-1000, 40, 200, 640}},
        {L"-5000 -4000 600 400", false, {0, 0, 600, 400}},
        {L"3000 500 600 400", false, {1280 - 600, 400, 1280, 800}},
        {L"100 80 0 500", true, {}},
        {L"100 80 700", true, {}},
    };
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, NoteMaximised, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.pos));
        Set(L":main", L"MapWindowPos", c.pos);
        Set(L":main", L"MapWindowMax", L"0");
        g_maximised = false;
        RECT r = {};
        Run(page.Window(), nullptr, [&] {
            GetWindowRect(Window(), &r);
            Command(IDCANCEL);
        });
        EXPECT_EQ(c.maximised, g_maximised);
        if (c.maximised)
            continue;
        // the screen's work area is the whole screen here: no taskbar
        EXPECT_EQ(c.rect.left, r.left);
        EXPECT_EQ(c.rect.top, r.top);
        EXPECT_EQ(c.rect.right, r.right);
        EXPECT_EQ(c.rect.bottom, r.bottom);
        WCHAR saved[64];
        wsprintfW(saved, L"%d %d %d %d", (int)c.rect.left, (int)c.rect.top, (int)(c.rect.right - c.rect.left),
                  (int)(c.rect.bottom - c.rect.top));
        EXPECT_EQ(saved, MainKey(L"MapWindowPos"));
    }
    UnhookWindowsHookEx(hook);
}

// The real clock page: a clock in a city opens the chooser with that city
// selected; a city chosen there, and then a zone, become the page's place.
TEST_F(LocationChooserTest, AnswersReachTheClockPage)
{
    AddStubLibrary();
    ClockPageServices pages = {};
    pages.zones = &db;
    pages.cities = &cities;
    pages.localZone = &sys;
    pages.chooser = chooser.get();
    services.clockPages = &pages;
    WriteClock(1, L"Home");
    Set(Clock(1), L"location", L"Paris, France");
    Open();
    Select(tree.Clock(0));
    HWND clockPage = GetDlgItem(dialog, kPages[kPageClock].templateId);
    HWND button = GetDlgItem(clockPage, kIdcLocationButton);
    HWND text = GetDlgItem(clockPage, kIdcLocationText);
    auto textOf = [](HWND window) {
        WCHAR buffer[200] = {};
        GetWindowTextW(window, buffer, 200);
        return std::wstring(buffer);
    };

    // the page's location button runs the chooser, `whileOpen` in its loop
    auto clickWhileOpen = [&](std::function<void()> whileOpen) {
        WhileOpen(std::move(whileOpen), [&] { return SendMessageW(button, BM_CLICK, 0, 0); });
        Pump();
    };

    clickWhileOpen([&] {
        EXPECT_EQ(L"Paris", ListViewCellText(List(), SelectedRow(), 0));
        std::vector<StubMapMessage> flown = OfKind(TakeStubMapMessages(), UM_MAPSELECTCITY);
        ASSERT_EQ(1u, flown.size());
        EXPECT_EQ(Record(0), flown[0].lParam);
        SelectRow(2);
        Command(IDOK);
    });
    EXPECT_EQ(L"Sydney, Australia", textOf(text));

    clickWhileOpen([&] {
        EXPECT_EQ(L"Sydney", ListViewCellText(List(), SelectedRow(), 0));
        ZoneMode(kIdPaneMode);
        int row = -1;
        int rows = (int)SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < rows && row < 0; ++i)
            if (ListViewCellText(List(), i, 0).find(L"Amsterdam, Berlin") != std::wstring::npos)
                row = i;
        ASSERT_GE(row, 0);
        SelectRow(row);
        Command(IDOK);
    });
    EXPECT_EQ(L"(UTC+01:00) Amsterdam, Berlin", textOf(text));
    EXPECT_EQ((std::vector<std::string>{"1", "0", "1", "0"}), HideEvents(recorder));
}

// The chooser's window class hosts it as a plain window: its owner is
// disabled while it lives, one at a time, and closing destroys it and
// enables the owner again.
TEST_F(LocationChooserTest, ClassWindowHostsTheChooser)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(CSettingsFrame::RegisterClasses(instance));
    HWND window = CreateWindowExW(0, kLocationChooserClass, L"chooser", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                  900, 600, page.Window(), nullptr, instance, chooser.get());
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(window, Window());
    EXPECT_FALSE(IsWindowEnabled(page.Window()));
    EXPECT_NE(nullptr, List());
    EXPECT_EQ(L"0", MapKey(L"initialized"));
    EXPECT_EQ(nullptr, CreateWindowExW(0, kLocationChooserClass, L"second", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                       page.Window(), nullptr, instance, chooser.get()));
    EXPECT_EQ(window, Window());
    EXPECT_FALSE(IsWindowEnabled(page.Window()));

    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, Window());
    EXPECT_TRUE(IsWindowEnabled(page.Window()));
    EXPECT_NE(L"<missing>", MainKey(L"MapWindowPos"));
    CSettingsFrame::UnregisterClasses(instance);
}

// A library whose InitMap fails is no map: the list alone, nothing sent to
// the main program, the library let go; the next chooser tries it again.
TEST_F(LocationChooserTest, FailingLibraryLeavesTheListAlone)
{
    ASSERT_TRUE(CopyFileW(TL_TEST_BINARIES L"mapstub_regclass\\orbex.dll", folder.File(L"orbex.dll").c_str(), FALSE));
    for (int open = 0; open < 2; ++open) {
        SCOPED_TRACE(open);
        Run(page.Window(), nullptr, [&] {
            EXPECT_EQ(nullptr, MapChild());
            EXPECT_EQ(nullptr, library.module.Get());
            Command(IDCANCEL);
        });
        EXPECT_EQ(L"0", MapKey(L"initialized"));
        EXPECT_TRUE(HideEvents(recorder).empty());
    }
    EXPECT_EQ(nullptr, GetModuleHandleW(L"orbex.dll"));
}
