#include "timesvc/command/HoralinkUi.h"

#include "graphics/protocol/TimeServiceProtocol.h"

bool CHoralinkUi::LoadText(UINT id, WCHAR* out, int chars)
{
    if (chars <= 0)
        return false;
    out[0] = 0;
    return LoadStringW(GetModuleHandleW(nullptr), id, out, chars) > 0;
}

void CHoralinkUi::ShowBox(UINT id, bool error)
{
    WCHAR text[kHoralinkTextChars];
    LoadText(id, text, kHoralinkTextChars);
    MessageBoxW(nullptr, text, kTimeServiceDisplayName, MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}
