#include "settings/alarmpages/TimeBox.h"

#include "app/ui/DialogHelpers.h"

namespace {

const int kStepMinutes = 30;
const int kEntries = 24 * 60 / kStepMinutes;
const int kDropDownEntries = 12;
const int kTextChars = 64;

}  // namespace

void FillTimeBox(HWND box, const TimeLocale& locale, bool extraMidnight)
{
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i <= kEntries; ++i) {
        if (i == kEntries && !extraMidnight)
            break;
        int minutes = i % kEntries * kStepMinutes;
        WCHAR text[kTextChars];
        if (FormatTimeOfDay(locale, text, kTextChars, (uint32_t)minutes * 60, false) <= 0)
            continue;
        LRESULT at = SendMessageW(box, CB_ADDSTRING, 0, (LPARAM)text);
        if (at >= 0)
            SendMessageW(box, CB_SETITEMDATA, at, minutes);
    }
    SizeComboDropDown(box, kDropDownEntries);
}

void SetTimeBoxSeconds(HWND box, const TimeLocale& locale, uint32_t seconds)
{
    WCHAR text[kTextChars] = L"";
    FormatTimeOfDay(locale, text, kTextChars, seconds, seconds % 60 != 0);
    SetWindowTextW(box, text);
}

int ReadTimeBoxSeconds(HWND box, const TimeLocale& locale)
{
    WCHAR text[kTextChars] = L"";
    GetWindowTextW(box, text, kTextChars);
    return ParseTimeOfDay(locale, text);
}

bool ClearUnreadableTimeBox(HWND box, const TimeLocale& locale)
{
    if (ReadTimeBoxSeconds(box, locale) >= 0)
        return false;
    SetWindowTextW(box, L"");
    return true;
}
