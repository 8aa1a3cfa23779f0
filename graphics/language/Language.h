// The language of a process: its locale, its resource library and the
// language INI files ("tempolan_de.ini") that override the library's texts.
// One object per process, created before any window and used by the thread
// that created the windows; no lock.
#pragma once

#include <windows.h>

#include "graphics/text/DurationFormat.h"
#include "graphics/language/LanguageNames.h"
#include "graphics/language/LanguageStrings.h"

// The version the language resource library must carry as string 139.
extern const WCHAR kResourceVersion[];
const UINT kResourceVersionStringId = 139;
// Text and caption shown when even the English library has the wrong version.
const UINT kResourceMessageTextId = 140;
const UINT kResourceMessageCaptionId = 141;

class CLanguage : public ILanguageStrings {
public:
    static const int kCodeChars = 15;
    static const int kAppNameChars = 63;
    static const int kMenuTextChars = 255;

    // Locale 1024 (LOCALE_USER_DEFAULT), the code of the user locale's
    // abbreviated language name, folder and name of the module that holds
    // this code, no INI paths, no resource library.
    CLanguage();
    CLanguage(const CLanguage&) = delete;
    CLanguage& operator=(const CLanguage&) = delete;

    // Both set a value (null or "" clears it) and rebuild the language and
    // English INI paths; true when the English INI file exists.
    bool SetFolder(const WCHAR* folder);
    bool SetAppName(const WCHAR* name);

    // The resource library (not owned: whoever loaded it frees it) and the
    // string ids of the five unit names (null: none).
    void SetResources(HMODULE module, const UINT unitIds[kUnitCount]);
    // Code (null or "": none, the user's locale), locale and thread locale,
    // language INI path; reloads the unit names when a library is set.
    void SetLanguage(const WCHAR* code);

    LCID GetLcid() const override;
    // LoadString from the resource library, section "StringTable".
    int GetString(UINT id, WCHAR* buffer, int chars) const override;

    // The INI path of `code` (null: the object's code; "": the ISO name of
    // the object's locale) into `path` (kLanguagePathChars); true when that
    // file exists and is not a folder.
    bool FindIniFile(const WCHAR* code, WCHAR* path) const;

    // String `id`: key "<id>" of `section` (null: "StringTable") of the
    // language INI file, else string resource `id` of `module`; never the
    // English INI file. Returns the length, 0 with an empty text when none.
    int LoadString(HMODULE module, UINT id, WCHAR* out, int size, const WCHAR* section) const;

    // Key `key` of `section` from the language INI file, else from the English
    // one (menus and dialogs). Returns the length, 0 with an empty text when none.
    int LookUpText(const WCHAR* section, const WCHAR* key, WCHAR* out, int size) const;

    // Replaces the texts of the menu's items, and of its submenus, by the
    // values of `section`; true when at least one item changed. Does nothing
    // without a language INI file.
    bool TranslateMenu(HMENU menu, const WCHAR* section) const;

    // Unit names of durations, from strings 257-261 of the language.
    const CUnitNames& UnitNames() const { return m_unitNames; }
    const WCHAR* GetUnitName(int unit, int32_t number) const { return m_unitNames.GetName(unit, number); }
    void ParseUnitNames(int unit, const WCHAR* text) { m_unitNames.Parse(unit, text); }
    // Only when a resource library is set.
    void LoadUnitNames();

    HMODULE GetResources() const { return m_module; }
    const WCHAR* GetCode() const { return m_code; }
    const WCHAR* GetFolder() const { return m_folder; }
    const WCHAR* GetAppName() const { return m_appName; }
    // Empty when the file does not exist.
    const WCHAR* GetIniPath() const { return m_iniPath; }
    const WCHAR* GetFallbackIniPath() const { return m_fallbackPath; }

private:
    bool RebuildPaths();
    bool TranslateMenuLevel(HMENU menu, const WCHAR* section, int depth) const;

    LCID m_lcid;
    WCHAR m_code[kCodeChars + 1];
    WCHAR m_folder[kLanguagePathChars];
    WCHAR m_appName[kAppNameChars + 1];
    WCHAR m_extension[8];
    WCHAR m_iniPath[kLanguagePathChars];
    WCHAR m_fallbackPath[kLanguagePathChars];
    HMODULE m_module;
    UINT m_unitIds[kUnitCount];
    CUnitNames m_unitNames;
};

// LCID of the first installed locale whose abbreviated language name begins
// with the two letters of `code`, ignoring case; 1024 when none or null.
LCID FindLanguageLcid(const WCHAR* code);

// True when string 139 of `module` is exactly kResourceVersion.
bool CheckResourceVersion(HMODULE module);

// Texts of the resource message: `text` holds 128 characters, `caption` 32.
// False when the module is null or has neither string.
bool LoadResourceMessage(HMODULE module, UINT textId, UINT captionId, WCHAR* text, WCHAR* caption);
// MessageBoxW (MB_OK) with those texts.
void ShowResourceMessage(HWND owner, HMODULE module, UINT textId, UINT captionId);

enum class ResourceLoad : int32_t { Loaded, Missing, WrongVersion };

// Loads "res_<code>.dll" from `folder` (as a data file) when it carries the
// right version, else "res_en.dll" and sets `code` (kCodeChars + 1) to "en".
// When the English library has the wrong version and `showMessage` is set,
// strings 140 and 141 of it are shown before it is freed. Returns the library
// (the caller frees it with FreeLibrary) or null; `result` may be null.
HMODULE LoadLanguageLibrary(const WCHAR* folder, WCHAR* code, HWND owner, bool showMessage, ResourceLoad* result);
