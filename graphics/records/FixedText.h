// Text in fixed-width record fields. A value as wide as its field fills it
// without a terminator, so every read is bounded by the width.
#pragma once

#include <stddef.h>

#include <string>

#include "graphics/records/WinTypes.h"

// Length of the text in a field of `width` characters.
size_t FixedLength(const WCHAR* field, size_t width);

// A field's text as a string (std::wstring under MinGW; WCHAR is not
// wchar_t in the native build).
inline std::basic_string<WCHAR> FieldText(const WCHAR* field, size_t width)
{
    return std::basic_string<WCHAR>(field, FixedLength(field, width));
}

// Copies at most `width` characters of the NUL-terminated `src`; zero-fills the rest.
void CopyFixed(WCHAR* field, size_t width, const WCHAR* src);

// Copies a field into another of the same width.
void CopyFixedField(WCHAR* dst, const WCHAR* src, size_t width);

// Exact, case-sensitive comparison of a field with a NUL-terminated text.
bool FixedEquals(const WCHAR* field, size_t width, const WCHAR* text);

// Exact comparison of two fields of the same width.
bool FixedFieldsEqual(const WCHAR* a, const WCHAR* b, size_t width);

#define FIELD_WIDTH(f) (sizeof(f) / sizeof((f)[0]))
