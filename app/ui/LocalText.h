// The main program's side of the language: strings, dialog texts, word forms
// and messages in the active language. All take the program's CLanguage.
#pragma once

#include <windows.h>

#include "graphics/language/Language.h"

// Section names of dialogs are cut to this many characters.
const int kDialogSectionChars = 62;
const int kDialogCaptionChars = 255;
const int kDialogControlTextChars = 2047;
// MakeSafeName looks at no more characters than this.
const int kSafeNameChars = 256;
// Buffer of GetLanguageAbbrev, with the NUL.
const int kLanguageAbbrevChars = 16;

// String `id`: key "<id>" of `section` (null: "StringTable") of the language
// file, else the string resource of `module`. Returns the length.
int LoadLocalString(const CLanguage& language, HMODULE module, UINT id, WCHAR* out, int size,
                    const WCHAR* section);

// Gives the dialog the texts of `section` when a language file is in use:
// "Caption" for the title, the decimal id for each Button or Static control
// with an id above 0 (language file, then the English one). Controls without
// a text keep theirs. True when anything changed.
bool LocalizeDialog(HWND dialog, const WCHAR* section, const CLanguage& language);

// Reduces `text` in place to an INI key: A-Z, a-z, 0-9, "-", "_" and "."
// stay, blanks become "_", everything else goes. Only the first
// kSafeNameChars characters are looked at. Returns the new length.
int MakeSafeName(WCHAR* text);

// Localised day and month names of the active language.
struct CalendarNames {
    WCHAR days[7][80];     // Monday first, as the locale lists them
    WCHAR months[12][80];
};

// Switches the language (locale, thread locale, language file) to the
// two-letter `code` and fills `names` (may be null) from its locale.
void ActivateLanguage(CLanguage& language, const WCHAR* code, CalendarNames* names);
LCID GetLanguageLcid(const CLanguage& language);
// The lower-case abbreviated language name of `lcid` into `out`
// (kLanguageAbbrevChars); false, with an empty text, when there is none.
bool GetLanguageAbbrev(LCID lcid, WCHAR* out);

// The text of word-form slot 0..4 for `number` (never null).
const WCHAR* GetWordForm(const CLanguage& language, int slot, int32_t number);

// Text (127 characters) and caption (31) of a message in the language.
void LoadLocalMessage(const CLanguage& language, HMODULE module, UINT textId, UINT captionId,
                      const WCHAR* section, WCHAR text[128], WCHAR caption[32]);
// MessageBoxW with those texts and no icon; its result.
int ShowLocalMessage(const CLanguage& language, HWND owner, HMODULE module, UINT textId, UINT captionId,
                     const WCHAR* section);

// True when string 139 of the resource library is the version we need.
bool IsResourceVersionOk(HMODULE module);
