// The all-clocks dialog: its rows, the shared moment and how picking a date
// or time on one clock moves it, and the dialog itself over a fake main
// program with the shipped skins and the English resource library.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/clock/ClockHost.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "graphics/time/ZoneConvert.h"
#include "app/zones/ZoneDatabase.h"
#include "windows/allclocks/AllClocksDialog.h"
#include "windows/allclocks/AllClocksLayout.h"
#include "windows/allclocks/AllClocksMoment.h"
#include "tests/support/FakeDesktopHost.h"
#include "tests/support/FakeSystemZone.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

const wchar_t kSkinsRoot[] = TL_PROGRAM_FOLDER L"skins\\";

SYSTEMTIME At(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    SYSTEMTIME t = MakeTime(y, mo, d, h, mi, s);
    t.wMilliseconds = (WORD)ms;
    return t;
}

std::string Text(const SYSTEMTIME& t)
{
    return FormatTime(t);
}

// A clock of a fixed offset (minutes east of UTC) without daylight saving.
ClockRecord OffsetClock(uint32_t id, int minutesEast, const wchar_t* caption)
{
    ClockRecord r = {};
    r.id = id;
    r.enabled = 1;
    r.zone.tzi.Bias = -minutesEast;
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"Fixed");
    CopyFixed(r.caption, FIELD_WIDTH(r.caption), caption);
    CopyFixed(r.timeFormat, FIELD_WIDTH(r.timeFormat), L"HH:mm:ss");
    CopyFixed(r.dateFormat, FIELD_WIDTH(r.dateFormat), L"dd.MM.");
    r.flags = kClockShowsSeconds | kClockSecondsHand;
    return r;
}

// Berlin: one hour east, summer time from the last Sunday of March, 02:00,
// to the last Sunday of October, 03:00.
ClockRecord BerlinClock(uint32_t id)
{
    ClockRecord r = OffsetClock(id, 60, L"Berlin");
    CopyFixed(r.zone.zoneName, FIELD_WIDTH(r.zone.zoneName), L"W. Europe Standard Time");
    r.zone.tzi.DaylightBias = -60;
    r.zone.tzi.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    r.zone.tzi.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    r.zone.standardRule = -1;  // the last week of the month
    r.zone.daylightRule = -1;
    r.flags |= kClockUseDaylight;
    return r;
}

SYSTEMTIME Shown(const SYSTEMTIME& utc, const ClockRecord& clock)
{
    SYSTEMTIME t;
    GetClockLocalTime(utc, &t, clock);
    return t;
}

}  // namespace

TEST(AllClocksLayout, RowsKeepCloseToThreeByTwoAndFillInOrder)
{
    struct Case {
        const char* name;
        std::vector<AllClocksSize> clocks;
        std::vector<int> rows;
    } cases[] = {
        {"six equal clocks: two rows of three", std::vector<AllClocksSize>(6, {150, 50}), {0, 0, 0, 1, 1, 1}},
        {"two small clocks: one row", std::vector<AllClocksSize>(2, {80, 20}), {0, 0}},
        {"a short last row joins the one before",
         {{400, 50}, {400, 50}, {400, 50}, {150, 50}},
         {0, 1, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AllClocksLayoutInput input = {c.clocks, 100, 20, true};
        std::vector<AllClocksPlace> places;
        AllClocksSize size = LayoutAllClocks(input, &places);
        ASSERT_EQ(places.size(), c.rows.size());
        for (size_t i = 0; i < places.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(places[i].row, c.rows[i]);
            const AllClocksPlace& p = places[i];
            EXPECT_EQ(p.clock.right - p.clock.left, c.clocks[i].cx);
            // the pickers under the clock, one below the other, inside the client area
            EXPECT_GE(p.datePicker.top, p.clock.bottom);
            EXPECT_EQ(p.timePicker.top, p.datePicker.bottom);
            EXPECT_LE(p.timePicker.bottom, size.cy);
            EXPECT_LE(p.clock.right, size.cx);
            EXPECT_GE(p.clock.left, 0);
            if (i > 0 && places[i - 1].row == p.row) {
                EXPECT_GT(p.clock.left, places[i - 1].clock.right);
                EXPECT_EQ(p.clock.top, places[i - 1].clock.top);
            }
        }
    }
}

TEST(AllClocksLayout, OneClockIsCentredNarrowTextClocksTakeTheColumnNoneIsEmpty)
{
    std::vector<AllClocksPlace> places;
    AllClocksLayoutInput face = {{{60, 60}}, 100, 20, true};
    AllClocksSize size = LayoutAllClocks(face, &places);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].clock.left, size.cx - places[0].clock.right);
    EXPECT_EQ(places[0].clock.right - places[0].clock.left, 60);

    AllClocksLayoutInput text = {{{60, 20}}, 100, 20, false};
    LayoutAllClocks(text, &places);
    EXPECT_EQ(places[0].clock.right - places[0].clock.left, 100);
    EXPECT_EQ(places[0].clock.left, places[0].datePicker.left);

    AllClocksLayoutInput none = {{}, 100, 20, true};
    size = LayoutAllClocks(none, &places);
    EXPECT_TRUE(places.empty());
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
}

TEST(AllClocksMoment, TheNextWholeHourCarriesIntoTheNextDayMonthAndYear)
{
    struct Case {
        SYSTEMTIME now, next;
    } cases[] = {
        {At(2026, 12, 31, 23, 30), At(2027, 1, 1, 0, 0)},
        {At(2026, 2, 28, 23, 0), At(2026, 3, 1, 0, 0)},
        {At(2026, 6, 15, 10, 0), At(2026, 6, 15, 11, 0)},
        {At(2026, 6, 15, 10, 59, 59, 999), At(2026, 6, 15, 11, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text(c.now));
        SYSTEMTIME next;
        ASSERT_TRUE(NextWholeHour(c.now, &next));
        EXPECT_EQ(Text(c.next), Text(next));
        EXPECT_EQ(0, next.wMilliseconds);
    }
}

TEST(AllClocksMoment, APickedTimeMovesTheMomentAndASkippedOneMovesItByTheStep)
{
    ClockRecord berlin = BerlinClock(1);
    struct Case {
        const char* name;
        SYSTEMTIME moment;
        int hour, minute;
        SYSTEMTIME expected;
    } cases[] = {
        {"winter", At(2026, 3, 28, 10, 0), 15, 45, At(2026, 3, 28, 14, 45)},
        {"summer", At(2026, 7, 1, 10, 0), 0, 15, At(2026, 6, 30, 22, 15)},
        // 01:30 in Berlin; 02:30 does not exist that night: an hour later
        {"skipped", At(2026, 3, 29, 0, 30), 2, 30, At(2026, 3, 29, 1, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SYSTEMTIME moment = MomentForPickedTime(berlin, c.moment, c.hour, c.minute);
        EXPECT_EQ(Text(c.expected), Text(moment));
    }
    // a date keeps the time of day the clock shows
    SYSTEMTIME moved = MomentForPickedDate(berlin, At(2026, 3, 28, 10, 0), At(2026, 7, 4, 0, 0));
    EXPECT_EQ(Text(At(2026, 7, 4, 9, 0)), Text(moved));
}

TEST(AllClocksMoment, TheTimeFormatLosesItsSeconds)
{
    struct Case {
        const wchar_t *format, *separator, *expected;
    } cases[] = {
        {L"HH:mm:ss", L":", L"HH:mm"},
        {L"h:mm:ss tt", L":", L"h:mm tt"},
        {L"HH.mm.ss", L".", L"HH.mm"},
        {L"tt hh:mm:ss", L":", L"tt hh:mm"},
        {L"HH:mm", L":", L"HH:mm"},
        {L"hh:mm:ss:tt", L":", L"hh:mm:tt"},
    };
    for (const Case& c : cases) {
        WCHAR out[32];
        TimeFormatWithoutSeconds(c.format, c.separator, out, 32);
        EXPECT_STREQ(c.expected, out);
    }
}

namespace {

// The dialog with the moment fixed.
class CFixedAllClocks : public CAllClocksDialog {
public:
    using CAllClocksDialog::CAllClocksDialog;
    SYSTEMTIME now = At(2026, 3, 28, 23, 30);

protected:
    SYSTEMTIME NowUtc() override { return now; }
};

class AllClocksDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(resources.Load(TL_PROGRAM_FOLDER));
        library.Reset(LoadLibraryW(TL_RES_EN_DLL));
        ASSERT_TRUE((bool)library);
        CopyFixed(host.settings.skin, FIELD_WIDTH(host.settings.skin), L"Blue LCD");
        ASSERT_TRUE(zones.LoadTimeZonesFile(TL_PROGRAM_FOLDER L"timezones.txt"));
        ASSERT_TRUE(zones.LoadZoneChangesFile(TL_PROGRAM_FOLDER L"tz_changes.txt"));
        AllClocksServices services = {&resources.Language(), &library, kSkinsRoot, nullptr, &zones,
                                      resources.Context()};
        dialog.reset(new CFixedAllClocks(services));
        dialog->SetHost(&host);
    }
    void TearDown() override
    {
        if (dialog)
            dialog->Close();
        dialog.reset();
    }

    HWND Picker(int id) { return GetDlgItem(dialog->Window(), id); }
    SYSTEMTIME PickerTime(int id)
    {
        SYSTEMTIME t = {};
        SendMessageW(Picker(id), DTM_GETSYSTEMTIME, 0, (LPARAM)&t);
        return t;
    }
    // A user's pick: the picker takes the value and tells its dialog.
    void Pick(int id, const SYSTEMTIME& value)
    {
        SendMessageW(Picker(id), DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&value);
        NMDATETIMECHANGE change = {};
        change.nmhdr.hwndFrom = Picker(id);
        change.nmhdr.idFrom = (UINT_PTR)id;
        change.nmhdr.code = DTN_DATETIMECHANGE;
        change.dwFlags = GDT_VALID;
        change.st = value;
        SendMessageW(dialog->Window(), WM_NOTIFY, id, (LPARAM)&change);
    }

    CClockHostResources resources;
    CModule library;
    CFakeSystemZone system;
    CZoneDatabase zones{system};
    CFakeDesktopHost host;
    std::unique_ptr<CFixedAllClocks> dialog;
};

}  // namespace

TEST_F(AllClocksDialogTest, SixClocksApartWithPickersAtTheNextWholeHour)
{
    // six clocks of the same size; a timer and a disabled clock stay out
    const int offsets[6] = {0, 330, -300, 60, 540, -600};
    for (int i = 0; i < 6; ++i)
        host.clocks.push_back(OffsetClock(i + 1, offsets[i], L"Clock"));
    ClockRecord timer = OffsetClock(7, 0, L"Timer");
    timer.kind = kClockTimer;
    ClockRecord off = OffsetClock(8, 0, L"Off");
    off.enabled = 0;
    host.clocks.insert(host.clocks.begin() + 2, timer);
    host.clocks.push_back(off);

    ASSERT_TRUE(dialog->Show());
    HWND window = dialog->Window();
    ASSERT_TRUE(IsWindow(window));
    WCHAR title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(L"All Clocks", title);
    ASSERT_EQ(6, dialog->ClockCount());
    EXPECT_EQ(nullptr, Picker(kTimePickerBase + 6));
    EXPECT_EQ(nullptr, Picker(kDatePickerBase + 6));

    // the moment: 23:30 on 28 March gives midnight; each clock's pickers show its zone's time
    EXPECT_EQ(Text(At(2026, 3, 29, 0, 0)), Text(dialog->Moment()));
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(HasWindowClass(Picker(kTimePickerBase + i), L"SysDateTimePick32"));
        SYSTEMTIME expected = Shown(dialog->Moment(), dialog->Copy(i));
        SYSTEMTIME date = PickerTime(kDatePickerBase + i), time = PickerTime(kTimePickerBase + i);
        EXPECT_EQ(expected.wDay, date.wDay);
        EXPECT_EQ(expected.wMonth, date.wMonth);
        EXPECT_EQ(expected.wHour, time.wHour);
        EXPECT_EQ(expected.wMinute, time.wMinute);
        // the copies: no seconds, the default time format, no date
        EXPECT_EQ(0u, dialog->Copy(i).flags & (kClockShowsSeconds | kClockSecondsHand));
        EXPECT_STREQ(L"Default", dialog->Copy(i).timeFormat);
        EXPECT_STREQ(L"None", dialog->Copy(i).dateFormat);
    }
    // the clocks apart, every picker under its clock and inside the window
    RECT client;
    GetClientRect(window, &client);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        RECT r = dialog->ClockRect(i), common;
        for (int k = 0; k < i; ++k) {
            RECT other = dialog->ClockRect(k);
            EXPECT_FALSE(IntersectRect(&common, &r, &other));
        }
        RECT picker;
        GetWindowRect(Picker(kTimePickerBase + i), &picker);
        MapWindowPoints(nullptr, window, (POINT*)&picker, 2);
        EXPECT_GT(picker.top, r.bottom);
        EXPECT_LE(picker.bottom, client.bottom);
        EXPECT_LE(picker.right, client.right);
        EXPECT_TRUE(IsWindowVisible(Picker(kTimePickerBase + i)));
    }

    ClientPicture picture = GrabClientPicture(window);
    ASSERT_FALSE(picture.rgb.empty());
    WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"all_clocks.png", picture.width, picture.height, 3,
                   picture.rgb.data());
    // each clock's cell is drawn: not plain button face
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t faceRgb = (uint32_t)GetRValue(face) << 16 | (uint32_t)GetGValue(face) << 8 | GetBValue(face);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        RECT r = dialog->ClockRect(i);
        int other = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                other += picture.At(x, y) != faceRgb;
        EXPECT_GT(other, (r.right - r.left) * (r.bottom - r.top) / 2);
    }

    // a second show brings the same dialog forward
    ASSERT_TRUE(dialog->Show());
    EXPECT_EQ(window, dialog->Window());
    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, dialog->Window());
}

TEST_F(AllClocksDialogTest, PickingASkippedTimeOnBerlinMovesTheMomentAnHourAndTheOthersFollow)
{
    host.clocks.push_back(BerlinClock(1));
    host.clocks.push_back(OffsetClock(2, 0, L"London & Co"));
    dialog->now = At(2026, 3, 28, 23, 45);  // the moment: 00:00 UTC, 01:00 in Berlin
    ASSERT_TRUE(dialog->Show());
    SYSTEMTIME berlin = PickerTime(kTimePickerBase + 0);
    ASSERT_EQ(1, berlin.wHour);
    berlin.wMinute = 30;
    Pick(kTimePickerBase + 0, berlin);
    EXPECT_EQ(Text(At(2026, 3, 29, 0, 30)), Text(dialog->Moment()));
    berlin.wHour = 2;
    Pick(kTimePickerBase + 0, berlin);
    EXPECT_EQ(Text(At(2026, 3, 29, 1, 30)), Text(dialog->Moment()));
    SYSTEMTIME shown = PickerTime(kTimePickerBase + 0), london = PickerTime(kTimePickerBase + 1);
    EXPECT_EQ(3, shown.wHour);
    EXPECT_EQ(30, shown.wMinute);
    EXPECT_EQ(1, london.wHour);
    EXPECT_EQ(30, london.wMinute);

    // a date on the other clock keeps its time of day; Berlin follows
    SYSTEMTIME date = PickerTime(kDatePickerBase + 1);
    date.wMonth = 7;
    date.wDay = 4;
    Pick(kDatePickerBase + 1, date);
    EXPECT_EQ(Text(At(2026, 7, 4, 1, 30)), Text(dialog->Moment()));
    shown = PickerTime(kTimePickerBase + 0);
    EXPECT_EQ(3, shown.wHour);
    EXPECT_EQ(4, PickerTime(kDatePickerBase + 0).wDay);

    // the tooltip: the caption with its ampersand doubled, the long date
    WCHAR text[100];
    dialog->TooltipText(1, text, 100);
    std::wstring tip = text;
    EXPECT_EQ(0u, tip.find(L"London && Co\r\n"));
    EXPECT_NE(std::wstring::npos, tip.find(L"July"));
    EXPECT_NE(std::wstring::npos, tip.find(L"2026"));
}

TEST_F(AllClocksDialogTest, OnlyTimersGiveAnEmptyDialogAtItsSmallestAndAReadClockListRebuildsIt)
{
    ClockRecord timer = OffsetClock(1, 0, L"Timer");
    timer.kind = kClockTimer | kClockCountdown;
    host.clocks.push_back(timer);
    ASSERT_TRUE(dialog->Show());
    HWND window = dialog->Window();
    EXPECT_EQ(0, dialog->ClockCount());
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(nullptr, Picker(kTimePickerBase));
    MINMAXINFO info = {};
    SendMessageW(window, WM_GETMINMAXINFO, 0, (LPARAM)&info);
    EXPECT_EQ(40, info.ptMinTrackSize.x);
    EXPECT_EQ(32, info.ptMinTrackSize.y);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrW(window, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, std::max<LONG>(40, frame.right - frame.left));
    EXPECT_EQ(rect.bottom - rect.top, std::max<LONG>(32, frame.bottom - frame.top));

    // the main program read its clocks again: two more, and the dialog grows
    host.clocks.push_back(OffsetClock(2, 0, L"A"));
    host.clocks.push_back(OffsetClock(3, 60, L"B"));
    SendMessageW(window, UM_SETTINGSCHANGED, 0, 0);
    EXPECT_EQ(2, dialog->ClockCount());
    EXPECT_NE(nullptr, Picker(kTimePickerBase + 1));
    RECT grown;
    GetWindowRect(window, &grown);
    EXPECT_GT(grown.right - grown.left, rect.right - rect.left);
    EXPECT_EQ(1, PickerTime(kTimePickerBase + 1).wHour);
}

TEST_F(AllClocksDialogTest, AnEarlierYearUndoesTheZonesDatedChangesBeforeApplyingThoseThatHoldThen)
{
    // a zone whose rules the shipped changes replace in August 2026 and 2027
    const int32_t kChangingZone = 69;
    int index = zones.FindZoneIndexById(kChangingZone);
    ASSERT_GE(index, 0);
    ClockRecord clock = OffsetClock(1, 0, L"Changing");
    clock.zone = zones.LoadedZone(index);
    clock.flags |= kClockUseDaylight;
    host.clocks.push_back(clock);
    host.clocks.push_back(OffsetClock(2, 0, L"Plain"));
    const SYSTEMTIME loaded = clock.zone.tzi.StandardDate;
    ASSERT_TRUE(dialog->Show());

    SYSTEMTIME date = PickerTime(kDatePickerBase + 1);
    date.wYear = 2028;
    date.wMonth = 1;
    date.wDay = 10;
    Pick(kDatePickerBase + 1, date);
    EXPECT_EQ(2028, dialog->Moment().wYear);
    SYSTEMTIME later = dialog->Copy(0).zone.tzi.StandardDate;
    EXPECT_NE(Text(loaded), Text(later));

    date.wYear = 2026;
    date.wMonth = 4;
    date.wDay = 1;
    Pick(kDatePickerBase + 1, date);
    EXPECT_EQ(Text(loaded), Text(dialog->Copy(0).zone.tzi.StandardDate));
    EXPECT_EQ(4, PickerTime(kDatePickerBase + 0).wMonth);
}

TEST_F(AllClocksDialogTest, ALanguageLibraryWithoutTheTemplateOpensNothing)
{
    host.clocks.push_back(OffsetClock(1, 0, L"A"));
    CModule other(LoadLibraryW(TL_TEST_BINARIES L"res_test.dll"));
    ASSERT_TRUE((bool)other);
    AllClocksServices services = {&resources.Language(), &other, kSkinsRoot, nullptr, &zones, resources.Context()};
    CAllClocksDialog none(services);
    none.SetHost(&host);
    EXPECT_FALSE(none.Show());
    EXPECT_EQ(nullptr, none.Window());
}

TEST_F(AllClocksDialogTest, TheTooltipStandsAboveTheHoveredClockUntilTheMouseLeaves)
{
    ClockRecord clock = OffsetClock(1, 330, L"Pune");
    CopyFixed(clock.location, FIELD_WIDTH(clock.location), L"Maharashtra, India");
    host.clocks.push_back(clock);
    host.clocks.push_back(OffsetClock(2, 0, L"Greenwich"));
    ASSERT_TRUE(dialog->Show());
    HWND tip = dialog->Tooltip();
    ASSERT_NE(nullptr, tip);
    EXPECT_FALSE(IsWindowVisible(tip));

    // the real mouse is elsewhere: its leave notice comes at the first pumped message, so
    // the tip is looked at before any
    RECT r = dialog->ClockRect(0);
    SendMessageW(dialog->Window(), WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ASSERT_TRUE(IsWindowVisible(tip));
    RECT shown;
    GetWindowRect(tip, &shown);
    POINT top = {(r.left + r.right) / 2, r.top};
    ClientToScreen(dialog->Window(), &top);
    EXPECT_LE(shown.bottom, top.y);
    EXPECT_LE(shown.left, top.x);
    EXPECT_GE(shown.right, top.x);
    WCHAR text[100];
    dialog->TooltipText(0, text, 100);
    std::wstring lines = text;
    EXPECT_EQ(0u, lines.find(L"Pune\r\n"));
    EXPECT_NE(std::wstring::npos, lines.find(L"\r\nMaharashtra, India"));

    // outside every clock: hidden; back on a clock, then the mouse leaves: hidden
    SendMessageW(dialog->Window(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    EXPECT_FALSE(IsWindowVisible(tip));
    SendMessageW(dialog->Window(), WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, r.top + 1));
    EXPECT_TRUE(IsWindowVisible(tip));
    SendMessageW(dialog->Window(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tip));
}

namespace {

// The keys a picker was sent, noted on their way in.
std::vector<WPARAM> g_pickerKeys;
WNDPROC g_pickerProc;

LRESULT CALLBACK NotePickerKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN)
        g_pickerKeys.push_back(wParam);
    return CallWindowProcW(g_pickerProc, hwnd, message, wParam, lParam);
}

}  // namespace

TEST_F(AllClocksDialogTest, TheWheelStepsTheFocusedPickerUpAwayFromTheUserDownTowardIt)
{
    host.clocks.push_back(OffsetClock(1, 0, L"A"));
    ASSERT_TRUE(dialog->Show());
    HWND time = Picker(kTimePickerBase);
    SetFocus(time);
    if (GetFocus() != time)
        GTEST_SKIP() << "no keyboard focus without a window manager";
    g_pickerKeys.clear();
    g_pickerProc = (WNDPROC)SetWindowLongPtrW(time, GWLP_WNDPROC, (LONG_PTR)NotePickerKeys);
    SendMessageW(dialog->Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    SendMessageW(dialog->Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-WHEEL_DELTA), 0);
    SetWindowLongPtrW(time, GWLP_WNDPROC, (LONG_PTR)g_pickerProc);
    EXPECT_EQ((std::vector<WPARAM>{VK_UP, VK_DOWN}), g_pickerKeys);
}
