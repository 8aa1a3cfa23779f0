// CPU time of the stand-in taskbar over a minute: with 12 attached clocks
// showing seconds against the same program with no hook. Goal: at most 2x.
//   taskbar_bench [seconds]
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/system/Handles.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

const int kClocks = 12;
const WCHAR kHookClass[] = L"TL_BenchMainWindow";

int g_handshakes;

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_TRAYCLOCKATTACHED) {
        ++g_handshakes;
        return (LRESULT)hwnd;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// The stand-in's own count of its CPU time in ms: Wine reports another
// process's times unreliably.
int64_t CpuMs(HWND clock)
{
    DWORD_PTR ms = 0;
    if (!SendMessageTimeoutW(clock, SQ_CPUMS, 0, 0, SMTO_NORMAL, 5000, &ms))
        return 0;
    return (int64_t)ms;
}

// The stand-in taskbar process; ended when it goes, also after a failed start.
struct Taskbar {
    Taskbar() = default;
    ~Taskbar() { Stop(); }
    Taskbar(const Taskbar&) = delete;
    Taskbar& operator=(const Taskbar&) = delete;
    void Stop()
    {
        if (!process)
            return;
        TerminateProcess(process.Get(), 0);
        WaitForSingleObject(process.Get(), 5000);
        process.Reset();
    }

    CKernelHandle process;
    DWORD pid = 0;
    HWND clock = nullptr;
};

bool StartTaskbar(Taskbar* taskbar)
{
    std::wstring command = std::wstring(L"\"") + TL_PROGRAM_FOLDER + L"standin-taskbar.exe\"";
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CKernelHandle thread(pi.hThread);  // only the process is ended
    taskbar->process.Reset(pi.hProcess);
    taskbar->pid = pi.dwProcessId;
    for (int i = 0; i < 100 && !taskbar->clock; ++i) {
        Pump(100);
        HWND tray = FindWindowW(kTaskbarClass, nullptr);
        DWORD pid = 0;
        GetWindowThreadProcessId(tray, &pid);
        HWND notify = pid == taskbar->pid ? FindWindowExW(tray, nullptr, kTrayNotifyClass, nullptr) : nullptr;
        taskbar->clock = notify ? FindWindowExW(notify, nullptr, kTrayClockClass, nullptr) : nullptr;
    }
    return taskbar->clock != nullptr;
}

// CPU time (ms) the taskbar used over `seconds`.
int64_t Measure(const Taskbar& taskbar, int seconds)
{
    int64_t before = CpuMs(taskbar.clock);
    Pump(seconds * 1000);
    return CpuMs(taskbar.clock) - before;
}

void Push(HWND main, HWND clock, ULONG_PTR id, const void* data, DWORD size)
{
    COPYDATASTRUCT block = {id, size, (void*)data};
    SendMessageW(clock, WM_COPYDATA, (WPARAM)main, (LPARAM)&block);
}

}  // namespace

int main(int argc, char** argv)
{
    int seconds = argc > 1 ? atoi(argv[1]) : 60;
    if (seconds < 1)
        seconds = 60;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHookClass;
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, kHookClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);

    Taskbar plain;
    if (!StartTaskbar(&plain)) {
        printf("taskbar_bench: the stand-in taskbar did not start\n");
        return 1;
    }
    int64_t idle = Measure(plain, seconds);
    plain.Stop();

    // declared first: the hooked taskbar is ended before the library is freed
    CModule hook(LoadLibraryW((std::wstring(TL_PROGRAM_FOLDER) + L"hook.dll").c_str()));
    Taskbar hooked;
    auto setArguments =
        (void(WINAPI*)(const WCHAR*, const char*))(void*)GetProcAddress(hook.Get(), MAKEINTRESOURCEA(9));
    auto install = (DWORD(WINAPI*)(HWND, const WCHAR*))(void*)GetProcAddress(hook.Get(), MAKEINTRESOURCEA(7));
    auto remove = (void(WINAPI*)())(void*)GetProcAddress(hook.Get(), MAKEINTRESOURCEA(8));
    if (!setArguments || !install || !remove || !StartTaskbar(&hooked)) {
        printf("taskbar_bench: no hook library or stand-in taskbar\n");
        return 1;
    }
    setArguments(TL_PROGRAM_FOLDER, "/nh");
    install(main, TL_PROGRAM_FOLDER);
    for (int i = 0; i < 100 && !g_handshakes; ++i)
        Pump(100);
    SettingsBlock settings = {};
    settings.clockCount = kClocks;
    settings.trayClocks = kClocks;
    Push(main, hooked.clock, 0, &settings, sizeof(settings));
    std::vector<ClockRecord> clocks(kClocks);
    memset(clocks.data(), 0, clocks.size() * sizeof(ClockRecord));
    for (int i = 0; i < kClocks; ++i) {
        clocks[i].id = i + 1;
        clocks[i].enabled = 1;
        clocks[i].flags = kClockShowsSeconds;
        lstrcpyW(clocks[i].zone.zoneName, L"Local System Time");
    }
    Push(main, hooked.clock, 1, clocks.data(), (DWORD)(clocks.size() * sizeof(ClockRecord)));
    int64_t busy = Measure(hooked, seconds);
    remove();
    hooked.Stop();
    hook.Reset();
    DestroyWindow(main);

    double wall = seconds * 1e3;
    printf("taskbar CPU over %d s: no hook %d ms (%.2f%% of one core), %d clocks with seconds %d ms (%.2f%%)\n",
           seconds, (int)idle, 100.0 * idle / wall, kClocks, (int)busy, 100.0 * busy / wall);
    printf("ratio %.2f (goal <= 2.00)%s\n", idle ? (double)busy / idle : 0.0,
           g_handshakes == 1 ? "" : "  [handshake missing]");
    return 0;
}
