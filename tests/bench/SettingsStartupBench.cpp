// Start-up of settings.exe until its settings dialog is shown, against the
// minimal program that only creates a hidden window, both from one folder.
#include <stdio.h>

#include <string>
#include <vector>

#include <windows.h>

#include "graphics/protocol/WindowClasses.h"
#include "tests/bench/StartupRuns.h"

namespace {

const int kStartRuns = 7;

std::wstring g_folder;

bool MeasureStartup()
{
    double p, m;
    // the first start also writes the new user's settings
    auto startProgram = [](Running* run, double* s) {
        return StartUntilReady(g_folder, L"settings.exe", L"", ShownSettingsFrame, run, s);
    };
    if (!MedianStartups(g_folder, kStartRuns, startProgram, &p, &m))
        return false;
    printf("start-up, minimal hidden window      %8.1f ms (anchor, median of %d)\n", m, kStartRuns);
    printf("start-up, settings.exe to its dialog %8.1f ms  ratio %.3f  (goal: ratio <= 3.000)\n", p, p / m);
    return true;
}

}  // namespace

int main()
{
    if (FindWindowW(kSettingsWindowClass, nullptr)) {
        printf("settings_startup_bench: another settings.exe runs\n");
        return 1;
    }
    g_folder = MakeBenchFolder(L"tl_settings_startup_bench",
                               {L"settings.exe", L"hook.dll", L"res_en.dll", L"timezones.txt", L"tz_changes.txt",
                                L"cities.txt", L"default.ini"},
                               {L"minimal_window.exe"});
    if (g_folder.empty()) {
        printf("settings_startup_bench: cannot make the program folder\n");
        return 1;
    }
    bool ok = MeasureStartup();
    RemoveBenchFolder(g_folder);
    if (!ok)
        printf("settings_startup_bench: a program did not start\n");
    return ok ? 0 : 1;
}
