#include "settings/dialog/SettingsDialog.h"

#include "graphics/language/Language.h"

namespace {

INT_PTR CALLBACK SettingsDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

}  // namespace

HWND CreateSettingsDialog(HWND owner, SettingsDialogServices& services)
{
    HMODULE resources = services.language->GetResources();
    if (!resources)
        return nullptr;
    return CreateDialogParamW(resources, MAKEINTRESOURCEW(kSettingsDialogTemplate), owner, SettingsDialogProc,
                              (LPARAM)&services);
}
