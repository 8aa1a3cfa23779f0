// Messages about the user interface language, sent to our windows whose texts
// come from the language (the reminder log, the settings program's pages).
#pragma once

#include <windows.h>

// The language changed: take the texts again. No parameters.
const UINT UM_RELOCALIZE = 0x8014;
