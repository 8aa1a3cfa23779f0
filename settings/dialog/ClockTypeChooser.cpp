#include "settings/dialog/ClockTypeChooser.h"

#include "app/ui/DialogHelpers.h"
#include "app/ui/LocalText.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "settings/dialog/PageProtocol.h"

namespace {

const WCHAR kSection[] = L"DLG_ClockType";

ClockTypeChoice CheckedChoice(HWND dialog)
{
    if (IsDlgButtonChecked(dialog, kIdcTypeClock) == BST_CHECKED)
        return kChoiceClock;
    if (IsDlgButtonChecked(dialog, kIdcTypeCountdown) == BST_CHECKED)
        return kChoiceCountdown;
    if (IsDlgButtonChecked(dialog, kIdcTypeTimer) == BST_CHECKED)
        return kChoiceTimer;
    return kChoiceNone;
}

INT_PTR CALLBACK ClockTypeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* language = (const CLanguage*)GetWindowLongPtrW(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        language = (const CLanguage*)lParam;
        LocalizeDialog(dialog, kSection, *language);
        CheckRadioButton(dialog, kIdcTypeClock, kIdcTypeTimer, kIdcTypeClock);
        CenterOverOwner(dialog);
        return TRUE;
    case UM_RELOCALIZE:
        if (language)
            LocalizeDialog(dialog, kSection, *language);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, CheckedChoice(dialog));
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, kChoiceNone);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

ClockTypeChoice ChooseClockType(HWND owner, const CLanguage& language)
{
    HMODULE resources = language.GetResources();
    if (!resources)
        return kChoiceNone;
    INT_PTR result = DialogBoxParamW(resources, MAKEINTRESOURCEW(kClockTypeTemplate), owner, ClockTypeProc,
                                     (LPARAM)&language);
    if (result < kChoiceClock || result > kChoiceTimer)
        return kChoiceNone;
    return (ClockTypeChoice)result;
}
