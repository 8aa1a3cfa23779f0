#include "windows/http/Md5.h"

#include <string.h>

namespace {

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

// Per round: the message word taken first and the step between words, and
// the four shifts that repeat through its 16 steps.
const int kFirstWord[4] = {0, 1, 5, 0};
const int kWordStep[4] = {1, 5, 3, 7};
const int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// floor(2^32 * |sin(i + 1)|) for i = 0..63, written out so that no floating
// point enters the digest.
const uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// MD5 reads its words little-endian whatever the machine's order.
uint32_t LoadLittle(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

void StoreLittle(uint8_t* p, uint32_t v)
{
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

// One 64-byte block into the state.
void Md5Transform(uint32_t state[4], const uint8_t block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLittle(block + 4 * i);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16, step = i % 16;
        uint32_t f;
        switch (round) {
        case 0: f = F(b, c, d); break;
        case 1: f = G(b, c, d); break;
        case 2: f = H(b, c, d); break;
        default: f = I(b, c, d); break;
        }
        const uint32_t word = x[(kFirstWord[round] + kWordStep[round] * step) % 16];
        const uint32_t rotated = b + RotateLeft(a + f + word + kSine[i], kShift[round][step % 4]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    // the message words are digest input; leave no copy on the stack
    memset(x, 0, sizeof x);
}

}  // namespace

void Md5Init(Md5Context* context)
{
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
    context->count[0] = context->count[1] = 0;
    memset(context->buffer, 0, sizeof context->buffer);
}

void Md5Update(Md5Context* context, const void* bytes, size_t length)
{
    if (length == 0)
        return;
    const uint8_t* input = (const uint8_t*)bytes;
    const uint64_t before = (uint64_t)context->count[1] << 32 | context->count[0];
    // the bit count is kept modulo 2^64, as the padding records it
    const uint64_t after = before + ((uint64_t)length << 3);
    context->count[0] = (uint32_t)after;
    context->count[1] = (uint32_t)(after >> 32);

    size_t held = (size_t)((before >> 3) & 63);
    if (held > 0) {
        const size_t take = length < 64 - held ? length : 64 - held;
        memcpy(context->buffer + held, input, take);
        input += take;
        length -= take;
        held += take;
        if (held < 64)
            return;
        Md5Transform(context->state, context->buffer);
    }
    for (; length >= 64; input += 64, length -= 64)
        Md5Transform(context->state, input);
    if (length > 0)
        memcpy(context->buffer, input, length);
}

void Md5Final(uint8_t digest[16], Md5Context* context)
{
    uint8_t bits[8];
    StoreLittle(bits, context->count[0]);
    StoreLittle(bits + 4, context->count[1]);
    // a 1 bit, zeros up to 56 bytes into a block, then the length in bits
    static const uint8_t kPadding[64] = {0x80};
    const size_t held = (context->count[0] >> 3) & 63;
    Md5Update(context, kPadding, held < 56 ? 56 - held : 120 - held);
    Md5Update(context, bits, sizeof bits);
    for (int i = 0; i < 4; ++i)
        StoreLittle(digest + 4 * i, context->state[i]);
    memset(context, 0, sizeof *context);
}
