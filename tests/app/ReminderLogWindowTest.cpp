// The reminders and alarms log window, driven in this process with the
// program's own icons (tempolan.exe loaded as data) and a settings file in a
// scratch folder. Screens are fixed where the test needs monitors that Xvfb
// does not have.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/log/ReminderLogWindow.h"
#include "app/settings/SettingsValues.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Paths.h"
#include "tests/support/ListViewText.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/TestFiles.h"

namespace {

// Strings by id; the English texts of the resource library unless a test
// replaces them.
class CTableLanguage : public ILanguageStrings {
public:
    int GetString(UINT id, WCHAR* buffer, int chars) const override
    {
        auto it = strings.find(id);
        if (it == strings.end()) {
            buffer[0] = 0;
            return 0;
        }
        lstrcpynW(buffer, it->second.c_str(), chars);
        return lstrlenW(buffer);
    }
    LCID GetLcid() const override { return MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT); }

    std::map<UINT, std::wstring> strings = {
        {150, L"When"},       {151, L"Message"},     {160, L"Reminders"},      {167, L"In %d day"},
        {168, L"In %d hour"}, {169, L"In %d minute"}, {170, L"Now"}, {171, L"s"}, {233, L"Delete"},
    };
};

// A 1280 x 800 primary monitor and one far up and to the left, where five-digit
// negative coordinates lie.
class CFixedScreens : public ILogScreens {
public:
    bool GetWorkArea(RECT* area) override
    {
        *area = work;
        return true;
    }
    bool IsOnMonitor(const RECT& r) override
    {
        for (const RECT& m : monitors) {
            RECT common;
            if (IntersectRect(&common, &r, &m))
                return true;
        }
        return false;
    }
    RECT work = {0, 0, 1200, 780};
    std::vector<RECT> monitors = {{0, 0, 1280, 800}, {-12800, -12000, -10240, -10000}};
};

std::wstring Text(const RECT& r)
{
    WCHAR text[64];
    wsprintfW(text, L"%ld, %ld, %ld, %ld", r.left, r.top, r.right, r.bottom);
    return text;
}

SYSTEMTIME Utc(int year, int month, int day, int hour, int minute)
{
    SYSTEMTIME t = {};
    t.wYear = (WORD)year;
    t.wMonth = (WORD)month;
    t.wDay = (WORD)day;
    t.wHour = (WORD)hour;
    t.wMinute = (WORD)minute;
    return t;
}

int64_t Ticks(const SYSTEMTIME& t)
{
    FILETIME ft = {};
    SystemTimeToFileTime(&t, &ft);
    return (int64_t)((uint64_t)ft.dwHighDateTime << 32 | ft.dwLowDateTime);
}

class ReminderLog : public testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(BuildIniPathsFor(m_folder.Path().c_str(), L"user", &m_paths));
        m_resources.Reset(LoadLibraryExW(TL_PROGRAM_FOLDER L"tempolan.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(m_resources);
        m_seams.screens = &m_screens;
        memset(&m_clock, 0, sizeof(m_clock));
    }

    void TearDown() override { m_log.reset(); }

    void WriteMain(const std::string& keys) { ASSERT_TRUE(m_folder.WriteBytes(L"tempolan.ini", "[user:main]\r\n" + keys)); }

    std::wstring MainKey(const WCHAR* key)
    {
        WCHAR text[256] = {};
        GetPrivateProfileStringW(L"user:main", key, L"", text, 256, m_paths.userIni);
        return text;
    }

    void Create()
    {
        m_log.reset(new CReminderLogWindow(m_paths, m_language, m_alarms, m_resources.Get(), m_seams));
        ASSERT_TRUE(m_log->CreateLogWindow());
        ASSERT_NE(nullptr, m_log->List());
    }

    RECT Place()
    {
        RECT r = {};
        GetWindowRect(m_log->Window(), &r);
        return r;
    }

    AlarmRecord Alarm(const wchar_t* text, int reminderMinutes = 0)
    {
        AlarmRecord alarm = {};
        lstrcpynW(alarm.text, text, 260);
        alarm.reminderMinutes = reminderMinutes;
        return alarm;
    }

    bool Add(const wchar_t* text, bool reminder, int reminderMinutes = 0)
    {
        return m_log->AddLogEntry(m_clock, Alarm(text, reminderMinutes), Utc(2026, 3, 10, 12, 0), reminder);
    }

    int Count() { return (int)SendMessageW(m_log->List(), LVM_GETITEMCOUNT, 0, 0); }

    std::wstring ItemText(int item, int column) { return ListViewCellText(m_log->List(), item, column); }

    int ItemImage(int item)
    {
        LVITEMW lv = {};
        lv.mask = LVIF_IMAGE;
        lv.iItem = item;
        SendMessageW(m_log->List(), LVM_GETITEMW, 0, (LPARAM)&lv);
        return lv.iImage;
    }

    int Selected() { return (int)SendMessageW(m_log->List(), LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }

    std::vector<std::wstring> Texts()
    {
        std::vector<std::wstring> texts;
        for (int i = 0; i < Count(); ++i)
            texts.push_back(ItemText(i, 1));
        return texts;
    }

    CTempFolder m_folder;
    SettingsPaths m_paths;
    CTableLanguage m_language;
    CFixedScreens m_screens;
    AlarmCheckState m_alarms = {};
    LogWindowSeams m_seams = {};
    CModule m_resources;
    ClockRecord m_clock;
    std::unique_ptr<CReminderLogWindow> m_log;
};

// The "when" column: the largest whole unit of the lead time, its plural
// ending above 1; an alarm's own entry says so. The text column is the
// alarm's text through the expander.
TEST_F(ReminderLog, EntriesReadBackWithTheirLeadTimeAndIcon)
{
    m_seams.expand = [](const ClockRecord&, const AlarmRecord& alarm, const SYSTEMTIME& time) {
        return std::wstring(L"[") + alarm.text + L"] " + std::to_wstring(time.wHour);
    };
    WriteMain("");
    Create();
    EXPECT_FALSE(IsWindowVisible(m_log->Window()));
    EXPECT_FALSE(IsWindowEnabled(m_log->DeleteButton()));
    struct Case {
        bool reminder;
        int minutes;
        const wchar_t* when;
        int image;
    } cases[] = {
        {true, 90, L"In 1 hour", 1},
        {true, 120, L"In 2 hours", 1},
        {true, 2880, L"In 2 days", 1},
        {true, 1439, L"In 23 hours", 1},
        {true, 1, L"In 1 minute", 1},
        {true, 45, L"In 45 minutes", 1},
        {true, 0, L"", 1},
        {false, 30, L"Now", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes);
        ASSERT_TRUE(Add(L"tea", c.reminder, c.minutes));
        int last = Count() - 1;
        EXPECT_EQ(c.when, ItemText(last, 0));
        EXPECT_EQ(L"[tea] 12", ItemText(last, 1));
        EXPECT_EQ(c.image, ItemImage(last));
        EXPECT_EQ(last, Selected());
    }
    EXPECT_TRUE(IsWindowVisible(m_log->Window()));
    EXPECT_TRUE(IsWindowEnabled(m_log->DeleteButton()));
    EXPECT_TRUE(GetWindowLongPtrW(m_log->Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    // an alarm without a valid time has no "when"
    SYSTEMTIME none = {};
    ASSERT_TRUE(m_log->AddLogEntry(m_clock, Alarm(L"x"), none, false));
    EXPECT_EQ(L"", ItemText(Count() - 1, 0));
}

// Without an expander the record's text stands, also when it fills the field
// without a terminator.
TEST_F(ReminderLog, WithoutAnExpanderTheRawTextIsShown)
{
    WriteMain("");
    Create();
    AlarmRecord alarm = {};
    for (WCHAR& c : alarm.text)
        c = L'z';
    ASSERT_TRUE(m_log->AddLogEntry(m_clock, alarm, Utc(2026, 3, 10, 12, 0), false));
    EXPECT_EQ(std::wstring(260, L'z'), ItemText(0, 1));
}

// Translations are formats with one number; anything else shows the number
// alone, without the plural ending.
TEST_F(ReminderLog, TranslatedFormatsTakeOneNumberOnly)
{
    m_language.strings[168] = L"%s hours";          // not an integer conversion
    m_language.strings[167] = L"%d of %d days";     // two numbers
    m_language.strings[169] = L"%%%d min";          // a percent sign and one number
    WriteMain("");
    Create();
    struct Case {
        int minutes;
        const wchar_t* when;
    } cases[] = {{120, L"2"}, {4320, L"3"}, {5, L"%5 mins"}, {1, L"%1 min"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes);
        ASSERT_TRUE(Add(L"x", true, c.minutes));
        EXPECT_EQ(c.when, ItemText(Count() - 1, 0));
    }
}

TEST_F(ReminderLog, NoWindowNoEntry)
{
    WriteMain("");
    m_log.reset(new CReminderLogWindow(m_paths, m_language, m_alarms, m_resources.Get(), m_seams));
    EXPECT_FALSE(Add(L"x", false));
    ASSERT_TRUE(m_log->CreateLogWindow());
    m_log->DestroyLogWindow();
    EXPECT_FALSE(Add(L"x", false));
}

// The stored place is taken when it is large enough and on a monitor; numbers
// of any length and sign are read.
TEST_F(ReminderLog, StoredPlaceOrTheLowerRightCorner)
{
    const RECT corner = {800, 650, 1200, 780};  // a third by a sixth of the work area
    struct Case {
        const char* stored;
        RECT expected;
    } cases[] = {
        {"100, 120, 500, 420", {100, 120, 500, 420}},
        {"-200, -50, 300, 250", {-200, -50, 300, 250}},                   // partly on the primary monitor
        {"-11500, -10250, -11000, -10050", {-11500, -10250, -11000, -10050}},  // on the far monitor
        {"100,120,500,420", {100, 120, 500, 420}},
        {"100, 120, 140, 220", corner},   // 40 wide
        {"100, 120, 500, 142", corner},   // 22 high
        {"20000, 20000, 20500, 20400", corner},  // on no monitor
        {"100, 120, 500", corner},
        {"100; 120; 500; 420", corner},
        {"", corner},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteMain(std::string("logwindowpos=") + c.stored + "\r\n");
        Create();
        EXPECT_EQ(Text(c.expected), Text(Place()));
        EXPECT_FALSE(IsWindowVisible(m_log->Window()));
        m_log.reset();
    }
}

// The system's monitors: Xvfb has one screen at 0, 0.
TEST_F(ReminderLog, APlaceOffTheScreenFallsBackWithTheSystemMonitors)
{
    m_seams.screens = nullptr;
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    LONG width = (work.right - work.left) / 3, height = (work.bottom - work.top) / 6;
    RECT corner = {work.right - width, work.bottom - height, work.right, work.bottom};
    struct Case {
        const char* stored;
        RECT expected;
    } cases[] = {
        {"30000, 30000, 30400, 30300", corner},
        {"-10500, 100, -10100, 400", corner},
        {"-100, 100, 300, 400", {-100, 100, 300, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteMain(std::string("logwindowpos=") + c.stored + "\r\n");
        Create();
        EXPECT_EQ(Text(c.expected), Text(Place()));
        m_log.reset();
    }
}

// Place and column widths go into the settings when the window goes and come
// back with the next one.
TEST_F(ReminderLog, PlaceAndColumnsSurviveTheNextStart)
{
    WriteMain("logwindowpos=-11500, -10250, -11000, -10050\r\n");
    Create();
    EXPECT_EQ(90, SendMessageW(m_log->List(), LVM_GETCOLUMNWIDTH, 0, 0));
    SendMessageW(m_log->List(), LVM_SETCOLUMNWIDTH, 0, 123);
    SendMessageW(m_log->List(), LVM_SETCOLUMNWIDTH, 1, 234);
    m_log->DestroyLogWindow();
    EXPECT_EQ(L"-11500, -10250, -11000, -10050", MainKey(L"logwindowpos"));
    EXPECT_EQ(L"123 234", MainKey(L"logwindowcolumns"));

    Create();
    EXPECT_EQ(L"-11500, -10250, -11000, -10050", Text(Place()));
    EXPECT_EQ(123, SendMessageW(m_log->List(), LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(234, SendMessageW(m_log->List(), LVM_GETCOLUMNWIDTH, 1, 0));
}

// Without stored widths the text column fills the list beside its scroll bar.
TEST_F(ReminderLog, DefaultColumnsFillTheList)
{
    WriteMain("logwindowpos=100, 100, 700, 400\r\nlogwindowcolumns=70\r\n");
    Create();
    RECT client;
    GetClientRect(m_log->Window(), &client);
    EXPECT_EQ(90, SendMessageW(m_log->List(), LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(client.right - 90 - 2 * GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL),
              SendMessageW(m_log->List(), LVM_GETCOLUMNWIDTH, 1, 0));
}

// The button and the Delete key delete the selected entry; the selection
// stays at its index or moves up from the end; the last one hides the window.
TEST_F(ReminderLog, DeletingMovesTheSelectionAndTheLastOneHides)
{
    WriteMain("logwindowpos=100, 100, 700, 400\r\n");
    Create();
    HWND list = m_log->List(), button = m_log->DeleteButton();
    auto pressButton = [&] {
        SendMessageW(m_log->Window(), WM_COMMAND, MAKEWPARAM(kLogDeleteButtonId, BN_CLICKED), (LPARAM)button);
    };
    auto pressDelete = [&] { SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0); };
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "button" : "Delete key");
        auto press = way == 0 ? std::function<void()>(pressButton) : std::function<void()>(pressDelete);
        for (const wchar_t* t : {L"one", L"two", L"three", L"four"})
            ASSERT_TRUE(Add(t, false));
        m_log->SelectLogItem(1);
        press();  // from the middle: the next one takes the index
        EXPECT_EQ((std::vector<std::wstring>{L"one", L"three", L"four"}), Texts());
        EXPECT_EQ(1, Selected());
        m_log->SelectLogItem(2);
        press();  // the last one: the selection moves up
        EXPECT_EQ((std::vector<std::wstring>{L"one", L"three"}), Texts());
        EXPECT_EQ(1, Selected());
        EXPECT_TRUE(IsWindowVisible(m_log->Window()));
        EXPECT_TRUE(IsWindowEnabled(button));
        press();
        press();
        EXPECT_EQ(0, Count());
        EXPECT_FALSE(IsWindowVisible(m_log->Window()));
        EXPECT_FALSE(IsWindowEnabled(button));
        press();  // nothing left: nothing happens
        EXPECT_FALSE(IsWindowVisible(m_log->Window()));
    }
}

// Closing only hides; the log command shows it again, topmost, in its place.
TEST_F(ReminderLog, CloseHidesAndShowBringsItBack)
{
    WriteMain("logwindowpos=100, 100, 700, 400\r\n");
    Create();
    ASSERT_TRUE(Add(L"one", false));
    SendMessageW(m_log->Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(m_log->Window()));
    EXPECT_FALSE(IsWindowVisible(m_log->Window()));
    SetWindowPos(m_log->Window(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_FALSE(GetWindowLongPtrW(m_log->Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    m_log->Show();
    EXPECT_TRUE(IsWindowVisible(m_log->Window()));
    EXPECT_TRUE(GetWindowLongPtrW(m_log->Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(L"100, 100, 700, 400", Text(Place()));
    EXPECT_EQ(1, Count());
}

// Creation starts the alarm window at the stored last check, else now; the
// check is written back only once the tick ran.
TEST_F(ReminderLog, TheLastAlarmCheckIsReadAtCreationAndWrittenOnceTheTickRan)
{
    struct Case {
        const char* stored;
        bool valid;
    } cases[] = {
        {"2026.03.10 11:00:00", true},
        {"2026.02.30 11:00:00", false},
        {"yesterday", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteMain(std::string("lastalarmcheck=") + c.stored + "\r\n");
        m_alarms.previousTick = Utc(2001, 1, 1, 0, 0);
        SYSTEMTIME before;
        GetSystemTime(&before);
        Create();
        if (c.valid) {
            EXPECT_EQ(Ticks(Utc(2026, 3, 10, 11, 0)), Ticks(m_alarms.previousTick));
        } else {
            EXPECT_LE(Ticks(before) / 10000000, Ticks(m_alarms.previousTick) / 10000000);
            EXPECT_GT(Ticks(before) / 10000000 + 60, Ticks(m_alarms.previousTick) / 10000000);
        }
        // no tick yet: the stored value stays as it was
        m_log->DestroyLogWindow();
        EXPECT_EQ(std::wstring(c.stored, c.stored + strlen(c.stored)), MainKey(L"lastalarmcheck"));
    }

    Create();
    m_alarms.ticked = true;
    m_alarms.previousTick = Utc(2026, 4, 1, 9, 30);
    m_log->DestroyLogWindow();
    EXPECT_EQ(L"2026.04.01 09:30:00", MainKey(L"lastalarmcheck"));
}

// The title, headers and button follow the language; without a title string
// the fixed one stands.
TEST_F(ReminderLog, RelocalizeTakesTheTextsAgain)
{
    WriteMain("");
    Create();
    WCHAR text[128];
    GetWindowTextW(m_log->Window(), text, 128);
    EXPECT_STREQ(L"Reminders", text);
    m_language.strings.erase(160);
    m_language.strings[151] = L"Nachricht";
    m_language.strings[233] = L"Entfernen";
    m_log->Relocalize();
    GetWindowTextW(m_log->Window(), text, 128);
    EXPECT_STREQ(L"Tempolan Reminders and Alarms", text);
    GetWindowTextW(m_log->DeleteButton(), text, 128);
    EXPECT_STREQ(L"Entfernen", text);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 128;
    ASSERT_TRUE(SendMessageW(m_log->List(), LVM_GETCOLUMNW, 1, (LPARAM)&column));
    EXPECT_STREQ(L"Nachricht", text);
}

// The class goes with the window, so that the next program instance's
// registration succeeds.
TEST_F(ReminderLog, DestroyUnregistersTheClassAndClosesTheAlarmWindows)
{
    int closed = 0;
    m_seams.closeAlarmWindows = [&closed] { ++closed; };
    WriteMain("");
    Create();
    WNDCLASSEXW wc = {sizeof(wc)};
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kLogWindowClass, &wc));
    EXPECT_NE(nullptr, wc.hIcon);
    m_log->DestroyLogWindow();
    EXPECT_EQ(1, closed);
    EXPECT_EQ(nullptr, m_log->Window());
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kLogWindowClass, &wc));
    m_log.reset();
    EXPECT_EQ(1, closed);
}

// A second log of the process shares the class; only the one that
// registered it takes it away.
TEST_F(ReminderLog, ASecondLogSharesTheClass)
{
    WriteMain("");
    Create();
    CReminderLogWindow second(m_paths, m_language, m_alarms, m_resources.Get(), m_seams);
    ASSERT_TRUE(second.CreateLogWindow());
    EXPECT_NE(m_log->Window(), second.Window());
    second.DestroyLogWindow();
    WNDCLASSEXW wc = {sizeof(wc)};
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kLogWindowClass, &wc));
    EXPECT_TRUE(IsWindow(m_log->Window()));
    m_log->DestroyLogWindow();
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kLogWindowClass, &wc));
}

// The window as a person sees it, with the English resource library's
// strings: each row's icon cell holds the icon, the strip under the list is
// the button face.
TEST_F(ReminderLog, ShotOfThreeEntries)
{
    CModule english(LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(english);
    CLanguage language;
    language.SetResources(english.Get(), nullptr);
    WriteMain("logwindowpos=200, 150, 760, 400\r\n");
    m_log.reset(new CReminderLogWindow(m_paths, language, m_alarms, m_resources.Get(), m_seams));
    ASSERT_TRUE(m_log->CreateLogWindow());
    ASSERT_TRUE(Add(L"Call the office in Singapore", false));
    ASSERT_TRUE(Add(L"Team meeting", true, 90));
    ASSERT_TRUE(Add(L"Passport renewal appointment", true, 2880));
    HWND window = m_log->Window(), list = m_log->List();
    ClientPicture picture = GrabClientPicture(window);
    const RECT& place = picture.place;
    int width = picture.width, height = picture.height;
    ASSERT_EQ((size_t)width * height * 3, picture.rgb.size());
    auto at = [&](int x, int y) { return picture.At(x, y); };
    ASSERT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"log-window.png", width, height, 3,
                               picture.rgb.data()));

    // list coordinates to the picture's
    POINT origin = {0, 0};
    MapWindowPoints(list, nullptr, &origin, 1);
    int dx = origin.x - place.left, dy = origin.y - place.top;
    for (int item = 0; item < 3; ++item) {
        SCOPED_TRACE(item);
        RECT icon = {LVIR_ICON}, row = {LVIR_BOUNDS};
        ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, item, (LPARAM)&icon));
        ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, item, (LPARAM)&row));
        ASSERT_GE(icon.right - icon.left, GetSystemMetrics(SM_CXSMICON));
        // the row's own background, right of its short texts
        uint32_t background = at(dx + row.right - 3, dy + (row.top + row.bottom) / 2);
        int differing = 0, total = 0;
        for (int y = icon.top; y < icon.bottom; ++y)
            for (int x = icon.left; x < icon.right; ++x, ++total)
                differing += at(dx + x, dy + y) != background;
        EXPECT_GT(differing, total / 4) << differing << " of " << total;
    }

    // the strip under the list, beside the button
    RECT listRect, buttonRect;
    GetWindowRect(list, &listRect);
    GetWindowRect(m_log->DeleteButton(), &buttonRect);
    uint32_t face = GetSysColor(COLOR_BTNFACE);
    uint32_t faceRgb = (face & 0xFF) << 16 | (face & 0xFF00) | (face >> 16 & 0xFF);
    int wrong = 0, checked = 0;
    for (int y = listRect.bottom; y < place.bottom; ++y) {
        for (int x = place.left; x < place.right; ++x) {
            if (x >= buttonRect.left - 1 && x < buttonRect.right + 1 && y >= buttonRect.top - 1 &&
                y < buttonRect.bottom + 1)
                continue;
            ++checked;
            wrong += at(x - place.left, y - place.top) != faceRgb;
        }
    }
    EXPECT_GT(checked, 1000);
    EXPECT_EQ(0, wrong);
}

TEST(LogWindowValues, NumberLists)
{
    struct Case {
        const wchar_t* text;
        WCHAR separator;
        int count;
        bool ok;
        std::vector<int32_t> values;
    } cases[] = {
        {L"1, 2, 3, 4", ',', 4, true, {1, 2, 3, 4}},
        {L"-12345, 67890,-1,+2 trailing", ',', 4, true, {-12345, 67890, -1, 2}},
        {L"  90 360", 0, 2, true, {90, 360}},
        {L"90,360", 0, 2, false, {}},
        {L"1 , 2", ',', 2, false, {}},  // the separator follows the number directly
        {L"1, 2, 3", ',', 4, false, {}},
        {L"2147483647, -2147483648", ',', 2, true, {2147483647, -2147483647 - 1}},
        {L"2147483648, 0", ',', 2, false, {}},
        {L"-, 1", ',', 2, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        int32_t values[4] = {};
        ASSERT_EQ(c.ok, ParseNumberList(c.text, c.separator, values, c.count));
        if (c.ok) {
            EXPECT_EQ(c.values, std::vector<int32_t>(values, values + c.count));
        }
    }
}

}  // namespace
