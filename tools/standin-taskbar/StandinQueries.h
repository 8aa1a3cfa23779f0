// Queries the stand-in taskbar's clock window answers for the tests, from its
// own window procedure (so they also pass through a subclassing procedure
// that passes messages on).
#pragma once

#include <windows.h>

const UINT SQ_OWNPROC = 0x8050;     // 1 while the window procedure is the stand-in's own, else 0
const UINT SQ_CLASSSTYLE = 0x8051;  // the clock class's style
const UINT SQ_EXSTYLE = 0x8052;     // the clock window's extended style
const UINT SQ_INICHANGES = 0x8053;  // how many WM_WININICHANGE reached the own procedure
// This process's CPU time so far, in ms (Wine reports another process's times
// unreliably, its own ones well).
const UINT SQ_CPUMS = 0x8054;
