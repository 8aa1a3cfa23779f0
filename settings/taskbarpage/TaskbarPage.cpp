#include "settings/taskbarpage/TaskbarPage.h"

#include <commctrl.h>

#include "app/settings/MainSettings.h"
#include "app/settings/MainSettingsValues.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsPaths.h"
#include "settings/SettingsStrings.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/clockpages/PageCommon.h"
#include "settings/clockpages/SkinList.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/frame/Preview.h"
#include "settings/frame/SettingsFrame.h"
#include "settings/previews/PreviewPainter.h"
#include "settings/tree/NodeTree.h"
#include "settings/tree/TreeNode.h"

namespace {

const int kFewestClocks = 1;
const int kMostClocks = 12;
const int kCountChars = 4;
const int kSkinChars = 80;
// The first two entries of the skin list are the built-in looks.
const int kFirstSkinFolder = 2;
const UINT_PTR kPanelTimer = 1;
const UINT kPanelTimerMs = 300;

const WCHAR* Section()
{
    return kPages[kPageTray].section;
}

CMainSettings* Settings(HWND page)
{
    const SettingsDialogServices* services = GetDialogServices(page);
    return services ? services->settings : nullptr;
}

// Whether the page's preview has been built since the page was made.
bool PreviewReady(HWND page)
{
    return GetWindowLongPtrW(page, DWLP_USER) != 0;
}

void SetPreviewReady(HWND page, bool ready)
{
    SetWindowLongPtrW(page, DWLP_USER, ready ? 1 : 0);
}

// Keeps the typed count within its bounds, rewriting the text only when
// the value changes, so that typing is not disturbed; an emptied box is
// left for the next digit.
int KeepCountInBounds(HWND page)
{
    BOOL numeric = FALSE;
    int typed = (int)GetDlgItemInt(page, kIdcTrayClocks, &numeric, TRUE);
    int count = ClampShownTrayClocks(numeric ? typed : 0);
    if (!numeric)
        return count;
    // the rewrite and the arrows' own one come back as change notices
    CPageLoading loading;
    if (typed != count)
        SetDlgItemInt(page, kIdcTrayClocks, (UINT)count, FALSE);
    SendDlgItemMessageW(page, kIdcTrayClocksSpin, UDM_SETPOS32, 0, count);
    return count;
}

void EnableSkinOptions(HWND page)
{
    int selected = (int)SendDlgItemMessageW(page, kIdcTaskbarSkin, CB_GETCURSEL, 0, 0);
    bool folder = selected >= kFirstSkinFolder;
    EnableControl(page, kIdcTransparentSkin, folder);
    EnableControl(page, kIdcOverlayPrefixes, folder);
}

void EnableTooltipOptions(HWND page)
{
    bool on = IsChecked(page, kIdcTooltips);
    EnableControl(page, kIdcTooltipKind, on);
    EnableControl(page, kIdcTooltipCalendar, on);
}

void SelectedSkin(HWND page, WCHAR* skin, int chars)
{
    HWND list = GetDlgItem(page, kIdcTaskbarSkin);
    int selected = (int)SendMessageW(list, CB_GETCURSEL, 0, 0);
    skin[0] = 0;
    if (selected >= 0 && SendMessageW(list, CB_GETLBTEXTLEN, selected, 0) < chars)
        SendMessageW(list, CB_GETLBTEXT, selected, (LPARAM)skin);
    else
        GetControlText(page, kIdcTaskbarSkin, skin, chars);
}

void StoreTaskbarPage(HWND page, SettingsBlock& block)
{
    BOOL numeric = FALSE;
    int typed = (int)GetDlgItemInt(page, kIdcTrayClocks, &numeric, TRUE);
    block.trayClocks = (uint32_t)ClampShownTrayClocks(numeric ? typed : 0);
    struct Switch {
        int id;
        uint32_t bit;
    } switches[] = {
        {kIdcTransparentSkin, kOptTransparentSkin}, {kIdcOverlayPrefixes, kOptOverlayPrefixes},
        {kIdcTooltips, kOptTooltips},               {kIdcTooltipKind, kOptOtherTooltip},
        {kIdcTooltipCalendar, kOptTooltipCalendar},
    };
    for (const Switch& s : switches) {
        if (IsChecked(page, s.id))
            block.options |= s.bit;
        else
            block.options &= ~s.bit;
    }
    WCHAR skin[kSkinChars];
    SelectedSkin(page, skin, kSkinChars);
    CopyFixed(block.skin, FIELD_WIDTH(block.skin), skin);
    block.options = (block.options & ~(kOptSkinned | kOptClassic)) | SkinOptionBits(skin);
}

// The preview's copies of all clocks, in tree order, under the settings
// block as the page has it now.
void RebuildPanelPreview(HWND page)
{
    const SettingsDialogServices* services = GetDialogServices(page);
    ClockPageServices* pages = services ? services->clockPages : nullptr;
    if (!services || !services->settings || !services->tree || !pages || !pages->painter || !pages->preview)
        return;
    std::vector<ClockRecord> clocks;
    for (int i = 0; i < services->tree->ClockCount(); ++i)
        clocks.push_back(services->tree->Clock(i)->Record());
    pages->painter->RebuildPanel(services->settings->Block(), clocks.data(), (int)clocks.size(),
                                 pages->previewContext);
    SetPreviewReady(page, true);
    HWND control = GetDlgItem(page, kIdcPreview);
    pages->painter->RedrawPanel(control, *pages->preview, true);
    InvalidateRect(control, nullptr, FALSE);
}

void LoadTaskbarPage(HWND page, const SettingsBlock& block)
{
    const SettingsDialogServices* services = GetDialogServices(page);
    CPageLoading loading;
    int count = (int)block.trayClocks;
    SetDlgItemInt(page, kIdcTrayClocks, (UINT)(count <= 0 || count > kMostClocks ? kMostClocks : count), FALSE);
    KeepCountInBounds(page);
    SetChecked(page, kIdcTransparentSkin, (block.options & kOptTransparentSkin) != 0);
    SetChecked(page, kIdcOverlayPrefixes, (block.options & kOptOverlayPrefixes) != 0);
    SetChecked(page, kIdcTooltips, (block.options & kOptTooltips) != 0);
    SetChecked(page, kIdcTooltipKind, (block.options & kOptOtherTooltip) != 0);
    SetChecked(page, kIdcTooltipCalendar, (block.options & kOptTooltipCalendar) != 0);
    EnableTooltipOptions(page);
    HWND list = GetDlgItem(page, kIdcTaskbarSkin);
    FillSkinList(list, services && services->paths ? services->paths->skinsRoot : nullptr, false);
    std::wstring skin = FieldText(block.skin, FIELD_WIDTH(block.skin));
    if (SelectSkin(list, skin.c_str()) < 0)
        SendMessageW(list, CB_SETCURSEL, 0, 0);
    EnableSkinOptions(page);
    RebuildPanelPreview(page);
}

// A user's edit: into the settings block at once, the preview after it.
void OnEdit(HWND page, bool rebuild)
{
    if (CPageLoading::Active())
        return;
    if (CMainSettings* settings = Settings(page)) {
        StoreTaskbarPage(page, settings->Block());
        if (rebuild)
            RebuildPanelPreview(page);
    }
    ReportPageChange(page, false);
}

void OnCommand(HWND page, int id, int code)
{
    switch (id) {
    case kIdcTrayClocks:
        if (code == EN_CHANGE && !CPageLoading::Active()) {
            KeepCountInBounds(page);
            OnEdit(page, true);
        }
        break;
    case kIdcTaskbarSkin:
        if (code == CBN_SELCHANGE && !CPageLoading::Active()) {
            EnableSkinOptions(page);
            OnEdit(page, true);
        }
        break;
    case kIdcTooltips:
        if (code == BN_CLICKED)
            EnableTooltipOptions(page);
        [[fallthrough]];
    case kIdcTransparentSkin:
    case kIdcOverlayPrefixes:
        if (code == BN_CLICKED)
            OnEdit(page, true);
        break;
    case kIdcTooltipKind:
    case kIdcTooltipCalendar:
        if (code == BN_CLICKED)
            OnEdit(page, false);
        break;
    }
}

void OnTimer(HWND page)
{
    ClockPageServices* pages = GetClockPageServices(page);
    if (!pages || !pages->painter || !pages->preview || !PreviewReady(page) || !IsWindowVisible(page))
        return;
    pages->painter->RedrawPanel(GetDlgItem(page, kIdcPreview), *pages->preview, false);
}

void OnDrawItem(HWND page, const DRAWITEMSTRUCT& item)
{
    ClockPageServices* pages = GetClockPageServices(page);
    if (!pages || !pages->painter || !pages->preview) {
        DrawPreviewFrame(item);
        return;
    }
    if (!(item.itemAction & ODA_DRAWENTIRE))
        return;
    WCHAR noClocks[kSettingsTextChars];
    LoadPageString(page, kStrNoPreview, noClocks, kSettingsTextChars);
    pages->painter->PaintPanel(item, *pages->preview, noClocks);
}

void OnInitDialog(HWND page)
{
    CPageLoading loading;
    SetPreviewReady(page, false);
    LocalizeClockPage(page, Section());
    SendDlgItemMessageW(page, kIdcTrayClocks, EM_LIMITTEXT, kCountChars - 1, 0);
    SendDlgItemMessageW(page, kIdcTrayClocksSpin, UDM_SETBUDDY, (WPARAM)GetDlgItem(page, kIdcTrayClocks), 0);
    SendDlgItemMessageW(page, kIdcTrayClocksSpin, UDM_SETRANGE32, kFewestClocks, kMostClocks);
    SetTimer(page, kPanelTimer, kPanelTimerMs, nullptr);
}

}  // namespace

int ClampShownTrayClocks(int count)
{
    if (count < kFewestClocks)
        return kFewestClocks;
    return count > kMostClocks ? kMostClocks : count;
}

INT_PTR CALLBACK TaskbarPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return FALSE;
    case WM_DESTROY:
        KillTimer(page, kPanelTimer);
        return FALSE;
    case UM_RELOCALIZE: {
        CPageLoading loading;
        LocalizeClockPage(page, Section());
        return TRUE;
    }
    case UM_LOADPAGE: {
        auto* exchange = (PageExchange*)lParam;
        CMainSettings* settings = Settings(page);
        if (!IsPointerMessage() || !exchange || !settings)
            return TRUE;
        exchange->invalid = nullptr;
        if (wParam == kPageStore) {
            CPageLoading loading;
            StoreTaskbarPage(page, settings->Block());
        } else {
            LoadTaskbarPage(page, settings->Block());
        }
        return TRUE;
    }
    case WM_SHOWWINDOW:
        if (wParam)
            KeepCountInBounds(page);
        return FALSE;
    case WM_TIMER:
        if (wParam == kPanelTimer)
            OnTimer(page);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != (WPARAM)kIdcPreview || !lParam)
            return FALSE;
        OnDrawItem(page, *(const DRAWITEMSTRUCT*)lParam);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
