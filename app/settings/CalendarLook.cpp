#include "app/settings/CalendarLook.h"

#include <string>

#include "graphics/records/FixedText.h"
#include "app/settings/MainSettingsValues.h"
#include "app/settings/SettingsIni.h"

namespace {

void ReadText(const WCHAR* file, const WCHAR* section, const WCHAR* key, const WCHAR* def, WCHAR* field,
              size_t width)
{
    std::wstring text;
    if (!ReadProfileText(file, section, key, def, &text))
        text = def;
    // the field keeps its terminator
    CopyFixed(field, width - 1, text.c_str());
    field[width - 1] = 0;
}

uint32_t ReadColor(const WCHAR* file, const WCHAR* section, const WCHAR* key, uint32_t def)
{
    std::wstring text;
    uint32_t value = def;
    if (ReadProfileText(file, section, key, L"", &text) && !ParseColorValue(text.c_str(), &value))
        value = def;
    return IniColorToStored(value);
}

int32_t ReadInt(const WCHAR* file, const WCHAR* section, const WCHAR* key, int32_t def)
{
    return (int32_t)GetPrivateProfileIntW(section, key, def, file);
}

}  // namespace

void ReadCalendarLook(const WCHAR* section, const WCHAR* file, LCID lcid, TooltipStyle* style)
{
    *style = {};
    ReadText(file, section, L"font", L"Tahoma", style->fontName, FIELD_WIDTH(style->fontName));
    ReadText(file, section, L"month_format", L"MMMM yyyy", style->monthFormat, FIELD_WIDTH(style->monthFormat));
    ReadText(file, section, L"today_format", L"", style->todayFormat, FIELD_WIDTH(style->todayFormat));
    if (!style->todayFormat[0]
        && !GetLocaleInfoW(lcid, LOCALE_SLONGDATE, style->todayFormat, (int)FIELD_WIDTH(style->todayFormat)))
        style->todayFormat[0] = 0;

    style->fontHeight = ReadInt(file, section, L"font_height", 0);
    style->fontStyle = ReadFontStyleKey(section, L"font_style", file);
    style->titleFontHeight = ReadInt(file, section, L"title_font_height", 0);
    style->titleFontStyle = ReadFontStyleKey(section, L"title_font_style", file);
    style->weekFontHeight = ReadInt(file, section, L"week_font_height", 0);
    style->weekFontStyle = ReadFontStyleKey(section, L"week_font_style", file);

    // defaults as the files write them (0xRRGGBB)
    const uint32_t kDefault = 0xFF000000u;
    const uint32_t kNone = 0xFFFFFFFFu;
    style->background = ReadColor(file, section, L"background", kNone);
    style->titleColor = ReadColor(file, section, L"title_color", kDefault);
    style->labelColor = ReadColor(file, section, L"label_color", kDefault);
    style->rulerColor = ReadColor(file, section, L"ruler_color", kDefault);
    style->dayBackground = ReadColor(file, section, L"day_background", kNone);
    style->dayColor = ReadColor(file, section, L"color", kDefault);
    style->grayColor = ReadColor(file, section, L"gray_color", kDefault);
    style->saturdayColor = ReadColor(file, section, L"saturday_color", 0xC08000u);
    style->sundayColor = ReadColor(file, section, L"sunday_color", 0xC08000u);
    style->borderColor = ReadColor(file, section, L"border_color", kNone);
    style->todayColor = ReadColor(file, section, L"today_color", kDefault);
    style->todayBackground = ReadColor(file, section, L"today_background", kDefault);
    style->todayBorderColor = ReadColor(file, section, L"today_border_color", kDefault);
    style->selectionColor = ReadColor(file, section, L"selection_color", kDefault);
    style->selectionBackground = ReadColor(file, section, L"selection_background", kDefault);
    style->selectionBorderColor = ReadColor(file, section, L"selection_border_color", 0xC00000u);

    style->borderWidth = WrapValue(ReadInt(file, section, L"border_width", 0), 8);
    style->selectionBorderWidth = WrapValue(ReadInt(file, section, L"selection_border_width", 1), 8);
    style->dayPadding = WrapValue(ReadInt(file, section, L"day_padding", 4), 20);
    style->titlePadding = WrapValue(ReadInt(file, section, L"title_padding", 3), 20);
    style->daySpacing = WrapValue(ReadInt(file, section, L"day_spacing", 2), 20);
    style->monthSpacing = WrapValue(ReadInt(file, section, L"month_spacing", 10), 50);
}
