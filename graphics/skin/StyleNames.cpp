#include "graphics/skin/StyleNames.h"

const WCHAR kStandardStyleName[] = TL_W("Standard System Clock");
const WCHAR kClassicStyleName[] = TL_W("Classic Tempolan Style");
