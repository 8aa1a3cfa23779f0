#include "settings/alarmtest/AlarmTest.h"

#include <memory>

#include "app/alarms/AlarmCheck.h"
#include "app/alarms/AlarmSchedule.h"
#include "app/alarms/AlarmSeams.h"
#include "app/log/ReminderLog.h"
#include "app/settings/MainSettings.h"
#include "app/startup/BuildInfo.h"
#include "settings/dialog/SettingsDialog.h"

namespace {

SYSTEMTIME NowUtc(IDialogClock* clock)
{
    if (clock)
        return clock->NowUtc();
    SYSTEMTIME now;
    GetSystemTime(&now);
    return now;
}

// A test that shuts the computer down marks the check as done up to now.
// The main program may have written a later check since this program read
// its own: an older time written over it would fire its past alarms again
// at the next start, so nothing is written then.
class CTestAlarmCheckWriter : public IAlarmCheckWriter {
public:
    CTestAlarmCheckWriter(const SettingsPaths& paths, IDialogClock* clock) : m_paths(paths), m_clock(clock) {}
    void WriteLastAlarmCheck() override
    {
        AlarmCheckState stored = {};
        AlarmCheckState now = {NowUtc(m_clock), false, true};
        if (RestoreLastAlarmCheck(m_paths, stored) && CompareSystemTimes(stored.previousTick, now.previousTick) >= 0)
            return;
        SaveLastAlarmCheck(m_paths, now);
    }

private:
    const SettingsPaths& m_paths;
    IDialogClock* m_clock;
};

// The main program's log and alarm actions, built over the settings
// dialog's services.
class CAlarmTest {
public:
    explicit CAlarmTest(const SettingsDialogServices& services)
        : m_writer(*services.paths, services.clock),
          m_build(),
          m_hasBuild(ReadBuild(services, &m_build)),
          m_checks(),
          m_log(LogServices(services, m_systemSeams, m_writer, m_hasBuild ? &m_build : nullptr))
    {
        // a log that never ticked writes no "lastalarmcheck" when it goes
        m_log.SetAlarmState(&m_checks);
        m_log.Create();
    }

    HWND Window() { return m_log.Window() ? m_log.Window()->Window() : nullptr; }
    CAlarmFiring* Firing() { return m_log.Firing(); }

    // Tests running now: their dialogs' loops still use the firing.
    int running = 0;
    // DestroyLogWindow came while a test ran: the last one to return ends it.
    bool closing = false;

private:
    struct SystemSeams {
        CSystemAlarmSound sound;
        CSystemAlarmPower power;
        CSystemAlarmShell shell;
        CSystemAlarmMessageBox messages;
        CSystemAlarmTicks ticks;
    };

    // The "version" macro names the main program's build, not ours; false
    // when its file cannot be read.
    static bool ReadBuild(const SettingsDialogServices& services, BuildInfo* build)
    {
        *build = BuildInfo{};
        if (!services.settings)
            return false;
        CFileBuildInfo file(services.settings->ProgramFile());
        return file.GetBuildInfo(build);
    }

    static ReminderLogServices LogServices(const SettingsDialogServices& services, SystemSeams& system,
                                           CTestAlarmCheckWriter& writer, const BuildInfo* build)
    {
        ReminderLogServices log = {};
        log.paths = services.paths;
        log.language = services.language;
        // the entries' and the window's icons are the settings program's own
        log.program = GetModuleHandleW(nullptr);
        if (services.alarmSeams)
            log.firing = *services.alarmSeams;
        else
            log.firing = {&system.sound, &system.power, &system.shell, &system.messages, &system.ticks, nullptr};
        log.firing.host = &writer;
        log.cities = services.cities;
        log.build = build;
        log.settings = services.settings ? &services.settings->Block() : nullptr;
        return log;
    }

    SystemSeams m_systemSeams;
    CTestAlarmCheckWriter m_writer;
    BuildInfo m_build;
    bool m_hasBuild;
    AlarmCheckState m_checks;
    CReminderLog m_log;
};

std::unique_ptr<CAlarmTest> g_test;

}  // namespace

HWND RegisterLogWindow(const SettingsDialogServices& services)
{
    if (!g_test) {
        if (!services.paths || !services.language)
            return nullptr;
        g_test = std::make_unique<CAlarmTest>(services);
    }
    return g_test->Window();
}

void DestroyLogWindow()
{
    if (!g_test)
        return;
    if (g_test->running > 0) {
        // ends the modal loops now; the object goes when the last test returns
        g_test->closing = true;
        if (CAlarmFiring* firing = g_test->Firing())
            firing->DestroyDialogs();
        return;
    }
    g_test.reset();
}

void TestAlarm(HWND page, const AlarmRecord& alarm, const SYSTEMTIME& zoneNow, const ClockRecord* clock, bool test)
{
    if (!g_test) {
        if (const SettingsDialogServices* services = GetSettingsDialogServices(GetParent(page)))
            RegisterLogWindow(*services);
    }
    CAlarmFiring* firing = g_test ? g_test->Firing() : nullptr;
    if (!firing || g_test->closing)
        return;
    // the log's entry may keep nothing of the clock, but takes it writable
    std::unique_ptr<ClockRecord> copy;
    if (clock)
        copy = std::make_unique<ClockRecord>(*clock);
    HWND owner = test ? GetAncestor(page, GA_ROOT) : nullptr;
    ++g_test->running;
    firing->FireAlarm(alarm, zoneNow, copy.get(), owner);
    if (--g_test->running == 0 && g_test->closing)
        g_test.reset();
}
