// The main program as a real process in a program folder of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <stddef.h>
#include <string.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "windows/http/HttpClient.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RecordingWindow.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestMessages.h"
#include "tests/support/TestServers.h"

namespace {

const DWORD kWaitMs = kProgramWaitMs;

// A window of class "TempolanClass" whose thread never reads its messages:
// a hung instance.
class CHungInstance {
public:
    // The thread reads both events: they are made before it.
    CHungInstance()
        : m_release(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_ready(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          m_thread(CreateThread(nullptr, 0, Run, this, 0, nullptr))
    {
        WaitForSingleObject(m_ready.Get(), kWaitMs);
    }
    ~CHungInstance()
    {
        SetEvent(m_release.Get());
        WaitForSingleObject(m_thread.Get(), kWaitMs);
    }

private:
    static DWORD WINAPI Run(void* parameter)
    {
        CHungInstance* self = (CHungInstance*)parameter;
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kMainWindowClass;
        RegisterClassW(&wc);
        HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
        SetEvent(self->m_ready.Get());
        WaitForSingleObject(self->m_release.Get(), INFINITE);
        DestroyWindow(window);
        UnregisterClassW(wc.lpszClassName, wc.hInstance);
        return 0;
    }
    CKernelHandle m_release;
    CKernelHandle m_ready;
    CKernelHandle m_thread;
};

// Finds the settings block in the writable memory of `process` by its program
// folder, which sits at its place in the block; the version signature marks
// a block that holds the program's version. False when no such block is there.
bool FindVersionedSettingsBlock(HANDLE process, const std::wstring& folder, SettingsBlock* found)
{
    const size_t folderAt = offsetof(SettingsBlock, programFolder);
    const size_t folderBytes = (folder.size() + 1) * sizeof(WCHAR);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    BYTE* at = (BYTE*)system.lpMinimumApplicationAddress;
    MEMORY_BASIC_INFORMATION region;
    while (at < system.lpMaximumApplicationAddress && VirtualQueryEx(process, at, &region, sizeof(region))) {
        at = (BYTE*)region.BaseAddress + region.RegionSize;
        if (region.State != MEM_COMMIT || region.Type != MEM_PRIVATE || region.Protect != PAGE_READWRITE)
            continue;
        std::vector<BYTE> bytes(region.RegionSize);
        SIZE_T got = 0;
        if (!ReadProcessMemory(process, region.BaseAddress, bytes.data(), bytes.size(), &got))
            continue;
        for (size_t i = 0; i + sizeof(SettingsBlock) <= got; i += 4) {
            if (memcmp(&bytes[i + folderAt], folder.c_str(), folderBytes) != 0)
                continue;
            SettingsBlock block;
            memcpy(&block, &bytes[i], sizeof(block));
            if (block.fileVersion.dwSignature == 0xFEEF04BDu) {
                *found = block;
                return true;
            }
        }
    }
    return false;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kWaitMs, &result))
        return -1;
    return (LRESULT)result;
}

}  // namespace

TEST(Startup, MissingResourceLibraryEndsWithCode1)
{
    CProgramFolder folder(false, true);
    int p = folder.Start(L"");
    ASSERT_LE(0, p);
    EXPECT_EQ(L"Cannot load resource DLL!", CloseMessageBox(L"Tempolan Error", kWaitMs));
    EXPECT_EQ(1, folder.ExitCode(p));
}

TEST(Startup, MissingDataFileShowsTheMessageAndEnds)
{
    CProgramFolder folder(true, false);
    int p = folder.Start(L"");
    ASSERT_LE(0, p);
    std::wstring text = CloseMessageBox(L"Tempolan Error", kWaitMs);
    EXPECT_NE(std::wstring::npos, text.find(L"time zone or city files")) << text;
    EXPECT_EQ(0, folder.ExitCode(p));
    EXPECT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr));
}

TEST(Startup, OneInstanceAndExit)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    int first = folder.Start(L"/nh");
    ASSERT_LE(0, first);
    ASSERT_NE(nullptr, WaitForMainWindow());
    EXPECT_EQ(-1, folder.ExitCode(first, 0));

    int second = folder.Start(L"");
    EXPECT_EQ(3, folder.ExitCode(second));

    // the tray clock's handshake is answered with the main window
    HWND main = FindWindowW(kMainWindowClass, nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, UM_TRAYCLOCKATTACHED, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &answer));
    EXPECT_EQ((DWORD_PTR)main, answer);

    int closer = folder.Start(L"/EXIT");
    EXPECT_EQ(0, folder.ExitCode(closer));
    EXPECT_EQ(0, folder.ExitCode(first));
    EXPECT_TRUE(WaitForNoMainWindow());

    // the first run set up the user's sections and, with /nh, wrote the build
    WCHAR user[65] = {};
    DWORD chars = 65;
    ASSERT_TRUE(GetUserNameW(user, &chars));
    CharLowerW(user);
    WCHAR build[128] = {};
    GetPrivateProfileStringW((std::wstring(user) + L":main").c_str(), L"last_build", L"", build, 128,
                             folder.File(L"tempolan.ini").c_str());
    EXPECT_NE(nullptr, wcsstr(build, L"5.3.1 x64")) << build;
    // the close sequence saved the time of the last alarm check
    WCHAR check[64] = {};
    GetPrivateProfileStringW((std::wstring(user) + L":main").c_str(), L"lastalarmcheck", L"", check, 64,
                             folder.File(L"tempolan.ini").c_str());
    EXPECT_EQ(19u, wcslen(check)) << check;
}

TEST(Startup, ExitWithNothingRunningEndsAtOnce)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    DWORD start = GetTickCount();
    int p = folder.Start(L"/exit");
    EXPECT_EQ(0, folder.ExitCode(p));
    EXPECT_LT(GetTickCount() - start, 4000u);  // no wait for an instance that is not there
}

TEST(Startup, AHungInstanceHoldsExitAndRestartNoLongerThanTheLimit)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CHungInstance hung;
    ASSERT_NE(nullptr, FindWindowW(kMainWindowClass, nullptr));
    CProgramFolder folder(true, true);
    DWORD start = GetTickCount();
    int exit = folder.Start(L"/exit");
    int restart = folder.Start(L"/restart /nh");
    EXPECT_EQ(0, folder.ExitCode(exit, 12000));
    // the old window is still there after 5 s: the new instance gives way
    EXPECT_EQ(3, folder.ExitCode(restart, 12000));
    DWORD spent = GetTickCount() - start;
    EXPECT_GE(spent, 4500u);
    EXPECT_LT(spent, 12000u);
}

TEST(Startup, ExitEventAndRestartReplaceTheInstance)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    int first = folder.Start(L"/nh");
    ASSERT_NE(nullptr, WaitForMainWindow());
    HWND old = FindWindowW(kMainWindowClass, nullptr);

    int second = folder.Start(L"/restart /nh");
    EXPECT_EQ(0, folder.ExitCode(first));
    ASSERT_NE(nullptr, WaitForMainWindow());
    EXPECT_EQ(-1, folder.ExitCode(second, 500));
    EXPECT_NE(old, FindWindowW(kMainWindowClass, nullptr));

    {  // closed at once: an open handle would keep the event for the next instance
        CKernelHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\Tempolan_Exit_Event"));
        ASSERT_TRUE(event);
        SetEvent(event.Get());
    }
    EXPECT_EQ(0, folder.ExitCode(second));
    EXPECT_TRUE(WaitForNoMainWindow());
}

// Without /nh the build is written when a tray clock attaches; with no
// taskbar clock there is none, and the block must carry the build anyway.
TEST(Startup, TheSettingsBlockCarriesTheBuildWithoutATaskbarClock)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    int p = folder.Start(L"");
    HWND main = WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    // the window is found while it is still being created: read the block
    // once its thread is idle
    ASSERT_NE(-1, Send(main, WM_NULL, 0, 0));
    SettingsBlock block = {};
    // our handle from the start has all access, whatever DACL the program sets
    EXPECT_TRUE(FindVersionedSettingsBlock(folder.Process(p).Handle(), folder.Path(), &block));
    EXPECT_EQ((5u << 16) | 3u, block.fileVersion.dwFileVersionMS);
    EXPECT_GE(block.buildDate.wYear, 2024);
    EXPECT_EQ(L"", folder.UserMainKey(L"last_build"));  // no tray clock came

    int closer = folder.Start(L"/exit");
    EXPECT_EQ(0, folder.ExitCode(closer));
    EXPECT_EQ(0, folder.ExitCode(p));
}

TEST(Startup, TaskbarWatcherCloseSavesTheStateFirst)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    int p = folder.Start(L"/nh");
    ASSERT_NE(nullptr, WaitForMainWindow());
    EXPECT_EQ(L"", folder.UserMainKey(L"lastalarmcheck"));
    // the check is written once the tick has run, which it does each second
    PumpUntil([] { return false; }, 1500);
    PostMessageW(FindWindowW(kMainWindowClass, nullptr), UM_CLOSEMAIN, kCloseFromTaskbarWatcher, 0);  // as the taskbar watcher does
    EXPECT_EQ(0, folder.ExitCode(p));
    EXPECT_EQ(19u, folder.UserMainKey(L"lastalarmcheck").size());
}

// Any process can send a block too large for Wine to hand over; the fetch
// fails inside the program's message loop, which must go on.
TEST(Startup, AnOversizedBlockDoesNotEndTheProgram)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    int p = folder.Start(L"/nh");
    ASSERT_NE(nullptr, WaitForMainWindow());
    HWND main = FindWindowW(kMainWindowClass, nullptr);

    std::vector<char> big(2100000, 'x');
    COPYDATASTRUCT block = {CD_DOWNLOADREQUEST, (DWORD)big.size(), big.data()};
    DWORD_PTR reply = 0;
    SendMessageTimeoutW(main, WM_COPYDATA, 0, (LPARAM)&block, SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &reply);
    Sleep(500);

    EXPECT_EQ(-1, folder.ExitCode(p, 0));  // still running
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &reply));
    int closer = folder.Start(L"/exit");
    EXPECT_EQ(0, folder.ExitCode(closer));
    EXPECT_EQ(0, folder.ExitCode(p));
}

// Every message of the main window's table reaches parts that are not there
// yet; none of them may harm the running instance. What each one does is
// checked in-process with recording parts (tests/app/MainWindowTest.cpp).
TEST(Startup, EveryPrivateMessageIsHarmlessAndAnswered)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    ASSERT_TRUE(folder.AddTestBinary(L"standin_settings.exe", L"settings.exe"));
    int p = folder.Start(L"/nh /7page");
    ASSERT_NE(nullptr, WaitForMainWindow());
    HWND main = FindWindowW(kMainWindowClass, nullptr);

    struct { UINT message; WPARAM wParam; LPARAM lParam; } table[] = {
        {UM_SETTINGSCHANGED, 0, 0},         // settings changed: reload
        {UM_SHOWLOGWINDOW, 0, 0},           // log window
        {UM_TRAYCLOCKCOUNT, 0, 0},          // tray clock count
        {UM_TRAYNOTIFY, 1, WM_LBUTTONDOWN}, // tray icon click: the menu
        {UM_TRAYNOTIFY, 1, WM_RBUTTONDOWN},
        {UM_TRAYNOTIFY, 1, WM_MOUSEMOVE},
        {UM_SAVESTATE, 0, 0},               // save state
        {UM_HIDEDESKTOPCLOCKS, 1, 0},       // hide desktop clocks
        {UM_HIDEDESKTOPCLOCKS, 0, 0},
        {UM_SHOWCALENDAR, 0, 0},            // calendar
        {UM_SHOWALLCLOCKS, 0, 0},           // all clocks
        {UM_RESENDCLOCKS, 0, 0},            // resend clocks
        {UM_RSSPROGRESS, 200, 0},           // news progress
        {UM_QUERYCLOCKBUSY, 0, 0},          // no timer panel
        {UM_QUERYDESKTOPCLOCKS, 0, 0},      // no desktop clock outside
        {UM_TRAYCLOCKMOUSE, 1, 0},          // clock 0 clicked
        {UM_TRAYCLOCKMOUSE + 29, 2, 0},     // clock 29
        {WM_COMMAND, 200, 0},               // a menu command
        {WM_TIMECHANGE, 0, 0},
        {WM_SETTINGCHANGE, 0, 0},
    };
    for (auto& m : table) {
        SCOPED_TRACE(m.message);
        // the tray icon's clicks open the program's menu: it is ended at once
        EXPECT_NE(-1, QueryEndingMenus(kWaitMs, main, m.message, m.wParam, m.lParam)) << "no answer";
    }
    // city photos are on by default: the request is taken
    EXPECT_EQ(1, Send(main, UM_REQUESTPHOTO, (WPARAM)-1, 0));

    // a stand-in tray clock and download requester of our own
    CRecordingWindow requester;
    ASSERT_NE(nullptr, requester.Window());

    // the handshake is answered with the main window; with /nh nothing is
    // pushed; the kept digit switch goes to the settings program
    EXPECT_EQ((LRESULT)main, Send(main, UM_TRAYCLOCKATTACHED, 0, (LPARAM)requester.Window()));
    EXPECT_TRUE(requester.blocks.empty());
    std::string args;
    for (int i = 0; i < 100 && args.empty(); ++i, Sleep(100))
        args = ReadFileBytes(folder.File(L"settings_args.txt"));
    EXPECT_EQ(std::string("/\0007\0p\0a\0g\0e\0", 12), args);

    // a settings download request from any process: odd and empty blocks are
    // refused; a whole body replaces downloaded.ini, anything else leaves it
    std::wstring ini = TestServerUrl(L"/ini");
    std::wstring missing = TestServerUrl(L"/status/404");
    const std::wstring nobody = L"http://127.0.0.1:9/p.ini";
    COPYDATASTRUCT odd = {CD_DOWNLOADREQUEST, 7, (void*)ini.c_str()};
    COPYDATASTRUCT empty = {CD_DOWNLOADREQUEST, 0, (void*)ini.c_str()};
    EXPECT_EQ(0, Send(main, WM_COPYDATA, (WPARAM)requester.Window(), (LPARAM)&odd));
    EXPECT_EQ(0, Send(main, WM_COPYDATA, (WPARAM)requester.Window(), (LPARAM)&empty));
    auto download = [&](const std::wstring& url) {
        size_t before = requester.Received(UM_PROFILEDOWNLOADED).size();
        COPYDATASTRUCT good = {CD_DOWNLOADREQUEST, (DWORD)((url.size() + 1) * sizeof(WCHAR)), (void*)url.c_str()};
        EXPECT_EQ(1, Send(main, WM_COPYDATA, (WPARAM)requester.Window(), (LPARAM)&good));
        PumpUntil([&] { return requester.Received(UM_PROFILEDOWNLOADED).size() > before; }, kProgramWaitMs);
        std::vector<CRecordingWindow::Message> answers = requester.Received(UM_PROFILEDOWNLOADED);
        return answers.size() == before + 1 ? (int)answers.back().wParam : 0x7FFFFFFF;
    };
    const std::string body = "[common]\r\nserver0=time.example\r\n";
    EXPECT_EQ(200, download(ini));
    EXPECT_EQ(body, ReadFileBytes(folder.File(L"downloaded.ini")));
    EXPECT_EQ(404, download(missing));
    EXPECT_EQ(kHttpRequestFailed, download(nobody));
    EXPECT_EQ(body, ReadFileBytes(folder.File(L"downloaded.ini")));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.File(L"downloaded.ini.part").c_str()));
    std::string log = ReadFileBytes(folder.File(L"http_log.txt"));
    EXPECT_NE(std::string::npos, log.find(" DownloadFile: No MD5 provided for:\r\n")) << log;
    EXPECT_NE(std::string::npos, log.find(" " + std::string(ini.begin(), ini.end()) + "\r\n")) << log;

    EXPECT_EQ(-1, folder.ExitCode(p, 0));  // still running
    int closer = folder.Start(L"/exit");
    EXPECT_EQ(0, folder.ExitCode(closer));
    EXPECT_EQ(0, folder.ExitCode(p));
}

TEST(Startup, ExportAndImportRoundTripAndRefusals)
{
    ASSERT_EQ(nullptr, FindWindowW(kMainWindowClass, nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    auto run = [&](const wchar_t* arguments) {
        int p = folder.Start(arguments);
        bool started = WaitForMainWindow() != nullptr;
        int closer = folder.Start(L"/exit");
        EXPECT_EQ(0, folder.ExitCode(closer));
        EXPECT_EQ(0, folder.ExitCode(p));
        return started;
    };
    ASSERT_TRUE(run(L"/nh"));  // the user's sections exist
    std::wstring ini = folder.File(L"tempolan.ini");
    std::wstring exported = folder.File(L"exp ort.ini");

    ASSERT_TRUE(run(L"/nh /export \"exp ort.ini\""));
    WCHAR text[256] = {};
    GetPrivateProfileStringW(L"default:main", L"description", L"", text, 256, exported.c_str());
    EXPECT_NE(nullptr, wcsstr(text, L"exported by")) << text;

    // never into the settings file itself
    ASSERT_TRUE(run(L"/nh /export tempolan.ini"));
    GetPrivateProfileStringW(L"default:main", L"description", L"", text, 256, ini.c_str());
    EXPECT_STREQ(L"", text);

    // a file without a description is refused; an exported one is taken
    std::wstring bad = folder.File(L"bad.ini");
    WritePrivateProfileStringW(L"default:main", L"marker", L"7", bad.c_str());
    ASSERT_TRUE(run(L"/nh /import bad.ini"));
    EXPECT_EQ(L"", folder.UserMainKey(L"marker"));
    WritePrivateProfileStringW(L"default:main", L"marker", L"42", exported.c_str());
    ASSERT_TRUE(run(L"/import \"exp ort.ini\" /nh"));
    EXPECT_EQ(L"42", folder.UserMainKey(L"marker"));
}
