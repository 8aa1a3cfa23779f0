// The all-clocks dialog of the real program: opened by its message, one
// date and time picker per shown clock, raised again rather than doubled,
// closed by Escape's command.
#include <gtest/gtest.h>

#include <windows.h>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "tests/support/DesktopProgram.h"
#include "tests/support/TestMessages.h"

namespace {

const wchar_t kDialogClass[] = L"#32770";

HWND AllClocksOf(DWORD pid, int* count = nullptr)
{
    return FindTitledWindow(pid, kDialogClass, L"All Clocks", count);
}

}  // namespace

TEST(AllClocksProcess, OpensWithAPickerPairPerClockOnceAndClosesOnCancel)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CDesktopProgram program;
    ASSERT_TRUE(program.Ready());
    program.WriteClock(1, PlainClock(L"First"));
    program.WriteClock(2, {L"enabled=1", L"timer_mode=1", L"prefix=Watch"});
    program.WriteClock(3, PlainClock(L"Third", {L"zone=Tokyo Standard Time"}));
    DWORD pid = program.StartWithoutHook();
    ASSERT_NE(0u, pid);
    HWND main = FindWindowW(kMainWindowClass, nullptr);

    PostMessageW(main, UM_SHOWALLCLOCKS, 0, 0);
    HWND dialog = nullptr;
    // found from the moment it is made: ready once shown
    ASSERT_TRUE(PumpUntil([&] { return (dialog = AllClocksOf(pid)) != nullptr && IsWindowVisible(dialog); },
                          5000));
    EXPECT_EQ(main, GetWindow(dialog, GW_OWNER));
    // the two clocks, not the stopwatch
    for (int id : {1000, 1001, 1031, 1032}) {
        SCOPED_TRACE(id);
        HWND picker = GetDlgItem(dialog, id);
        EXPECT_TRUE(HasWindowClass(picker, L"SysDateTimePick32"));
        EXPECT_TRUE(IsWindowVisible(picker));
    }
    EXPECT_EQ(nullptr, GetDlgItem(dialog, 1002));
    EXPECT_EQ(nullptr, GetDlgItem(dialog, 1033));

    PostMessageW(main, UM_SHOWALLCLOCKS, 0, 0);
    PumpUntil([] { return false; }, 300);
    int count = 0;
    EXPECT_EQ(dialog, AllClocksOf(pid, &count));
    EXPECT_EQ(1, count);

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(program.ExitProgram());
}
