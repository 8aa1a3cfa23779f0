// The tray clock window's protocol with the main program. The values are
// fixed: two processes of possibly different builds use them.
#pragma once

#include <windows.h>

const UINT UM_TRAYCLOCKREFRESH = 32778;
const UINT UM_TRAYCLOCKATTACHED = 32779;
const UINT UM_TRAYCLOCKCOUNT = 32784;
const UINT UM_TRAYCLOCKPOPUPPOS = 32798;
const UINT UM_TRAYCLOCKCLICK = 32799;
const UINT UM_QUERYCLOCKBUSY = 32801;
const UINT UM_TRAYCLOCKMOUSE = 32868;  // + clock index 0..29
const UINT UM_MAINWINDOWREADY = 1124;  // the taskbar's size query
const UINT UM_TRAYCLOCKREPAINT = 1125;
const WORD UM_TRAYCLOCKDETACH = 32777;  // a WM_COMMAND id

const UINT_PTR kTrayTimerId = 1;
const UINT kTrayTimerMs = 64;

// Waits for the main program: the handshake can arrive while its main window
// is still being created; anything else is answered at once or counts as 0.
const UINT kHandshakeTimeoutMs = 15000;
const UINT kQueryTimeoutMs = 1000;
