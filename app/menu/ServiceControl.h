// The time service's control codes through the service manager.
#pragma once

#include <windows.h>

#include "app/settings/SettingsSeams.h"

// Sends `code` to the running time service: 0, or the system error of the
// step that failed (the service missing is ERROR_SERVICE_DOES_NOT_EXIST).
DWORD ControlSyncService(DWORD code);

class CServiceManagerControl : public ITimeServiceControl {
public:
    bool SendControl(DWORD code) override { return ControlSyncService(code) == 0; }
};
