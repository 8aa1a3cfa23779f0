// Start-up of "tempolan.exe /nh" until its main window exists, and its CPU
// time while idle with 12 clocks, each against a minimal program that only
// creates a hidden window (with the same 64 ms timer for the idle part).
// Usage: startup_bench [idle seconds]; without it TL_IDLE_SECONDS, else 60.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "app/zones/SystemZone.h"
#include "graphics/protocol/WindowClasses.h"
#include "graphics/system/Handles.h"
#include "app/zones/ZoneDatabase.h"
#include "tests/bench/StartupRuns.h"
#include "windows/CityList.h"

namespace {

const int kStartRuns = 7;
const int kIdleClocks = 12;
const int kDefaultIdleSeconds = 60;
const wchar_t kFolderName[] = L"tl_startup_bench";

std::wstring g_folder;

bool MakeProgramFolder()
{
    g_folder = MakeBenchFolder(kFolderName,
                               {L"tempolan.exe", L"hook.dll", L"res_en.dll", L"timezones.txt", L"tz_changes.txt",
                                L"cities.txt", L"default.ini"},
                               {L"minimal_window.exe"});
    if (g_folder.empty())
        return false;
    // a new user starts from the shipped clocks: make them 12
    std::wstring defaults = g_folder + L"default.ini";
    std::vector<WCHAR> section(32768);
    DWORD n = GetPrivateProfileSectionW(L"default:clock1", section.data(), (DWORD)section.size(), defaults.c_str());
    if (n == 0)
        return false;
    for (int i = 2; i <= kIdleClocks; ++i)
        WritePrivateProfileSectionW((L"default:clock" + std::to_wstring(i)).c_str(), section.data(), defaults.c_str());
    return true;
}

bool Start(const wchar_t* exe, const wchar_t* arguments, const wchar_t* windowClass, Running* run, double* seconds)
{
    return StartUntilWindow(g_folder, exe, arguments, windowClass, run, seconds);
}

bool MeasureStartup()
{
    double p, m;
    auto startProgram = [](Running* run, double* s) {
        return Start(L"tempolan.exe", L"/nh", kMainWindowClass, run, s);
    };
    if (!MedianStartups(g_folder, kStartRuns, startProgram, &p, &m))
        return false;
    printf("start-up, minimal hidden window      %8.1f ms (anchor, median of %d)\n", m, kStartRuns);
    printf("start-up, tempolan.exe /nh           %8.1f ms  ratio %.3f  (goal: ratio <= 1.500)\n", p, p / m);
    return true;
}

// The real system, with the time spent reading the registry's zone names summed.
class CTimedSystemZone : public ISystemZone {
public:
    double registrySeconds = 0;
    int registryReads = 0;
    bool GetTimeZone(TIME_ZONE_INFORMATION* tzi) override { return m_real.GetTimeZone(tzi); }
    bool ReadDisableAutoDaylight(DWORD* value) override { return m_real.ReadDisableAutoDaylight(value); }
    bool ReadZoneValue(const WCHAR* zoneKey, const WCHAR* value, WCHAR* buffer, DWORD chars) override
    {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        bool ok = m_real.ReadZoneValue(zoneKey, value, buffer, chars);
        QueryPerformanceCounter(&t1);
        registrySeconds += Seconds(t0, t1);
        ++registryReads;
        return ok;
    }
    bool EnumZoneKey(DWORD index, WCHAR* name, DWORD chars) override { return m_real.EnumZoneKey(index, name, chars); }
    void EnableTimeZonePrivilege() override {}
    bool SetTimeZone(const TIME_ZONE_INFORMATION&) override { return false; }
    bool WriteDisableAutoDaylight(bool) override { return false; }
    void Beep(DWORD, DWORD) override {}
    void BroadcastIntlChange() override {}

private:
    CSystemZone m_real;
};

// Where the start-up's own time goes: the data files, loaded here in-process.
void MeasureDataFiles()
{
    LARGE_INTEGER t0, t1, t2;
    CTimedSystemZone system;
    CZoneDatabase zones(system);
    CCityList cities(zones);
    QueryPerformanceCounter(&t0);
    bool ok = zones.LoadTimeZonesFile((g_folder + L"timezones.txt").c_str()) &&
              zones.LoadZoneChangesFile((g_folder + L"tz_changes.txt").c_str());
    QueryPerformanceCounter(&t1);
    ok = ok && cities.LoadCityList((g_folder + L"cities.txt").c_str());
    QueryPerformanceCounter(&t2);
    if (ok)
        printf("  of which zone files %.1f ms (registry names %.1f ms, %d reads), city list %.1f ms (%d cities)\n",
               Seconds(t0, t1) * 1000, system.registrySeconds * 1000, system.registryReads, Seconds(t1, t2) * 1000,
               cities.Count());
    cities.FreeCityList();
    zones.FreeZoneChanges();
    zones.FreeZoneTable();
}

bool MeasureIdle(int seconds)
{
    Running program, minimal;
    double s;
    if (!Start(L"tempolan.exe", L"/nh", kMainWindowClass, &program, &s))
        return false;
    if (!Start(L"minimal_window.exe", L"/timer", L"TlMinimalClass", &minimal, &s))
        return false;
    Sleep(2000);  // past the start-up's own work
    std::wstring programProc = FindHostProcess(kFolderName, "tempolan.exe"),
                 minimalProc = FindHostProcess(kFolderName, "minimal_window.exe");
    double p0 = HostCpuSeconds(programProc), m0 = HostCpuSeconds(minimalProc);
    Sleep(seconds * 1000);
    double p1 = HostCpuSeconds(programProc), m1 = HostCpuSeconds(minimalProc);
    if (p0 < 0 || m0 < 0 || p1 < 0 || m1 < 0) {
        printf("idle: the CPU times cannot be read from /proc\n");
        return true;
    }
    program.Stop();
    minimal.Stop();
    double p = (p1 - p0) * 1000, m = (m1 - m0) * 1000;
    printf("idle %2d s, minimal with 64 ms timer  %8.1f ms CPU (anchor)\n", seconds, m);
    if (m > 0)
        printf("idle %2d s, tempolan.exe, %d clocks   %8.1f ms CPU  ratio %.3f  (goal: ratio <= 1.500)\n", seconds,
               kIdleClocks, p, p / m);
    else
        printf("idle %2d s, tempolan.exe, %d clocks   %8.1f ms CPU  (anchor used no measurable CPU)\n", seconds,
               kIdleClocks, p);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* given = argc > 1 ? argv[1] : getenv("TL_IDLE_SECONDS");
    int idleSeconds = given ? atoi(given) : kDefaultIdleSeconds;
    if (idleSeconds < 1)
        idleSeconds = kDefaultIdleSeconds;
    if (FindWindowW(kMainWindowClass, nullptr)) {
        printf("startup_bench: another tempolan.exe runs\n");
        return 1;
    }
    if (!MakeProgramFolder()) {
        printf("startup_bench: cannot make the program folder\n");
        if (!g_folder.empty())
            RemoveBenchFolder(g_folder);
        return 1;
    }
    bool ok = MeasureStartup();
    if (ok)
        MeasureDataFiles();
    ok = ok && MeasureIdle(idleSeconds);
    RemoveBenchFolder(g_folder);
    if (!ok)
        printf("startup_bench: a program did not start\n");
    return ok ? 0 : 1;
}
