#include "graphics/clock/ClockHost.h"

#include "graphics/language/LanguageLoader.h"
#include "graphics/image/PixelOps.h"

CClockHostResources::CClockHostResources() : m_styles(m_themeApi), m_library(nullptr)
{
    BuildShadeTable(m_shades);
}

CClockHostResources::~CClockHostResources()
{
    if (m_library)
        FreeLibrary(m_library);
}

bool CClockHostResources::Load(const WCHAR* folder)
{
    WCHAR code[3];
    // no visual styles: the clocks of a tool draw like those of an unthemed desktop
    return LoadLanguageAndTheme(folder, false, m_styles, m_language, &m_library, code, false);
}

ClockContext CClockHostResources::Context()
{
    ClockContext context = {};
    context.language = &m_language;
    context.unitNames = &m_language.UnitNames();
    context.shadeTable = m_shades;
    context.timerButton = &m_button;
    context.resources = m_library;
    return context;
}
