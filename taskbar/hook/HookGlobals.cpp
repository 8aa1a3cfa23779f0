#include "taskbar/hook/HookGlobals.h"

#include <stdlib.h>

#include <windows.h>

#include "graphics/image/Bitmap.h"
#include "graphics/language/Language.h"
#include "graphics/image/PixelOps.h"
#include "graphics/window/Theme.h"
#include "taskbar/panel/ClockPanel.h"
#include "taskbar/tray/TrayHost.h"
#include "taskbar/tooltip/Tooltip.h"

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
CUxThemeApi g_themeApi;
CVisualStyles g_visualStyles(g_themeApi);
TrayHost g_host;
CClockPanel g_clockPanel;
CTooltip g_tooltip(g_language);
