#include "graphics/clock/ClockHost.h"

#include "graphics/language/LanguageLoader.h"
#include "graphics/image/PixelOps.h"

CClockHostResources::CClockHostResources() : m_styles(m_themeApi)
{
    BuildShadeTable(m_shades);
}

bool CClockHostResources::Load(const WCHAR* folder)
{
    WCHAR code[3];
    // no visual styles: the clocks of a tool draw like those of an unthemed desktop
    return LoadLanguageAndTheme(folder, false, m_styles, m_language, m_library.Receive(), code, false);
}

ClockContext CClockHostResources::Context()
{
    ClockContext context = {};
    context.language = &m_language;
    context.unitNames = &m_language.UnitNames();
    context.shadeTable = m_shades;
    context.timerButton = &m_button;
    context.resources = m_library.Get();
    return context;
}
