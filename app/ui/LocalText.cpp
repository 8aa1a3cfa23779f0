#include "app/ui/LocalText.h"

#include <wchar.h>

namespace {

struct DialogTexts {
    const CLanguage* language;
    const WCHAR* section;
    bool changed;
};

bool IsTranslatedClass(HWND control)
{
    WCHAR name[16];
    if (!GetClassNameW(control, name, 16))
        return false;
    return _wcsicmp(name, L"Button") == 0 || _wcsicmp(name, L"Static") == 0;
}

void TranslateControl(HWND control, DialogTexts* texts)
{
    int id = GetDlgCtrlID(control);
    if (id <= 0 || !IsTranslatedClass(control))
        return;
    WCHAR key[16];
    swprintf(key, 16, L"%d", id);
    WCHAR text[kDialogControlTextChars + 1];
    if (texts->language->LookUpText(texts->section, key, text, kDialogControlTextChars + 1) > 0 &&
        SetWindowTextW(control, text))
        texts->changed = true;
}

bool IsSafeChar(WCHAR c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

}  // namespace

int LoadLocalString(const CLanguage& language, HMODULE module, UINT id, WCHAR* out, int size,
                    const WCHAR* section)
{
    return language.LoadString(module, id, out, size, section);
}

bool LocalizeDialog(HWND dialog, const WCHAR* section, const CLanguage& language)
{
    if (!dialog || !section || !section[0] || !language.GetIniPath()[0])
        return false;
    WCHAR name[kDialogSectionChars + 1];
    wcsncpy(name, section, kDialogSectionChars);
    name[kDialogSectionChars] = 0;

    DialogTexts texts = {&language, name, false};
    WCHAR caption[kDialogCaptionChars + 1];
    if (language.LookUpText(name, L"Caption", caption, kDialogCaptionChars + 1) > 0 &&
        SetWindowTextW(dialog, caption))
        texts.changed = true;
    // only the dialog's own controls: a nested page has its own section and
    // may use the same ids for other controls
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        TranslateControl(child, &texts);
    return texts.changed;
}

int MakeSafeName(WCHAR* text)
{
    if (!text)
        return 0;
    int kept = 0;
    for (int i = 0; i < kSafeNameChars && text[i]; ++i) {
        WCHAR c = text[i];
        if (c == ' ')
            text[kept++] = '_';
        else if (IsSafeChar(c))
            text[kept++] = c;
    }
    // kept <= characters read, so the NUL stays inside the caller's text
    text[kept] = 0;
    return kept;
}

void ActivateLanguage(CLanguage& language, const WCHAR* code, CalendarNames* names)
{
    language.SetLanguage(code);
    if (!names)
        return;
    LCID lcid = language.GetLcid();
    for (int i = 0; i < 7; ++i) {
        if (!GetLocaleInfoW(lcid, LOCALE_SDAYNAME1 + i, names->days[i], 80))
            names->days[i][0] = 0;
    }
    for (int i = 0; i < 12; ++i) {
        if (!GetLocaleInfoW(lcid, LOCALE_SMONTHNAME1 + i, names->months[i], 80))
            names->months[i][0] = 0;
    }
}

LCID GetLanguageLcid(const CLanguage& language) { return language.GetLcid(); }

bool GetLanguageAbbrev(LCID lcid, WCHAR* out)
{
    if (!out)
        return false;
    if (!GetLocaleInfoW(lcid, LOCALE_SABBREVLANGNAME, out, kLanguageAbbrevChars)) {
        out[0] = 0;
        return false;
    }
    LowerAsciiCode(out);
    return out[0] != 0;
}

const WCHAR* GetWordForm(const CLanguage& language, int slot, int32_t number)
{
    return language.GetUnitName(slot, number);
}

void LoadLocalMessage(const CLanguage& language, HMODULE module, UINT textId, UINT captionId,
                      const WCHAR* section, WCHAR text[128], WCHAR caption[32])
{
    language.LoadString(module, textId, text, 128, section);
    language.LoadString(module, captionId, caption, 32, section);
}

int ShowLocalMessage(const CLanguage& language, HWND owner, HMODULE module, UINT textId, UINT captionId,
                     const WCHAR* section)
{
    WCHAR text[128];
    WCHAR caption[32];
    LoadLocalMessage(language, module, textId, captionId, section, text, caption);
    return MessageBoxW(owner, text, caption, MB_OK);
}

bool IsResourceVersionOk(HMODULE module) { return module && CheckResourceVersion(module); }
