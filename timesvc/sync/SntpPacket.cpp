#include "timesvc/sync/SntpPacket.h"

#include <string.h>

namespace {

// 100-ns intervals from 1 January 1601 to 1 January 1900
const uint64_t kFileTime1900 = 0x014F373BFDE04000ull;
const uint64_t kTicksPerSecond = 10000000ull;
const uint64_t kEra = 1ull << 32;

uint32_t ReadBig32(const uint8_t* p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

}  // namespace

void BuildSntpRequest(uint8_t out[kSntpPacketBytes])
{
    memset(out, 0, kSntpPacketBytes);
    out[0] = 0x0B;
}

SntpReplyError DecodeSntpReply(const uint8_t* reply, size_t length, SntpTime* out)
{
    if (!reply || length < kSntpPacketBytes)
        return SntpReplyError::Short;
    int leap = reply[0] >> 6, version = (reply[0] >> 3) & 7, mode = reply[0] & 7, stratum = reply[1];
    if (leap == 3)
        return SntpReplyError::Unsynchronised;
    if (mode != 4)
        return SntpReplyError::NotServer;
    if (version < 1 || version > 4)
        return SntpReplyError::BadVersion;
    if (stratum < 1 || stratum > 15)
        return SntpReplyError::BadStratum;
    uint32_t seconds = ReadBig32(reply + 40), fraction = ReadBig32(reply + 44);
    if (seconds == 0 && fraction == 0)
        return SntpReplyError::ZeroTime;
    out->seconds = seconds;
    if (!(seconds & 0x80000000u))
        out->seconds += kEra;
    out->fraction = fraction;
    return SntpReplyError::None;
}

uint64_t SntpSecondsToFileTime(uint64_t seconds)
{
    return seconds * kTicksPerSecond + kFileTime1900;
}

uint32_t SntpFractionToMs(uint32_t fraction)
{
    return (uint32_t)(((uint64_t)fraction * 1000) >> 32);
}
