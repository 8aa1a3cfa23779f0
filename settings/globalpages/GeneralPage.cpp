#include <vector>

#include "app/settings/MainSettings.h"
#include "app/ui/DialogHelpers.h"
#include "app/ui/Hyperlink.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Restrictions.h"
#include "settings/clockpages/PageCommon.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/globalpages/GlobalPage.h"

namespace {

const int kLanguageListRows = 20;

// The item data of a language: its two letters, the second in the high word.
LPARAM PackLanguageCode(const WCHAR* code)
{
    if (!code || !code[0] || !code[1])
        return 0;
    return (LPARAM)((DWORD)code[0] | (DWORD)code[1] << 16);
}

void UnpackLanguageCode(LPARAM packed, WCHAR* code)
{
    code[0] = (WCHAR)(packed & 0xFFFF);
    code[1] = (WCHAR)((packed >> 16) & 0xFFFF);
    code[2] = 0;
}

struct LanguageScan {
    const CLanguage* language;
    HWND list;
};

BOOL CALLBACK AddLocaleLanguage(LGRPID, LCID lcid, LPWSTR, LONG_PTR param)
{
    auto* scan = (LanguageScan*)param;
    WCHAR abbrev[16] = {}, name[128] = {};
    if (GetLocaleInfoW(lcid, LOCALE_SABBREVLANGNAME, abbrev, 16) < 3 || GetLocaleInfoW(lcid, LOCALE_SLANGUAGE, name, 128) <= 0)
        return TRUE;
    WCHAR code[3] = {(WCHAR)towlower(abbrev[0]), (WCHAR)towlower(abbrev[1]), 0};
    // "German (Austria)" is German
    if (WCHAR* open = wcsstr(name, L" ("))
        *open = 0;
    size_t length = wcslen(name);
    while (length > 0 && name[length - 1] == L' ')
        name[--length] = 0;
    if (!name[0] || SendMessageW(scan->list, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name) >= 0)
        return TRUE;
    WCHAR path[kLanguagePathChars];
    if (scan->language->FindIniFile(code, path))
        ComboAdd(scan->list, name, PackLanguageCode(code));
    return TRUE;
}

BOOL CALLBACK ScanLanguageGroup(LGRPID group, LPWSTR, LPWSTR, DWORD, LONG_PTR param)
{
    EnumLanguageGroupLocalesW(AddLocaleLanguage, group, 0, param);
    return TRUE;
}

class CGeneralPage : public CGlobalPage {
public:
    explicit CGeneralPage(HWND page) : CGlobalPage(page, 137) {}

    void Init() override
    {
        Localize();
        AttachHyperlink(Item(kIdcGeneralLink), &Links());
        FillLanguages();
        Load();
    }
    void Load() override
    {
        CMainSettings* settings = Settings();
        if (!settings)
            return;
        const SettingsBlock& block = settings->Block();
        std::wstring stored = FieldText(block.language, FIELD_WIDTH(block.language));
        WCHAR code[3] = {};
        if (stored.size() >= 2) {
            code[0] = stored[0];
            code[1] = stored[1];
        }
        HWND list = Item(kIdcLanguage);
        int index = -1;
        int count = (int)SendMessageW(list, CB_GETCOUNT, 0, 0);
        LPARAM packed = PackLanguageCode(code);
        // the first entry is the system's language whatever its data
        for (int i = 1; i < count && packed; ++i) {
            if (ComboData(list, i) == packed)
                index = i;
        }
        SendMessageW(list, CB_SETCURSEL, index < 0 ? 0 : index, 0);
        CheckDlgButton(m_page, kIdcAutostart, settings->Edited().autostart ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(m_page, kIdcCityPhotos, (block.options & kOptCityPhotos) ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(Item(kIdcCityPhotos), !PhotosRestricted());
    }
    void Store(PageExchange& exchange) override
    {
        exchange.invalid = nullptr;
        CMainSettings* settings = Settings();
        if (!settings)
            return;
        SettingsBlock& block = settings->Block();
        WCHAR code[3] = {};
        SelectedCode(code);
        CopyFixed(block.language, FIELD_WIDTH(block.language), code);
        settings->Edited().autostart = IsDlgButtonChecked(m_page, kIdcAutostart) == BST_CHECKED;
        if (!PhotosRestricted()) {
            if (IsDlgButtonChecked(m_page, kIdcCityPhotos) == BST_CHECKED)
                block.options |= kOptCityPhotos;
            else
                block.options &= ~kOptCityPhotos;
        }
    }
    void Command(WORD id, WORD code) override
    {
        if ((id == kIdcAutostart || id == kIdcCityPhotos) && code == BN_CLICKED) {
            ReportChange();
        } else if (id == kIdcLanguage && code == CBN_SELCHANGE && !CPageLoading::Active()) {
            ChangeLanguage();
        }
    }
    void Relocalize() override
    {
        Localize();
        HWND list = Item(kIdcLanguage);
        std::wstring system = String(kStrSystemLanguage);
        if (m_systemEntry && !system.empty()) {
            int selected = (int)SendMessageW(list, CB_GETCURSEL, 0, 0);
            SendMessageW(list, CB_DELETESTRING, 0, 0);
            SendMessageW(list, CB_INSERTSTRING, 0, (LPARAM)system.c_str());
            SendMessageW(list, CB_SETITEMDATA, 0, 0);
            SendMessageW(list, CB_SETCURSEL, (WPARAM)selected, 0);
        }
    }

private:
    bool PhotosRestricted() const
    {
        const GlobalPageSeams* seams = Seams();
        DWORD flags = seams && seams->restrictions ? *seams->restrictions : ReadRestrictionFlags();
        return (flags & kNoCityPhotos) != 0;
    }
    void SelectedCode(WCHAR* code) const
    {
        HWND list = Item(kIdcLanguage);
        int index = (int)SendMessageW(list, CB_GETCURSEL, 0, 0);
        code[0] = 0;
        if (index > 0 || (index == 0 && !m_systemEntry))
            UnpackLanguageCode(ComboData(list, index), code);
    }
    void FillLanguages()
    {
        HWND list = Item(kIdcLanguage);
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        CLanguage* language = Language();
        if (language) {
            LanguageScan scan = {language, list};
            EnumSystemLanguageGroupsW(ScanLanguageGroup, LGRPID_INSTALLED, (LONG_PTR)&scan);
        }
        std::wstring system = String(kStrSystemLanguage);
        m_systemEntry = !system.empty();
        if (m_systemEntry) {
            SendMessageW(list, CB_INSERTSTRING, 0, (LPARAM)system.c_str());
            SendMessageW(list, CB_SETITEMDATA, 0, 0);
        }
        SizeComboDropDown(list, kLanguageListRows);
    }
    // A new language acts at once; what the pages hold stays unsaved until
    // Apply, so the settings are not read again.
    void ChangeLanguage()
    {
        CLanguage* language = Language();
        SettingsDialogServices* services = Services();
        if (!language || !services)
            return;
        StoreNow();
        WCHAR code[3] = {};
        SelectedCode(code);
        language->SetLanguage(code);
        ReportChange();
        HWND frame = services->frame ? services->frame : GetParent(m_page);
        SendMessageW(frame, UM_RELOCALIZE, 0, 0);
    }

    bool m_systemEntry = false;
};

}  // namespace

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GlobalPageProcOf<CGeneralPage>(page, message, wParam, lParam);
}
