#include "app/settings/MainSettingsValues.h"

#include "graphics/records/SettingsBlock.h"
#include "graphics/skin/StyleNames.h"

uint32_t IniColorToStored(uint32_t value)
{
    return (value & 0xFF00FF00u) | ((value >> 16) & 0xFFu) | ((value & 0xFFu) << 16);
}

bool ParseColorValue(const WCHAR* text, uint32_t* value)
{
    if (!text)
        return false;
    while (*text == L' ' || *text == L'\t')
        ++text;
    bool negative = false;
    if (*text == L'-' || *text == L'+') {
        negative = *text == L'-';
        ++text;
    }
    uint32_t base = 10;
    if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        text += 2;
    }
    uint64_t number = 0;
    int digits = 0;
    for (;; ++text, ++digits) {
        uint32_t d;
        if (*text >= L'0' && *text <= L'9')
            d = (uint32_t)(*text - L'0');
        else if (base == 16 && *text >= L'a' && *text <= L'f')
            d = (uint32_t)(*text - L'a' + 10);
        else if (base == 16 && *text >= L'A' && *text <= L'F')
            d = (uint32_t)(*text - L'A' + 10);
        else
            break;
        number = number * base + d;
        if (number > 0xFFFFFFFFull)
            return false;
    }
    if (digits == 0)
        return false;
    // decimal values are signed 32-bit, as the profile functions read them
    if (base == 10 && number > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return false;
    *value = negative ? (uint32_t)(0u - (uint32_t)number) : (uint32_t)number;
    return true;
}

int32_t WrapValue(int32_t value, int32_t divisor)
{
    int32_t r = value % divisor;
    return r < 0 ? r + divisor : r;
}

uint32_t ClampTrayClocks(int32_t value)
{
    if (value <= 0)
        return 10;
    return value > 12 ? 12u : (uint32_t)value;
}

uint32_t ClampCalendarMonths(int32_t value)
{
    return value < 1 || value > 12 ? 1u : (uint32_t)value;
}

void NormalizeLanguageCode(const WCHAR* code, WCHAR* out, size_t chars)
{
    size_t n = 0;
    for (; code && n < 2 && n + 1 < chars && code[n]; ++n) {
        WCHAR c = code[n];
        out[n] = c >= L'A' && c <= L'Z' ? (WCHAR)(c - L'A' + L'a') : c;
    }
    if (chars)
        out[n] = 0;
}

namespace {

bool EqualsIgnoringCase(const WCHAR* a, const WCHAR* b)
{
    for (;; ++a, ++b) {
        WCHAR x = *a >= L'A' && *a <= L'Z' ? (WCHAR)(*a - L'A' + L'a') : *a;
        WCHAR y = *b >= L'A' && *b <= L'Z' ? (WCHAR)(*b - L'A' + L'a') : *b;
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

}  // namespace

uint32_t SkinOptionBits(const WCHAR* skin)
{
    if (skin && EqualsIgnoringCase(skin, kClassicStyleName))
        return kOptClassic;
    if (skin && EqualsIgnoringCase(skin, kStandardStyleName))
        return 0;
    return kOptSkinned;
}
