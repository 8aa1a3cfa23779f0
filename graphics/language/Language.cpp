#include "graphics/language/Language.h"

#include <stdio.h>
#include <string.h>

#include "graphics/system/Handles.h"

const WCHAR kResourceVersion[] = L"5.3.1";

namespace {

const WCHAR kStringTable[] = L"StringTable";
const WCHAR kEnglishCode[] = L"en";
// Menus nest only a few levels; the limit keeps a malformed menu from recursing without end.
const int kMaxMenuDepth = 16;

void CopyText(WCHAR* out, int chars, const WCHAR* text)
{
    int i = 0;
    for (; text && text[i] && i < chars - 1; ++i)
        out[i] = text[i];
    out[i] = 0;
}

bool IsFile(const WCHAR* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int ReadIniText(const WCHAR* path, const WCHAR* section, const WCHAR* key, WCHAR* out, int size)
{
    out[0] = 0;
    if (!path[0] || !section || !section[0] || !key || !key[0])
        return 0;
    return (int)GetPrivateProfileStringW(section, key, L"", out, (DWORD)size, path);
}

// The unit strings as CUnitNames asks for them (by its fixed ids), read by
// the ids the loader gave; a unit without an id has no string.
class CUnitStrings : public ILanguageStrings {
public:
    CUnitStrings(const CLanguage& language, const UINT* ids) : m_language(language), m_ids(ids) {}
    int GetString(UINT id, WCHAR* buffer, int chars) const override
    {
        for (int unit = 0; unit < kUnitCount; ++unit) {
            if (kUnitNameStringIds[unit] == id && m_ids[unit] != 0)
                return m_language.LoadString(m_language.GetResources(), m_ids[unit], buffer, chars, nullptr);
        }
        if (buffer && chars > 0)
            buffer[0] = 0;
        return 0;
    }
    LCID GetLcid() const override { return m_language.GetLcid(); }

private:
    const CLanguage& m_language;
    const UINT* m_ids;
};

struct LcidSearch {
    WCHAR code[2];
    LCID found;
};

BOOL CALLBACK MatchLocale(LGRPID, LCID lcid, LPWSTR, LONG_PTR param)
{
    auto* search = (LcidSearch*)param;
    WCHAR abbrev[16];
    if (GetLocaleInfoW(lcid, LOCALE_SABBREVLANGNAME, abbrev, 16) < 3)
        return TRUE;
    LowerAsciiCode(abbrev);
    if (abbrev[0] == search->code[0] && abbrev[1] == search->code[1]) {
        search->found = lcid;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK SearchGroup(LGRPID group, LPWSTR, LPWSTR, DWORD, LONG_PTR param)
{
    EnumLanguageGroupLocalesW(MatchLocale, group, 0, param);
    return ((LcidSearch*)param)->found == 0;
}

// res_<code>.dll of `folder`, or null; `wrongVersion` tells that it lacks the right version.
HMODULE LoadLibraryOfCode(const WCHAR* folder, const WCHAR* code, bool* wrongVersion)
{
    *wrongVersion = false;
    WCHAR path[kLanguagePathChars];
    size_t length = wcslen(folder);
    const WCHAR* separator = length && folder[length - 1] != '\\' && folder[length - 1] != '/' ? L"\\" : L"";
    int written = _snwprintf(path, kLanguagePathChars, L"%ls%lsres_%ls.dll", folder, separator, code);
    if (written < 0 || written >= kLanguagePathChars)
        return nullptr;
    // A data file: resources only, so no code of the file runs in our process
    // (the taskbar's, for the hook). No error box for a damaged file either.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    SetThreadErrorMode(oldMode, nullptr);
    *wrongVersion = module && !CheckResourceVersion(module);
    return module;
}

}  // namespace

CLanguage::CLanguage() : m_lcid(LOCALE_USER_DEFAULT), m_module(nullptr)
{
    m_code[0] = 0;
    m_folder[0] = 0;
    m_appName[0] = 0;
    m_iniPath[0] = 0;
    m_fallbackPath[0] = 0;
    CopyText(m_extension, 8, L".ini");
    memset(m_unitIds, 0, sizeof(m_unitIds));

    WCHAR abbrev[16];
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, abbrev, 16) > 0) {
        CopyText(m_code, kCodeChars + 1, abbrev);
        LowerAsciiCode(m_code);
    }

    // The module that holds this code: the program itself, or the hook
    // library inside the taskbar's process, whose folder is ours too.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCWSTR)&FindLanguageLcid, &self);
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    WCHAR* name = path;
    for (WCHAR* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    WCHAR* dot = wcsrchr(name, '.');
    if (dot)
        *dot = 0;
    CopyText(m_appName, kAppNameChars + 1, name);
    *name = 0;
    CopyText(m_folder, kLanguagePathChars, path);
}

bool CLanguage::SetFolder(const WCHAR* folder)
{
    CopyText(m_folder, kLanguagePathChars, folder);
    return RebuildPaths();
}

bool CLanguage::SetAppName(const WCHAR* name)
{
    CopyText(m_appName, kAppNameChars + 1, name);
    return RebuildPaths();
}

bool CLanguage::RebuildPaths()
{
    if (!FindIniFile(nullptr, m_iniPath))
        m_iniPath[0] = 0;
    if (!FindIniFile(kEnglishCode, m_fallbackPath))
        m_fallbackPath[0] = 0;
    return m_fallbackPath[0] != 0;
}

void CLanguage::SetResources(HMODULE module, const UINT unitIds[kUnitCount])
{
    m_module = module;
    for (int unit = 0; unit < kUnitCount; ++unit)
        m_unitIds[unit] = unitIds ? unitIds[unit] : 0;
}

void CLanguage::SetLanguage(const WCHAR* code)
{
    if (code && code[0]) {
        CopyText(m_code, kCodeChars + 1, code);
        m_lcid = FindLanguageLcid(m_code);
    } else {
        m_code[0] = 0;
        m_lcid = LOCALE_USER_DEFAULT;
    }
    SetThreadLocale(m_lcid);
    if (!FindIniFile(nullptr, m_iniPath))
        m_iniPath[0] = 0;
    if (m_module)
        LoadUnitNames();
}

LCID CLanguage::GetLcid() const
{
    return m_lcid;
}

int CLanguage::GetString(UINT id, WCHAR* buffer, int chars) const
{
    return LoadString(m_module, id, buffer, chars, nullptr);
}

bool CLanguage::FindIniFile(const WCHAR* code, WCHAR* path) const
{
    path[0] = 0;
    if (!m_appName[0])
        return false;
    WCHAR lowered[kCodeChars + 1];
    CopyText(lowered, kCodeChars + 1, code ? code : m_code);
    // Only codes of abbreviated language names can be old codes: the ISO
    // name "mr" is Marathi, while "mr" of "MRI" is Maori.
    bool fixOldCode = true;
    if (!lowered[0]) {
        WCHAR iso[16];
        if (GetLocaleInfoW(m_lcid, LOCALE_SISO639LANGNAME, iso, 16) > 0)
            CopyText(lowered, 3, iso);
        fixOldCode = false;
    }
    LowerAsciiCode(lowered);
    if (!BuildLanguageIniPath(path, m_folder, m_appName, lowered, fixOldCode, m_extension))
        return false;
    return IsFile(path);
}

int CLanguage::LoadString(HMODULE module, UINT id, WCHAR* out, int size, const WCHAR* section) const
{
    if (!out || size <= 0)
        return 0;
    out[0] = 0;
    if (!section)
        section = kStringTable;
    if (section[0] && m_iniPath[0]) {
        WCHAR key[16];
        _snwprintf(key, 16, L"%u", id);
        int length = ReadIniText(m_iniPath, section, key, out, size);
        if (length > 0)
            return length;
    }
    // Without a library LoadStringW would read the program's own strings.
    if (!module)
        return 0;
    int length = ::LoadStringW(module, id, out, size);
    if (length <= 0) {
        out[0] = 0;
        return 0;
    }
    return length;
}

int CLanguage::LookUpText(const WCHAR* section, const WCHAR* key, WCHAR* out, int size) const
{
    if (!out || size <= 0)
        return 0;
    int length = ReadIniText(m_iniPath, section, key, out, size);
    if (length == 0)
        length = ReadIniText(m_fallbackPath, section, key, out, size);
    return length;
}

bool CLanguage::TranslateMenu(HMENU menu, const WCHAR* section) const
{
    if (!menu || !section || !section[0] || !m_iniPath[0])
        return false;
    return TranslateMenuLevel(menu, section, 0);
}

bool CLanguage::TranslateMenuLevel(HMENU menu, const WCHAR* section, int depth) const
{
    bool changed = false;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, (UINT)position, TRUE, &info))
            continue;
        // A separator has no text; a text would turn it into an item.
        if (info.fType & MFT_SEPARATOR)
            continue;
        WCHAR key[kMenuTextChars + 1];
        key[0] = 0;
        if (info.hSubMenu) {
            GetMenuStringW(menu, (UINT)position, key, kMenuTextChars + 1, MF_BYPOSITION);
            MakeMenuKey(key, kMenuTextChars + 1);
            if (depth < kMaxMenuDepth && TranslateMenuLevel(info.hSubMenu, section, depth + 1))
                changed = true;
        } else {
            _snwprintf(key, kMenuTextChars + 1, L"%u", info.wID);
        }
        if (!key[0])
            continue;
        WCHAR text[kMenuTextChars];
        if (LookUpText(section, key, text, kMenuTextChars) == 0)
            continue;
        MENUITEMINFOW update = {};
        update.cbSize = sizeof(update);
        update.fMask = MIIM_STRING;
        update.dwTypeData = text;
        if (SetMenuItemInfoW(menu, (UINT)position, TRUE, &update))
            changed = true;
    }
    return changed;
}

void CLanguage::LoadUnitNames()
{
    if (!m_module)
        return;
    m_unitNames.Load(CUnitStrings(*this, m_unitIds));
}

LCID FindLanguageLcid(const WCHAR* code)
{
    if (!code || !code[0] || !code[1])
        return LOCALE_USER_DEFAULT;
    LcidSearch search = {{code[0], code[1]}, 0};
    for (WCHAR& c : search.code) {
        if (c >= 'A' && c <= 'Z')
            c = (WCHAR)(c + ('a' - 'A'));
    }
    EnumSystemLanguageGroupsW(SearchGroup, LGRPID_INSTALLED, (LONG_PTR)&search);
    return search.found ? search.found : LOCALE_USER_DEFAULT;
}

bool CheckResourceVersion(HMODULE module)
{
    if (!module)
        return false;
    // Room for more than the version, so that a longer text is not cut to a match.
    WCHAR version[32];
    if (::LoadStringW(module, kResourceVersionStringId, version, 32) <= 0)
        return false;
    return wcscmp(version, kResourceVersion) == 0;
}

bool LoadResourceMessage(HMODULE module, UINT textId, UINT captionId, WCHAR* text, WCHAR* caption)
{
    text[0] = 0;
    caption[0] = 0;
    if (!module)
        return false;
    int textLength = ::LoadStringW(module, textId, text, 128);
    int captionLength = ::LoadStringW(module, captionId, caption, 32);
    if (textLength <= 0)
        text[0] = 0;
    if (captionLength <= 0)
        caption[0] = 0;
    return textLength > 0 || captionLength > 0;
}

void ShowResourceMessage(HWND owner, HMODULE module, UINT textId, UINT captionId)
{
    WCHAR text[128];
    WCHAR caption[32];
    LoadResourceMessage(module, textId, captionId, text, caption);
    MessageBoxW(owner, text, caption, MB_OK);
}

HMODULE LoadLanguageLibrary(const WCHAR* folder, WCHAR* code, HWND owner, bool showMessage, ResourceLoad* result)
{
    ResourceLoad outcome = ResourceLoad::Missing;
    CModule module;
    bool wrongVersion = false;
    if (folder && code && code[0]) {
        module.Reset(LoadLibraryOfCode(folder, code, &wrongVersion));
        if (wrongVersion)
            module.Reset();
    }
    if (!module && folder) {
        if (code)
            CopyText(code, CLanguage::kCodeChars + 1, kEnglishCode);
        module.Reset(LoadLibraryOfCode(folder, kEnglishCode, &wrongVersion));
        if (module && wrongVersion) {
            if (showMessage)
                ShowResourceMessage(owner, module.Get(), kResourceMessageTextId, kResourceMessageCaptionId);
            module.Reset();
            outcome = ResourceLoad::WrongVersion;
        }
    }
    if (module)
        outcome = ResourceLoad::Loaded;
    if (result)
        *result = outcome;
    return module.Detach();
}
