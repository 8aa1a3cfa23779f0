#include "graphics/text/Fonts.h"

#include <wchar.h>

#include "graphics/system/Handles.h"

namespace {

struct CodePageCharset {
    UINT codePage;
    BYTE charset;
};

const CodePageCharset kCharsets[] = {
    {932, SHIFTJIS_CHARSET},   {936, GB2312_CHARSET},     {949, HANGUL_CHARSET},
    {862, HEBREW_CHARSET},     {864, ARABIC_CHARSET},     {950, CHINESEBIG5_CHARSET},
    {1250, EASTEUROPE_CHARSET}, {1251, RUSSIAN_CHARSET},  {1252, ANSI_CHARSET},
    {1253, GREEK_CHARSET},     {1254, TURKISH_CHARSET},   {1257, BALTIC_CHARSET},
};

const int kPointsPerInch = 72;

// The user locale's default ANSI code page, 0 when unknown or not installed.
UINT UserAnsiCodePage()
{
    WCHAR text[8];
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, text, ARRAYSIZE(text)))
        return 0;
    UINT codePage = (UINT)wcstoul(text, nullptr, 10);
    return codePage && IsValidCodePage(codePage) ? codePage : 0;
}

}  // namespace

BYTE CharsetForCodePage(UINT codePage)
{
    for (const CodePageCharset& entry : kCharsets)
        if (entry.codePage == codePage)
            return entry.charset;
    return 0;
}

LONG FontPixelsFromSize(int size, int pixelsPerInch)
{
    if (size <= 0)
        return size;
    return -(size * pixelsPerInch / kPointsPerInch);
}

void FillLogFont(const WCHAR* face, int width, int size, int weight, DWORD flags, int dpiX, int dpiY,
                 BYTE charset, LOGFONTW* font)
{
    *font = LOGFONTW();
    font->lfCharSet = charset;
    font->lfHeight = FontPixelsFromSize(size, dpiY);
    font->lfWidth = FontPixelsFromSize(width, dpiX);
    font->lfWeight = weight == 0 && (flags & kFontBold) ? FW_BOLD : weight;
    font->lfItalic = (flags & kFontItalic) != 0;
    font->lfUnderline = (flags & kFontUnderline) != 0;
    font->lfStrikeOut = (flags & kFontStrikeOut) != 0;
    lstrcpynW(font->lfFaceName, face ? face : L"", LF_FACESIZE);
}

bool BuildLogFont(const WCHAR* face, int width, int size, int weight, DWORD flags, LOGFONTW* font)
{
    *font = LOGFONTW();
    CWindowDC screen(nullptr);
    if (!screen)
        return false;
    BYTE charset = CharsetForCodePage(UserAnsiCodePage());
    if (charset == 0)
        charset = (BYTE)GetTextCharset(screen.Get());
    FillLogFont(face, width, size, weight, flags, GetDeviceCaps(screen.Get(), LOGPIXELSX),
                GetDeviceCaps(screen.Get(), LOGPIXELSY), charset, font);
    // device to logical units of the screen DC (the same in MM_TEXT)
    if (size > 0 || width > 0) {
        POINT extent = {font->lfWidth, font->lfHeight};
        if (DPtoLP(screen.Get(), &extent, 1)) {
            if (width > 0)
                font->lfWidth = extent.x;
            if (size > 0)
                font->lfHeight = extent.y;
        }
    }
    return true;
}

HFONT CreateTextFont(const WCHAR* face, int width, int size, int weight, DWORD flags)
{
    LOGFONTW font;
    if (!BuildLogFont(face, width, size, weight, flags, &font))
        return nullptr;
    return CreateFontIndirectW(&font);
}
