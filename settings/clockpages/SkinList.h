// The skin lists of the desktop and taskbar pages: the skin folders, then
// the two built-in looks at the top.
#pragma once

#include <windows.h>

// Fills the combo box with the subfolders of `skinsRoot` (trailing
// backslash) in the order the folder search gives them, leaving out the
// analogue skins when `noAnalogue`, then puts "Standard System Clock" first
// and "Classic Tempolan Style" second. A missing folder leaves the two.
void FillSkinList(HWND combo, const WCHAR* skinsRoot, bool noAnalogue);

// Selects the entry named `skin` (no case), else the first that begins with
// it; with neither, no entry is selected and the box shows `skin` as typed,
// so that a store keeps it. The index, or -1.
int SelectSkin(HWND combo, const WCHAR* skin);
