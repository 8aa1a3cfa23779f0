// Apply in the settings program: the writes of 30 clocks (20 alarms and 12
// profiles each) from a loaded settings tree, against the main program's
// reload of the same file that follows it. Prints both and the ratio.
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include "app/alarms/AlarmSchedule.h"
#include "app/clocks/ClockSettings.h"
#include "app/settings/Autostart.h"
#include "app/settings/MainSettings.h"
#include "app/settings/SettingsFiles.h"
#include "app/settings/SettingsSeams.h"
#include "app/zones/SystemZone.h"
#include "app/zones/ZoneDatabase.h"
#include "graphics/records/AlarmRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"
#include "settings/MainProgramLink.h"
#include "settings/tree/ClockList.h"
#include "settings/tree/NodeTree.h"
#include "tests/bench/BenchTimer.h"
#include "tests/support/FakeLanguage.h"

namespace {

const int kClocks = 30;
const int kAlarmsPerClock = 20;
const int kRounds = 3;

// No main program runs: its state needs no saving.
class CNoMainProgram : public IMainProgramLink {
public:
    void SaveState() override {}
    LRESULT SendToMainProgram(UINT, WPARAM, LPARAM, bool) override { return 0; }
};

class CFixedLanguage : public IActiveLanguage {
public:
    const WCHAR* GetCode() const override { return L"en"; }
    LCID GetLcid() const override { return 0x409; }
    void Activate(const WCHAR*, const WCHAR*) override {}
};

// The Run key is no business of a benchmark.
class CNoAutostart : public IAutostartEntry {
public:
    bool Set(const WCHAR*) override { return true; }
    bool Remove() override { return true; }
};

// What the settings program holds while its dialog is open.
struct SettingsSession {
    CNodeTree* tree;
    const SettingsPaths* paths;
    IMainProgramLink* link;
    CMainSettings* general;  // the program-wide settings its pages edit
};

// The measured work: what Apply writes.
void ApplyWrites(SettingsSession& session)
{
    session.general->WriteGeneralSettings(kWriteAllGroups);
    SaveClockList(*session.tree, *session.paths, *session.link);
}

// One of every schedule kind in turn, at times that differ per alarm.
AlarmRecord BenchAlarm(int clock, int n)
{
    int hour = (clock + n) % 24, minute = (n * 7) % 60;
    int kind = n % (kAlarmCron + 1);
    char schedule[64];
    switch (kind) {
    case kAlarmOnce:
        snprintf(schedule, sizeof(schedule), "2026.%02d.%02d %02d:%02d:00", 1 + n % 12, 1 + clock % 28, hour, minute);
        break;
    case kAlarmDaily:
        snprintf(schedule, sizeof(schedule), "2026.03.10 %02d:%02d:00 1", hour, minute);
        break;
    case kAlarmWeekly:
        snprintf(schedule, sizeof(schedule), "2026.03.10 %02d:%02d:00 1 3E", hour, minute);
        break;
    case kAlarmMonthly:
        snprintf(schedule, sizeof(schedule), "%02d:%02d:00 1 0 5 5 1 3.2026", hour, minute);
        break;
    case kAlarmYearly:
        snprintf(schedule, sizeof(schedule), "%02d:%02d:00 0 6 15 0 0", hour, minute);
        break;
    default:
        snprintf(schedule, sizeof(schedule), "%d;%d;*;*;2-6", minute, hour);
        break;
    }
    AlarmRecord alarm = {};
    ParseAlarmSchedule(kind, schedule, &alarm);
    alarm.kind = kind;
    alarm.enabled = n % 5 != 0;
    alarm.reminderMinutes = n % 3 == 0 ? 10 : 0;
    std::wstring comment = L"Alarm " + std::to_wstring(n + 1) + L" of clock " + std::to_wstring(clock + 1);
    CopyFixed(alarm.comment, FIELD_WIDTH(alarm.comment) - 1, comment.c_str());
    CopyFixed(alarm.text, FIELD_WIDTH(alarm.text) - 1, L"C:\\Sounds\\chime.wav");
    return alarm;
}

// Clock sections 1..30 of the user, each in its own zone, written by the
// main program's writer.
bool WriteBenchClocks(const ClockReadContext& context, const CZoneDatabase& zones)
{
    const SettingsPaths& paths = *context.paths;
    for (int c = 0; c < kClocks; ++c) {
        ClockRecord clock = {};
        // an absent section gives the reader's defaults
        ReadClockSection(context, L"bench:none", &clock);
        clock.id = (uint32_t)(c + 1);
        clock.enabled = 1;
        if (zones.Count() > 1)
            clock.zone = zones.Zone(1 + (c * 7) % (zones.Count() - 1));
        clock.flags |= kClockUseDaylight;
        std::wstring name = L"Office " + std::to_wstring(c + 1);
        CopyFixed(clock.prefix, FIELD_WIDTH(clock.prefix) - 1, name.c_str());
        CopyFixed(clock.location, FIELD_WIDTH(clock.location) - 1, (name + L", Somewhere").c_str());
        CopyFixed(clock.dateFormat, FIELD_WIDTH(clock.dateFormat) - 1, L"ddd d MMM");

        clock.profileCount = 0;
        for (int p = 0; p < kMaxProfiles; ++p) {
            WCHAR text[128];
            swprintf(text, 128, L"%d, %02d:00-%02d:30, %06X, %02X, %ls, Shift %d", p % 4 != 3, p * 2, p * 2 + 1,
                     0x102030 * (p + 1), 0x20 + p * 0x10, p % 2 ? L"06" : L"12345", p + 1);
            if (!ParseClockProfile(text, &clock.profiles[clock.profileCount], &clock))
                return false;
            ++clock.profileCount;
        }

        AlarmRecord* alarms = ResizeAlarmArray(nullptr, kAlarmsPerClock);
        if (!alarms)
            return false;
        for (int n = 0; n < kAlarmsPerClock; ++n)
            alarms[n] = BenchAlarm(c, n);
        clock.alarms.ptr = alarms;
        clock.alarmCount = kAlarmsPerClock;
        WriteClockSection(paths, clock);
        FreeClockAlarms(&clock);
    }
    return true;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    return (double)(to.QuadPart - from.QuadPart) * 1e3 / (double)freq.QuadPart;
}

template <class Fn>
double TimeMs(Fn fn)
{
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    fn();
    QueryPerformanceCounter(&t1);
    return Milliseconds(t0, t1);
}

}  // namespace

int main()
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tl_apply_bench_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    SettingsPaths paths = {};
    if (!CreateDirectoryW(folder.c_str(), nullptr) || !BuildIniPathsFor(folder.c_str(), L"benchuser", &paths) ||
        !CopyFileW((std::wstring(TL_PROGRAM_FOLDER) + L"default.ini").c_str(), paths.defaultIni, FALSE)) {
        printf("settings_apply_bench: cannot make the program folder\n");
        return 1;
    }

    CSystemZone system;
    CZoneDatabase zones(system);
    zones.LoadTimeZonesFile((std::wstring(TL_PROGRAM_FOLDER) + L"timezones.txt").c_str());
    CFakeLanguage strings;
    ClockReadContext clocks = {&paths, &zones, &strings, &system, nullptr, {2026, 3, 2, 10, 12, 0, 0, 0}};
    // an existing user with no news channels, so the reload writes nothing
    std::wstring mainSection = std::wstring(paths.userPrefix) + L":main";
    WritePrivateProfileStringW(mainSection.c_str(), L"language", L"en", paths.userIni);
    WritePrivateProfileStringW(mainSection.c_str(), L"rss_channels", L"0", paths.userIni);
    bool written = WriteBenchClocks(clocks, zones);

    CFixedLanguage language;
    CNoAutostart autostart;
    CNoTimeServiceControl service;
    MainSettingsSeams seams = {&paths, &language, &autostart, &service, nullptr, clocks};
    CMainSettings reload(seams);
    CMainSettings general(seams);
    general.LoadMainSettings();

    CNodeTree tree(strings);
    tree.SetTemplateContext(&clocks);
    CNoMainProgram link;
    SettingsSession session = {&tree, &paths, &link, &general};
    int loaded = LoadSettingsTree(tree, clocks);
    size_t alarms = 0, backgrounds = 0;
    for (int i = 0; i < tree.ClockCount(); ++i) {
        alarms += tree.Clock(i)->Child(kNodeAlarms)->Children().size();
        backgrounds += tree.Clock(i)->Child(kNodeBackgrounds)->Children().size();
    }

    // the first round of each fills the caches; it is not counted
    reload.LoadAllSettings(clocks.nowUtc);
    ApplyWrites(session);
    std::vector<double> loads, saves;
    for (int r = 0; r < kRounds; ++r) {
        loads.push_back(TimeMs([&] { reload.LoadAllSettings(clocks.nowUtc); }));
        saves.push_back(TimeMs([&] { ApplyWrites(session); }));
    }
    // what the last reload read of what the last Apply wrote
    int reloaded = reload.ClockCount();
    size_t reloadedAlarms = 0, reloadedProfiles = 0;
    for (int i = 0; i < reloaded; ++i) {
        reloadedAlarms += reload.Clocks()[i].alarmCount;
        reloadedProfiles += reload.Clocks()[i].profileCount;
    }
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, paths.userIni);
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    GetFileAttributesExW(paths.userIni, GetFileExInfoStandard, &file);
    DeleteFileW(paths.userIni);
    DeleteFileW(paths.defaultIni);
    RemoveDirectoryW(folder.c_str());

    const size_t kAllAlarms = kClocks * kAlarmsPerClock, kAllProfiles = kClocks * kMaxProfiles;
    if (!written || loaded != kClocks || alarms != kAllAlarms || backgrounds != kAllProfiles || reloaded != kClocks ||
        reloadedAlarms != kAllAlarms || reloadedProfiles != kAllProfiles) {
        printf("settings_apply_bench: the clocks did not come back whole (the tree: %d clocks, %d alarms, %d "
               "backgrounds; the reload: %d clocks, %d alarms, %d profiles)\n",
               loaded, (int)alarms, (int)backgrounds, reloaded, (int)reloadedAlarms, (int)reloadedProfiles);
        return 1;
    }
    double load = Median(loads), save = Median(saves);
    printf("%d clocks, %d alarms and %d profiles each (a settings file of %lu KiB), median of %d rounds\n", kClocks,
           kAlarmsPerClock, kMaxProfiles, (unsigned long)(file.nFileSizeLow / 1024), kRounds);
    printf("main program's reload (LoadAllSettings)  %9.1f ms (anchor)\n", load);
    printf("Apply's writes (general + clock list)      %9.1f ms  ratio %.2f  (goal: ratio <= 10)\n", save,
           save / load);
    return 0;
}
