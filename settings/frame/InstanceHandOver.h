// A second start of the settings program gives its command to the running one.
#pragma once

#include <windows.h>

#include "settings/frame/SettingsCommand.h"

// How long the hand-over waits for each message to a running instance.
const UINT kHandOverWaitMs = 5000;

// When a settings window ("TL_SETTINGS") exists: ends its modal location
// chooser, brings it forward and sends it `command` (unless the code is 0).
// Returns false when no instance runs. A hung instance costs at most
// `waitMs` once; its command is then dropped.
bool HandOverToRunningInstance(const SettingsCommand& command, UINT waitMs = kHandOverWaitMs);
