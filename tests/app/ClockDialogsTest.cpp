// The calendar popup and the time table window of the English library, in
// this process, with a stand-in for the main program: sizes, places, the
// settings they keep, and what the screen shows of them.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/dialogs/CalendarPopup.h"
#include "app/dialogs/ClockDialogHost.h"
#include "app/dialogs/TimeWindow.h"
#include "app/main/ClockDialogs.h"
#include "app/menu/AboutDialog.h"
#include "app/settings/CalendarLook.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "graphics/window/Window.h"
#include "tests/support/FixedZoneClock.h"
#include "tests/support/ListViewText.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

class CFakeDialogHost : public IClockDialogHost {
public:
    CFakeDialogHost()
    {
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        settings.calendarMonths = 1;
        ReadCalendarLook(L"none:calendar", L"Z:\\nonexistent\\none.ini", MAKELCID(0x409, SORT_DEFAULT), &look);
        local.zone = FixedZone(0, L"Local System Time");
    }
    ~CFakeDialogHost() { DestroyWindow(owner); }
    HWND MainWindow() override { return owner; }
    ClockRecord* Clocks() override { return clocks.empty() ? nullptr : clocks.data(); }
    int ClockCount() override { return (int)clocks.size(); }
    const SettingsBlock& ProgramSettings() override { return settings; }
    const TooltipStyle& CalendarLook() override { return look; }
    const LocalZoneState& LocalZone() override { return local; }

    HWND owner;
    std::vector<ClockRecord> clocks;
    SettingsBlock settings = {};
    TooltipStyle look = {};
    LocalZoneState local = {};
};

// The messages of `ms` milliseconds, the dialog's keys through IsDialogMessage
// as the program's loop does.
void PumpDialog(HWND dialog, DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!IsWindow(dialog) || !IsDialogMessageW(dialog, &msg))
                DispatchMessageW(&msg);
        Sleep(10);
    }
}

class ClockDialogsTest : public testing::Test {
protected:
    ClockDialogsTest() : m_library(LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
        m_language.SetResources(m_library.Get(), nullptr);
        wcscpy(paths.folder, folder.Path().c_str());
        wcscpy(paths.userIni, folder.File(L"tempolan.ini").c_str());
        wcscpy(paths.defaultIni, folder.File(L"default.ini").c_str());
        wcscpy(paths.userPrefix, L"tester");
        RegisterWindowClasses(GetModuleHandleW(nullptr));
    }
    std::wstring MainKey(const WCHAR* key)
    {
        WCHAR value[64] = L"";
        GetPrivateProfileStringW(L"tester:main", key, L"(none)", value, 64, paths.userIni);
        return value;
    }
    void SetMainKey(const WCHAR* key, const WCHAR* value)
    {
        WritePrivateProfileStringW(L"tester:main", key, value, paths.userIni);
    }

    CModule m_library;
    CLanguage m_language;
    CTempFolder folder;
    SettingsPaths paths = {};
    CFakeDialogHost host;
};

SIZE ClientSize(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

std::wstring Title(HWND window)
{
    WCHAR text[128] = L"";
    GetWindowTextW(window, text, 128);
    return text;
}

// The widget's size as measured on the popup.
SIZE WidgetSize(const CCalendarPopup& popup)
{
    const RECT& r = popup.Widget().GetRect();
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST(CalendarGrid, MonthsMakeTheGrid)
{
    struct Case {
        int months, across, down;
    } cases[] = {{1, 1, 1}, {2, 2, 1}, {3, 3, 1}, {4, 2, 2}, {5, 5, 1},  {6, 3, 2},  {7, 7, 1},
                 {8, 4, 2}, {9, 3, 3}, {10, 5, 2}, {11, 11, 1}, {12, 4, 3}, {13, 1, 1}, {0, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.months);
        int across = 0, down = 0;
        GetCalendarGrid(c.months, &across, &down);
        EXPECT_EQ(c.across, across);
        EXPECT_EQ(c.down, down);
    }
}

// Opening makes the one popup, owned by the main window and titled by the
// library; opening again raises that one. The widget sits 10 pixels in from
// every edge, its months in the grid of "num_month".
TEST_F(ClockDialogsTest, CalendarPopupOpensOnceAndFitsItsMonths)
{
    ASSERT_TRUE(m_library);
    struct Case {
        int months, across, down;
    } cases[] = {{6, 3, 2}, {5, 5, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.months);
        host.settings.calendarMonths = (uint32_t)c.months;
        CCalendarPopup popup(m_language, paths);
        popup.SetHost(&host);
        ASSERT_TRUE(popup.Show());
        HWND window = popup.Window();
        ASSERT_TRUE(IsWindow(window));
        EXPECT_EQ(L"Calendar", Title(window));
        EXPECT_EQ(host.owner, GetWindow(window, GW_OWNER));
        ASSERT_TRUE(popup.Show());
        EXPECT_EQ(window, popup.Window());

        SIZE widget = WidgetSize(popup);
        SIZE client = ClientSize(window);
        EXPECT_EQ(kCalendarMargin, popup.Widget().GetRect().left);
        EXPECT_EQ(kCalendarMargin, popup.Widget().GetRect().top);
        EXPECT_EQ(widget.cx + 2 * kCalendarMargin, client.cx);
        EXPECT_EQ(widget.cy + 2 * kCalendarMargin, client.cy);
        Calendar::CGridLayout layout = popup.Widget().GetLayout();
        int x = 0, y = 0;
        layout.BlockOrigin(c.down - 1, c.across - 1, &x, &y);
        EXPECT_LE(x + layout.BlockWidth(), widget.cx);
        EXPECT_LE(y + layout.BlockHeight(), widget.cy);
        // no room for one more block in either direction
        EXPECT_LT(widget.cx, (c.across + 1) * layout.BlockWidth());
        EXPECT_LT(widget.cy - (layout.Height() - c.down * layout.BlockHeight()), (c.down + 1) * layout.BlockHeight());
        popup.Close();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(popup.IsOpen());
    }
}

// Escape closes the popup and its corner is saved; the next opening puts
// it there. A corner on no monitor brings it up centred in the work area.
TEST_F(ClockDialogsTest, CalendarPopupKeepsItsPlace)
{
    ASSERT_TRUE(m_library);
    CCalendarPopup popup(m_language, paths);
    popup.SetHost(&host);
    SetMainKey(L"calendar_x", L"123");
    SetMainKey(L"calendar_y", L"97");
    ASSERT_TRUE(popup.Show());
    HWND window = popup.Window();
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(123, r.left);
    EXPECT_EQ(97, r.top);
    SetWindowPos(window, nullptr, 211, 152, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpDialog(window, 300);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(popup.IsOpen());
    EXPECT_EQ(L"211", MainKey(L"calendar_x"));
    EXPECT_EQ(L"152", MainKey(L"calendar_y"));

    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const WCHAR* saved : {L"5000", L"32767"}) {
        SCOPED_TRACE(saved);
        SetMainKey(L"calendar_x", saved);
        SetMainKey(L"calendar_y", saved);
        ASSERT_TRUE(popup.Show());
        GetWindowRect(popup.Window(), &r);
        EXPECT_NEAR((work.left + work.right) / 2, (r.left + r.right) / 2, 1);
        EXPECT_NEAR((work.top + work.bottom) / 2, (r.top + r.bottom) / 2, 1);
        popup.Close();
    }
    // a reopening after a settings change keeps one popup, made anew
    ASSERT_TRUE(popup.Show());
    HWND before = popup.Window();
    host.settings.calendarMonths = 4;
    popup.Reopen();
    ASSERT_TRUE(popup.IsOpen());
    EXPECT_FALSE(IsWindow(before));
    int across = 0, down = 0;
    GetCalendarGrid(4, &across, &down);
    EXPECT_GT(WidgetSize(popup).cy, 2 * popup.Widget().GetLayout().BlockHeight() - 1);
    popup.Close();
    popup.Reopen();
    EXPECT_FALSE(popup.IsOpen());
}

// The screen shows today's cell in the today background and, without
// "nav_btns.png", buttons drawn in the colours of bitmap 218.
TEST_F(ClockDialogsTest, CalendarPopupShot)
{
    ASSERT_TRUE(m_library);
    host.settings.calendarMonths = 3;
    CCalendarPopup popup(m_language, paths);
    popup.SetHost(&host);
    ASSERT_TRUE(popup.Show());
    HWND window = popup.Window();
    SetWindowPos(window, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE);
    ClientPicture picture = GrabClientPicture(window);
    ASSERT_GT(picture.width, 0);
    ASSERT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"calendar_popup.png", picture.width, picture.height,
                               3, picture.rgb.data()));

    const Calendar::CCalendarWidget& widget = popup.Widget();
    Calendar::CGridLayout layout = widget.GetLayout();
    const SYSTEMTIME& today = widget.GetToday();
    int first = widget.GetFirstColumn(today);
    int index = first + today.wDay - 1;
    int bx = 0, by = 0;
    layout.BlockOrigin(0, 0, &bx, &by);
    Calendar::Box cell = layout.CellBox(index / 7, index % 7);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    uint32_t want = (uint32_t)GetRValue(highlight) << 16 | (uint32_t)GetGValue(highlight) << 8 | GetBValue(highlight);
    int inCell = 0, total = 0;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            ++total;
            inCell += picture.At(kCalendarMargin + bx + x, kCalendarMargin + by + y) == want;
        }
    EXPECT_GT(inCell * 2, total) << "today's cell is not in the today background";

    // the buttons: only colours of the library's bitmap besides the background
    CGdiObject<HBITMAP> bitmap((HBITMAP)LoadImageW(m_library.Get(), MAKEINTRESOURCEW(Calendar::kNavButtonsBitmap),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_TRUE(bitmap);
    DIBSECTION dib = {};
    ASSERT_TRUE(GetObjectW(bitmap.Get(), sizeof(dib), &dib));
    std::set<uint32_t> colours;
    CMemoryDC dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.Get(), bitmap.Get());
    for (int y = 0; y < dib.dsBm.bmHeight; ++y)
        for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
            COLORREF c = GetPixel(dc.Get(), x, y);
            colours.insert((uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c));
        }
    SelectObject(dc.Get(), old);
    Calendar::Box button = layout.ButtonBox(1);
    ASSERT_LT(button.left, button.right);
    COLORREF window_ = GetSysColor(COLOR_WINDOW);
    uint32_t background = (uint32_t)GetRValue(window_) << 16 | (uint32_t)GetGValue(window_) << 8 | GetBValue(window_);
    int drawn = 0, foreign = 0;
    for (int y = button.top; y < button.bottom; ++y)
        for (int x = button.left; x < button.right; ++x) {
            uint32_t p = picture.At(kCalendarMargin + x, kCalendarMargin + y);
            if (p == background)
                continue;
            ++drawn;
            foreign += colours.count(p) == 0;
        }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(0, foreign);
    popup.Close();
}

// The popup hands the mouse to the widget: a click on the next-month
// button shows the month after.
TEST_F(ClockDialogsTest, CalendarPopupPassesTheMouseToTheWidget)
{
    ASSERT_TRUE(m_library);
    CCalendarPopup popup(m_language, paths);
    popup.SetHost(&host);
    ASSERT_TRUE(popup.Show());
    HWND window = popup.Window();
    const SYSTEMTIME shown = popup.Widget().GetShownMonth();
    Calendar::Box next = popup.Widget().GetLayout().ButtonBox(2);
    LPARAM at = MAKELPARAM(kCalendarMargin + (next.left + next.right) / 2,
                           kCalendarMargin + (next.top + next.bottom) / 2);
    SendMessageW(window, WM_MOUSEMOVE, 0, at);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    auto monthsFrom = [&](const SYSTEMTIME& t) { return (t.wYear - shown.wYear) * 12 + t.wMonth - shown.wMonth; };
    EXPECT_EQ(1, monthsFrom(popup.Widget().GetShownMonth()));
    popup.Close();
}

// "nav_btns.png" in the program folder takes the place of bitmap 218.
TEST_F(ClockDialogsTest, CalendarPopupTakesTheButtonImageFile)
{
    ASSERT_TRUE(m_library);
    // four buttons across, three states down, all of one opaque colour
    const int width = 64, height = 48;
    std::vector<uint8_t> rgba;
    for (int i = 0; i < width * height; ++i)
        rgba.insert(rgba.end(), {0x12, 0x34, 0x56, 0xFF});
    ASSERT_TRUE(WritePngPixels(folder.File(L"nav_btns.png"), width, height, 4, rgba.data()));
    CCalendarPopup popup(m_language, paths);
    popup.SetHost(&host);
    ASSERT_TRUE(popup.Show());
    HWND window = popup.Window();
    SetWindowPos(window, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE);
    ClientPicture picture = GrabClientPicture(window);
    ASSERT_GT(picture.width, 0);
    Calendar::Box button = popup.Widget().GetLayout().ButtonBox(2);
    ASSERT_EQ(width / 4, button.right - button.left);
    ASSERT_EQ(height / 3, button.bottom - button.top);
    int same = 0;
    for (int y = button.top; y < button.bottom; ++y)
        for (int x = button.left; x < button.right; ++x)
            same += picture.At(kCalendarMargin + x, kCalendarMargin + y) == 0x123456u;
    EXPECT_EQ((width / 4) * (height / 3), same);
    popup.Close();
}

namespace {

class TimeTableTest : public ClockDialogsTest {
protected:
    TimeTableTest()
    {
        host.clocks.push_back(FixedZoneClock(0, L"London"));
        host.clocks.push_back(FixedZoneClock(330, L"Mumbai"));
        ClockRecord timer = FixedZoneClock(0, L"Egg timer");
        timer.kind = kClockTimer | kClockCountdown;
        host.clocks.push_back(timer);
    }
    int Rows(CTimeTable& table) { return (int)SendMessageW(table.Window()->List(), LVM_GETITEMCOUNT, 0, 0); }
    int Columns(CTimeTable& table)
    {
        HWND header = (HWND)SendMessageW(table.Window()->List(), LVM_GETHEADER, 0, 0);
        return (int)SendMessageW(header, HDM_GETITEMCOUNT, 0, 0);
    }
    std::wstring Cell(CTimeTable& table, int row, int column)
    {
        return ListViewCellText(table.Window()->List(), row, column);
    }
    std::wstring ColumnTitle(CTimeTable& table, int column)
    {
        return ListViewColumnTitle(table.Window()->List(), column);
    }
    void Choose(CTimeTable& table, int control, int item)
    {
        HWND window = table.Window()->GetHandle();
        HWND combo = GetDlgItem(window, control);
        SendMessageW(combo, CB_SETCURSEL, item, 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE), (LPARAM)combo);
    }
};

}  // namespace

// The window of string 223 lists the day at the stored interval, a column
// for the local time and one per clock that is no timer.
TEST_F(TimeTableTest, ListsTheDayForTheClocks)
{
    ASSERT_TRUE(m_library);
    SetMainKey(L"ttable_interval", L"15");
    CTimeTable table(m_language, paths);
    table.SetHost(&host);
    ASSERT_TRUE(table.Show());
    ASSERT_NE(nullptr, table.Window());
    HWND window = table.Window()->GetHandle();
    EXPECT_EQ(L"Tempolan Time Table", Title(window));
    WCHAR name[64] = L"";
    GetClassNameW(window, name, 64);
    EXPECT_STREQ(kGenericWindowClass, name);
    EXPECT_EQ(96, Rows(table));
    ASSERT_EQ(3, Columns(table));
    EXPECT_EQ(L"Local time", ColumnTitle(table, 0));
    EXPECT_EQ(L"London", ColumnTitle(table, 1));
    EXPECT_EQ(L"Mumbai", ColumnTitle(table, 2));
    // the interval combo: "1 hour", then the minutes right-aligned
    HWND interval = GetDlgItem(window, kIdcTableInterval);
    ASSERT_EQ(6, SendMessageW(interval, CB_GETCOUNT, 0, 0));
    WCHAR text[64] = L"";
    SendMessageW(interval, CB_GETLBTEXT, 0, (LPARAM)text);
    EXPECT_STREQ(L"1 hour", text);
    SendMessageW(interval, CB_GETLBTEXT, 5, (LPARAM)text);
    EXPECT_STREQ(L" 5 minutes", text);
    EXPECT_EQ(15, (int)SendMessageW(interval, CB_GETITEMDATA, SendMessageW(interval, CB_GETCURSEL, 0, 0), 0));
    // a second request raises the same window
    ASSERT_TRUE(table.Show());
    EXPECT_EQ(window, table.Window()->GetHandle());

    Choose(table, kIdcTableFormat, 2);
    EXPECT_EQ(L"0:00", Cell(table, 0, 0).substr(4));
    EXPECT_EQ(L"23:45", Cell(table, 95, 0).substr(4));
    EXPECT_EQ(L"5:30", Cell(table, 0, 2).substr(4));
    Choose(table, kIdcTableInterval, 0);
    EXPECT_EQ(24, Rows(table));
}

// "24 hours" chosen and closed is read back in a later run; an interval out
// of range keeps the current one; the place of the last close is kept for
// the run.
TEST_F(TimeTableTest, KeepsItsChoices)
{
    ASSERT_TRUE(m_library);
    RECT closed = {};
    {
        CTimeTable table(m_language, paths);
        table.SetHost(&host);
        ASSERT_TRUE(table.Show());
        Choose(table, kIdcTableFormat, 2);
        Choose(table, kIdcTableInterval, 1);
        HWND window = table.Window()->GetHandle();
        SetWindowPos(window, nullptr, 33, 44, 500, 300, SWP_NOZORDER);
        GetWindowRect(window, &closed);
        DestroyWindow(window);
        EXPECT_EQ(nullptr, table.Window());
        EXPECT_EQ(L"24 hours", MainKey(L"ttable_format"));
        EXPECT_EQ(L"30", MainKey(L"ttable_interval"));
        ASSERT_TRUE(table.Show());
        RECT again;
        GetWindowRect(table.Window()->GetHandle(), &again);
        EXPECT_TRUE(EqualRect(&closed, &again));
    }
    // a later run
    SetMainKey(L"ttable_interval", L"90");
    CTimeTable table(m_language, paths);
    table.SetHost(&host);
    ASSERT_TRUE(table.Show());
    EXPECT_EQ(24, Rows(table));
    EXPECT_EQ(L"0:00", Cell(table, 0, 0).substr(4));
    EXPECT_EQ(L"13:00", Cell(table, 13, 0).substr(4));
    HWND format = GetDlgItem(table.Window()->GetHandle(), kIdcTableFormat);
    EXPECT_EQ(2, (int)SendMessageW(format, CB_GETCURSEL, 0, 0));
    SetMainKey(L"ttable_format", L"Hourly");
    table.Close();
    EXPECT_EQ(L"24 hours", MainKey(L"ttable_format"));
    EXPECT_EQ(L"60", MainKey(L"ttable_interval"));
}

// After a settings change the main program's clock array is a new one: the
// table takes the clocks again and makes its columns anew.
TEST_F(TimeTableTest, SettingsChangeRebuildsTheColumns)
{
    ASSERT_TRUE(m_library);
    AboutServices services = {&m_language, nullptr, nullptr};
    CAboutDialog about(services);
    CClockDialogs dialogs(about);
    CTimeTable table(m_language, paths);
    table.SetHost(&host);
    dialogs.SetTimeTable(&table);
    dialogs.ShowTimeTable();
    ASSERT_NE(nullptr, table.Window());
    ASSERT_EQ(3, Columns(table));

    std::vector<ClockRecord> replaced;
    for (const WCHAR* name : {L"Tokyo", L"Paris", L"Lima", L"Oslo", L"Perth"})
        replaced.push_back(FixedZoneClock(60, name));
    host.clocks.swap(replaced);
    // the old records are gone, as a reload leaves them
    memset(replaced.data(), 0xDD, replaced.size() * sizeof(ClockRecord));
    replaced.clear();
    replaced.shrink_to_fit();
    dialogs.UpdateTimeTable();
    ASSERT_EQ(6, Columns(table));
    EXPECT_EQ(L"Tokyo", ColumnTitle(table, 1));
    EXPECT_EQ(L"Perth", ColumnTitle(table, 5));
    EXPECT_EQ(Cell(table, 3, 1), Cell(table, 3, 5));
}

// A clock whose profile is active all day has every cell in the blend of
// its colour into the window colour; the local column stays plain.
TEST_F(TimeTableTest, TimeTableShot)
{
    ASSERT_TRUE(m_library);
    ClockProfileRecord& all = host.clocks[1].profiles[0];
    host.clocks[1].profilesEnabled = 1;
    host.clocks[1].profileCount = 1;
    all.enabled = 1;
    all.weekdays = 0x7F;
    all.startMinute = 0;
    all.endMinute = 1440;
    all.color = RGB(0, 160, 0);
    all.weight = 128;
    CTimeTable table(m_language, paths);
    table.SetHost(&host);
    ASSERT_TRUE(table.Show());
    HWND window = table.Window()->GetHandle();
    SetWindowPos(window, HWND_TOPMOST, 20, 20, 600, 400, 0);
    HWND list = table.Window()->List();
    ClientPicture picture = GrabClientPicture(window);
    ASSERT_GT(picture.width, 0);
    ASSERT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"time_table.png", picture.width, picture.height, 3,
                               picture.rgb.data()));

    COLORREF w = GetSysColor(COLOR_WINDOW);
    auto mix = [](int a, int b) { return (a * (256 - 128) + b * 128) >> 8; };
    uint32_t tinted = (uint32_t)mix(GetRValue(w), 0) << 16 | (uint32_t)mix(GetGValue(w), 160) << 8 |
                      (uint32_t)mix(GetBValue(w), 0);
    uint32_t plain = (uint32_t)GetRValue(w) << 16 | (uint32_t)GetGValue(w) << 8 | GetBValue(w);
    POINT origin = {0, 0};
    MapWindowPoints(list, window, &origin, 1);
    for (int row : {1, 5}) {
        for (int column : {0, 1, 2}) {
            SCOPED_TRACE(row * 10 + column);
            RECT cell = {};
            cell.top = column;
            cell.left = LVIR_LABEL;
            ASSERT_TRUE(SendMessageW(list, LVM_GETSUBITEMRECT, row, (LPARAM)&cell));
            // the cell's right end is past its text
            int x = origin.x + cell.right - 3, y = origin.y + (cell.top + cell.bottom) / 2;
            ASSERT_LT(x, picture.width);
            uint32_t want = column == 2 ? tinted : plain;
            EXPECT_EQ(want, picture.At(x, y));
        }
    }
    table.Close();
}
