#include "graphics/text/TextFields.h"

namespace {

bool IsLineEnd(WCHAR c)
{
    return c == 0 || c == '\r' || c == '\n';
}

}  // namespace

int SplitFields(const WCHAR* line, const WCHAR** fields, int* lengths, int capacity)
{
    if (!line || IsLineEnd(*line))
        return 0;
    int count = 0;
    const WCHAR* p = line;
    while (count < capacity) {
        const WCHAR* start = p;
        while (*p != '\t' && !IsLineEnd(*p))
            ++p;
        fields[count] = start;
        if (lengths)
            lengths[count] = (int)(p - start);
        ++count;
        if (*p == 0)
            break;
        // TAB, CR or LF: a line end right after it ends the splitting
        ++p;
        if (IsLineEnd(*p))
            break;
    }
    return count;
}

int CountChar(const WCHAR* text, WCHAR ch)
{
    int count = 0;
    for (; text && *text; ++text)
        count += *text == ch;
    return count;
}
