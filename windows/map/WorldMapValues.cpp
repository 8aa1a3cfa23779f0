#include "windows/map/WorldMapValues.h"

#include "app/settings/SettingsValues.h"
#include "app/ui/NumberFormat.h"
#include "graphics/records/FixedText.h"

namespace {

// By cause: the text of kMapErrorFamily + 1 first.
const WCHAR* const kMapErrorTexts[] = {
    TL_W("Can not load orbex.dll"),
    TL_W("Can not import required functions from orbex.dll"),
    TL_W("Can not load and adjust earth texture"),
    TL_W("Illegal earth texture format"),
    TL_W("Can not copy earth texture"),
    TL_W("Error while registering window class"),
    TL_W("ChoosePixelFormat() failed"),
    TL_W("SetPixelFormat() failed"),
    TL_W("wglMakeCurrent() failed"),
};
const DWORD kMapErrorCauses = sizeof(kMapErrorTexts) / sizeof(kMapErrorTexts[0]);
// The texture codes (1 to 4) come without a Win32 error behind them.
const DWORD kLastCauseWithoutSystemError = 4;

}  // namespace

void MapErrorText(DWORD code, WCHAR* out, int chars)
{
    if (!out || chars <= 0)
        return;
    out[0] = 0;
    if (code == 0)
        return;
    DWORD cause = code - kMapErrorFamily;
    if (cause >= 1 && cause <= kMapErrorCauses) {
        CopyFixed(out, (size_t)chars - 1, kMapErrorTexts[cause - 1]);
        out[chars - 1] = 0;
        return;
    }
    FormatWithOneNumber(TL_W("Unknown error %lu"), (int32_t)(code & ~kMapErrorFamily), out, chars);
}

bool MapErrorHasSystemCause(DWORD code)
{
    return code > kMapErrorFamily + kLastCauseWithoutSystemError;
}

bool ParseMapWindowPos(const WCHAR* text, MapWindowPos* pos)
{
    int32_t values[4];
    if (!ParseNumberList(text, 0, values, 4))
        return false;
    *pos = {values[0], values[1], values[2], values[3]};
    return true;
}

int MapChildWidth(int clientWidth, int paneWidth)
{
    return clientWidth > paneWidth ? clientWidth - paneWidth : 1;
}
