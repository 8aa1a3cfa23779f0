#include "timesvc/command/ServiceCommand.h"

#include "timesvc/command/HoralinkText.h"
#include "timesvc/command/HoralinkUi.h"
#include "timesvc/command/ServiceInstaller.h"
#include "timesvc/command/ServiceSwitches.h"
#include "timesvc/sync/SyncEngine.h"

int RunServiceCommand(const ServiceSwitches& switches, IServiceProgram& program, const InstallerContext& installer)
{
    if (switches.sync) {
        if (!program.LoadSyncSettings() || !program.SyncInit())
            return kExitSyncUnavailable;
        // the outcome goes to the settings file, not into the exit code
        program.RunSync(kSyncWatchdogMs);
        program.SyncCleanup();
    }
    if (switches.mode == ServiceMode::Invalid) {
        installer.ui.ShowBox(IDS_USAGE, false);
        return kExitUsage;
    }
    if (switches.mode == ServiceMode::Uninstall)
        return UninstallCommand(installer, switches.quiet) ? kExitOk : kExitUninstallFailed;
    if (switches.mode == ServiceMode::Install && !InstallCommand(installer, switches.quiet, switches.automatic))
        return kExitInstallFailed;
    if (switches.start && !StartServiceCommand(installer, switches.quiet))
        return kExitStartFailed;
    if (switches.count > 1)
        return kExitOk;
    // Started by the service manager (or with one switch): outside the
    // manager the dispatcher fails at once and this ends the program.
    program.SyncInit();
    DWORD error = 0;
    program.RunServiceDispatcher(&error);
    program.SyncCleanup();
    return kExitOk;
}
