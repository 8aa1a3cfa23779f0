#include "windows/http/ContentMd5.h"

#include <string.h>

#include "windows/http/Base64.h"

namespace {

// 16 bytes take 22 base64 characters and two "=": a longer value is no digest.
const int kLongestValue = 24;

}  // namespace

ContentMd5 ParseContentMd5(const WCHAR* value, uint8_t digest[16])
{
    if (!value)
        return ContentMd5::Absent;
    int length = 0;
    while (length < kContentMd5Chars && value[length])
        ++length;
    if (length > kLongestValue)
        return ContentMd5::Absent;

    // a wide character that is not ASCII must not alias an alphabet byte
    char text[kLongestValue + 1];
    for (int i = 0; i < length; ++i)
        text[i] = value[i] >= 128 ? (char)0xFF : (char)value[i];
    text[length] = 0;

    uint8_t bytes[kLongestValue * 3 / 4 + 1];
    if (DecodeBase64(bytes, text) != 16)
        return ContentMd5::NoCheck;
    memcpy(digest, bytes, 16);
    return ContentMd5::Check;
}
