#include "settings/backgrounds/ColorBox.h"

#include <commdlg.h>

namespace {

const int kCustomColors = 16;
// the box draws an unused custom colour as a white well
const COLORREF kEmptyCustomColor = RGB(255, 255, 255);

}  // namespace

bool CSystemColorBox::Choose(HWND owner, COLORREF* color)
{
    COLORREF custom[kCustomColors];
    for (COLORREF& c : custom)
        c = kEmptyCustomColor;
    CHOOSECOLORW box = {};
    box.lStructSize = sizeof(box);
    box.hwndOwner = owner;
    box.rgbResult = *color;
    box.lpCustColors = custom;
    box.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&box))
        return false;
    *color = box.rgbResult;
    return true;
}
