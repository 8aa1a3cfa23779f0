// The digest a Content-MD5 answer header promises (base64 of 16 bytes).
// No Win32 calls.
#pragma once

#include <stdint.h>

#include "graphics/records/WinTypes.h"

enum class ContentMd5 : uint8_t {
    Absent,  // no header, or a value too long to be a digest: worth a log line
    NoCheck, // a value that does not decode to 16 bytes: ignored silently
    Check,   // the digest to compare the body with
};

// The most characters of the header value that are read.
const int kContentMd5Chars = 32;

// `value` is the header's text (null: no header); no terminator is needed
// within its first kContentMd5Chars characters. Fills `digest` only for Check.
ContentMd5 ParseContentMd5(const WCHAR* value, uint8_t digest[16]);
