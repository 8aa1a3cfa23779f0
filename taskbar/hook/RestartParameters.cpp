#include "taskbar/hook/RestartParameters.h"

#include <wchar.h>

bool BuildRestartParameters(const WCHAR* arguments, WCHAR out[kRestartParameterChars])
{
    WCHAR lower[kRestartParameterChars];
    lstrcpynW(lower, arguments, kRestartParameterChars);
    CharLowerW(lower);
    // a program started with it that fails again would start itself for ever
    if (wcsstr(lower, L"/restart"))
        return false;
    lstrcpyW(out, L"/restart");
    if (arguments[0]) {
        lstrcatW(out, L" ");
        int used = lstrlenW(out);
        lstrcpynW(out + used, arguments, kRestartParameterChars - used);
    }
    return true;
}
