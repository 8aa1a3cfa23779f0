// A language with no strings of its own and the US English locale, so that
// formatting falls back to the system's names for that locale.
#pragma once

#include "graphics/language/LanguageStrings.h"

class CFakeLanguage : public ILanguageStrings {
public:
    int GetString(UINT, WCHAR* buffer, int chars) const override
    {
        if (chars > 0)
            buffer[0] = 0;
        return 0;
    }
    LCID GetLcid() const override { return MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT); }
};
