// The service "TLTime" as the service manager runs it: its ServiceMain,
// control handler, heartbeat and worker.
#pragma once

#include <windows.h>

// Hands the process to the service dispatcher with the one service of
// kTimeServiceName; returns once the service stopped. Outside the service
// manager it fails at once: false, with the dispatcher's error in `error`.
bool RunServiceDispatcher(DWORD* error);
