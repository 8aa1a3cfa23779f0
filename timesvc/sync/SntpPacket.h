// The SNTP exchange's bytes: the client's request and the checks and
// arithmetic of the server's reply (RFC 4330). No Win32 here.
#pragma once

#include <stddef.h>
#include <stdint.h>

const size_t kSntpPacketBytes = 48;
const uint16_t kSntpPort = 123;

// 48 bytes: 0B (leap indicator 0, version 1, mode 3 = client), then zeros.
void BuildSntpRequest(uint8_t out[kSntpPacketBytes]);

enum class SntpReplyError {
    None,
    Short,          // fewer than 48 bytes
    Unsynchronised, // leap indicator 3: the server's clock is not set
    NotServer,      // mode other than 4
    BadVersion,     // version outside 1..4
    BadStratum,     // 0 (kiss-o'-death) or 16 and above
    ZeroTime,       // transmit timestamp 0
};

struct SntpTime {
    uint64_t seconds;   // since 1 January 1900, carried past 2036
    uint32_t fraction;  // units of 2^-32 second
};

// The transmit time of a reply of `length` bytes; nothing else of it is
// trusted. A time whose seconds have the top bit clear lies in 2036-2104.
SntpReplyError DecodeSntpReply(const uint8_t* reply, size_t length, SntpTime* out);

// 100-ns units since 1 January 1601 (a FILETIME) of a whole second.
uint64_t SntpSecondsToFileTime(uint64_t seconds);
// Milliseconds of a fraction, truncated.
uint32_t SntpFractionToMs(uint32_t fraction);
