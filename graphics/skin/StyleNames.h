// Names of the built-in looks, written in the settings where a skin folder's
// name goes and compared ignoring case.
#pragma once

#include "graphics/records/WinTypes.h"

extern const WCHAR kStandardStyleName[];  // "Standard System Clock"
extern const WCHAR kClassicStyleName[];   // "Classic Tempolan Style"
