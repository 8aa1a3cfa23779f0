#include "settings/clockpages/ClockPages.h"

#include <commctrl.h>

#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsPaths.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/clockpages/PageCommon.h"
#include "settings/clockpages/SkinList.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/dialog/SettingsDialog.h"

namespace {

const int kSkinChars = 80;   // the record's field, with the terminator

// Nothing on this page can be invalid: the result is null.
HWND StoreDesktopPage(HWND page, ClockRecord* clock)
{
    int position = (int)SendDlgItemMessageW(page, kIdcOpacity, TBM_GETPOS, 0, 0);
    if (position < 0)
        position = 0;
    if (position > kOpacitySliderMax)
        position = kOpacitySliderMax;
    clock->alpha = (uint8_t)(255 - position);
    WCHAR skin[kSkinChars];
    GetControlText(page, kIdcSkin, skin, kSkinChars);
    CopyFixed(clock->skin, FIELD_WIDTH(clock->skin), skin);
    if (IsChecked(page, kIdcOpaque))
        clock->flags &= ~kClockTransparent;
    else
        clock->flags |= kClockTransparent;
    return nullptr;
}

void LoadDesktopPage(HWND page, ClockRecord* clock)
{
    const SettingsDialogServices* services = GetDialogServices(page);
    HWND list = GetDlgItem(page, kIdcSkin);
    FillSkinList(list, services && services->paths ? services->paths->skinsRoot : nullptr, IsTimerClock(*clock));
    GetPageState(page)->record = clock;
    int position = 255 - clock->alpha;
    SendDlgItemMessageW(page, kIdcOpacity, TBM_SETPOS, TRUE, position < 0 ? 0 : position);
    std::wstring skin = FieldText(clock->skin, FIELD_WIDTH(clock->skin));
    SelectSkin(list, skin.c_str());
    SetChecked(page, kIdcOpaque, !(clock->flags & kClockTransparent));
    CopyToPreview(page, *clock);
    if (ClockRecord* preview = PreviewRecord(page))
        preview->flags |= kClockOnDesktop;
    SetPreviewSkin(page, skin.c_str());
    RebuildPagePreview(page);
}

// A user's edit: the preview shows it at once; a new skin needs new clock objects.
void OnEdit(HWND page, bool newSkin)
{
    ClockRecord* preview = PreviewRecord(page);
    ClockPageState* state = GetPageState(page);
    if (preview && state && state->record) {
        StoreDesktopPage(page, preview);
        if (newSkin) {
            SetPreviewSkin(page, FieldText(preview->skin, FIELD_WIDTH(preview->skin)).c_str());
            RebuildPagePreview(page);
        }
    }
    ReportPageChange(page, false);
    RedrawPagePreview(page, true);
}

void OnInitDialog(HWND page, LPARAM templateId)
{
    AttachPageState(page, templateId);
    CPageLoading loading;
    LocalizeClockPage(page, nullptr);
    SendDlgItemMessageW(page, kIdcOpacity, TBM_SETRANGE, TRUE, MAKELPARAM(0, kOpacitySliderMax));
    SendDlgItemMessageW(page, kIdcSkin, CB_LIMITTEXT, kSkinChars - 1, 0);
    SetTimer(page, kPreviewTimer, kPreviewTimerMs, nullptr);
}

}  // namespace

INT_PTR CALLBACK DesktopPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result;
    if (HandlePreviewMessage(page, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page, lParam);
        return FALSE;
    case WM_NCDESTROY:
        FreePageState(page);
        return FALSE;
    case UM_LOADPAGE:
        ExchangeClockPage(page, wParam, lParam, LoadDesktopPage, StoreDesktopPage);
        return TRUE;
    case UM_RELOCALIZE: {
        CPageLoading loading;
        LocalizeClockPage(page, nullptr);
        return TRUE;
    }
    case WM_HSCROLL:
        // the thumb let go where its drag already reported it
        if ((HWND)lParam == GetDlgItem(page, kIdcOpacity) && LOWORD(wParam) != TB_THUMBPOSITION)
            OnEdit(page, false);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        if (id == kIdcSkin) {
            // the box's text follows a new selection only after this notification
            if (code == CBN_SELCHANGE)
                PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), lParam);
            else if (code == CBN_EDITCHANGE)
                OnEdit(page, true);
        } else if (id == kIdcOpaque && code == BN_CLICKED) {
            OnEdit(page, false);
        }
        return TRUE;
    }
    }
    return FALSE;
}
