// Alarms of the real program and its reminder log, seen from outside: the
// alarms are due between the stored last check and the start, so the first
// tick catches them up. The log's entries are read from its list view.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <wchar.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/alarms/AlarmResources.h"
#include "app/log/ReminderLogWindow.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/RemoteListView.h"
#include "tests/support/TestFiles.h"

namespace {

const DWORD kWaitMs = kProgramWaitMs;
// How long a start without anything due is watched for a log window: the
// first ticks come within a second of the main window.
const DWORD kQuietMs = 4000;

const int64_t kTicksPerMinute = 600000000;
// Tokyo keeps +9 h all year: the clock's zone differs from the computer's.
const int64_t kTokyoMinutes = 9 * 60;

SYSTEMTIME UtcShifted(int64_t minutes)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER v;
    v.LowPart = now.dwLowDateTime;
    v.HighPart = now.dwHighDateTime;
    v.QuadPart += (ULONGLONG)(minutes * kTicksPerMinute);
    FILETIME shifted = {v.LowPart, v.HighPart};
    SYSTEMTIME t;
    FileTimeToSystemTime(&shifted, &t);
    return t;
}

SYSTEMTIME Shifted(const SYSTEMTIME& t, int64_t minutes)
{
    FILETIME ft;
    SystemTimeToFileTime(&t, &ft);
    ULARGE_INTEGER v;
    v.LowPart = ft.dwLowDateTime;
    v.HighPart = ft.dwHighDateTime;
    v.QuadPart += (ULONGLONG)(minutes * kTicksPerMinute);
    FILETIME shifted = {v.LowPart, v.HighPart};
    SYSTEMTIME out;
    FileTimeToSystemTime(&shifted, &out);
    return out;
}

// "yyyy.MM.dd HH:mm:ss", as the settings file keeps moments.
std::wstring Stamp(const SYSTEMTIME& t)
{
    WCHAR text[32];
    swprintf(text, 32, L"%04u.%02u.%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::wstring HourMinute(const SYSTEMTIME& t)
{
    WCHAR text[8];
    swprintf(text, 8, L"%02u:%02u", t.wHour, t.wMinute);
    return text;
}

// A whole minute `minutesAgo` before now, in UTC.
SYSTEMTIME MinuteAgo(int64_t minutesAgo)
{
    SYSTEMTIME t = UtcShifted(-minutesAgo);
    t.wSecond = 0;
    t.wMilliseconds = 0;
    return t;
}

std::vector<std::wstring> TokyoClock()
{
    return {L"enabled=1",         L"skin=Standard System Clock", L"zone=Tokyo Standard Time", L"timeformat=HH:mm",
            L"dateformat=None",   L"prefix=Tokyo",               L"dsk_pos_x=100",            L"dsk_pos_y=100"};
}

// A "once" alarm of the Tokyo clock at `utc`.
std::vector<std::wstring> OnceAlarm(const SYSTEMTIME& utc, int action, const std::wstring& comment,
                                    const std::wstring& text)
{
    return {L"type=0",
            L"enabled=1",
            L"once=" + Stamp(Shifted(utc, kTokyoMinutes)),
            L"action=" + std::to_wstring(action),
            L"comment=" + comment,
            L"text=" + text};
}

struct FindLog {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindLogProc(HWND hwnd, LPARAM lParam)
{
    FindLog* find = (FindLog*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR name[64] = {};
    if (pid == find->pid && GetClassNameW(hwnd, name, 64) && lstrcmpW(name, kLogWindowClass) == 0) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The program's log window, shown or not; null when it has none.
HWND LogWindowOf(DWORD pid)
{
    FindLog find = {pid, nullptr};
    EnumWindows(FindLogProc, (LPARAM)&find);
    return find.found;
}

HWND ListOf(HWND log)
{
    return FindWindowExW(log, nullptr, WC_LISTVIEWW, nullptr);
}

int ItemCount(HWND list)
{
    return (int)Query(list, LVM_GETITEMCOUNT);
}

// Waits until the log window is shown with `count` entries; null when it
// was not within the wait.
HWND WaitForShownLog(DWORD pid, int count)
{
    HWND log = nullptr;
    bool shown = PumpUntil([&] {
        log = LogWindowOf(pid);
        return log && IsWindowVisible(log) && ListOf(log) && ItemCount(ListOf(log)) == count;
    }, kWaitMs);
    return shown ? log : nullptr;
}

using Rows = std::vector<std::vector<std::wstring>>;

Rows Entries(CDesktopProgram& program, HWND log)
{
    Rows rows;
    EXPECT_TRUE(ReadRemoteListTexts(program.Started().Handle(), ListOf(log), 2, &rows));
    return rows;
}

// The command lines arg_recorder.exe noted next to itself, one a line.
std::vector<std::wstring> RecordedLines(const std::wstring& file)
{
    std::string bytes = ReadFileBytes(file);
    std::wstring text((const WCHAR*)bytes.data(), bytes.size() / sizeof(WCHAR));
    std::vector<std::wstring> lines;
    for (size_t p = 0, end; (end = text.find(L'\n', p)) != std::wstring::npos; p = end + 1)
        lines.push_back(text.substr(p, end - p));
    return lines;
}

std::vector<std::wstring> Arguments(const std::wstring& line)
{
    std::vector<std::wstring> out;
    int count = 0;
    if (WCHAR** argv = CommandLineToArgvW(line.c_str(), &count)) {
        for (int i = 0; i < count; ++i)
            out.push_back(argv[i]);
        LocalFree(argv);
    }
    return out;
}

// Ends the program `ms` after it was made unless disarmed before: a shut-down
// countdown left running would end the session (under Wine every process of
// the prefix). The thread needs no test step to return first.
class CCountdownGuard {
public:
    CCountdownGuard(HANDLE process, DWORD ms)
        : m_process(process), m_ms(ms), m_disarm(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        if (m_disarm)
            m_thread.Reset(CreateThread(nullptr, 0, Proc, this, 0, nullptr));
    }
    ~CCountdownGuard() { Disarm(); }
    CCountdownGuard(const CCountdownGuard&) = delete;
    CCountdownGuard& operator=(const CCountdownGuard&) = delete;

    bool Armed() const { return (bool)m_thread; }
    // True when the program was not ended by the guard.
    bool Disarm()
    {
        if (m_thread) {
            SetEvent(m_disarm.Get());
            WaitForSingleObject(m_thread.Get(), INFINITE);
            m_thread.Reset();
        }
        return !m_fired;
    }

private:
    static DWORD WINAPI Proc(void* parameter)
    {
        CCountdownGuard* self = (CCountdownGuard*)parameter;
        if (WaitForSingleObject(self->m_disarm.Get(), self->m_ms) == WAIT_TIMEOUT) {
            TerminateProcess(self->m_process, 1);
            self->m_fired = true;
        }
        return 0;
    }

    HANDLE m_process;
    DWORD m_ms;
    CKernelHandle m_disarm;
    CKernelHandle m_thread;
    volatile bool m_fired = false;
};

// Dialog 156's caption in the English resources (no language file is in the folder).
const WCHAR kShutdownCaption[] = L"Shut Down";

struct FindDialog {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindCountdownProc(HWND hwnd, LPARAM lParam)
{
    FindDialog* find = (FindDialog*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WCHAR name[16] = {}, title[64] = {};
    if (pid == find->pid && GetClassNameW(hwnd, name, 16) && lstrcmpW(name, L"#32770") == 0 &&
        GetWindowTextW(hwnd, title, 64) && lstrcmpW(title, kShutdownCaption) == 0) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND CountdownOf(DWORD pid)
{
    FindDialog find = {pid, nullptr};
    EnumWindows(FindCountdownProc, (LPARAM)&find);
    return find.found;
}

// The number in the countdown's text; -1 when it holds none.
int SecondsShown(HWND dialog)
{
    WCHAR text[256] = {};
    DWORD_PTR copied = 0;
    HWND control = GetDlgItem(dialog, kIdCountdownText);
    if (!control || !SendMessageTimeoutW(control, WM_GETTEXT, 256, (LPARAM)text, SMTO_NORMAL, 1000, &copied))
        return -1;
    for (const WCHAR* p = text; *p; ++p)
        if (*p >= L'0' && *p <= L'9')
            return _wtoi(p);
    return -1;
}

}  // namespace

// An alarm due since the stored last check fires once at start: the log
// comes up with its entry, the text expanded for the occurrence (the alarm's
// comment and its time in the computer's zone, and in the clock's); the
// check saved at /exit keeps a restart from firing it again.
TEST(ReminderLogProcess, CaughtUpAlarmFiresOnceAcrossARestart)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    SYSTEMTIME due = MinuteAgo(2);
    program.WriteMainKey(L"lastalarmcheck", Stamp(UtcShifted(-10)));
    program.WriteClock(1, TokyoClock());
    program.WriteAlarm(1, 1, OnceAlarm(due, 0, L"Standup", L"$alarm at ${time(HH:mm)}, ${ctime(HH:mm)} there"));
    SYSTEMTIME local;
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &due, &local));
    const std::wstring expected =
        L"Standup at " + HourMinute(local) + L", " + HourMinute(Shifted(due, kTokyoMinutes)) + L" there";

    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    HWND log = WaitForShownLog(pid, 1);
    ASSERT_NE(nullptr, log) << "no log window with one entry";
    Rows rows = Entries(program, log);
    ASSERT_EQ(1u, rows.size());
    EXPECT_FALSE(rows[0][0].empty()) << "the entry says when";
    EXPECT_EQ(expected, rows[0][1]);
    // a moment later it is still the only one
    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(1, ItemCount(ListOf(log)));
    ASSERT_TRUE(program.ExitProgram());
    std::wstring saved = program.UserMainKey(L"lastalarmcheck");
    EXPECT_GT(saved, Stamp(due)) << "the check saved at /exit is before the alarm";

    pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    bool shown = PumpUntil([&] {
        HWND again = LogWindowOf(pid);
        return again && IsWindowVisible(again);
    }, kQuietMs);
    EXPECT_FALSE(shown) << "the alarm fired again";
    HWND again = LogWindowOf(pid);
    ASSERT_NE(nullptr, again) << "the log window is made at start";
    EXPECT_EQ(0, ItemCount(ListOf(again)));
    EXPECT_TRUE(program.ExitProgram());
}

// The delete button takes the entries one by one, the selected one first;
// the last one hides the window and disables the button. A place partly
// off the screen's left and top and the column widths come back at the next
// start, and are written back unchanged at /exit.
TEST(ReminderLogProcess, DeletingEntriesAndTheWindowsPlaceAcrossARestart)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    const std::wstring place = L"-40, -30, 560, 330", columns = L"130 310";
    const RECT stored = {-40, -30, 560, 330};
    const int widths[] = {130, 310};
    program.WriteMainKey(L"lastalarmcheck", Stamp(UtcShifted(-10)));
    program.WriteMainKey(L"logwindowpos", place);
    program.WriteMainKey(L"logwindowcolumns", columns);
    program.WriteClock(1, TokyoClock());
    program.WriteAlarm(1, 1, OnceAlarm(MinuteAgo(4), 0, L"First", L"$alarm"));
    program.WriteAlarm(1, 2, OnceAlarm(MinuteAgo(3), 0, L"Second", L"$alarm"));

    auto expectPlace = [&](HWND log) {
        RECT r = {};
        GetWindowRect(log, &r);
        EXPECT_EQ(stored.left, r.left);
        EXPECT_EQ(stored.top, r.top);
        EXPECT_EQ(stored.right, r.right);
        EXPECT_EQ(stored.bottom, r.bottom);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(widths[i], (int)Query(ListOf(log), LVM_GETCOLUMNWIDTH, i)) << "column " << i;
    };

    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    HWND log = WaitForShownLog(pid, 2);
    ASSERT_NE(nullptr, log) << "no log window with two entries";
    {
        SCOPED_TRACE("the stored place at the first start");
        expectPlace(log);
    }
    HWND button = GetDlgItem(log, kLogDeleteButtonId);
    ASSERT_NE(nullptr, button);
    Rows rows = Entries(program, log);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(L"First", rows[0][1]);
    EXPECT_EQ(L"Second", rows[1][1]);

    // the newest entry is selected: it goes first
    EXPECT_NE(-1, Query(button, BM_CLICK));
    rows = Entries(program, log);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(L"First", rows[0][1]);
    EXPECT_TRUE(IsWindowVisible(log));
    EXPECT_TRUE(IsWindowEnabled(button));

    EXPECT_NE(-1, Query(button, BM_CLICK));
    EXPECT_EQ(0, ItemCount(ListOf(log)));
    EXPECT_FALSE(IsWindowVisible(log));
    EXPECT_FALSE(IsWindowEnabled(button));
    ASSERT_TRUE(program.ExitProgram());
    EXPECT_EQ(place, program.UserMainKey(L"logwindowpos"));
    EXPECT_EQ(columns, program.UserMainKey(L"logwindowcolumns"));

    pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    PumpUntil([&] { return LogWindowOf(pid) != nullptr; }, kWaitMs);
    log = LogWindowOf(pid);
    ASSERT_NE(nullptr, log);
    // the window is found while it is being created: its place is set once
    // the program's thread is idle again
    ASSERT_NE(-1, Query(FindWindowW(kMainWindowClass, nullptr), WM_NULL));
    {
        SCOPED_TRACE("the place after a restart");
        EXPECT_FALSE(IsWindowVisible(log));
        expectPlace(log);
    }
    EXPECT_TRUE(program.ExitProgram());
    EXPECT_EQ(place, program.UserMainKey(L"logwindowpos"));
    EXPECT_EQ(columns, program.UserMainKey(L"logwindowcolumns"));
}

// A command line alarm runs a program whose unquoted path holds a blank,
// with the words after the path as its arguments; an "open" alarm of an exe
// runs it through the shell.
TEST(ReminderLogProcess, ProgramAlarmsRunTheirPrograms)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    const std::wstring commandLine = program.File(L"my tools\\rec.exe"), opened = program.File(L"opened\\rec.exe");
    ASSERT_TRUE(CreateDirectoryW(program.File(L"my tools").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(program.File(L"opened").c_str(), nullptr));
    ASSERT_TRUE(program.AddTestBinary(L"arg_recorder.exe", L"my tools\\rec.exe"));
    ASSERT_TRUE(program.AddTestBinary(L"arg_recorder.exe", L"opened\\rec.exe"));
    program.WriteMainKey(L"lastalarmcheck", Stamp(UtcShifted(-10)));
    program.WriteClock(1, TokyoClock());
    program.WriteAlarm(1, 1, OnceAlarm(MinuteAgo(3), 5, L"Command", commandLine + L" one two"));
    program.WriteAlarm(1, 2, OnceAlarm(MinuteAgo(3), 3, L"Open", opened));

    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    std::vector<std::wstring> commandLines, openLines;
    PumpUntil([&] {
        commandLines = RecordedLines(program.File(L"my tools\\args.txt"));
        openLines = RecordedLines(program.File(L"opened\\args.txt"));
        return !commandLines.empty() && !openLines.empty();
    }, kWaitMs);
    {
        SCOPED_TRACE("the command line");
        ASSERT_EQ(1u, commandLines.size());
        std::vector<std::wstring> args = Arguments(commandLines[0]);
        ASSERT_EQ(3u, args.size()) << commandLines[0];
        EXPECT_EQ(0, lstrcmpiW(commandLine.c_str(), args[0].c_str())) << args[0];
        EXPECT_EQ(L"one", args[1]);
        EXPECT_EQ(L"two", args[2]);
    }
    {
        SCOPED_TRACE("the opened program");
        ASSERT_EQ(1u, openLines.size());
        std::vector<std::wstring> args = Arguments(openLines[0]);
        ASSERT_EQ(1u, args.size()) << openLines[0];
        EXPECT_EQ(0, lstrcmpiW(opened.c_str(), args[0].c_str())) << args[0];
    }
    EXPECT_TRUE(program.ExitProgram());
}

// A shut-down alarm shows its countdown, which counts down; Cancel ends it
// long before it runs out and the program goes on.
TEST(ReminderLogProcess, ShutdownCountdownCountsAndCancels)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    program.WriteMainKey(L"lastalarmcheck", Stamp(UtcShifted(-10)));
    program.WriteClock(1, TokyoClock());
    program.WriteAlarm(1, 1, OnceAlarm(MinuteAgo(3), 7, L"Power", L""));

    int index = program.Start(L"/nh");
    ASSERT_LE(0, index);
    // the countdown runs 15 s from its dialog, which comes after the start
    CCountdownGuard guard(program.Process(index).Handle(), 11000);
    ASSERT_TRUE(guard.Armed());
    const DWORD pid = program.Process(index).Pid();

    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialog = CountdownOf(pid)) != nullptr; }, 9000)) << "no countdown";
    DWORD found = GetTickCount();
    // the dialog is found while it is still being made: its text comes with it
    int first = -1;
    PumpUntil([&] { return (first = SecondsShown(dialog)) > 0; }, 1500);
    PumpUntil([] { return false; }, 1300);
    int second = SecondsShown(dialog);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    EXPECT_NE(-1, Query(cancel, BM_CLICK));
    bool gone = PumpUntil([&] { return !IsWindow(dialog); }, 2000);
    DWORD spent = GetTickCount() - found;
    ASSERT_TRUE(guard.Disarm()) << "the program had to be ended";
    ASSERT_TRUE(gone) << "Cancel left the countdown";

    EXPECT_GT(first, 0);
    EXPECT_LE(first, 15);
    EXPECT_GT(second, 0);
    EXPECT_LT(second, first) << "it does not count down";
    EXPECT_LT(spent, 5000u);
    EXPECT_TRUE(program.Process(index).Running());
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    ASSERT_NE(nullptr, main);
    EXPECT_NE(-1, Query(main, WM_NULL));
    // no second countdown came up meanwhile
    PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(nullptr, CountdownOf(pid));
    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, program.ExitCode(index));
}

// The log of three caught-up alarms as the real program shows it, saved.
TEST(ReminderLogProcess, LogWindowPicture)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    program.WriteMainKey(L"lastalarmcheck", Stamp(UtcShifted(-10)));
    program.WriteMainKey(L"logwindowpos", L"200, 150, 740, 400");
    program.WriteClock(1, TokyoClock());
    const wchar_t* comments[] = {L"Call the office", L"Stand-up meeting", L"Water the plants"};
    int number = 0;
    for (const wchar_t* comment : comments) {
        ++number;
        program.WriteAlarm(1, number, OnceAlarm(MinuteAgo(8 - number), 0, comment, L"$alarm at ${time(HH:mm)}"));
    }
    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    HWND log = WaitForShownLog(pid, 3);
    ASSERT_NE(nullptr, log);
    Rows rows = Entries(program, log);
    ASSERT_EQ(3u, rows.size());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(0u, rows[i][1].find(comments[i])) << rows[i][1];
    // let it paint
    ASSERT_NE(-1, Query(log, WM_NULL));
    PumpUntil([] { return false; }, 500);

    RECT r = {};
    GetWindowRect(log, &r);
    std::wstring shot = std::wstring(TL_SHOTS_FOLDER) + L"log-window-program.png";
    DeleteFileW(shot.c_str());
    ASSERT_EQ(0, RunCapture(Quoted(shot) + L" " + Quoted(kLogWindowClass)));
    RgbPicture picture;
    ASSERT_TRUE(ReadPngPicture(shot, &picture));
    EXPECT_EQ(r.right - r.left, picture.width);
    EXPECT_EQ(r.bottom - r.top, picture.height);
    // more than a frame and a face: the entries' text and icons
    std::vector<uint32_t> colours(picture.rgb);
    std::sort(colours.begin(), colours.end());
    EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 8);
    EXPECT_TRUE(program.ExitProgram());
}
