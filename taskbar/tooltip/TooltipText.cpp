#include "taskbar/tooltip/TooltipText.h"

#include <algorithm>

#include "graphics/records/FixedText.h"

namespace {

const WCHAR kAuthorPage[] = {'/', 'c', 'm', 's', '/', 'a', 'u', 't', 'h', 'o', 'r', 'i', 'n', 'g', '_', 'p', 'h',
                             'o', 't', 'o', 's', '.', 'h', 't', 'm', '?', 'a', 'u', 't', 'h', 'o', 'r', '_', 'i',
                             'd', '=', 0};
const WCHAR kFallbackCaption[] = {'<', 'a', ' ', 'h', 'r', 'e', 'f', '=', '"', '%', 's', '"', '>',
                                  '%', 's', '<', '/', 'a', '>', 0};

int Length(const WCHAR* text)
{
    int n = 0;
    while (text && text[n])
        ++n;
    return n;
}

// Appends without passing `capacity` - 1 characters; `*n` is the length so far.
void Append(WCHAR* out, int capacity, int* n, const WCHAR* text, int length)
{
    for (int i = 0; i < length && *n < capacity - 1; ++i)
        out[(*n)++] = text[i];
    out[*n] = 0;
}

void AppendNumber(WCHAR* out, int capacity, int* n, int32_t value)
{
    WCHAR digits[12];
    int d = sizeof(digits) / sizeof(digits[0]);
    uint32_t v = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
    do {
        digits[--d] = (WCHAR)('0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0)
        digits[--d] = '-';
    Append(out, capacity, n, digits + d, (int)(sizeof(digits) / sizeof(digits[0])) - d);
}

}  // namespace

void PlaceTooltip(const TooltipBox& anchor, int32_t width, int32_t height, const TooltipBox& desktop, int32_t* x,
                  int32_t* y)
{
    *y = anchor.bottom + height > desktop.bottom ? anchor.top - height : anchor.bottom;
    int32_t right = (anchor.left + anchor.right) / 2;
    *x = right - width < desktop.left ? desktop.left : right - width;
}

void BuildClockTooltipText(WCHAR* out, const WCHAR* caption, int captionChars, const WCHAR* date,
                           const WCHAR* label, int labelChars)
{
    const int capacity = kTooltipTextChars;
    int dateLength = Length(date);
    // a long date would leave a negative room, which must not reach the copy
    int room = kTooltipCaptionRoom - dateLength;
    if (room < 0)
        room = 0;
    int n = 0;
    out[0] = 0;
    for (int i = 0; i < captionChars && caption[i]; ++i) {
        // a doubled "&" stays whole: a lone one would underline the next letter
        int need = caption[i] == '&' ? 2 : 1;
        if (n + need > room)
            break;
        out[n++] = caption[i];
        if (need == 2)
            out[n++] = '&';
    }
    out[n] = 0;
    if (dateLength > 0) {
        const WCHAR newline[] = {'\n'};
        if (n > 0)
            Append(out, capacity, &n, newline, 1);
        Append(out, capacity, &n, date, dateLength);
    }
    int labelLength = (int)FixedLength(label, (size_t)(labelChars < 0 ? 0 : labelChars));
    if (labelLength > 0 && n < kTooltipCaptionRoom) {
        const WCHAR newline[] = {'\n'};
        if (n > 0)
            Append(out, capacity, &n, newline, 1);
        Append(out, capacity, &n, label, labelLength);
    }
}

bool IsPhotoCaptionFormat(const WCHAR* format)
{
    if (!format)
        return false;
    int strings = 0;
    for (int i = 0; format[i]; ++i) {
        if (format[i] != '%')
            continue;
        if (format[i + 1] == '%') {
            ++i;
        } else if (format[i + 1] == 's') {
            ++strings;
            ++i;
        } else {
            // a width, a flag or another conversion: read as a format it could run past the arguments
            return false;
        }
    }
    return strings == 4;
}

void BuildPhotoCaption(WCHAR* out, int capacity, const WCHAR* format, const WCHAR* linkPath, const WCHAR* title,
                       int32_t authorId, const WCHAR* authorName)
{
    if (capacity <= 0)
        return;
    WCHAR author[64];
    int authorLength = 0;
    Append(author, 64, &authorLength, kAuthorPage, Length(kAuthorPage));
    AppendNumber(author, 64, &authorLength, authorId);
    const WCHAR* full[4] = {linkPath, title, author, authorName};
    const WCHAR* fallback[2] = {linkPath, title};
    bool useFormat = Length(authorName) > 0 && IsPhotoCaptionFormat(format);
    const WCHAR* picture = useFormat ? format : kFallbackCaption;
    const WCHAR** args = useFormat ? full : fallback;
    int argCount = useFormat ? 4 : 2;
    // expanded here rather than by a printf: the format is the user's text
    int n = 0, next = 0;
    out[0] = 0;
    for (int i = 0; picture[i]; ++i) {
        if (picture[i] == '%' && picture[i + 1] == '%') {
            Append(out, capacity, &n, picture + i, 1);
            ++i;
        } else if (picture[i] == '%' && picture[i + 1] == 's') {
            if (next < argCount)
                Append(out, capacity, &n, args[next], Length(args[next]));
            ++next;
            ++i;
        } else {
            Append(out, capacity, &n, picture + i, 1);
        }
    }
}

int TableClockOrder(const ClockRecord* clocks, int count, ClockCompare compare, int* out)
{
    int n = 0;
    for (int i = 0; i < count; ++i)
        if (clocks[i].enabled && !(clocks[i].kind & kClockTimer))
            out[n++] = i;
    std::stable_sort(out, out + n, [&](int a, int b) { return compare(clocks[a], clocks[b]) < 0; });
    return n;
}
