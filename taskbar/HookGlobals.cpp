#include "HookGlobals.h"

#include <stdlib.h>

#include <windows.h>

#include "../graphics/Bitmap.h"
#include "../graphics/Language.h"
#include "../graphics/PixelOps.h"

namespace {

// for the choice of city photos
bool SeedRandom()
{
    srand(GetTickCount());
    return true;
}

}  // namespace

CShadeTable::CShadeTable()
{
    BuildShadeTable(values);
}

// Definition order is construction order within this file: keep it.
static const bool g_randomSeeded = SeedRandom();
CBitmap TimerButtonBitmap;
CShadeTable ShadeTable;
CLanguage g_language;
// the clock panel and the tooltip join here with the taskbar clock

bool g_windowsXpOrLater;

void InitWindowsVersion()
{
    DWORD version = GetVersion();
    DWORD major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
    g_windowsXpOrLater = major > 5 || (major == 5 && minor >= 1);
}
