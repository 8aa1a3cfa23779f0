// Resources of the program file itself (app/startup/tempolan.rc) that more
// than one window loads.
#pragma once

#include <windows.h>

// The program's icon: its windows' and its notification icon's.
const WORD kProgramIconId = 101;
