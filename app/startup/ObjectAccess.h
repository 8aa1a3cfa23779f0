// Access rights on kernel objects for every user of the machine.
#pragma once

#include <windows.h>

// Gives Everyone `access` on a kernel object (a DACL with that one entry).
// GetCurrentProcess() is taken for the own process (its value is that of
// INVALID_HANDLE_VALUE: check handles before passing them); null fails with
// ERROR_INVALID_HANDLE.
bool SetObjectAccessForEveryone(HANDLE object, DWORD access, DWORD* error);
