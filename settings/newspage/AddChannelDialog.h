// The box that asks for a news channel's address (template 202).
#pragma once

#include <windows.h>

class CLanguage;

const UINT kAddChannelTemplate = 202;
const WCHAR kAddChannelSection[] = L"DLG_AddChannel";
const int kIdcChannelAddress = 1273;
const int kIdcChannelLabel = 1271;

// Modal over `owner`: edit 1273 holds `buffer` (limited to `chars`
// characters with the NUL) and OK copies it back. `title` and `label` (1271)
// are texts, string ids of the language (MAKEINTRESOURCEW) or null to keep
// the template's. The button that closed it (IDOK, IDCANCEL); -1 without a
// buffer, with fewer than 2 characters, or when the box cannot be made.
INT_PTR AddChannelDialog(HWND owner, const CLanguage& language, WCHAR* buffer, int chars, const WCHAR* title,
                         const WCHAR* label);
