#include "windows/http/Base64.h"

namespace {

// The 6-bit value of an alphabet byte, or -1.
int SextetOf(uint8_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

}  // namespace

size_t DecodeBase64(uint8_t* out, const char* text)
{
    size_t count = 0;
    uint32_t bits = 0;  // never more than 12 are pending
    int pending = 0;
    for (const uint8_t* p = (const uint8_t*)text;; ++p) {
        const int sextet = SextetOf(*p);
        if (sextet < 0)
            break;
        bits = (bits << 6 | (uint32_t)sextet) & 0xFFF;
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            out[count++] = (uint8_t)(bits >> pending);
        }
    }
    out[count] = 0;
    return count;
}
