// Installing, removing and starting the time service. Each step returns 0 or
// the string id (HoralinkText.h) of its failure; each command shows that
// failure in an error box, even when quiet, and its success only when not.
#pragma once

#include <windows.h>

class IServiceManagerApi;
class IHoralinkUi;

// Under HKEY_LOCAL_MACHINE.
extern const WCHAR kTimeServiceKey[];
// How long an uninstall waits for the running service to stop.
const DWORD kServiceStopWaitMs = 15000;
const DWORD kServiceStopPollMs = 250;

struct InstallerContext {
    IServiceManagerApi& api;
    IHoralinkUi& ui;
    const WCHAR* programFile;  // the running program's full file name
};

// Creates the service entry; on success `created` holds its handle, which
// the caller closes with the api's CloseServiceHandle.
UINT InstallSyncService(const InstallerContext& context, bool automatic, SC_HANDLE* created);
UINT WriteServiceDescription(const InstallerContext& context);
UINT UninstallSyncService(const InstallerContext& context);
UINT StartSyncService(const InstallerContext& context);

bool InstallCommand(const InstallerContext& context, bool quiet, bool automatic);
bool UninstallCommand(const InstallerContext& context, bool quiet);
bool StartServiceCommand(const InstallerContext& context, bool quiet);
