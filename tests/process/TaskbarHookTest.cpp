// The hook library inside the stand-in taskbar (another process): ordinal 7,
// attaching with one handshake, the tray clock window's protocol, mouse
// notifications, detaching, and the restart after a failed handshake.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/CityRecord.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "taskbar/hook/TrayShared.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/StandinTaskbar.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

// Stored arguments that already ask for a restart: a failed handshake in
// these tests must not start the build's real program, which nobody ends.
const char kNoRestart[] = "/nh /restart";

struct MainRecord {
    int handshakes = 0;
    HWND announced = nullptr;
    bool answerWithSelf = true;
    struct Mouse {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Mouse> mouse;
    std::vector<UINT> others;  // private messages outside the mouse range
};

MainRecord g_main;

LRESULT CALLBACK TestMainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_TRAYCLOCKATTACHED) {
        ++g_main.handshakes;
        g_main.announced = (HWND)lParam;
        return g_main.answerWithSelf ? (LRESULT)hwnd : 0;
    }
    if (message >= UM_TRAYCLOCKMOUSE - 1 && message < UM_TRAYCLOCKMOUSE + kTrayClockMouseCount) {
        g_main.mouse.push_back({message, wParam, lParam});
        return 1;  // the main program shows its own menu
    }
    if (message >= WM_APP && message < 0xC000)
        g_main.others.push_back(message);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateMainWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TestMainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TL_TestMainWindow";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, L"TL_TestMainWindow", L"test main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// hook.dll loaded in this process, its ordinals, and the shared section as
// every process sees it.
class HookLibrary {
public:
    HookLibrary() : m_module(LoadLibraryW((std::wstring(TL_PROGRAM_FOLDER) + L"hook.dll").c_str()))
    {
        if (!m_module)
            return;
        HMODULE module = m_module.Get();
        setArguments = (void(WINAPI*)(const WCHAR*, const char*))(void*)GetProcAddress(module, MAKEINTRESOURCEA(9));
        install = (DWORD(WINAPI*)(HWND, const WCHAR*))(void*)GetProcAddress(module, MAKEINTRESOURCEA(7));
        remove = (void(WINAPI*)())(void*)GetProcAddress(module, MAKEINTRESOURCEA(8));
        IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)((BYTE*)module + ((IMAGE_DOS_HEADER*)module)->e_lfanew);
        IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (!strncmp((const char*)section[i].Name, ".MYDATA", 8))
                shared = (volatile TrayShared*)((BYTE*)module + section[i].VirtualAddress);
    }
    // the hook is removed before the owner frees the library
    ~HookLibrary()
    {
        if (remove)
            remove();
    }
    bool Ready() const { return setArguments && install && remove && shared; }

    void (WINAPI* setArguments)(const WCHAR*, const char*) = nullptr;
    DWORD (WINAPI* install)(HWND, const WCHAR*) = nullptr;
    void (WINAPI* remove)() = nullptr;
    volatile TrayShared* shared = nullptr;

private:
    CModule m_module;
};

class TaskbarHook : public testing::Test {
protected:
    void SetUp() override
    {
        g_main = MainRecord();
        ASSERT_TRUE(m_hook.Ready());
        m_main = CreateMainWindow();
        ASSERT_NE(nullptr, m_main);
    }
    void TearDown() override
    {
        if (m_main)
            DestroyWindow(m_main);
    }

    // Installs and waits for the handshake; the stand-in's pid from ordinal 7.
    DWORD Attach(CStandinTaskbar& taskbar, const WCHAR* folder, const char* arguments)
    {
        m_hook.setArguments(folder, arguments);
        DWORD pid = m_hook.install(m_main, folder);
        PumpUntil([] { return g_main.handshakes > 0; }, 10000);
        return pid;
    }

    LRESULT Push(HWND trayClock, ULONG_PTR id, const void* data, DWORD size, HWND sender = nullptr)
    {
        COPYDATASTRUCT block = {id, size, (void*)data};
        return SendMessageW(trayClock, WM_COPYDATA, (WPARAM)(sender ? sender : m_main), (LPARAM)&block);
    }

    // Settings and n clocks showing seconds, as the main program pushes them.
    void PushClocks(HWND trayClock, int n)
    {
        SettingsBlock settings = {};
        settings.clockCount = n;
        settings.trayClocks = 12;
        lstrcpyW(settings.language, L"en");
        ASSERT_EQ(1, Push(trayClock, 0, &settings, sizeof(settings)));
        std::vector<ClockRecord> clocks(n);
        memset(clocks.data(), 0, n * sizeof(ClockRecord));
        for (int i = 0; i < n; ++i) {
            clocks[i].id = i + 1;
            clocks[i].enabled = 1;
            clocks[i].flags = kClockShowsSeconds;
            lstrcpyW(clocks[i].zone.zoneName, L"Local System Time");
        }
        ASSERT_EQ(1, Push(trayClock, 1, clocks.data(), (DWORD)(n * sizeof(ClockRecord))));
    }

    HookLibrary m_hook;
    HWND m_main = nullptr;
};

}  // namespace

TEST_F(TaskbarHook, AttachesOnceWithAHandshakeAndDetachesCleanly)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    LRESULT classStyle = Query(taskbar.clock, SQ_CLASSSTYLE);
    LRESULT exStyle = Query(taskbar.clock, SQ_EXSTYLE);
    ASSERT_EQ(1, Query(taskbar.clock, SQ_OWNPROC));

    EXPECT_EQ(taskbar.Pid(), Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart));
    PumpUntil([] { return false; }, 500);
    EXPECT_EQ(1, g_main.handshakes);
    EXPECT_EQ(taskbar.clock, g_main.announced);
    EXPECT_EQ((uint64_t)(UINT_PTR)taskbar.clock, m_hook.shared->trayClock);
    EXPECT_NE(0u, m_hook.shared->previousProc);
    EXPECT_EQ(0, Query(taskbar.clock, SQ_OWNPROC));
    EXPECT_EQ(classStyle | CS_DBLCLKS, Query(taskbar.clock, SQ_CLASSSTYLE));
    HWND tooltip = FindWindowW(nullptr, L"Tempoler Tooltip");
    ASSERT_NE(nullptr, tooltip);
    DWORD tooltipProcess = 0;
    GetWindowThreadProcessId(tooltip, &tooltipProcess);
    EXPECT_EQ(taskbar.Pid(), tooltipProcess);

    // a second kind of message to the clock attaches nothing more
    Query(taskbar.clock, WM_SIZE);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(1, g_main.handshakes);

    ASSERT_EQ(0, Query(taskbar.clock, WM_COMMAND, UM_TRAYCLOCKDETACH, 0));
    EXPECT_EQ(1, Query(taskbar.clock, SQ_OWNPROC));
    EXPECT_EQ(classStyle, Query(taskbar.clock, SQ_CLASSSTYLE));
    EXPECT_EQ(exStyle, Query(taskbar.clock, SQ_EXSTYLE));
    EXPECT_EQ(1, Query(taskbar.clock, SQ_INICHANGES));  // the own clock recomputed itself
    EXPECT_EQ(nullptr, FindWindowW(nullptr, L"Tempoler Tooltip"));
    EXPECT_EQ(0u, m_hook.shared->trayClock);
    EXPECT_EQ(0u, m_hook.shared->previousProc);
}

TEST_F(TaskbarHook, BlocksNeedTheMainWindowAsSenderAndTheirExactSize)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);

    std::vector<uint8_t> bytes(1705);
    EXPECT_EQ(0, Push(taskbar.clock, 0, bytes.data(), 1703));
    EXPECT_EQ(0, Push(taskbar.clock, 0, bytes.data(), 1705));
    EXPECT_EQ(1, Push(taskbar.clock, 0, bytes.data(), 1704));
    EXPECT_EQ(0, Push(taskbar.clock, 0, bytes.data(), 1704, taskbar.clock));  // another sender
    EXPECT_EQ(1, Push(taskbar.clock, 1, nullptr, 0));
    EXPECT_EQ(1, Push(taskbar.clock, 129, nullptr, 0));  // no such clock: acknowledged
    EXPECT_EQ(0, Push(taskbar.clock, 130, nullptr, 0));
}

TEST_F(TaskbarHook, ClocksAreSizedCentredAndReportMouseActions)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);
    PushClocks(taskbar.clock, 2);

    RECT clock, notify;
    GetWindowRect(taskbar.clock, &clock);
    GetWindowRect(taskbar.Notify(), &notify);
    EXPECT_GT(clock.right - clock.left, 40);
    EXPECT_LE(abs((clock.top - notify.top) - (notify.bottom - clock.bottom)), 1);
    LRESULT size = Query(taskbar.clock, UM_MAINWINDOWREADY);
    EXPECT_EQ(clock.right - clock.left, LOWORD(size));
    EXPECT_EQ(clock.bottom - clock.top, HIWORD(size));

    // in a row or in a column, the first clock holds the top left corner and
    // the second the bottom right one
    int width = clock.right - clock.left, height = clock.bottom - clock.top;
    LPARAM first = MAKELPARAM(1, 1), second = MAKELPARAM(width - 2, height - 2);
    SendMessageW(taskbar.clock, WM_LBUTTONDOWN, MK_LBUTTON, second);
    SendMessageW(taskbar.clock, WM_LBUTTONDBLCLK, MK_LBUTTON, first);
    PumpUntil([] { return g_main.mouse.size() >= 2; }, 2000);
    // a right click outside every clock reaches the main program with no clock message
    SendMessageW(taskbar.clock, WM_CONTEXTMENU, (WPARAM)taskbar.clock, MAKELPARAM(clock.left - 30, clock.top));
    SendMessageW(taskbar.clock, WM_CONTEXTMENU, (WPARAM)taskbar.clock, MAKELPARAM(clock.left + 1, clock.top + 1));
    PumpUntil([] { return g_main.mouse.size() >= 3; }, 2000);
    PumpUntil([] { return false; }, 200);

    ASSERT_EQ(3u, g_main.mouse.size());
    EXPECT_EQ(UM_TRAYCLOCKMOUSE + 1, g_main.mouse[0].message);
    EXPECT_EQ((WPARAM)WM_LBUTTONDOWN, g_main.mouse[0].wParam);
    EXPECT_EQ(second, g_main.mouse[0].lParam);
    EXPECT_EQ(UM_TRAYCLOCKMOUSE + 0, g_main.mouse[1].message);
    EXPECT_EQ((WPARAM)WM_LBUTTONDBLCLK, g_main.mouse[1].wParam);
    EXPECT_EQ(UM_TRAYCLOCKMOUSE + 0, g_main.mouse[2].message);
    EXPECT_EQ((WPARAM)WM_CONTEXTMENU, g_main.mouse[2].wParam);
}

TEST_F(TaskbarHook, VerticalTaskbarCentresTheClocksAcross)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"left"));
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);
    PushClocks(taskbar.clock, 3);
    RECT clock, notify;
    GetWindowRect(taskbar.clock, &clock);
    GetWindowRect(taskbar.Notify(), &notify);
    EXPECT_GE(clock.bottom - clock.top, 2 * 12);  // more than one row
    EXPECT_LE(abs((clock.left - notify.left) - (notify.right - clock.right)), 1);
}

// The hook goes in with this process's own module handle: installing again
// after a removal attaches again.
TEST_F(TaskbarHook, InstallsAgainAfterRemoval)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);
    m_hook.remove();
    // a busy taskbar may answer the detach after the removal's time-out
    EXPECT_TRUE(PumpUntil([&] { return Query(taskbar.clock, SQ_OWNPROC) == 1; }, 10000));
    EXPECT_EQ(taskbar.Pid(), m_hook.install(m_main, TL_PROGRAM_FOLDER));
    PostMessageW(taskbar.taskbar, WM_SIZE, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return g_main.handshakes == 2; }, 10000));
    EXPECT_EQ(0, Query(taskbar.clock, SQ_OWNPROC));
}

// A main program gone without detaching: the next installation detaches the
// stale attachment and attaches with a fresh handshake to the new window.
TEST_F(TaskbarHook, StaleAttachmentIsDetachedByTheNextInstallation)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);
    DestroyWindow(m_main);
    m_main = CreateMainWindow();
    EXPECT_EQ(taskbar.Pid(), m_hook.install(m_main, TL_PROGRAM_FOLDER));
    EXPECT_TRUE(PumpUntil([] { return g_main.handshakes == 2; }, 10000));
    EXPECT_EQ(m_main, (HWND)(UINT_PTR)m_hook.shared->mainWindow);
    EXPECT_EQ(0, Query(taskbar.clock, SQ_OWNPROC));
}

TEST_F(TaskbarHook, FailedHandshakeRestartsTheMainProgramOnce)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tl_restart_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((std::wstring(TL_TEST_BINARIES) + L"arg_recorder.exe").c_str(),
                          (folder + L"tempolan.exe").c_str(), FALSE));
    std::wstring record = folder + L"args.txt";
    auto recorded = [&] {
        std::wstring text;
        CKernelHandle file(CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
        if (!file)
            return text;
        WCHAR buffer[1024] = {};
        DWORD read = 0;
        ReadFile(file.Get(), buffer, sizeof(buffer) - sizeof(WCHAR), &read, nullptr);
        return std::wstring(buffer);
    };
    {
        CStandinTaskbar taskbar;
        ASSERT_TRUE(taskbar.Start(L"bottom"));
        g_main.answerWithSelf = false;
        Attach(taskbar, folder.c_str(), "/x");
        EXPECT_EQ(1, g_main.handshakes);
        EXPECT_TRUE(PumpUntil([&] { return recorded().find(L"\n") != std::wstring::npos; }, 10000));
        std::wstring line = recorded();
        EXPECT_NE(std::wstring::npos, line.find(L"/restart /x")) << line.c_str();
        m_hook.remove();
    }
    DeleteFileW(record.c_str());
    {
        CStandinTaskbar taskbar;
        ASSERT_TRUE(taskbar.Start(L"bottom"));
        g_main = MainRecord();
        g_main.answerWithSelf = false;
        Attach(taskbar, folder.c_str(), "/Restart /x");
        EXPECT_EQ(1, g_main.handshakes);
        PumpUntil([] { return false; }, 2000);
        EXPECT_EQ(L"", recorded());
        m_hook.remove();
    }
    DeleteFileW(record.c_str());
    DeleteFileW((folder + L"tempolan.exe").c_str());
    RemoveDirectoryW(folder.c_str());
}

namespace {

// Whether the process's committed private memory holds `bytes`.
bool ProcessHolds(DWORD pid, const std::string& bytes)
{
    CKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process)
        return false;
    const DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE;
    MEMORY_BASIC_INFORMATION info;
    std::string region;
    for (BYTE* at = nullptr; VirtualQueryEx(process.Get(), at, &info, sizeof(info)) == sizeof(info);
         at = (BYTE*)info.BaseAddress + info.RegionSize) {
        if (info.State != MEM_COMMIT || info.Type != MEM_PRIVATE || !(info.Protect & kReadable) ||
            (info.Protect & PAGE_GUARD))
            continue;
        region.resize(info.RegionSize);
        SIZE_T read = 0;
        ReadProcessMemory(process.Get(), info.BaseAddress, &region[0], info.RegionSize, &read);
        region.resize(read);
        if (region.find(bytes) != std::string::npos)
            return true;
    }
    return false;
}

}  // namespace

// Under Wine a received block is handed over on the taskbar thread's stack:
// the stand-in must take a city list as large as the shipped one. The tray
// clock keeps its own copy, with the pointer slot cleared and the names
// terminated; a block of a wrong size is dropped.
TEST_F(TaskbarHook, TakesACityBlockOfTheShippedSize)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);
    std::vector<CityRecord> cities(8000);
    for (CityRecord& city : cities) {
        for (WCHAR& c : city.cityName)
            c = L'Q';
        for (WCHAR& c : city.countryName)
            c = L'R';
        city.zoneRecord.raw = 0x5A5A5A5A5A5A5A5Aull;
    }
    CityRecord kept = cities[0];
    kept.cityName[79] = 0;
    kept.countryName[79] = 0;
    kept.zoneRecord.raw = 0;
    const std::string keptBytes((const char*)&kept, sizeof(kept));

    for (DWORD cut : {1u, 0u}) {
        SCOPED_TRACE(cut);
        COPYDATASTRUCT block = {2, (DWORD)(cities.size() * sizeof(CityRecord)) - cut, cities.data()};
        DWORD_PTR reply = 99;
        EXPECT_TRUE(SendMessageTimeoutW(taskbar.clock, WM_COPYDATA, (WPARAM)m_main, (LPARAM)&block, SMTO_NORMAL,
                                        5000, &reply));
        EXPECT_EQ(0u, reply);
        EXPECT_EQ(cut == 0, ProcessHolds(taskbar.Pid(), keptBytes));
    }
}

namespace {

struct ClickProbe {
    HWND clock;
    LPARAM point;
    DWORD elapsed;
};

DWORD WINAPI SendClick(void* parameter)
{
    ClickProbe* probe = (ClickProbe*)parameter;
    DWORD start = GetTickCount();
    DWORD_PTR reply;
    SendMessageTimeoutW(probe->clock, WM_LBUTTONDOWN, MK_LBUTTON, probe->point, SMTO_NORMAL, 10000, &reply);
    probe->elapsed = GetTickCount() - start;
    return 0;
}

}  // namespace

// A main program that stops answering holds the taskbar for about a second
// per notification, not until it answers again.
TEST_F(TaskbarHook, AHungMainProgramDoesNotHoldTheTaskbar)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);
    PushClocks(taskbar.clock, 1);
    RECT clock;
    GetClientRect(taskbar.clock, &clock);
    ClickProbe probe = {taskbar.clock, MAKELPARAM(4, clock.bottom / 2), 0};
    CKernelHandle thread(CreateThread(nullptr, 0, SendClick, &probe, 0, nullptr));
    ASSERT_TRUE(thread);
    Sleep(4000);  // this thread, the main window's, answers nothing meanwhile
    WaitForSingleObject(thread.Get(), 10000);
    EXPECT_LT(probe.elapsed, 2500u);
    PumpUntil([] { return false; }, 200);
}

// Another process clearing the shared fields (a second main program ending)
// makes the hook attach again to a window that already runs our procedure:
// messages must still reach the taskbar's own procedure, and detaching must
// restore it.
TEST_F(TaskbarHook, AttachingTwiceKeepsTheTaskbarsOwnProcedure)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    LRESULT classStyle = Query(taskbar.clock, SQ_CLASSSTYLE);
    Attach(taskbar, TL_PROGRAM_FOLDER, kNoRestart);
    ASSERT_EQ(1, g_main.handshakes);
    m_hook.shared->trayClock = 0;
    m_hook.shared->previousProc = 0;
    Query(taskbar.clock, WM_NULL);
    EXPECT_TRUE(PumpUntil([] { return g_main.handshakes == 2; }, 10000));
    EXPECT_EQ(classStyle | CS_DBLCLKS, Query(taskbar.clock, SQ_CLASSSTYLE));
    ASSERT_EQ(0, Query(taskbar.clock, WM_COMMAND, UM_TRAYCLOCKDETACH, 0));
    EXPECT_EQ(1, Query(taskbar.clock, SQ_OWNPROC));
    EXPECT_EQ(classStyle, Query(taskbar.clock, SQ_CLASSSTYLE));
}

// The real tempolan.exe attaches to the stand-in, pushes its clocks (the
// shipped city list among them) and hands the clock back when it ends.
TEST_F(TaskbarHook, TheMainProgramShowsItsClocksAndGivesTheClockBack)
{
    CStandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.Start(L"bottom"));
    LRESULT ownSize = Query(taskbar.clock, UM_MAINWINDOWREADY);
    CProgramFolder program;
    int main = program.Start(L"");
    ASSERT_LE(0, main);
    EXPECT_TRUE(PumpUntil([&] {
        LRESULT size = Query(taskbar.clock, UM_MAINWINDOWREADY);
        return size != ownSize && LOWORD(size) > 0 && Query(taskbar.clock, SQ_OWNPROC) == 0;
    }, 20000));
    RECT clock;
    GetWindowRect(taskbar.clock, &clock);
    EXPECT_GT(clock.right - clock.left, 0);

    EXPECT_EQ(0, program.Exit());
    EXPECT_EQ(0, program.ExitCode(main));
    EXPECT_TRUE(PumpUntil([&] { return Query(taskbar.clock, SQ_OWNPROC) == 1; }, 5000));
}
