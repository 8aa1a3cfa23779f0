// The HTTP time server's URL from its configured text: the text is a
// template whose directives take the request's values in a fixed order. The
// text comes from a settings file, so it is never handed to a printf-style
// function: only these directives are understood. No Win32 here.
#pragma once

#include <stddef.h>

#include "graphics/records/WinTypes.h"

struct UrlTemplateArg {
    bool isText;
    long long number;
    const WCHAR* text;
};

// Formats `pattern` into `out` (`capacity` characters with the terminator).
// Each directive takes the next argument: %d, %i, %u and %x a number, %s a
// text, each with the flags "-", "0", "+", " " and "#" and a width; "%%" is a
// percent sign. False, with `out` empty, for any other directive, a
// directive whose argument is missing or of the other kind, or a result
// that does not fit.
bool FormatUrlTemplate(const WCHAR* pattern, const UrlTemplateArg* args, size_t argCount, WCHAR* out,
                       size_t capacity);
