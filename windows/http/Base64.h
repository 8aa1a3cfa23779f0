// Base64 of RFC 4648 (alphabet with "+" and "/"). No Win32 calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Decodes `text` up to its first byte outside the alphabet: "=", a line
// break and the terminating zero all end it, and bits of an unfinished byte
// are dropped. Writes the bytes and then a zero byte, so `out` must hold
// strlen(text) * 3 / 4 + 1 bytes. Returns the number of decoded bytes,
// without that zero.
size_t DecodeBase64(uint8_t* out, const char* text);
