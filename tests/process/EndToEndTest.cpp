// The real programs together: tempolan.exe with its hook inside the stand-in
// taskbar, observed from outside; the push to a tray clock, and the restart
// when the taskbar goes away.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"

namespace {

const DWORD kWaitMs = 20000;
const UINT kHandshake = 32779;
const UINT kQueryOwnProc = 0x8050;  // the stand-in clock: 1 while not subclassed
const DWORD kSettingsBytes = 1704;
const DWORD kCityBytes = 440;
const DWORD kClockBytes = 5384;
const DWORD kAlarmBytes = 840;

bool Ended(HANDLE process)
{
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// A process of ours, ended by its handle when the test ends.
class CProcess {
public:
    CProcess() = default;
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;
    ~CProcess() { End(); }
    bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder)
    {
        End();
        std::wstring line = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        m_process = pi.hProcess;
        m_pid = pi.dwProcessId;
        return true;
    }
    // Takes over a process someone else started. The program's DACL lets
    // Everyone only query and read it; as its owner we may rewrite the DACL
    // (to none: all access) and then open it to wait for and end it.
    bool Adopt(DWORD pid)
    {
        End();
        HANDLE owner = OpenProcess(WRITE_DAC, FALSE, pid);
        if (owner) {
            SetSecurityInfo(owner, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
            CloseHandle(owner);
        }
        m_process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        m_pid = m_process ? pid : 0;
        return m_process != nullptr;
    }
    // The exit code; -1 when it still runs after the wait (messages are
    // dispatched meanwhile: the program may send to our windows).
    int ExitCode(DWORD waitMs = kWaitMs)
    {
        if (!m_process || !PumpUntil([&] { return Ended(m_process); }, waitMs))
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_process, &code);
        return (int)code;
    }
    void End()
    {
        if (m_process) {
            if (!Ended(m_process)) {
                TerminateProcess(m_process, 99);  // a failed test must not leave it running
                WaitForSingleObject(m_process, 5000);
            }
            CloseHandle(m_process);
        }
        m_process = nullptr;
        m_pid = 0;
    }
    DWORD Pid() const { return m_pid; }

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// The stand-in taskbar with its clock window.
class CStandinTaskbar {
public:
    bool Start()
    {
        std::wstring exe = std::wstring(TL_PROGRAM_FOLDER) + L"standin-taskbar.exe";
        if (!m_process.Start(exe, L"bottom", L""))
            return false;
        FindTray find = {m_process.Pid(), nullptr};
        PumpUntil([&] {
            EnumWindows(FindTrayProc, (LPARAM)&find);
            return find.taskbar && IsWindowVisible(find.taskbar);
        }, 10000);
        HWND notify = find.taskbar ? FindWindowExW(find.taskbar, nullptr, L"TrayNotifyWnd", nullptr) : nullptr;
        clock = notify ? FindWindowExW(notify, nullptr, L"TrayClockWClass", nullptr) : nullptr;
        return clock != nullptr;
    }
    // True once the hook has subclassed the clock window.
    bool WaitAttached()
    {
        return PumpUntil([&] { return Query(clock, kQueryOwnProc) == 0; }, kWaitMs);
    }
    CProcess& Process() { return m_process; }

    HWND clock = nullptr;

private:
    CProcess m_process;
};

// A program folder whose new user gets three clocks, the second with two
// alarms (daily, from a day far ahead: they never ring during the test).
class CProgram {
public:
    CProgram()
    {
        const wchar_t* files[] = {L"tempolan.exe", L"hook.dll", L"res_en.dll", L"timezones.txt",
                                  L"tz_changes.txt", L"cities.txt", L"default.ini"};
        for (const wchar_t* f : files)
            m_ready = CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + f).c_str(), m_folder.File(f).c_str(), FALSE) &&
                      m_ready;
        std::wstring defaults = m_folder.File(L"default.ini");
        std::vector<WCHAR> clock(32768);
        DWORD n = GetPrivateProfileSectionW(L"default:clock1", clock.data(), (DWORD)clock.size(), defaults.c_str());
        m_ready = m_ready && n > 0;
        WritePrivateProfileSectionW(L"default:clock2", clock.data(), defaults.c_str());
        WritePrivateProfileSectionW(L"default:clock3", clock.data(), defaults.c_str());
        for (const wchar_t* alarm : {L"default:clock2:alarm1", L"default:clock2:alarm2"})
            WritePrivateProfileSectionW(alarm, L"enabled=1\0type=1\0daily=2090.01.05 09:00:00 1\0\0",
                                        defaults.c_str());
    }
    bool Ready() const { return m_ready; }
    // The first `count` cities of the shipped list.
    bool WriteCities(int count)
    {
        std::string all = ReadFileBytes(std::wstring(TL_PROGRAM_FOLDER) + L"cities.txt"), some;
        for (size_t p = 0; count > 0 && p < all.size();) {
            size_t end = all.find('\n', p);
            end = end == std::string::npos ? all.size() : end + 1;
            if (all[p] != '#')
                --count;
            some += all.substr(p, end - p);
            p = end;
        }
        return count == 0 && m_folder.WriteBytes(L"cities.txt", some);
    }
    bool Start(CProcess& process, const wchar_t* arguments)
    {
        return process.Start(m_folder.File(L"tempolan.exe"), arguments, m_folder.Path());
    }
    // "/exit", as a user ends the program; its exit code.
    int Exit()
    {
        CProcess closer;
        return Start(closer, L"/exit") ? closer.ExitCode() : -1;
    }
    std::wstring UserMainKey(const wchar_t* key) const
    {
        WCHAR user[65] = {};
        DWORD chars = 65;
        GetUserNameW(user, &chars);
        CharLowerW(user);
        WCHAR value[128] = {};
        GetPrivateProfileStringW((std::wstring(user) + L":main").c_str(), key, L"", value, 128,
                                 m_folder.File(L"tempolan.ini").c_str());
        return value;
    }

private:
    CTempFolder m_folder;
    bool m_ready = true;
};

HWND WaitForMainWindow(HWND other = nullptr)
{
    HWND found = nullptr;
    PumpUntil([&] {
        found = FindWindowW(L"TempolanClass", nullptr);
        return found && found != other;
    }, kWaitMs);
    return found != other ? found : nullptr;
}

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

struct Block {
    HWND sender;
    DWORD id;
    DWORD bytes;
};
std::vector<Block> g_blocks;

// A tray clock of our own that notes what it is sent.
LRESULT CALLBACK RecordingTrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* block = (const COPYDATASTRUCT*)lParam;
        g_blocks.push_back({(HWND)wParam, (DWORD)block->dwData, block->cbData});
        return 1;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class CRecordingTray {
public:
    CRecordingTray()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingTrayProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TL_EndToEndTrayClock";
        RegisterClassW(&wc);
        window = CreateWindowW(L"TL_EndToEndTrayClock", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        g_blocks.clear();
    }
    ~CRecordingTray()
    {
        if (window)
            DestroyWindow(window);
    }
    // The tray clock's handshake; the main program answers with its window
    // and pushes its data while we wait.
    HWND Handshake(HWND main)
    {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(main, kHandshake, 0, (LPARAM)window, SMTO_NORMAL, kWaitMs, &answer))
            return nullptr;
        return (HWND)answer;
    }

    HWND window = nullptr;
};

}  // namespace

TEST(EndToEnd, TheAttachedProgramPushesItsBlocksInOrder)
{
    ASSERT_EQ(nullptr, FindWindowW(L"TempolanClass", nullptr)) << "another instance runs";
    CProgram program;
    ASSERT_TRUE(program.Ready());
    // Wine carries no WM_COPYDATA of more than about 2 MB between processes:
    // the shipped list (3 MB) would end the push after its first block
    ASSERT_TRUE(program.WriteCities(3));
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    CProcess tempolan;
    ASSERT_TRUE(program.Start(tempolan, L""));
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    // the hook went into the stand-in taskbar and its clock shook hands
    ASSERT_TRUE(taskbar.WaitAttached());

    // a tray clock that announces itself gets everything, in the order
    // settings, cities, clocks, then the alarms of each clock that has any
    CRecordingTray tray;
    ASSERT_NE(nullptr, tray.window);
    EXPECT_EQ(main, tray.Handshake(main));
    PumpUntil([] { return g_blocks.size() >= 4; }, 2000);
    ASSERT_EQ(4u, g_blocks.size());
    const DWORD ids[] = {0, 2, 1, 101};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(ids[i], g_blocks[i].id) << i;
        EXPECT_EQ(main, g_blocks[i].sender) << i;
    }
    EXPECT_EQ(kSettingsBytes, g_blocks[0].bytes);
    EXPECT_EQ(3u * kCityBytes, g_blocks[1].bytes);
    EXPECT_EQ(3u * kClockBytes, g_blocks[2].bytes);
    EXPECT_EQ(2u * kAlarmBytes, g_blocks[3].bytes);

    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, tempolan.ExitCode());
    // the hook let go of the stand-in's clock
    EXPECT_TRUE(PumpUntil([&] { return Query(taskbar.clock, kQueryOwnProc) == 1; }, 5000));
}

TEST(EndToEnd, WithoutTheHookNothingIsPushed)
{
    ASSERT_EQ(nullptr, FindWindowW(L"TempolanClass", nullptr)) << "another instance runs";
    CProgram program;
    ASSERT_TRUE(program.Ready());
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start());
    CProcess tempolan;
    ASSERT_TRUE(program.Start(tempolan, L"/nh"));
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    CRecordingTray tray;
    EXPECT_EQ(main, tray.Handshake(main));
    PumpUntil([] { return !g_blocks.empty(); }, 1000);
    EXPECT_TRUE(g_blocks.empty());
    EXPECT_EQ(1, Query(taskbar.clock, kQueryOwnProc));  // never attached
    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, tempolan.ExitCode());
}

TEST(EndToEnd, ANewTaskbarRestartsTheProgram)
{
    ASSERT_EQ(nullptr, FindWindowW(L"TempolanClass", nullptr)) << "another instance runs";
    CProgram program;
    ASSERT_TRUE(program.Ready());
    CStandinTaskbar first;
    ASSERT_TRUE(first.Start());
    CProcess tempolan;
    ASSERT_TRUE(program.Start(tempolan, L""));
    HWND oldMain = WaitForMainWindow();
    ASSERT_NE(nullptr, oldMain);
    ASSERT_TRUE(first.WaitAttached());
    EXPECT_EQ(L"", program.UserMainKey(L"lastalarmcheck"));

    // The next taskbar is up before the first one goes, so that the new
    // instance finds it (Wine's explorer also has a hidden Shell_TrayWnd,
    // which the watcher takes for "the taskbar back" as well).
    CStandinTaskbar second;
    ASSERT_TRUE(second.Start());
    first.Process().End();

    // the old instance saves its state and ends; a new one takes its place
    EXPECT_EQ(0, tempolan.ExitCode());
    EXPECT_EQ(19u, program.UserMainKey(L"lastalarmcheck").size());
    HWND newMain = WaitForMainWindow(oldMain);
    ASSERT_NE(nullptr, newMain);
    CProcess restarted;
    ASSERT_TRUE(restarted.Adopt(ProcessOf(newMain)));
    EXPECT_NE(tempolan.Pid(), restarted.Pid());
    EXPECT_TRUE(second.WaitAttached());

    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, restarted.ExitCode());
}
