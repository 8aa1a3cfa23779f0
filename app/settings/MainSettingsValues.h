// Value rules of the main settings that need no Win32: colours, clamps,
// the language code and the skin's option bits.
#pragma once

#include <stddef.h>
#include "graphics/records/WinTypes.h"

// A colour as the files write it (0xRRGGBB, top byte kept) to 0xAABBGGRR:
// red and blue exchanged, so -1 (no colour) and 0xFF000000 (default) stay.
uint32_t IniColorToStored(uint32_t value);

// A signed decimal number, or hexadecimal after "0x"; blanks before it.
// False when no digit follows or the value does not fit 32 bits.
bool ParseColorValue(const WCHAR* text, uint32_t* value);

// `value` modulo `divisor` (positive), never negative.
int32_t WrapValue(int32_t value, int32_t divisor);

// "trayclocks": 10 when 0 or below, at most 12.
uint32_t ClampTrayClocks(int32_t value);
// "num_month": 1 outside 1..12.
uint32_t ClampCalendarMonths(int32_t value);

// The first two characters of `code`, lower-cased, into `out` (chars >= 3).
void NormalizeLanguageCode(const WCHAR* code, WCHAR* out, size_t chars);

// Skinned and classic option bits of a taskbar skin name (any case).
uint32_t SkinOptionBits(const WCHAR* skin);
