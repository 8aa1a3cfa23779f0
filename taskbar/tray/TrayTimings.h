// The tray clock window's own timer and how long it waits for the main program.
#pragma once

#include <windows.h>

const UINT_PTR kTrayTimerId = 1;
const UINT kTrayTimerMs = 64;

// Waits for the main program: the handshake can arrive while its main window
// is still being created; anything else is answered at once or counts as 0.
const UINT kHandshakeTimeoutMs = 15000;
const UINT kQueryTimeoutMs = 1000;
