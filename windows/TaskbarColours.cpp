#include "windows/TaskbarColours.h"

#include <vssym32.h>

#include "graphics/image/Bitmap.h"
#include "graphics/skin/Graphics.h"
#include "graphics/window/Theme.h"

namespace {

// Theme parts: the start panel's program list text and the taskbar's background.
const int kStartPanelTextPart = 8;
const int kTaskbarBackgroundPart = 1;
// The background is an image (a gradient on some styles): one corner pixel
// of a small drawing stands for it.
const int kSampleSize = 8;

}  // namespace

void TakeTaskbarColours(CGraphics* skin, HWND window, CVisualStyles* styles)
{
    if (!skin || (skin->GetKind() != kKindStandard && skin->GetKind() != kKindClassic))
        return;
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    COLORREF back = GetSysColor(COLOR_BTNFACE);
    if (styles) {
        IThemeApi& api = styles->Api();
        CActiveTheme panel(*styles, window, L"STARTPANEL");
        COLORREF color;
        if (panel.Get() && SUCCEEDED(api.GetThemeColor(panel.Get(), kStartPanelTextPart, 0, TMT_TEXTCOLOR, &color)))
            text = color;
        CActiveTheme taskbar(*styles, window, L"TASKBAR");
        CDibSection sample;
        RECT rect = {0, 0, kSampleSize, kSampleSize};
        if (taskbar.Get() && sample.Create(kSampleSize, kSampleSize) &&
            SUCCEEDED(api.DrawThemeBackground(taskbar.Get(), sample.GetDC(), kTaskbarBackgroundPart, 0, &rect,
                                              nullptr))) {
            GdiFlush();
            back = ::GetPixel(sample.GetDC(), 0, 0);
        }
    }
    skin->SetTextColor(text);
    skin->SetBackColor(back);
}
