// The 22 pages of the settings dialog: their windows and the procedure of
// the pages that only show texts.
#pragma once

#include <windows.h>

#include "settings/dialog/PageProtocol.h"

struct SettingsDialogServices;

// The table entry of the page made from `templateId`; null for none.
const PageInfo* FindPageByTemplate(UINT templateId);

// Pages that serve no record of their own: their texts come from their
// section at WM_INITDIALOG and UM_RELOCALIZE, and a store finds nothing
// invalid. The creation parameter is the template id.
INT_PTR CALLBACK PlainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the pages of `dialog` in kind order from the language's library
// on control 1086's rectangle, destroys 1086 and shows page 0. A page's
// control id is its template id. False, creating nothing, without a library
// or control 1086; a page that cannot be made stays null.
bool CreatePages(HWND dialog, const SettingsDialogServices& services, HWND pages[kPageKindCount]);
