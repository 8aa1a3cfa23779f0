// The alarm page's test and its log window, in the real settings dialog,
// with the alarm seams faked: no sound, shell or power call leaves the test.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>

#include "app/alarms/AlarmResources.h"
#include "app/log/LogWindowSettings.h"
#include "graphics/protocol/WindowClasses.h"
#include "settings/alarmtest/AlarmTest.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"

namespace {

const int kAlarmPage = 144;
const int kLogDeleteButton = 1;

AlarmRecord MakeAlarm(int32_t action, const wchar_t* comment, const wchar_t* text)
{
    AlarmRecord alarm = {};
    alarm.enabled = 1;
    alarm.action = action;
    lstrcpynW(alarm.comment, comment, ARRAYSIZE(alarm.comment));
    lstrcpynW(alarm.text, text, ARRAYSIZE(alarm.text));
    return alarm;
}

// Runs `step` from a thread timer: inside the modal loop a test starts.
class CInsideModalLoop {
public:
    explicit CInsideModalLoop(std::function<void()> step)
    {
        s_step = std::move(step);
        m_timer = SetTimer(nullptr, 0, 50, Tick);
    }
    ~CInsideModalLoop()
    {
        KillTimer(nullptr, m_timer);
        s_step = nullptr;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        // once: the step may run a loop of its own
        KillTimer(nullptr, id);
        if (s_step) {
            auto step = std::move(s_step);
            s_step = nullptr;
            step();
        }
    }
    static std::function<void()> s_step;
    UINT_PTR m_timer;
};
std::function<void()> CInsideModalLoop::s_step;

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM param)
{
    auto* found = (std::pair<HWND, HWND>*)param;
    WCHAR name[16] = {};
    GetClassNameW(window, name, 16);
    if (GetWindow(window, GW_OWNER) == found->first && lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window)) {
        found->second = window;
        return FALSE;
    }
    return TRUE;
}

// The visible dialog that `owner` owns, or null.
HWND OwnedDialog(HWND owner)
{
    std::pair<HWND, HWND> found(owner, nullptr);
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedDialog, (LPARAM)&found);
    return found.second;
}

class AlarmTestTest : public DialogTest {
protected:
    void TearDown() override
    {
        DestroyLogWindow();
        DialogTest::TearDown();
    }
    void OpenWithLog()
    {
        Open();
        page = GetDlgItem(dialog, kAlarmPage);
        ASSERT_NE(nullptr, page);
        log = RegisterLogWindow(services);
        ASSERT_NE(nullptr, log);
        list = FindWindowExW(log, nullptr, WC_LISTVIEWW, nullptr);
        ASSERT_NE(nullptr, list);
    }
    int Entries() const { return (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); }
    std::wstring EntryText(int row, int column) const
    {
        WCHAR text[600] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 600;
        SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&item);
        return text;
    }
    std::wstring StoredCheck() { return Get(L":main", L"lastalarmcheck"); }

    CFakeAlarmSeams& fakes = alarmFakes;
    HWND page = nullptr;
    HWND log = nullptr;
    HWND list = nullptr;
    SYSTEMTIME zoneNow = MakeTime(2026, 3, 10, 18, 4, 56);
};

TEST_F(AlarmTestTest, ReminderWithoutClockIsATopmostBoxWithClockALogEntry)
{
    OpenWithLog();
    EXPECT_FALSE(IsWindowVisible(log)) << "made hidden";
    AlarmRecord alarm = MakeAlarm(kActionReminder, L"Dentist", L"at three");

    TestAlarm(page, alarm, zoneNow, nullptr, true);
    ASSERT_EQ(1u, fakes.events.size());
    EXPECT_EQ(L"box Tempolan Alarm|Dentist at three|" + std::to_wstring(MB_TOPMOST), fakes.events[0]);
    EXPECT_EQ(0, Entries());

    ClockRecord clock = {};
    clock.id = 2;
    TestAlarm(page, alarm, zoneNow, &clock, true);
    EXPECT_EQ(1u, fakes.events.size()) << "no second box";
    ASSERT_EQ(1, Entries());
    EXPECT_EQ(L"at three", EntryText(0, 1));
    EXPECT_TRUE(IsWindowVisible(log));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(log, kLogDeleteButton)));

    // a picture of the window with its entry
    Pump();
    ClientPicture picture = GrabClientPicture(log);
    ASSERT_FALSE(picture.rgb.empty());
    std::wstring folder = std::wstring(TL_SHOTS_FOLDER) + L"settings\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(WritePngPixels(folder + L"alarm-test-log.png", picture.width, picture.height, 3, picture.rgb.data()));

    // the only entry deleted: the window goes out of sight, the button off
    SendMessageW(log, WM_COMMAND, MAKEWPARAM(kLogDeleteButton, BN_CLICKED), (LPARAM)GetDlgItem(log, kLogDeleteButton));
    EXPECT_EQ(0, Entries());
    EXPECT_FALSE(IsWindowVisible(log));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(log, kLogDeleteButton)));
}

TEST_F(AlarmTestTest, LoopingSoundKeepsTheSettingsDialogDisabledUntilItsStopDialogCloses)
{
    OpenWithLog();
    AlarmRecord alarm = MakeAlarm(kActionSoundLoop, L"Wake up", L"C:\\sounds\\bell.wav");
    bool enabledWhilePlaying = true;
    std::wstring title;
    CInsideModalLoop inside([&] {
        enabledWhilePlaying = IsWindowEnabled(dialog) != FALSE;
        HWND stop = OwnedDialog(dialog);
        ASSERT_NE(nullptr, stop) << "the stop dialog is owned by the settings dialog";
        WCHAR text[80] = {};
        GetWindowTextW(stop, text, 80);
        title = text;
        fakes.events.push_back(L"stop pressed");
        SendMessageW(stop, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(stop, IDCANCEL));
    });
    TestAlarm(page, alarm, zoneNow, nullptr, true);

    EXPECT_FALSE(enabledWhilePlaying);
    EXPECT_EQ(L"Wake up", title);
    // the test returned only after the stop: the sound was purged before it
    AlarmEvents expected = {L"loop C:\\sounds\\bell.wav", L"stop pressed", L"purge"};
    EXPECT_EQ(expected, fakes.events);
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(nullptr, OwnedDialog(dialog));
}

TEST_F(AlarmTestTest, AcceptedCountdownsReachOnlyThePowerSeam)
{
    struct Case {
        int32_t action;
        const wchar_t* power;
    };
    const Case cases[] = {{kActionShutdown, L"shut down"}, {kActionHibernate, L"hibernate"}};
    OpenWithLog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        fakes.events.clear();
        // a text the shell must not see: the countdown ignores it
        AlarmRecord alarm = MakeAlarm(c.action, L"Night", L"C:\\Windows\\notepad.exe");
        bool enabledDuring = true;
        CInsideModalLoop inside([&] {
            enabledDuring = IsWindowEnabled(dialog) != FALSE;
            HWND countdown = OwnedDialog(dialog);
            ASSERT_NE(nullptr, countdown);
            SendMessageW(countdown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(countdown, IDOK));
        });
        TestAlarm(page, alarm, zoneNow, nullptr, true);
        EXPECT_FALSE(enabledDuring) << "modal over the settings dialog";
        EXPECT_EQ(AlarmEvents{c.power}, fakes.events);
        EXPECT_TRUE(IsWindowEnabled(dialog));
    }
}

TEST_F(AlarmTestTest, AcceptedCountdownNeverMovesTheLastAlarmCheckBack)
{
    struct Case {
        const wchar_t* stored;  // null: none
        const wchar_t* after;
    };
    // the dialog's clock says 2026.03.10 12:34:56 UTC
    const Case cases[] = {
        {nullptr, L"2026.03.10 12:34:56"},
        {L"2026.03.01 08:00:00", L"2026.03.10 12:34:56"},
        // written by the main program after ours was read: kept
        {L"2026.03.10 12:35:10", L"2026.03.10 12:35:10"},
        {L"2030.01.01 00:00:00", L"2030.01.01 00:00:00"},
    };
    OpenWithLog();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.stored ? c.stored : L"none")));
        Set(L":main", L"lastalarmcheck", c.stored);
        CInsideModalLoop inside([&] {
            HWND countdown = OwnedDialog(dialog);
            ASSERT_NE(nullptr, countdown);
            SendMessageW(countdown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(countdown, IDOK));
        });
        TestAlarm(page, MakeAlarm(kActionShutdown, L"Night", L""), zoneNow, nullptr, true);
        EXPECT_EQ(c.after, StoredCheck());
    }
    // a cancelled countdown writes nothing
    Set(L":main", L"lastalarmcheck", L"2026.03.01 08:00:00");
    CInsideModalLoop inside([&] {
        HWND countdown = OwnedDialog(dialog);
        ASSERT_NE(nullptr, countdown);
        SendMessageW(countdown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(countdown, IDCANCEL));
    });
    TestAlarm(page, MakeAlarm(kActionShutdown, L"Night", L""), zoneNow, nullptr, true);
    EXPECT_EQ(L"2026.03.01 08:00:00", StoredCheck());
}

TEST_F(AlarmTestTest, StoredPlaceIsTakenOnlyWhenUsable)
{
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    LONG width = (work.right - work.left) / 3, height = (work.bottom - work.top) / 6;
    const RECT corner = {work.right - width, work.bottom - height, work.right, work.bottom};
    struct Case {
        const wchar_t* stored;
        RECT expected;
    };
    const Case cases[] = {
        {L"120, 90, 520, 390", {120, 90, 520, 390}},
        // numbers of five characters are read whole, not cut at four
        {L"00120, 00090, 00520, 00390", {120, 90, 520, 390}},
        // 30 pixels wide
        {L"100, 100, 130, 400", corner},
        // on no monitor
        {L"-5000, 100, -4600, 400", corner},
        {L"10, 20, 30", corner},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.stored)));
        Set(L":main", L"logwindowpos", c.stored);
        if (!dialog)
            OpenWithLog();
        else
            log = RegisterLogWindow(services);
        ASSERT_NE(nullptr, log);
        RECT r = {};
        GetWindowRect(log, &r);
        EXPECT_EQ(c.expected.left, r.left);
        EXPECT_EQ(c.expected.top, r.top);
        EXPECT_EQ(c.expected.right, r.right);
        EXPECT_EQ(c.expected.bottom, r.bottom);
        DestroyLogWindow();
    }
}

TEST_F(AlarmTestTest, DestroyingStopsTheSoundClosesItsDialogAndUnregistersTheClass)
{
    OpenWithLog();
    // modeless without the test flag, so it is still open here
    TestAlarm(page, MakeAlarm(kActionSoundLoop, L"Wake up", L"C:\\sounds\\bell.wav"), zoneNow, nullptr, false);
    HWND stop = FindWindowW(L"#32770", L"Wake up");
    ASSERT_NE(nullptr, stop);
    WNDCLASSEXW info = {sizeof(info)};
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kLogWindowClass, &info));
    fakes.events.clear();

    DestroyLogWindow();
    EXPECT_FALSE(IsWindow(stop));
    EXPECT_FALSE(IsWindow(log));
    // stopped, and nothing else
    ASSERT_FALSE(fakes.events.empty());
    for (const std::wstring& event : fakes.events)
        EXPECT_EQ(L"purge", event);
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), kLogWindowClass, &info));
    // the window's place and columns are kept for the next time
    EXPECT_NE(L"<missing>", Get(L":main", L"logwindowpos"));
    EXPECT_NE(L"<missing>", Get(L":main", L"logwindowcolumns"));
}

TEST_F(AlarmTestTest, DestroyedWhileATestDialogIsOpenEndsItsLoop)
{
    OpenWithLog();
    bool closed = false;
    CInsideModalLoop inside([&] {
        ASSERT_NE(nullptr, OwnedDialog(dialog));
        DestroyLogWindow();
        closed = true;
    });
    TestAlarm(page, MakeAlarm(kActionSoundLoop, L"Wake up", L"C:\\sounds\\bell.wav"), zoneNow, nullptr, true);
    EXPECT_TRUE(closed);
    EXPECT_EQ(nullptr, OwnedDialog(dialog));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_FALSE(IsWindow(log));
    EXPECT_EQ(L"purge", fakes.events.back());
}

// "$version" names the main program's build: nothing while its file is
// missing, though this program has a version of its own.
TEST_F(AlarmTestTest, VersionMacroNamesTheMainProgramsBuild)
{
    for (bool present : {false, true}) {
        SCOPED_TRACE(present);
        std::wstring copy = std::wstring(paths.folder) + L"tempolan.exe";
        if (present) {
            std::wstring program = std::wstring(TL_PROGRAM_FOLDER) + L"tempolan.exe";
            ASSERT_TRUE(CopyFileW(program.c_str(), copy.c_str(), FALSE));
        }
        // the settings read the program's path when they are made
        settings.reset();
        if (dialog)
            DestroyLogWindow();
        if (dialog)
            DestroyWindow(dialog);
        dialog = nullptr;
        OpenWithLog();
        ClockRecord clock = {};
        clock.id = 1;
        TestAlarm(page, MakeAlarm(kActionReminder, L"Check", L"v=$version."), zoneNow, &clock, true);
        ASSERT_EQ(1, Entries());
        if (present)
            EXPECT_EQ(L"v=5.3.1.", EntryText(0, 1));
        else
            EXPECT_EQ(L"v=.", EntryText(0, 1));
        DeleteFileW(copy.c_str());
    }
}

}  // namespace
