#include "app/settings/MainSettings.h"
#include "app/settings/SettingsExport.h"
#include "app/ui/NumberFormat.h"
#include "graphics/language/Language.h"
#include "graphics/records/FixedText.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "settings/MainProgramLink.h"
#include "settings/SettingsStrings.h"
#include "settings/dialog/SettingsBackup.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/globalpages/GlobalPage.h"
#include "settings/tree/ClockList.h"
#include "settings/tree/NodeTree.h"

namespace {

// The download request's block: the address in a 260-character buffer.
const int kProfileAddressChars = 260;
const int kProfilePathChars = 2048;  // longer than any address we take, so none is cut
const WCHAR kDownloadedProfile[] = L"downloaded.ini";
const int kProfilesNode = 1;  // the second top-level node

bool StartsWithNoCase(const WCHAR* text, const WCHAR* prefix)
{
    size_t n = wcslen(prefix);
    return wcslen(text) >= n && _wcsnicmp(text, prefix, n) == 0;
}

class CProfilesPage : public CGlobalPage {
public:
    explicit CProfilesPage(HWND page) : CGlobalPage(page, 217) {}

    void Init() override
    {
        Localize();
        SendDlgItemMessageW(m_page, kIdcProfilePath, EM_LIMITTEXT, kProfilePathChars - 1, 0);
        EnableWindow(Item(kIdcProfileLoad), FALSE);
    }
    void Command(WORD id, WORD code) override
    {
        switch (id) {
        case kIdcProfilePath:
            if (code == EN_CHANGE)
                EnableWindow(Item(kIdcProfileLoad), GetWindowTextLengthW(Item(kIdcProfilePath)) > 0);
            return;
        case kIdcProfileBrowse:
            if (code == BN_CLICKED) {
                WCHAR path[MAX_PATH] = {};
                if (Boxes().ChooseProfile(m_page, path))
                    SetDlgItemTextW(m_page, kIdcProfilePath, path);
            }
            return;
        case kIdcProfileExport:
            if (code == BN_CLICKED)
                Export();
            return;
        case kIdcProfileLoad:
            if (code == BN_CLICKED)
                LoadClicked();
            return;
        }
    }
    bool Other(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message != UM_PROFILEDOWNLOADED)
            return false;
        SettingsDialogServices* services = Services();
        if (!services)
            return true;
        std::wstring file = std::wstring(services->paths->folder) + kDownloadedProfile;
        if (wParam == 200)
            LoadProfile(file.c_str());
        else
            ShowError(kStrProfileLoadFailed, file.c_str());
        return true;
    }

private:
    void ShowError(UINT id, const WCHAR* file)
    {
        WCHAR text[kProfilePathChars + 512];
        FormatWithOneText(String(id).c_str(), file, text, (int)FIELD_WIDTH(text));
        Boxes().ShowError(m_page, text, String(kResourceMessageCaptionId).c_str());
    }
    void Export()
    {
        SettingsDialogServices* services = Services();
        WCHAR path[MAX_PATH] = {};
        if (!services || !Boxes().ChooseExportFile(m_page, path))
            return;
        SettingsPaths paths = *services->paths;
        if (!ExportSettings(&paths, path))
            ShowError(kStrExportFailed, path);
    }
    void LoadClicked()
    {
        SettingsDialogServices* services = Services();
        std::wstring text(kProfilePathChars, L'\0');
        text.resize(GetDlgItemTextW(m_page, kIdcProfilePath, &text[0], kProfilePathChars));
        if (!services || text.empty())
            return;
        // a longer address or path would be cut, and a cut one names
        // another file
        if (text.size() >= (size_t)kProfileAddressChars) {
            ShowError(kStrProfileLoadFailed, text.c_str());
            return;
        }
        if (!StartsWithNoCase(text.c_str(), L"http://") && !StartsWithNoCase(text.c_str(), L"https://")) {
            LoadProfile(text.c_str());
            return;
        }
        WCHAR address[kProfileAddressChars] = {};
        lstrcpynW(address, text.c_str(), kProfileAddressChars);
        COPYDATASTRUCT block = {CD_DOWNLOADREQUEST, sizeof(address), address};
        services->link->SendToMainProgram(WM_COPYDATA, (WPARAM)m_page, (LPARAM)&block, true);
    }
    void LoadProfile(const WCHAR* file)
    {
        SettingsDialogServices* services = Services();
        if (!services || !services->settings)
            return;
        const WCHAR* settingsFile = services->paths->userIni;
        // one backup per dialog session: the state before its first load
        if (!services->profileLoaded) {
            std::wstring backup = SettingsBackupPath(settingsFile);
            if (!CopyFileW(settingsFile, backup.c_str(), FALSE)) {
                ShowError(kStrProfileLoadFailed, file);
                return;
            }
        }
        SettingsPaths paths = *services->paths;
        bool imported = ImportSettings(&paths, file);
        // a failed import may have written part of the file: the backup stays due
        services->profileLoaded = true;
        if (!imported) {
            ShowError(kStrProfileLoadFailed, file);
            return;
        }
        SYSTEMTIME now;
        if (services->clock)
            now = services->clock->NowUtc();
        else
            GetSystemTime(&now);
        services->settings->LoadAllSettings(now);
        CNodeTree& tree = *services->tree;
        if (const ClockReadContext* context = tree.TemplateContext())
            LoadSettingsTree(tree, *context);
        if (tree.TopCount() > kProfilesNode)
            tree.Top(kProfilesNode)->Select();
        services->link->SendToMainProgram(UM_SETTINGSCHANGED, 0, 0, false);
    }
};

}  // namespace

INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GlobalPageProcOf<CProfilesPage>(page, message, wParam, lParam);
}
