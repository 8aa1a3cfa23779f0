#include "graphics/language/LanguageLoader.h"

#include "graphics/text/DurationFormat.h"
#include "graphics/language/Language.h"
#include "graphics/system/Paths.h"
#include "graphics/window/Theme.h"

namespace {

const int kSettingChars = 15;

// The two-letter code of the settings, else of the locale; lower-cased.
void ReadLanguageCode(const SettingsPaths& paths, const CLanguage& language, WCHAR* code)
{
    WCHAR value[kSettingChars + 1] = {};
    WCHAR section[80];
    wsprintfW(section, L"%.64s:main", paths.userPrefix);
    GetPrivateProfileStringW(section, L"language", L"", value, kSettingChars + 1, paths.userIni);
    if (!value[0])
        GetPrivateProfileStringW(L"default:main", L"language", L"", value, kSettingChars + 1, paths.defaultIni);
    if (!value[0])
        lstrcpynW(value, language.GetCode(), kSettingChars + 1);
    value[2] = 0;
    CharLowerW(value);
    lstrcpyW(code, value);
}

}  // namespace

bool LoadLanguageAndTheme(const WCHAR* folder, bool windowsXpOrLater, CVisualStyles& styles, CLanguage& language,
                          HMODULE* library, WCHAR* code, bool showMessage)
{
    IThemeApi& theme = styles.Api();
    if (theme.Loaded())
        theme.Unload();
    styles.SetActive(windowsXpOrLater && theme.Load() && theme.IsThemeActive());

    if (*library)
        return true;
    SettingsPaths paths;
    if (!BuildIniPaths(folder, &paths))
        return false;
    WCHAR requested[CLanguage::kCodeChars + 1];
    ReadLanguageCode(paths, language, requested);
    *library = LoadLanguageLibrary(paths.folder, requested, nullptr, showMessage, nullptr);
    if (!*library)
        return false;
    lstrcpynW(code, requested, 3);
    language.SetFolder(paths.folder);
    language.SetResources(*library, kUnitNameStringIds);
    language.SetLanguage(code);
    return true;
}
