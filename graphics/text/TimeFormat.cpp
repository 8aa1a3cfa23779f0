#include "graphics/text/TimeFormat.h"

#include <string.h>

#include "graphics/language/LanguageStrings.h"
#include "graphics/text/TimeFormatPicture.h"

extern const WCHAR kFormatErrorText[] = L"Error!";

namespace {

void CopyError(WCHAR* out)
{
    memcpy(out, kFormatErrorText, sizeof(L"Error!"));
}

}  // namespace

void FormatTime(const ILanguageStrings& language, WCHAR* out, const SYSTEMTIME& time, const WCHAR* name)
{
    WCHAR picture[kPictureChars + 1];
    bool own = GetTimePicture(name, picture);
    int n = GetTimeFormatW(language.GetLcid(), own ? 0 : TIME_NOSECONDS, &time, own ? picture : nullptr, out,
                           kTimeTextChars);
    if (n == 0)
        CopyError(out);
}

void FormatDate(const ILanguageStrings& language, WCHAR* out, const SYSTEMTIME& date, const WCHAR* picture,
                bool singleLine, const WeekRules& rules)
{
    WCHAR working[kPictureChars + 1];
    if (!BuildDatePicture(picture, date, rules, singleLine, working)) {
        out[0] = 0;
        return;
    }
    if (GetDateFormatW(language.GetLcid(), 0, &date, working, out, kDateTextChars) == 0)
        CopyError(out);
}

void BuildLocaleTimeFormat(WCHAR* out, bool withSeconds)
{
    WCHAR format[81], separator[5];
    GetLocaleText(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format, 81);
    GetLocaleText(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, 5);
    BuildTimePictureFrom(format, separator, withSeconds, out);
}

int GetLocaleText(LCID lcid, LCTYPE item, WCHAR* out, int chars)
{
    if (!out || chars <= 0)
        return 0;
    memset(out, 0, chars * sizeof(WCHAR));
    int n = GetLocaleInfoW(lcid, item, out, chars);
    out[chars - 1] = 0;
    return n;
}
