#include "graphics/records/FixedText.h"

size_t FixedLength(const WCHAR* field, size_t width)
{
    size_t n = 0;
    while (n < width && field[n])
        ++n;
    return n;
}

void CopyFixed(WCHAR* field, size_t width, const WCHAR* src)
{
    size_t i = 0;
    for (; i < width && src && src[i]; ++i)
        field[i] = src[i];
    for (; i < width; ++i)
        field[i] = 0;
}

void CopyFixedField(WCHAR* dst, const WCHAR* src, size_t width)
{
    size_t n = FixedLength(src, width);
    for (size_t i = 0; i < width; ++i)
        dst[i] = i < n ? src[i] : 0;
}

bool FixedEquals(const WCHAR* field, size_t width, const WCHAR* text)
{
    size_t i = 0;
    for (; i < width && field[i]; ++i)
        if (field[i] != text[i])
            return false;
    return text[i] == 0;
}

bool FixedFieldsEqual(const WCHAR* a, const WCHAR* b, size_t width)
{
    for (size_t i = 0; i < width; ++i) {
        if (a[i] != b[i])
            return false;
        if (!a[i])
            return true;
    }
    return true;
}
