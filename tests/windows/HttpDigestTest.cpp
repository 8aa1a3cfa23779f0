#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "windows/http/Base64.h"
#include "windows/http/ContentMd5.h"
#include "windows/http/Md5.h"
#include "tests/support/GuardedBytes.h"

namespace {

std::string Hex(const uint8_t* bytes, size_t n)
{
    std::string s;
    char two[3];
    for (size_t i = 0; i < n; ++i) {
        snprintf(two, sizeof two, "%02x", bytes[i]);
        s += two;
    }
    return s;
}

std::string DigestOf(const void* bytes, size_t n)
{
    Md5Context context;
    Md5Init(&context);
    Md5Update(&context, bytes, n);
    uint8_t digest[16];
    Md5Final(digest, &context);
    return Hex(digest, sizeof digest);
}

// 1 MiB from xorshift32 with a fixed seed; its digest was worked out apart.
std::vector<uint8_t> PseudoRandomMebibyte()
{
    std::vector<uint8_t> bytes(1 << 20);
    uint32_t x = 0x2545F491;
    for (uint8_t& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = (uint8_t)(x >> 24);
    }
    return bytes;
}

}  // namespace

TEST(HttpDigestMd5, ReferenceVectors)
{
    const struct {
        const char* text;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.digest, DigestOf(c.text, strlen(c.text)));
    }
}

// Downloads arrive in chunks of any size: the block buffer and the padding
// must not depend on where the chunks end.
TEST(HttpDigestMd5, UnevenChunksGiveTheDigestOfOneCall)
{
    const std::vector<uint8_t> data = PseudoRandomMebibyte();
    const std::string whole = DigestOf(data.data(), data.size());
    EXPECT_EQ("a38137cf1dc372dd1fc90de655f6d423", whole);

    const Md5Context cleared = {};
    for (size_t chunk : {1, 63, 64, 65, 4096}) {
        SCOPED_TRACE(testing::Message() << "chunks of " << chunk);
        Md5Context context;
        Md5Init(&context);
        for (size_t at = 0; at < data.size(); at += chunk)
            Md5Update(&context, data.data() + at, std::min(chunk, data.size() - at));
        uint8_t digest[16];
        Md5Final(digest, &context);
        EXPECT_EQ(whole, Hex(digest, sizeof digest));
        EXPECT_EQ(0, memcmp(&cleared, &context, sizeof context)) << "the context keeps traces of the body";
    }
}

TEST(HttpDigestBase64, ReferenceVectorsAndTheWholeAlphabet)
{
    const struct {
        const char* text;
        const char* bytes;  // hex
    } cases[] = {
        {"", ""},
        {"Zg==", "66"},
        {"Zm8=", "666f"},
        {"Zm9v", "666f6f"},
        {"Zm9vYg==", "666f6f62"},
        {"Zm9vYmE=", "666f6f6261"},
        {"Zm9vYmFy", "666f6f626172"},
        {"+/+/", "fbffbf"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/",
         "00108310518720928b30d38f41149351559761969b71d79f8218a39259a7a29aabb2dbafc31cb3d35db7e39ebbf3dfbf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        uint8_t out[64];
        memset(out, 0xAA, sizeof out);
        const size_t n = DecodeBase64(out, c.text);
        EXPECT_EQ(c.bytes, Hex(out, n));
        ASSERT_LT(n + 1, sizeof out);
        EXPECT_EQ(0, out[n]) << "no terminating zero";
        EXPECT_EQ(0xAA, out[n + 1]) << "written past the terminating zero";
    }
}

TEST(HttpDigestBase64, StopsAtTheFirstByteOutsideTheAlphabet)
{
    const struct {
        const char* text;
        const char* bytes;  // hex
    } cases[] = {
        {"Zm9v!Zg==", "666f6f"},
        {"Zg==Zm9v", "66"},         // "=" ends the text, it is no filler to skip
        {"Zm9v\r\nZm9v", "666f6f"}, // no line folding
        {"Zm-_", "66"},             // the URL-safe alphabet is another one
        {"Zm9v\xFFZm9v", "666f6f"},
        {"Z", ""},                  // six bits make no byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        uint8_t out[16];
        memset(out, 0xAA, sizeof out);
        const size_t n = DecodeBase64(out, c.text);
        EXPECT_EQ(c.bytes, Hex(out, n));
        EXPECT_EQ(0, out[n]);
        EXPECT_EQ(0xAA, out[n + 1]);
    }
}

TEST(HttpDigestContentMd5, OnlySixteenDecodedBytesAreChecked)
{
    const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";  // MD5 of "abc"
    const WCHAR kNonAscii = 0x100 | 'W';  // its low byte is an alphabet letter
    const struct {
        std::basic_string<WCHAR> value;
        ContentMd5 result;
        const char* digest;
    } cases[] = {
        {TL_W("kAFQmDzST7DWlj99KOF/cg=="), ContentMd5::Check, kAbc},
        {TL_W("kAFQmDzST7DWlj99KOF/cg"), ContentMd5::Check, kAbc},  // padding left off
        {TL_W("kAFQmDzST7DWlj99KOF/cg==A"), ContentMd5::Absent, nullptr},
        {TL_W("kAFQmDzST7DWlj99KOF/cg==AAAAAAAA"), ContentMd5::Absent, nullptr},  // fills the 32 read
        {TL_W("AAECAwQFBgcICQoLDA0O"), ContentMd5::NoCheck, nullptr},      // 15 bytes
        {TL_W("AAECAwQFBgcICQoLDA0ODxAR"), ContentMd5::NoCheck, nullptr},  // 18 bytes
        {TL_W(""), ContentMd5::NoCheck, nullptr},
        {TL_W("kAFQmDzST7DWlj99KOF/c") + std::basic_string<WCHAR>(1, kNonAscii) + TL_W("=="),
         ContentMd5::NoCheck, nullptr},
        {std::basic_string<WCHAR>(1, 0xFF00 | '+') + TL_W("AFQmDzST7DWlj99KOF/cg=="), ContentMd5::NoCheck, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        uint8_t digest[16];
        memset(digest, 0xAA, sizeof digest);
        EXPECT_EQ(c.result, ParseContentMd5(c.value.c_str(), digest));
        if (c.digest)
            EXPECT_EQ(c.digest, Hex(digest, sizeof digest));
        else
            EXPECT_EQ(std::string(32, 'a'), Hex(digest, sizeof digest)) << "digest written without a check";
    }
}

TEST(HttpDigestContentMd5, NoHeaderAndAnUnterminatedValue)
{
    uint8_t digest[16];
    EXPECT_EQ(ContentMd5::Absent, ParseContentMd5(nullptr, digest));

    // a full header buffer without a terminator: a read past it faults
    GuardedBytes bytes(kContentMd5Chars * sizeof(WCHAR));
    WCHAR* value = (WCHAR*)bytes.Data();
    for (int i = 0; i < kContentMd5Chars; ++i)
        value[i] = 'A';
    EXPECT_EQ(ContentMd5::Absent, ParseContentMd5(value, digest));
}
