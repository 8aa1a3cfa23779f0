// The parameters with which the hook starts the main program again when the
// handshake fails.
#pragma once

#include <windows.h>

// Characters of the parameter buffer, the terminator included.
const int kRestartParameterChars = 260;

// "/restart", a space and the stored arguments (read up to 259 characters),
// cut to 259 characters in all. False, with `out` untouched, when the
// arguments already ask for a restart in any case of letters.
bool BuildRestartParameters(const WCHAR* arguments, WCHAR out[kRestartParameterChars]);
