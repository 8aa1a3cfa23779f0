// The service "TLTime" as the service manager runs it: its ServiceMain,
// control handler, heartbeat and worker.
#pragma once

#include <windows.h>

class CSyncEngine;

// Hands the process to the service dispatcher with the one service of
// kTimeServiceName, which synchronises with `engine` (initialised by the
// caller, cleaned up after); returns once the service stopped. Outside the
// service manager it fails at once: false, with the dispatcher's error in
// `error`.
bool RunServiceDispatcher(CSyncEngine& engine, DWORD* error);
