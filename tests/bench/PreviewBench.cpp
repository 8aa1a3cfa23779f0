// CPU time of settings.exe with its taskbar page shown, whose preview draws
// 12 clocks with seconds, against the stand-in taskbar's CPU with the same
// 12 clocks attached by the hook library: the same panel, drawn each
// second in both. Goal: at most 2x.
//   preview_bench [seconds]
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include <windows.h>

#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Paths.h"
#include "tests/bench/StandinRuns.h"
#include "tests/bench/StartupRuns.h"

namespace {

const int kClocks = 12;
const int kDefaultSeconds = 20;
const DWORD kSettleMs = 3000;
const wchar_t kFolderName[] = L"tl_preview_bench";

// The user's settings: 12 clocks with seconds, all in the taskbar.
bool WriteSettings(const std::wstring& folder)
{
    WCHAR prefix[65];
    ReadUserPrefix(prefix);
    std::wstring file = folder + L"tempolan.ini";
    std::wstring main = std::wstring(prefix) + L":main";
    bool ok = WritePrivateProfileStringW(main.c_str(), L"trayclocks", std::to_wstring(kClocks).c_str(), file.c_str()) &&
              WritePrivateProfileStringW(main.c_str(), L"skin", L"Standard System Clock", file.c_str());
    for (int i = 1; ok && i <= kClocks; ++i) {
        std::wstring section = std::wstring(prefix) + L":clock" + std::to_wstring(i);
        ok = WritePrivateProfileStringW(section.c_str(), L"enabled", L"1", file.c_str()) &&
             WritePrivateProfileStringW(section.c_str(), L"prefix", (L"Clock " + std::to_wstring(i)).c_str(),
                                        file.c_str()) &&
             WritePrivateProfileStringW(section.c_str(), L"timeformat", L"HH:mm:ss", file.c_str());
    }
    return ok;
}

// settings.exe's CPU in ms over `seconds` with its taskbar page shown; -1
// when it did not come up or its times cannot be read.
double MeasureSettings(const std::wstring& folder, int seconds, DWORD* taskbarOwner)
{
    Running run;
    double started = 0;
    if (!StartUntilReady(folder, L"settings.exe", L"/taskbar", ShownSettingsFrame, &run, &started))
        return -1;
    PumpFor(kSettleMs);
    GetWindowThreadProcessId(FindWindowW(kTaskbarClass, nullptr), taskbarOwner);
    std::wstring proc = FindHostProcess(kFolderName, "settings.exe");
    double before = HostCpuSeconds(proc);
    PumpFor((DWORD)seconds * 1000);
    double after = HostCpuSeconds(proc);
    run.Stop();
    return before < 0 || after < 0 ? -1 : (after - before) * 1e3;
}

}  // namespace

int main(int argc, char** argv)
{
    int seconds = argc > 1 ? atoi(argv[1]) : kDefaultSeconds;
    if (seconds < 1)
        seconds = kDefaultSeconds;
    if (FindWindowW(kSettingsWindowClass, nullptr)) {
        printf("preview_bench: another settings.exe runs\n");
        return 1;
    }
    std::wstring folder = MakeBenchFolder(kFolderName,
                                          {L"settings.exe", L"hook.dll", L"res_en.dll", L"tempolan_en.ini",
                                           L"timezones.txt", L"tz_changes.txt", L"cities.txt", L"default.ini"},
                                          {});
    if (folder.empty() || !WriteSettings(folder)) {
        printf("preview_bench: cannot make the program folder\n");
        RemoveBenchFolder(folder);
        return 1;
    }

    // the preview imitates the stand-in, which must be there first
    double preview = -1;
    DWORD owner = 0;
    BenchTaskbar plain;
    if (StartBenchTaskbar(&plain))
        preview = MeasureSettings(folder, seconds, &owner);
    bool standinFound = owner == plain.pid;
    plain.Stop();
    RemoveBenchFolder(folder);
    if (preview < 0) {
        printf("preview_bench: settings.exe or the stand-in taskbar did not come up\n");
        return 1;
    }

    // declared first: the hooked taskbar is ended before the library is freed
    CHookedClocks hook;
    BenchTaskbar hooked;
    if (!hook.Load() || !StartBenchTaskbar(&hooked)) {
        printf("preview_bench: no hook library or stand-in taskbar\n");
        return 1;
    }
    hook.Attach(hooked, kClocks);
    PumpFor(kSettleMs);
    int64_t taskbar = MeasureTaskbarCpu(hooked, seconds);
    hook.Remove();
    hooked.Stop();

    double wall = seconds * 1e3;
    printf("CPU over %d s, %d clocks with seconds: settings.exe on its taskbar page %.0f ms (%.2f%% of one core), "
           "stand-in taskbar with the hook's panel %d ms (%.2f%%)\n",
           seconds, kClocks, preview, 100.0 * preview / wall, (int)taskbar, 100.0 * taskbar / wall);
    printf("ratio %.2f (goal <= 2.00)%s%s\n", taskbar ? preview / taskbar : 0.0,
           hook.Handshakes() == 1 ? "" : "  [handshake missing]",
           standinFound ? "" : "  [the preview did not find the stand-in taskbar]");
    return 0;
}
