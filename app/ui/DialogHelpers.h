// Small helpers the main program's dialogs share.
#pragma once

#include <windows.h>

// A font of `face` at `size` (points when above 0, else pixels) with the
// style flags of Fonts.h and `charset`; null when there is no face or the
// font cannot be made. The caller deletes it.
HFONT CreateFontFromSpec(const WCHAR* face, int size, DWORD style, BYTE charset);

// Makes the drop-down list of `combo` show `items` items, never more than it
// holds. False when the combo box cannot be measured.
bool SizeComboDropDown(HWND combo, int items);

// Moves `window` to the middle of the desktop window, keeping its size.
void CenterOnDesktop(HWND window);
// Moves `window` to the middle of its owner (its parent when it has no
// owner), keeping its size; nothing without either.
void CenterOverOwner(HWND window);

// Appends `count` columns of the given widths, without titles yet.
void InsertListViewColumns(HWND list, const int* widths, int count);

// The report list's only selected and focused row, scrolled into the middle
// of the list's client area when the list can scroll that far.
void SelectListViewRow(HWND list, int row);

// True when the window's class is exactly the dialog class "#32770".
bool IsDialogWindow(HWND window);

// The thread's message loop until WM_QUIT, whose wParam it returns. The
// active dialog gets its keys first; `translate` adds character messages
// for the other windows.
int RunDialogMessageLoop(bool translate);

// EnumThreadWindows callback: destroys every dialog of the thread.
BOOL CALLBACK DestroyDialogsProc(HWND window, LPARAM param);
