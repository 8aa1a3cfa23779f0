// The language and visual-style loader of a process: the taskbar side when the
// tray clock attaches, the main program at its start.
#pragma once

#include <windows.h>

class CLanguage;
class CVisualStyles;

// Loads uxtheme's functions again (Windows XP and later) and, unless
// `*library` is already loaded, the language resource library: the code of
// the user's ":main" section, else of "default:main", else of the user's
// locale; a library of another version falls back to "res_en.dll". Hands the
// library and the unit-name strings to `language` and loads its language file.
// False when no usable library exists. `code` (3 characters) receives the
// two-letter code. The caller frees *library with FreeLibrary. Without
// `showMessage` no message box is shown (the taskbar's process).
bool LoadLanguageAndTheme(const WCHAR* folder, bool windowsXpOrLater, CVisualStyles& styles, CLanguage& language,
                          HMODULE* library, WCHAR* code, bool showMessage = true);
