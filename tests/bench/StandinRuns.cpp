#include "tests/bench/StandinRuns.h"

#include <string.h>

#include <string>
#include <vector>

#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/records/SettingsBlock.h"
#include "tools/standin-taskbar/StandinQueries.h"

namespace {

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

int64_t CpuMs(HWND clock)
{
    DWORD_PTR ms = 0;
    if (!SendMessageTimeoutW(clock, SQ_CPUMS, 0, 0, SMTO_NORMAL, 5000, &ms))
        return 0;
    return (int64_t)ms;
}

void Push(HWND main, HWND clock, ULONG_PTR id, const void* data, DWORD size)
{
    COPYDATASTRUCT block = {id, size, (void*)data};
    SendMessageW(clock, WM_COPYDATA, (WPARAM)main, (LPARAM)&block);
}

}  // namespace

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

void BenchTaskbar::Stop()
{
    if (!process)
        return;
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 5000);
    process.Reset();
}

bool StartBenchTaskbar(BenchTaskbar* taskbar)
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
        PumpFor(100);
        HWND tray = FindWindowW(kTaskbarClass, nullptr);
        DWORD pid = 0;
        GetWindowThreadProcessId(tray, &pid);
        HWND notify = pid == taskbar->pid ? FindWindowExW(tray, nullptr, kTrayNotifyClass, nullptr) : nullptr;
        taskbar->clock = notify ? FindWindowExW(notify, nullptr, kTrayClockClass, nullptr) : nullptr;
        taskbar->taskbar = taskbar->clock ? tray : nullptr;
    }
    return taskbar->clock != nullptr;
}

int64_t MeasureTaskbarCpu(const BenchTaskbar& taskbar, int seconds)
{
    int64_t before = CpuMs(taskbar.clock);
    PumpFor(seconds * 1000);
    return CpuMs(taskbar.clock) - before;
}

CHookedClocks::CHookedClocks() : m_hook(), m_main(nullptr), m_installed(false)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kHookClass;
    RegisterClassW(&wc);
    m_main = CreateWindowExW(0, kHookClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
}

CHookedClocks::~CHookedClocks()
{
    Remove();
    m_hook.Reset();
    if (m_main)
        DestroyWindow(m_main);
}

bool CHookedClocks::Load()
{
    m_hook.Reset(LoadLibraryW((std::wstring(TL_PROGRAM_FOLDER) + L"hook.dll").c_str()));
    return m_hook && GetProcAddress(m_hook.Get(), MAKEINTRESOURCEA(7)) &&
           GetProcAddress(m_hook.Get(), MAKEINTRESOURCEA(8)) && GetProcAddress(m_hook.Get(), MAKEINTRESOURCEA(9));
}

void CHookedClocks::Attach(const BenchTaskbar& taskbar, int clocks)
{
    auto setArguments =
        (void(WINAPI*)(const WCHAR*, const char*))(void*)GetProcAddress(m_hook.Get(), MAKEINTRESOURCEA(9));
    auto install = (DWORD(WINAPI*)(HWND, const WCHAR*))(void*)GetProcAddress(m_hook.Get(), MAKEINTRESOURCEA(7));
    if (!setArguments || !install)
        return;
    setArguments(TL_PROGRAM_FOLDER, "/nh");
    install(m_main, TL_PROGRAM_FOLDER);
    m_installed = true;
    for (int i = 0; i < 100 && !g_handshakes; ++i)
        PumpFor(100);
    SettingsBlock settings = {};
    settings.clockCount = clocks;
    settings.trayClocks = clocks;
    Push(m_main, taskbar.clock, 0, &settings, sizeof(settings));
    std::vector<ClockRecord> records(clocks);
    memset(records.data(), 0, records.size() * sizeof(ClockRecord));
    for (int i = 0; i < clocks; ++i) {
        records[i].id = i + 1;
        records[i].enabled = 1;
        records[i].flags = kClockShowsSeconds;
        lstrcpyW(records[i].zone.zoneName, L"Local System Time");
    }
    Push(m_main, taskbar.clock, 1, records.data(), (DWORD)(records.size() * sizeof(ClockRecord)));
}

void CHookedClocks::Remove()
{
    if (!m_installed)
        return;
    m_installed = false;
    auto remove = (void(WINAPI*)())(void*)GetProcAddress(m_hook.Get(), MAKEINTRESOURCEA(8));
    if (remove)
        remove();
}

int CHookedClocks::Handshakes() const
{
    return g_handshakes;
}
