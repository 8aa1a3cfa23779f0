// The actions of alarms that reach outside the program: the shell, command
// lines and the power state.
#pragma once

#include <windows.h>

#include "app/alarms/AlarmSeams.h"

// Bytes of the alarm copy that RunAlarmAction takes.
const SIZE_T kAlarmCopyBytes = 840;

// Thread procedure: `param` is a movable global block of kAlarmCopyBytes
// holding an AlarmRecord, which this thread owns and frees. Opens the
// record's text with the shell (COM initialised on this thread); returns the
// shell's result.
DWORD WINAPI RunAlarmAction(LPVOID param);
// What RunAlarmAction does once COM is up, through `shell`; frees `copy`.
INT_PTR RunAlarmCopy(HGLOBAL copy, IAlarmShell& shell);

// Runs `text` as "program parameters". A text in double quotes at its start
// names the program; otherwise the longest leading part (of at most 259
// characters, cut at blanks) that names an existing file or folder, with the
// rest as parameters and the program's folder as working folder. True when
// the shell started it.
bool RunCommandLine(const WCHAR* text, IAlarmShell& shell);

// Enables the shutdown privilege, then shuts down (power off, forced, a
// planned maintenance reason) or hibernates. False when refused.
bool ShutdownOrHibernate(bool hibernate);
