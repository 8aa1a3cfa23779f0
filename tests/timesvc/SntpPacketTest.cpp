#include <gtest/gtest.h>

#include <string.h>

#include <windows.h>

#include "timesvc/sync/SntpPacket.h"

namespace {

// A server's reply: LI 0, version 4, mode 4, stratum 2, the given transmit time.
struct Reply {
    uint8_t bytes[68];

    explicit Reply(uint32_t seconds = 0xEB000000u, uint32_t fraction = 0)
    {
        memset(bytes, 0, sizeof(bytes));
        bytes[0] = (0 << 6) | (4 << 3) | 4;
        bytes[1] = 2;
        SetTransmit(seconds, fraction);
    }
    void SetTransmit(uint32_t seconds, uint32_t fraction)
    {
        for (int i = 0; i < 4; ++i) {
            bytes[40 + i] = (uint8_t)(seconds >> (24 - 8 * i));
            bytes[44 + i] = (uint8_t)(fraction >> (24 - 8 * i));
        }
    }
};

SYSTEMTIME ToSystemTime(uint64_t fileTime)
{
    FILETIME ft = {(DWORD)fileTime, (DWORD)(fileTime >> 32)};
    SYSTEMTIME st = {};
    FileTimeToSystemTime(&ft, &st);
    return st;
}

}  // namespace

TEST(SntpPacket, TheRequestIsVersionOneClientModeAndZeros)
{
    uint8_t request[kSntpPacketBytes];
    memset(request, 0xEE, sizeof(request));
    BuildSntpRequest(request);
    EXPECT_EQ(0x0B, request[0]);
    for (size_t i = 1; i < kSntpPacketBytes; ++i)
        EXPECT_EQ(0, request[i]) << "byte " << i;
}

TEST(SntpPacket, RepliesThatCannotBeTrustedAreRefused)
{
    struct Case {
        const char* name;
        size_t length;
        int byte;       // index to overwrite, -1 none
        uint8_t value;
        SntpReplyError expected;
    };
    const Case cases[] = {
        {"good", 48, -1, 0, SntpReplyError::None},
        {"longer than 48 bytes", 68, -1, 0, SntpReplyError::None},
        {"47 bytes", 47, -1, 0, SntpReplyError::Short},
        {"leap indicator 3", 48, 0, (3 << 6) | (4 << 3) | 4, SntpReplyError::Unsynchronised},
        {"mode 3 (a client)", 48, 0, (4 << 3) | 3, SntpReplyError::NotServer},
        {"version 0", 48, 0, (0 << 3) | 4, SntpReplyError::BadVersion},
        {"version 5", 48, 0, (5 << 3) | 4, SntpReplyError::BadVersion},
        {"version 1", 48, 0, (1 << 3) | 4, SntpReplyError::None},
        {"kiss-o'-death stratum 0", 48, 1, 0, SntpReplyError::BadStratum},
        {"stratum 16", 48, 1, 16, SntpReplyError::BadStratum},
        {"stratum 15", 48, 1, 15, SntpReplyError::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reply reply;
        if (c.byte >= 0)
            reply.bytes[c.byte] = c.value;
        SntpTime time = {};
        EXPECT_EQ(c.expected, DecodeSntpReply(reply.bytes, c.length, &time));
    }
    Reply zero(0, 0);
    SntpTime time = {};
    EXPECT_EQ(SntpReplyError::ZeroTime, DecodeSntpReply(zero.bytes, 48, &time));
    EXPECT_EQ(SntpReplyError::Short, DecodeSntpReply(nullptr, 48, &time));
}

TEST(SntpPacket, TransmitTimesBecomeUtcAcrossTheEraOf2036)
{
    struct Case {
        uint32_t seconds, fraction;
        SYSTEMTIME expected;  // milliseconds from the fraction
    };
    const Case cases[] = {
        // 2026-12-11 00:00:00 UTC, half a second
        {4005936000u, 0x80000000u, {2026, 12, 5, 11, 0, 0, 0, 500}},
        // the first era's last second
        {0xFFFFFFFFu, 0xFFFFFFFFu, {2036, 2, 4, 7, 6, 28, 15, 999}},
        // the top bit clear: the next era, 2036-2104
        {16u, 0, {2036, 2, 4, 7, 6, 28, 32, 0}},
        {0x7FFFFFFFu, 0x00418938u, {2104, 2, 2, 26, 9, 42, 23, 1}},
        {0x80000000u, 0, {1968, 1, 6, 20, 3, 14, 8, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        Reply reply(c.seconds, c.fraction);
        SntpTime time = {};
        ASSERT_EQ(SntpReplyError::None, DecodeSntpReply(reply.bytes, 48, &time));
        SYSTEMTIME st = ToSystemTime(SntpSecondsToFileTime(time.seconds));
        st.wMilliseconds = (WORD)SntpFractionToMs(time.fraction);
        EXPECT_EQ(c.expected.wYear, st.wYear);
        EXPECT_EQ(c.expected.wMonth, st.wMonth);
        EXPECT_EQ(c.expected.wDay, st.wDay);
        EXPECT_EQ(c.expected.wHour, st.wHour);
        EXPECT_EQ(c.expected.wMinute, st.wMinute);
        EXPECT_EQ(c.expected.wSecond, st.wSecond);
        EXPECT_EQ(c.expected.wMilliseconds, st.wMilliseconds);
    }
}
