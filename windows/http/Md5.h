// MD5 message digest (RFC 1321), for the Content-MD5 check of downloads.
// No Win32 calls. A context belongs to one thread.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct Md5Context {
    uint32_t state[4];   // A, B, C, D
    uint32_t count[2];   // bits hashed so far, low word first (modulo 2^64)
    uint8_t buffer[64];  // the part of a block not yet transformed
};

void Md5Init(Md5Context* context);
// Any split of the input gives the same digest.
void Md5Update(Md5Context* context, const void* bytes, size_t length);
// Writes the 16-byte digest and clears the whole context; Md5Init starts a new one.
void Md5Final(uint8_t digest[16], Md5Context* context);
