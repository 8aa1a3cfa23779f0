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
// The menus the clock window shows are noted to the file given with
// "--menus" (tests/support/MenuRecord.h) and ended at once. wParam: the
// command the next menu "chooses" (posted to the clock window as WM_COMMAND,
// as a chosen item is), 0 none; lParam 1: the next menu stays open until
// the test ends it (EndOpenMenu). Answers 1.
const UINT SQ_MENUCHOICE = 0x8055;
// 1 while a menu of the clock window is open (its loop has not ended), else 0.
const UINT SQ_MENUOPEN = 0x8056;
