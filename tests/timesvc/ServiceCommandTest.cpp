#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/support/FakeServiceManager.h"
#include "timesvc/command/HoralinkText.h"
#include "timesvc/command/ServiceCommand.h"
#include "timesvc/command/ServiceInstaller.h"
#include "timesvc/command/ServiceSwitches.h"
#include "timesvc/sync/SyncEngine.h"

namespace {

// Records the engine and dispatcher calls as letters: L load, I init,
// R run, C cleanup, D dispatcher.
class CFakeServiceProgram : public IServiceProgram {
public:
    bool LoadSyncSettings() override
    {
        calls += 'L';
        return settingsValid;
    }
    bool SyncInit() override
    {
        calls += 'I';
        return initWorks;
    }
    int RunSync(DWORD watchdogMs) override
    {
        calls += 'R';
        watchdog = watchdogMs;
        return SYNC_OK;
    }
    void SyncCleanup() override { calls += 'C'; }
    bool RunServiceDispatcher(DWORD* error) override
    {
        calls += 'D';
        *error = ERROR_FAILED_SERVICE_CONTROLLER_CONNECT;
        return false;
    }

    bool settingsValid = true;
    bool initWorks = true;
    DWORD watchdog = 0;
    std::string calls;
};

struct RunCase {
    const WCHAR* line;
    bool installed;       // before the run
    DWORD createError;    // the manager's answer to the create
    DWORD startError;
    bool settingsValid;
    int exitCode;
    const char* calls;     // the engine and dispatcher calls, in order
    bool installedAfter;
    int starts;
    std::initializer_list<UINT> boxes;
};

const RunCase kRuns[] = {
    // no switch: the service manager's start
    {L"horalink.exe", false, 0, 0, true, kExitOk, "IDC", false, 0, {}},
    {L"horalink.exe /auto /q", false, 0, 0, true, kExitOk, "", true, 0, {}},
    // a single switch ends in the dispatcher, which fails at once here
    {L"horalink.exe /install", false, 0, 0, true, kExitOk, "IDC", true, 0, {IDS_SERVICE_CREATED}},
    {L"horalink.exe /install /start", false, 0, 0, true, kExitOk, "", true, 1,
        {IDS_SERVICE_CREATED, IDS_SERVICE_STARTED}},
    {L"horalink.exe /install /start /q", false, 0, 0, true, kExitOk, "", true, 1, {}},
    {L"horalink.exe /bogus", false, 0, 0, true, kExitUsage, "", false, 0, {IDS_USAGE}},
    {L"horalink.exe /bogus /q", false, 0, 0, true, kExitUsage, "", false, 0, {IDS_USAGE}},
    {L"horalink.exe /bogus /install", false, 0, 0, true, kExitOk, "", true, 0, {IDS_SERVICE_CREATED}},
    {L"horalink.exe /install /bogus", false, 0, 0, true, kExitUsage, "", false, 0, {IDS_USAGE}},
    {L"horalink.exe /sync /bogus", false, 0, 0, true, kExitUsage, "LIRC", false, 0, {IDS_USAGE}},
    {L"horalink.exe /sync /q", false, 0, 0, true, kExitOk, "LIRC", false, 0, {}},
    {L"horalink.exe /sync", false, 0, 0, true, kExitOk, "LIRCIDC", false, 0, {}},
    {L"horalink.exe /sync /install", false, 0, 0, false, kExitSyncUnavailable, "L", false, 0, {}},
    {L"horalink.exe /uninstall", false, 0, 0, true, kExitOk, "", false, 0, {IDS_SERVICE_DELETED}},
    {L"horalink.exe /uninstall /q", true, 0, 0, true, kExitOk, "", false, 0, {}},
    // uninstall ignores /start and never reaches the dispatcher
    {L"horalink.exe /start /uninstall /q", true, 0, 0, true, kExitOk, "", false, 0, {}},
    {L"horalink.exe /install /start", true, 0, 0, true, kExitInstallFailed, "", true, 0, {IDS_SERVICE_EXISTS}},
    {L"horalink.exe /auto /q /start", false, ERROR_DUPLICATE_SERVICE_NAME, 0, true, kExitInstallFailed, "", false,
        0, {IDS_DUPLICATE_NAME}},
    {L"horalink.exe /install /start /q", false, 0, ERROR_SERVICE_DISABLED, true, kExitStartFailed, "", true, 0,
        {IDS_START_FAILED}},
    {L"horalink.exe /start", false, 0, 0, true, kExitStartFailed, "", false, 0, {IDS_OPEN_SERVICE_FAILED}},
};

}  // namespace

TEST(ServiceCommand, RunOrderAndExitCodes)
{
    for (const RunCase& c : kRuns) {
        SCOPED_TRACE(testing::Message() << "line: " << (const wchar_t*)c.line);
        CFakeServiceManagerApi api;
        CFakeHoralinkUi ui;
        CFakeServiceProgram program;
        api.installed = c.installed;
        api.createError = c.createError;
        api.startError = c.startError;
        program.settingsValid = c.settingsValid;
        InstallerContext installer{api, ui, L"C:\\tl\\horalink.exe"};

        EXPECT_EQ(c.exitCode, RunServiceCommand(ParseServiceSwitches(c.line), program, installer));
        EXPECT_EQ(c.calls, program.calls);
        EXPECT_EQ(c.installedAfter, api.installed);
        EXPECT_EQ(c.starts, api.starts);
        std::vector<UINT> shown;
        for (const CFakeHoralinkUi::Box& box : ui.boxes)
            shown.push_back(box.id);
        EXPECT_EQ(std::vector<UINT>(c.boxes), shown);
    }
}

TEST(ServiceCommand, SyncNeedsAWorkingEngineAndRunsWithTheWatchdog)
{
    CFakeServiceManagerApi api;
    CFakeHoralinkUi ui;
    InstallerContext installer{api, ui, L"C:\\tl\\horalink.exe"};
    ServiceSwitches sync = ParseServiceSwitches(L"horalink.exe /sync /q");

    CFakeServiceProgram broken;
    broken.initWorks = false;
    EXPECT_EQ(kExitSyncUnavailable, RunServiceCommand(sync, broken, installer));
    EXPECT_EQ("LI", broken.calls);

    CFakeServiceProgram working;
    EXPECT_EQ(kExitOk, RunServiceCommand(sync, working, installer));
    EXPECT_EQ(kSyncWatchdogMs, working.watchdog);
    EXPECT_TRUE(ui.boxes.empty());
}
