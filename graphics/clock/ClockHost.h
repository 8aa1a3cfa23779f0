// What clocks need from their process when a tool or benchmark shows them
// outside the main program and the taskbar: the language of a program
// folder's settings with its resource library, the tint's shade table and the
// timer button. GUI thread only.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "graphics/image/Bitmap.h"
#include "graphics/clock/Clock.h"
#include "graphics/language/Language.h"
#include "graphics/system/Handles.h"
#include "graphics/window/Theme.h"

class CClockHostResources {
public:
    CClockHostResources();
    // Frees the resource library: delete the clocks first.
    ~CClockHostResources() = default;
    CClockHostResources(const CClockHostResources&) = delete;
    CClockHostResources& operator=(const CClockHostResources&) = delete;

    // The language of the settings in `folder` (trailing backslash); false
    // when no resource library loads.
    bool Load(const WCHAR* folder);
    // Language, unit names, shade table, timer button and resources; no
    // local-zone highlight. This object must outlive the clocks.
    ClockContext Context();
    CLanguage& Language() { return m_language; }

private:
    CUxThemeApi m_themeApi;
    CVisualStyles m_styles;
    CLanguage m_language;
    CModule m_library;
    uint32_t m_shades[256];
    CBitmap m_button;
};
