#include "settings/globalpages/GlobalPage.h"

#include <commdlg.h>

#include "app/settings/MainSettings.h"
#include "app/ui/Hyperlink.h"
#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "settings/clockpages/PageCommon.h"
#include "settings/dialog/Pages.h"
#include "settings/dialog/SettingsDialog.h"

namespace {

bool ChooseIniFile(HWND owner, WCHAR* path, bool save)
{
    OPENFILENAMEW box = {};
    box.lStructSize = sizeof(box);
    box.hwndOwner = owner;
    box.lpstrFilter = L"Ini Files\0*.ini\0";
    box.lpstrFile = path;
    box.nMaxFile = MAX_PATH;
    box.lpstrDefExt = L"ini";
    if (save) {
        box.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
        return GetSaveFileNameW(&box) != FALSE;
    }
    box.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameW(&box) != FALSE;
}

}  // namespace

void CSystemPageBoxes::ShowError(HWND owner, const WCHAR* text, const WCHAR* caption)
{
    MessageBoxW(owner, text, caption, MB_OK | MB_ICONERROR);
}

bool CSystemPageBoxes::ChooseProfile(HWND owner, WCHAR* path)
{
    return ChooseIniFile(owner, path, false);
}

bool CSystemPageBoxes::ChooseExportFile(HWND owner, WCHAR* path)
{
    return ChooseIniFile(owner, path, true);
}

INT_PTR CGlobalPage::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        CPageLoading loading;
        Init();
        return FALSE;
    }
    case UM_RELOCALIZE: {
        CPageLoading loading;
        Relocalize();
        return TRUE;
    }
    case UM_LOADPAGE:
        // the block is a pointer: only from a send of this thread
        if (!IsPointerMessage() || !lParam)
            return TRUE;
        if (wParam == kPageStore) {
            Store(*(PageExchange*)lParam);
        } else {
            ((PageExchange*)lParam)->invalid = nullptr;
            LoadGuarded();
        }
        return TRUE;
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        Destroy();
        return FALSE;
    }
    return Other(message, wParam, lParam) ? TRUE : FALSE;
}

SettingsDialogServices* CGlobalPage::Services() const
{
    return GetSettingsDialogServices(GetParent(m_page));
}

CMainSettings* CGlobalPage::Settings() const
{
    SettingsDialogServices* services = Services();
    return services ? services->settings : nullptr;
}

CLanguage* CGlobalPage::Language() const
{
    SettingsDialogServices* services = Services();
    return services ? services->language : nullptr;
}

const GlobalPageSeams* CGlobalPage::Seams() const
{
    SettingsDialogServices* services = Services();
    return services ? services->globalPages : nullptr;
}

IGlobalPageBoxes& CGlobalPage::Boxes() const
{
    static CSystemPageBoxes system;
    const GlobalPageSeams* seams = Seams();
    return seams && seams->boxes ? *seams->boxes : system;
}

ILinkOpener& CGlobalPage::Links() const
{
    static CShellLinkOpener shell;
    const GlobalPageSeams* seams = Seams();
    return seams && seams->links ? *seams->links : shell;
}

void CGlobalPage::Localize()
{
    const PageInfo* info = FindPageByTemplate(m_templateId);
    CLanguage* language = Language();
    if (info && language)
        LocalizeDialog(m_page, info->section, *language);
}

void CGlobalPage::ReportChange()
{
    if (!CPageLoading::Active())
        SendMessageW(GetParent(m_page), UM_PAGECHANGED, 0, 0);
}

std::wstring CGlobalPage::String(UINT id) const
{
    CLanguage* language = Language();
    WCHAR text[1024];
    if (!language || language->GetString(id, text, 1024) <= 0)
        return std::wstring();
    return text;
}

void CGlobalPage::LoadGuarded()
{
    CPageLoading loading;
    Load();
}

void CGlobalPage::StoreNow()
{
    PageExchange exchange = {nullptr, nullptr};
    Store(exchange);
}

int ComboAdd(HWND combo, const WCHAR* text, LPARAM data)
{
    int index = (int)SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)text);
    if (index >= 0)
        SendMessageW(combo, CB_SETITEMDATA, index, data);
    return index;
}

int ComboFindData(HWND combo, LPARAM data)
{
    int count = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        if (ComboData(combo, i) == data)
            return i;
    }
    return -1;
}

LPARAM ComboData(HWND combo, int index)
{
    return (LPARAM)SendMessageW(combo, CB_GETITEMDATA, index, 0);
}
