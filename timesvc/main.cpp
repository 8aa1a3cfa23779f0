#include <windows.h>

#include <vector>

#include "app/startup/BuildInfo.h"
#include "timesvc/command/HoralinkUi.h"
#include "timesvc/command/ServiceCommand.h"
#include "timesvc/command/ServiceInstaller.h"
#include "timesvc/command/ServiceManagerApi.h"
#include "timesvc/command/ServiceSwitches.h"
#include "timesvc/service/ServiceHost.h"
#include "timesvc/sync/SyncEngine.h"

namespace {

class CEngineProgram : public IServiceProgram {
public:
    explicit CEngineProgram(CSyncEngine& engine) : m_engine(engine) {}
    bool LoadSyncSettings() override { return m_engine.LoadSyncSettings(); }
    bool SyncInit() override { return m_engine.SyncInit(); }
    int RunSync(DWORD watchdogMs) override { return m_engine.RunSync(watchdogMs); }
    void SyncCleanup() override { m_engine.SyncCleanup(); }
    bool RunServiceDispatcher(DWORD* error) override { return ::RunServiceDispatcher(m_engine, error); }

private:
    CSyncEngine& m_engine;
};

SyncVersion ProgramVersion()
{
    VS_FIXEDFILEINFO v = ReadProgramBuild().fileVersion;
    return {(int)HIWORD(v.dwFileVersionMS), (int)LOWORD(v.dwFileVersionMS), (int)HIWORD(v.dwFileVersionLS)};
}

}  // namespace

int wmain(int, wchar_t**)
{
    // long paths: the manager gets the whole name or none
    std::vector<WCHAR> file(32768);
    DWORD length = GetModuleFileNameW(nullptr, file.data(), (DWORD)file.size());
    if (length == 0 || length >= file.size())
        file[0] = 0;

    CRealSyncSystem system;
    CSyncEngine engine(system, ProgramVersion());
    CEngineProgram program(engine);
    CServiceManagerApi api;
    CHoralinkUi ui;
    InstallerContext installer = {api, ui, file.data()};
    return RunServiceCommand(ParseServiceSwitches(GetCommandLineW()), program, installer);
}
