// CRC-32 of ISO-HDLC and zlib (reflected polynomial 0xEDB88320); names the
// news cache files. No Win32 calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

// 0 for an empty block.
uint32_t Crc32(const void* bytes, size_t length);
