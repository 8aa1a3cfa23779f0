// Built-in looks on the desktop take the taskbar's colours, so that a
// desktop clock matches the clock in the taskbar. GUI thread only.
#pragma once

#include <windows.h>

class CGraphics;
class CVisualStyles;

// Sets the text and background colour of `skin` when it is a built-in look
// (kind standard or classic): the button colours, or with an active visual
// style (`styles` may be null: none) the start panel's text colour and the
// taskbar's background colour, as the theme gives them for `window`. Skins
// keep their own colours.
void TakeTaskbarColours(CGraphics* skin, HWND window, CVisualStyles* styles);
