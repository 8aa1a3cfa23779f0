#include "app/menu/WebAddress.h"

namespace {

bool IsPlain(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '-';
}

}  // namespace

int UrlEncode(const WCHAR* text, WCHAR* target, int targetChars)
{
    static const char kHex[] = "0123456789ABCDEF";
    if (!target || targetChars <= 0)
        return 0;
    int length = 0;
    for (const WCHAR* p = text; p && *p; ++p) {
        unsigned char bytes[4];
        int count = 0;
        WCHAR c = *p;
        if (IsPlain(c) || c == ' ') {
            if (length + 1 >= targetChars)
                break;
            target[length++] = c == ' ' ? TL_W('+') : c;
            continue;
        }
        // one code point: a surrogate pair as one, a lone half as U+FFFD
        unsigned code = c;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            code = 0x10000 + ((c - 0xD800u) << 10) + (p[1] - 0xDC00u);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code <= 0xFF) {
            bytes[count++] = (unsigned char)code;
        } else if (code <= 0x7FF) {
            bytes[count++] = (unsigned char)(0xC0 | (code >> 6));
            bytes[count++] = (unsigned char)(0x80 | (code & 0x3F));
        } else if (code <= 0xFFFF) {
            bytes[count++] = (unsigned char)(0xE0 | (code >> 12));
            bytes[count++] = (unsigned char)(0x80 | ((code >> 6) & 0x3F));
            bytes[count++] = (unsigned char)(0x80 | (code & 0x3F));
        } else {
            bytes[count++] = (unsigned char)(0xF0 | (code >> 18));
            bytes[count++] = (unsigned char)(0x80 | ((code >> 12) & 0x3F));
            bytes[count++] = (unsigned char)(0x80 | ((code >> 6) & 0x3F));
            bytes[count++] = (unsigned char)(0x80 | (code & 0x3F));
        }
        // never half of a character's bytes
        if (length + 3 * count >= targetChars)
            break;
        for (int i = 0; i < count; ++i) {
            target[length++] = TL_W('%');
            target[length++] = kHex[bytes[i] >> 4];
            target[length++] = kHex[bytes[i] & 15];
        }
        if (code > 0xFFFF)
            ++p;
    }
    target[length] = 0;
    return length;
}

int AppendAddressPart(const WCHAR* text, WCHAR* out, int length)
{
    WCHAR part[kWebAddressChars];
    int n = 0;
    for (; text && text[n] && n < kWebAddressChars - 1; ++n)
        part[n] = text[n] == ' ' ? TL_W('_') : text[n];
    part[n] = 0;
    return length + UrlEncode(part, out + length, kWebAddressChars - length);
}

int AppendAddressText(const WCHAR* text, WCHAR* out, int length)
{
    int n = 0;
    while (text[n])
        ++n;
    if (length + n >= kWebAddressChars)
        return length;
    for (int i = 0; i <= n; ++i)
        out[length + i] = text[i];
    return length + n;
}

int AppendCityPage(const WCHAR* country, const WCHAR* city, WCHAR* out, int length)
{
    length = AppendAddressPart(country, out, length);
    length = AppendAddressText(TL_W("/"), out, length);
    length = AppendAddressPart(city, out, length);
    return AppendAddressText(TL_W(".htm"), out, length);
}
