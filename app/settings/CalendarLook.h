// The look of a month calendar (TooltipStyle) from a section of a settings file.
#pragma once

#include "graphics/records/SettingsBlock.h"

// Reads every key of the look from `section` of `file`, with the defaults and
// clamps; colours are stored with red and blue exchanged. An empty or missing
// "today_format" takes the long date format of `lcid`.
void ReadCalendarLook(const WCHAR* section, const WCHAR* file, LCID lcid, TooltipStyle* style);
