// The real programs together: tempolan.exe with its hook inside the stand-in
// taskbar, observed from outside; the push to a tray clock, and the restart
// when the taskbar goes away.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/StandinTaskbar.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

const DWORD kWaitMs = kProgramWaitMs;
const DWORD kSettingsBytes = 1704;
const DWORD kCityBytes = 440;
const DWORD kClockBytes = 5384;
const DWORD kAlarmBytes = 840;

// A program folder whose new user gets three clocks, the second with two
// alarms (daily, from a day far ahead: they never ring during the test).
class CProgram : public CProgramFolder {
public:
    CProgram()
    {
        std::wstring defaults = File(L"default.ini");
        std::vector<WCHAR> clock(32768);
        DWORD n = GetPrivateProfileSectionW(L"default:clock1", clock.data(), (DWORD)clock.size(), defaults.c_str());
        m_ready = n > 0;
        WritePrivateProfileSectionW(L"default:clock2", clock.data(), defaults.c_str());
        WritePrivateProfileSectionW(L"default:clock3", clock.data(), defaults.c_str());
        for (const wchar_t* alarm : {L"default:clock2:alarm1", L"default:clock2:alarm2"})
            WritePrivateProfileSectionW(alarm, L"enabled=1\0type=1\0daily=2090.01.05 09:00:00 1\0\0",
                                        defaults.c_str());
    }
    bool Ready() const { return m_ready && CProgramFolder::Ready(); }

private:
    bool m_ready;
};

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

}  // namespace

TEST(EndToEnd, TheAttachedProgramPushesItsBlocksInOrder)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgram program;
    ASSERT_TRUE(program.Ready());
    // Wine carries no WM_COPYDATA of more than about 2 MB between processes:
    // the shipped list (3 MB) would end the push after its first block
    ASSERT_TRUE(program.WriteCities(3));
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    int tempolan = program.Start(L"");
    ASSERT_LE(0, tempolan);
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    // the hook went into the stand-in taskbar and its clock shook hands
    ASSERT_TRUE(taskbar.WaitAttached(kWaitMs));

    // a tray clock that announces itself gets everything, in the order
    // settings, cities, clocks, then the alarms of each clock that has any
    CRecordingWindow tray;
    ASSERT_NE(nullptr, tray.Window());
    EXPECT_EQ(main, tray.AttachAsTrayClock(main, kWaitMs));
    const std::vector<CRecordingWindow::Block>& blocks = tray.blocks;
    PumpUntil([&] { return blocks.size() >= 4; }, 2000);
    ASSERT_EQ(4u, blocks.size());
    const ULONG_PTR ids[] = {kBlockSettings, kBlockCities, kBlockClocks, kBlockAlarms + 1};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ids[i], blocks[i].id) << i;
        EXPECT_EQ(main, blocks[i].sender) << i;
    }
    EXPECT_EQ(kSettingsBytes, blocks[0].bytes);
    EXPECT_EQ(3u * kCityBytes, blocks[1].bytes);
    EXPECT_EQ(3u * kClockBytes, blocks[2].bytes);
    EXPECT_EQ(2u * kAlarmBytes, blocks[3].bytes);

    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, program.ExitCode(tempolan));
    // the hook let go of the stand-in's clock
    EXPECT_TRUE(PumpUntil([&] { return Query(taskbar.clock, SQ_OWNPROC) == 1; }, 5000));
}

TEST(EndToEnd, WithoutTheHookNothingIsPushed)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgram program;
    ASSERT_TRUE(program.Ready());
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    int tempolan = program.Start(L"/nh");
    ASSERT_LE(0, tempolan);
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    CRecordingWindow tray;
    EXPECT_EQ(main, tray.AttachAsTrayClock(main, kWaitMs));
    PumpUntil([&] { return !tray.blocks.empty(); }, 1000);
    EXPECT_TRUE(tray.blocks.empty());
    EXPECT_EQ(1, Query(taskbar.clock, SQ_OWNPROC));  // never attached
    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, program.ExitCode(tempolan));
}

TEST(EndToEnd, ANewTaskbarRestartsTheProgram)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgram program;
    ASSERT_TRUE(program.Ready());
    CStandinTaskbar first;
    ASSERT_TRUE(first.Start());
    int tempolan = program.Start(L"");
    ASSERT_LE(0, tempolan);
    HWND oldMain = WaitForMainWindow();
    ASSERT_NE(nullptr, oldMain);
    ASSERT_TRUE(first.WaitAttached(kWaitMs));
    EXPECT_EQ(L"", program.UserMainKey(L"lastalarmcheck"));

    // The next taskbar is up before the first one goes, so that the new
    // instance finds it (Wine's explorer also has a hidden Shell_TrayWnd,
    // which the watcher takes for "the taskbar back" as well).
    CStandinTaskbar second;
    ASSERT_TRUE(second.Start());
    // only a program that ticked has a last alarm check to save: wait for
    // its first tick, then take the key away again
    ASSERT_TRUE(PumpUntil([&] {
        SendMessageTimeoutW(oldMain, UM_SAVESTATE, 0, 0, SMTO_NORMAL, kWaitMs, nullptr);
        return !program.UserMainKey(L"lastalarmcheck").empty();
    }, kWaitMs));
    ASSERT_TRUE(program.RemoveUserMainKey(L"lastalarmcheck"));
    first.Process().End();

    // the old instance saves its state and ends; a new one takes its place
    EXPECT_EQ(0, program.ExitCode(tempolan));
    EXPECT_EQ(19u, program.UserMainKey(L"lastalarmcheck").size());
    HWND newMain = WaitForMainWindow(oldMain);
    ASSERT_NE(nullptr, newMain);
    CTestProcess restarted;
    ASSERT_TRUE(restarted.Adopt(ProcessOf(newMain)));
    EXPECT_NE(program.Process(tempolan).Pid(), restarted.Pid());
    EXPECT_TRUE(second.WaitAttached(kWaitMs));

    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, restarted.ExitCode(kWaitMs));
}
