// What formatting code needs of the active language: its string resources
// (a language INI file may override them) and its locale.
#pragma once

#include "graphics/records/WinTypes.h"

class ILanguageStrings {
public:
    virtual ~ILanguageStrings() = default;
    // The text of string `id` into `buffer` (always terminated); its length, 0 when missing.
    virtual int GetString(UINT id, WCHAR* buffer, int chars) const = 0;
    // The locale of the language, for the system's date and time formatting.
    virtual LCID GetLcid() const = 0;
};
