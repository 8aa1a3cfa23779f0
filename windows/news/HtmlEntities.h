// Character references in feed text (titles), decoded in place in one pass.
// No Win32 here.
#pragma once

#include "graphics/records/WinTypes.h"

#include <string>

// "&#65;", "&#x42;" and the HTML 4.01 names except "nbsp" (case-sensitive,
// with their semicolon) become their characters; references past U+FFFF
// become surrogate pairs, and 0, surrogates, values past U+10FFFF or too many
// digits become U+FFFD. An ampersand that begins nothing known is kept; one
// followed by a space or another non-letter (with at least three characters
// after it) is dropped.
void DecodeHtmlEntities(std::basic_string<WCHAR>& text);
