#include "graphics/photos/PhotoIndex.h"

#include "graphics/text/TextFields.h"

namespace {

const int kNumberDigits = 10;
const int kFieldsRead = 8;
const int kRandomMax = 32767;

bool IsDroppedChar(WCHAR c)
{
    return c < 32 || c == 127 || c == '*' || c == '/' || c == ':' || c == ';' || c == '?' || c == '\\';
}

// Digits up to the first other character, at most `maxDigits`; false without
// any. Ten digits fit in 64 bits, so nothing wraps before the range check.
bool ReadDecimal(const WCHAR* field, int length, int maxDigits, int64_t* value)
{
    int n = length < maxDigits ? length : maxDigits;
    int64_t v = 0;
    int digits = 0;
    for (; digits < n && field[digits] >= '0' && field[digits] <= '9'; ++digits)
        v = v * 10 + (field[digits] - '0');
    *value = v;
    return digits > 0;
}

}  // namespace

void SanitizeFileName(WCHAR* text, bool blanksToUnderscore)
{
    if (!text)
        return;
    WCHAR* out = text;
    for (const WCHAR* p = text; *p; ++p) {
        if (IsDroppedChar(*p))
            continue;
        *out++ = blanksToUnderscore && *p == ' ' ? (WCHAR)'_' : *p;
    }
    *out = 0;
}

bool IsPhotoFolderName(const WCHAR* name)
{
    for (; name && *name; ++name)
        if (*name != '.' && *name != ' ')
            return true;
    return false;
}

int32_t ReadPhotoNumber(const WCHAR* field, int length)
{
    int64_t value = 0;
    if (!field || !ReadDecimal(field, length, kNumberDigits, &value) || value < 1 || value > INT32_MAX)
        return 0;
    return (int32_t)value;
}

bool IsSkippedIndexLine(const WCHAR* line)
{
    return !line || *line == 0 || *line == '#' || *line == ';';
}

bool ParsePhotoIndexLine(const WCHAR* line, bool countryIndex, PhotoIndexLine* out)
{
    if (IsSkippedIndexLine(line))
        return false;
    const WCHAR* fields[kFieldsRead];
    int lengths[kFieldsRead];
    int count = SplitFields(line, fields, lengths, kFieldsRead);
    // the service leaves trailing fields empty; a last TAB still opens one
    if (count > 0 && count < kFieldsRead && fields[count - 1][lengths[count - 1]] == '\t') {
        fields[count] = fields[count - 1] + lengths[count - 1] + 1;
        lengths[count] = 0;
        ++count;
    }
    // a country index names the photo's city folder right after the number
    int shift = countryIndex ? 1 : 0;
    if (count < 6 + shift)
        return false;
    *out = PhotoIndexLine{};
    out->number = ReadPhotoNumber(fields[0], lengths[0]);
    if (out->number == 0)
        return false;
    if (countryIndex) {
        out->city = fields[1];
        out->cityLength = lengths[1];
    }
    out->title = fields[3 + shift];
    out->titleLength = lengths[3 + shift];
    out->linkPath = fields[4 + shift];
    out->linkPathLength = lengths[4 + shift];
    int64_t id = -1;
    out->authorId = count > 6 + shift && ReadDecimal(fields[6 + shift], lengths[6 + shift], kNumberDigits, &id) &&
                            id <= INT32_MAX
                        ? (int32_t)id
                        : -1;
    // a country index's author name would be a ninth field, which is not split
    if (!countryIndex && count > 7) {
        out->authorName = fields[7];
        out->authorNameLength = lengths[7];
    }
    return true;
}

int PickPhoto(int r, int count)
{
    if (count < 1)
        return -1;
    if (r < 0)
        r = 0;
    if (r > kRandomMax)
        r = kRandomMax;
    int k = (int)((int64_t)r * count / kRandomMax);
    return k < count ? k : count - 1;
}
