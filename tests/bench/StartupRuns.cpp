#include "tests/bench/StartupRuns.h"

#include "graphics/protocol/WindowClasses.h"

#include <stdio.h>

#include <algorithm>

std::wstring MakeBenchFolder(const wchar_t* name, const std::vector<const wchar_t*>& programFiles,
                             const std::vector<const wchar_t*>& testFiles)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name + L"_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    if (!CreateDirectoryW(folder.c_str(), nullptr))
        return std::wstring();
    bool copied = true;
    for (const wchar_t* f : programFiles)
        copied = copied && CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + f).c_str(), (folder + f).c_str(), FALSE);
    for (const wchar_t* f : testFiles)
        copied = copied && CopyFileW((std::wstring(TL_TEST_BINARIES) + f).c_str(), (folder + f).c_str(), FALSE);
    if (!copied) {
        RemoveBenchFolder(folder);
        return std::wstring();
    }
    return folder;
}

void RemoveBenchFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    // closed before the folder itself goes
    if (CFindHandle find{FindFirstFileW((folder + L"*").c_str(), &found)}) {
        do {
            DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(find.Get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return (double)(to.QuadPart - from.QuadPart) / (double)freq.QuadPart;
}

bool StartUntilReady(const std::wstring& folder, const wchar_t* exe, const wchar_t* arguments,
                     const std::function<HWND(DWORD pid)>& ready, Running* run, double* seconds)
{
    run->Stop();
    std::wstring path = folder + exe;
    std::wstring line = L"\"" + path + L"\" " + arguments;
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    if (!CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return false;
    CKernelHandle thread(pi.hThread);  // only the process is waited for
    run->process.Reset(pi.hProcess);
    run->pid = pi.dwProcessId;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStartWaitMs;) {
        run->window = ready(run->pid);
        // a program that ended will not get ready
        if (run->window || WaitForSingleObject(run->process.Get(), 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    QueryPerformanceCounter(&t1);
    *seconds = Seconds(t0, t1);
    return run->window != nullptr;
}

bool StartUntilWindow(const std::wstring& folder, const wchar_t* exe, const wchar_t* arguments,
                      const wchar_t* windowClass, Running* run, double* seconds)
{
    return StartUntilReady(folder, exe, arguments, [&](DWORD) { return FindWindowW(windowClass, nullptr); }, run,
                           seconds);
}

void Running::Stop()
{
    if (!process)
        return;
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (!window || WaitForSingleObject(process.Get(), kStartWaitMs) != WAIT_OBJECT_0)
        TerminateProcess(process.Get(), 1);
    process.Reset();
    pid = 0;
    window = nullptr;
}

bool MedianStartups(const std::wstring& folder, int runs,
                    const std::function<bool(Running* run, double* seconds)>& startProgram, double* programMs,
                    double* minimalMs)
{
    std::vector<double> program, minimal;
    for (int i = 0; i <= runs; ++i) {
        Running run;
        double s;
        if (!startProgram(&run, &s))
            return false;
        run.Stop();
        if (i > 0)
            program.push_back(s);
        if (!StartUntilWindow(folder, L"minimal_window.exe", L"", L"TlMinimalClass", &run, &s))
            return false;
        run.Stop();
        if (i > 0)
            minimal.push_back(s);
    }
    *programMs = Median(program) * 1000;
    *minimalMs = Median(minimal) * 1000;
    return true;
}

namespace {

std::string ReadWholeFile(const std::wstring& path)
{
    CKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

struct FindShownOwned {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindShownOwnedProc(HWND hwnd, LPARAM lParam)
{
    FindShownOwned* find = (FindShownOwned*)lParam;
    if (GetWindow(hwnd, GW_OWNER) != find->owner || !IsWindowVisible(hwnd))
        return TRUE;
    find->found = hwnd;
    return FALSE;
}

}  // namespace

// Wine keeps the CPU times of other processes to itself (GetProcessTimes
// gives 0 for them), so they are read from the host's /proc. Null
// characters of the command line become blanks.
std::wstring FindHostProcess(const wchar_t* folderName, const char* exe)
{
    char leaf[MAX_PATH];
    snprintf(leaf, sizeof(leaf), "%ls_%lu", folderName, GetCurrentProcessId());
    WIN32_FIND_DATAW found;
    CFindHandle find(FindFirstFileW(L"Z:\\proc\\*", &found));
    if (!find)
        return std::wstring();
    std::wstring result;
    do {
        if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9')
            continue;
        std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName + L"\\";
        std::string line = ReadWholeFile(dir + L"cmdline");
        for (char& c : line)
            if (!c)
                c = ' ';
        if (line.find(leaf) != std::string::npos && line.find(exe) != std::string::npos) {
            result = dir;
            break;
        }
    } while (FindNextFileW(find.Get(), &found));
    return result;
}

double HostCpuSeconds(const std::wstring& procDir)
{
    std::string stat = ReadWholeFile(procDir + L"stat");
    size_t end = stat.rfind(')');  // the name may hold blanks
    if (procDir.empty() || end == std::string::npos)
        return -1;
    unsigned long long utime = 0, stime = 0;
    // after the name: state, then 10 fields before utime and stime
    if (sscanf(stat.c_str() + end + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
        return -1;
    const double kTicksPerSecond = 100.0;  // the kernel's USER_HZ
    return (double)(utime + stime) / kTicksPerSecond;
}

HWND ShownSettingsFrame(DWORD)
{
    FindShownOwned find = {FindWindowW(kSettingsWindowClass, nullptr), nullptr};
    if (find.owner)
        EnumWindows(FindShownOwnedProc, (LPARAM)&find);
    return find.found ? find.owner : nullptr;
}
