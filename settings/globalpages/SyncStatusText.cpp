#include "settings/globalpages/SyncStatusText.h"

#include "settings/globalpages/GlobalPages.h"

namespace {

bool ReadDigits(const WCHAR* text, int count, WORD* value)
{
    int n = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        n = n * 10 + (text[i] - L'0');
    }
    *value = (WORD)n;
    return true;
}

}  // namespace

UINT SyncResultStringId(int result)
{
    if (result < 0)
        return 0;
    return result == 0 ? kStrSyncSucceeded : (UINT)result;
}

bool ParseSyncTime(const WCHAR* text, SYSTEMTIME* time)
{
    if (!text)
        return false;
    int length = 0;
    while (length <= 14 && text[length])
        ++length;
    if (length != 14)
        return false;
    SYSTEMTIME t = {};
    if (!ReadDigits(text, 4, &t.wYear) || !ReadDigits(text + 4, 2, &t.wMonth) || !ReadDigits(text + 6, 2, &t.wDay) ||
        !ReadDigits(text + 8, 2, &t.wHour) || !ReadDigits(text + 10, 2, &t.wMinute) ||
        !ReadDigits(text + 12, 2, &t.wSecond))
        return false;
    *time = t;
    return true;
}
