#include "graphics/language/LanguageNames.h"

namespace {

// Old codes, taken from the first two letters of abbreviated language names
// ("MRI" is Maori, "MAR" Marathi), and the ISO codes the files are named by.
const struct {
    WCHAR old[3];
    WCHAR used[3];
} kOldCodes[] = {
    {TL_W("in"), TL_W("id")}, {TL_W("mr"), TL_W("mi")}, {TL_W("ml"), TL_W("mt")},
    {TL_W("ts"), TL_W("tn")}, {TL_W("sm"), TL_W("se")}, {TL_W("mo"), TL_W("mn")},
    {TL_W("jp"), TL_W("ja")}, {TL_W("ch"), TL_W("zh")}, {TL_W("di"), TL_W("dv")},
    {TL_W("ma"), TL_W("mr")}, {TL_W("ka"), TL_W("kn")}, {TL_W("my"), TL_W("ml")},
};

int Length(const WCHAR* s)
{
    int n = 0;
    while (s && s[n])
        ++n;
    return n;
}

// Appends `s` at `*pos`; false when it does not fit with a NUL.
bool Append(WCHAR* out, int& pos, const WCHAR* s, int count)
{
    if (pos + count >= kLanguagePathChars)
        return false;
    for (int i = 0; i < count; ++i)
        out[pos++] = s[i];
    out[pos] = 0;
    return true;
}

bool IsKeyChar(WCHAR c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

}  // namespace

void LowerAsciiCode(WCHAR* code)
{
    for (; code && *code; ++code) {
        if (*code >= 'A' && *code <= 'Z')
            *code = (WCHAR)(*code + ('a' - 'A'));
    }
}

void FixOldLanguageCode(const WCHAR code[2], WCHAR out[3])
{
    out[0] = code[0];
    out[1] = code[0] ? code[1] : 0;
    out[2] = 0;
    for (const auto& entry : kOldCodes) {
        if (entry.old[0] == out[0] && entry.old[1] == out[1]) {
            out[0] = entry.used[0];
            out[1] = entry.used[1];
            return;
        }
    }
}

bool BuildLanguageIniPath(WCHAR* out, const WCHAR* folder, const WCHAR* appName, const WCHAR* code,
                          bool fixOldCode, const WCHAR* extension)
{
    out[0] = 0;
    int folderLength = Length(folder);
    // A relative name would be looked up in the Windows folder by the profile
    // functions but in the current folder by file checks.
    if (folderLength == 0 || folderLength > kLanguageFolderMaxChars || Length(appName) == 0)
        return false;

    WCHAR letters[3] = {0, 0, 0};
    if (code && code[0] && code[1]) {
        letters[0] = code[0];
        letters[1] = code[1];
        if (fixOldCode)
            FixOldLanguageCode(letters, letters);
    }

    static const WCHAR kBackslash[] = TL_W("\\");
    static const WCHAR kUnderscore[] = TL_W("_");
    int pos = 0;
    bool ok = Append(out, pos, folder, folderLength);
    if (ok && folder[folderLength - 1] != '\\')
        ok = Append(out, pos, kBackslash, 1);
    ok = ok && Append(out, pos, appName, Length(appName)) && Append(out, pos, kUnderscore, 1) &&
         Append(out, pos, letters, Length(letters)) && Append(out, pos, extension, Length(extension));
    if (!ok)
        out[0] = 0;
    return ok;
}

int MakeMenuKey(WCHAR* text, int length)
{
    if (!text || length <= 0)
        return 0;
    int kept = 0;
    for (int i = 0; i < length && text[i]; ++i) {
        WCHAR c = text[i];
        if (c == ' ')
            text[kept++] = '_';
        else if (IsKeyChar(c))
            text[kept++] = c;
    }
    // A key that fills all `length` characters is ended on its last one.
    if (kept == length)
        --kept;
    text[kept] = 0;
    return kept;
}
