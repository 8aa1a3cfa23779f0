// The main program as a real process in a program folder of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "TestFiles.h"

namespace {

const DWORD kWaitMs = 20000;

class CProgramFolder {
public:
    CProgramFolder(bool withResources, bool withCities)
    {
        const wchar_t* files[] = {L"tempolan.exe", L"hook.dll", L"timezones.txt", L"tz_changes.txt", L"default.ini"};
        for (const wchar_t* f : files)
            Copy(f);
        if (withResources)
            Copy(L"res_en.dll");
        if (withCities)
            Copy(L"cities.txt");
    }
    ~CProgramFolder()
    {
        for (PROCESS_INFORMATION& pi : m_started) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(pi.hProcess, 99);  // a failed test must not leave it running
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
    // Starts tempolan.exe with `arguments`; returns its index.
    int Start(const std::wstring& arguments)
    {
        std::wstring exe = m_folder.File(L"tempolan.exe");
        std::wstring line = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, m_folder.Path().c_str(), &si,
                            &pi))
            return -1;
        m_started.push_back(pi);
        return (int)m_started.size() - 1;
    }
    // The exit code, or -1 when the process is still running after the wait.
    std::wstring File(const wchar_t* name) const { return m_folder.File(name); }
    int ExitCode(int index, DWORD waitMs = kWaitMs)
    {
        HANDLE process = m_started[index].hProcess;
        if (WaitForSingleObject(process, waitMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        return (int)code;
    }

private:
    void Copy(const wchar_t* name)
    {
        std::wstring from = std::wstring(TL_PROGRAM_FOLDER) + name;
        CopyFileW(from.c_str(), m_folder.File(name).c_str(), FALSE);
    }
    CTempFolder m_folder;
    std::vector<PROCESS_INFORMATION> m_started;
};

// Waits for a message box with `caption`; returns its text and closes it.
std::wstring CloseMessageBox(const wchar_t* caption)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += 100) {
        HWND box = FindWindowW(L"#32770", caption);
        if (box) {
            WCHAR text[512] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(100);
    }
    return L"(no message box)";
}

bool WaitForMainWindow(bool present)
{
    for (DWORD waited = 0; waited < kWaitMs; waited += 100) {
        if ((FindWindowW(L"TempolanClass", nullptr) != nullptr) == present)
            return true;
        Sleep(100);
    }
    return false;
}

}  // namespace

TEST(Startup, MissingResourceLibraryEndsWithCode1)
{
    CProgramFolder folder(false, true);
    int p = folder.Start(L"");
    ASSERT_LE(0, p);
    EXPECT_EQ(L"Cannot load resource DLL!", CloseMessageBox(L"Tempolan Error"));
    EXPECT_EQ(1, folder.ExitCode(p));
}

TEST(Startup, MissingDataFileShowsTheMessageAndEnds)
{
    CProgramFolder folder(true, false);
    int p = folder.Start(L"");
    ASSERT_LE(0, p);
    std::wstring text = CloseMessageBox(L"Tempolan Error");
    EXPECT_NE(std::wstring::npos, text.find(L"time zone or city files")) << text;
    EXPECT_EQ(0, folder.ExitCode(p));
    EXPECT_EQ(nullptr, FindWindowW(L"TempolanClass", nullptr));
}

TEST(Startup, OneInstanceAndExit)
{
    ASSERT_EQ(nullptr, FindWindowW(L"TempolanClass", nullptr)) << "another instance runs";
    CProgramFolder folder(true, true);
    int first = folder.Start(L"/nh");
    ASSERT_LE(0, first);
    ASSERT_TRUE(WaitForMainWindow(true));
    EXPECT_EQ(-1, folder.ExitCode(first, 0));

    int second = folder.Start(L"");
    EXPECT_EQ(3, folder.ExitCode(second));

    // the tray clock's handshake is answered with the main window
    HWND main = FindWindowW(L"TempolanClass", nullptr);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(main, 0x800B, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &answer));
    EXPECT_EQ((DWORD_PTR)main, answer);

    int closer = folder.Start(L"/EXIT");
    EXPECT_EQ(0, folder.ExitCode(closer));
    EXPECT_EQ(0, folder.ExitCode(first));
    EXPECT_TRUE(WaitForMainWindow(false));

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
