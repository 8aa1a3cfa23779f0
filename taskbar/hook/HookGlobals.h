// The hook library's per-process objects. They are built when the library is
// loaded into a process, in the order below, and destroyed in reverse when it
// is unloaded; the taskbar side uses them on the taskbar's GUI thread only.
#pragma once

#include <stdint.h>

class CBitmap;
class CLanguage;
class CUxThemeApi;
class CVisualStyles;

// The grey gradient of the clocks (256 entries).
struct CShadeTable {
    CShadeTable();
    uint32_t values[256];
};

extern CBitmap TimerButtonBitmap;
extern CShadeTable ShadeTable;
extern CLanguage g_language;
extern CUxThemeApi g_themeApi;
extern CVisualStyles g_visualStyles;

