#include "settings/clockpages/PageCommon.h"

#include <new>

#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/records/FixedText.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/dialog/Pages.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/frame/Preview.h"
#include "settings/previews/PreviewPainter.h"

int CPageLoading::s_count = 0;

ClockPageState* AttachPageState(HWND page, LPARAM templateId)
{
    auto* state = new (std::nothrow) ClockPageState{(UINT)templateId, nullptr};
    SetWindowLongPtrW(page, DWLP_USER, (LONG_PTR)state);
    return state;
}

ClockPageState* GetPageState(HWND page)
{
    return (ClockPageState*)GetWindowLongPtrW(page, DWLP_USER);
}

void FreePageState(HWND page)
{
    delete GetPageState(page);
    SetWindowLongPtrW(page, DWLP_USER, 0);
}

const SettingsDialogServices* GetDialogServices(HWND page)
{
    return GetSettingsDialogServices(GetParent(page));
}

ClockPageServices* GetClockPageServices(HWND page)
{
    const SettingsDialogServices* services = GetDialogServices(page);
    return services ? services->clockPages : nullptr;
}

void ExchangeClockPage(HWND page, WPARAM wParam, LPARAM lParam, LoadPageFn load, StorePageFn store)
{
    auto* block = (PageExchange*)lParam;
    if (!IsPointerMessage() || !block || !GetPageState(page))
        return;
    auto* clock = (ClockRecord*)block->record;
    CPageLoading loading;
    if (wParam == kPageLoad && clock)
        load(page, clock);
    else if (wParam == kPageStore)
        block->invalid = clock ? store(page, clock) : nullptr;
}

bool HandlePreviewMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result)
{
    switch (message) {
    case WM_DESTROY:
        KillTimer(page, kPreviewTimer);
        *result = FALSE;
        return true;
    case WM_TIMER:
        if (wParam != kPreviewTimer)
            return false;
        RedrawPagePreview(page, false);
        *result = TRUE;
        return true;
    case WM_DRAWITEM:
        if (wParam != (WPARAM)kIdcPreview || !lParam)
            return false;
        PaintPagePreview(page, *(const DRAWITEMSTRUCT*)lParam);
        *result = TRUE;
        return true;
    }
    return false;
}

void ReportPageChange(HWND page, bool captionChanged)
{
    if (CPageLoading::Active())
        return;
    PostMessageW(GetParent(page), UM_PAGECHANGED, captionChanged ? kPageRefreshCaption : 0, 0);
}

void LocalizeClockPage(HWND page, const WCHAR* section)
{
    const SettingsDialogServices* services = GetDialogServices(page);
    ClockPageState* state = GetPageState(page);
    if (!section && state) {
        const PageInfo* info = FindPageByTemplate(state->templateId);
        section = info ? info->section : nullptr;
    }
    if (section && services && services->language)
        LocalizeDialog(page, section, *services->language);
}

void LoadPageString(HWND page, UINT id, WCHAR* text, int chars)
{
    const SettingsDialogServices* services = GetDialogServices(page);
    if (chars <= 0)
        return;
    text[0] = 0;
    if (!services || !services->language || services->language->GetString(id, text, chars) <= 0)
        text[0] = 0;
}

ClockRecord* PreviewRecord(HWND page)
{
    ClockPageServices* services = GetClockPageServices(page);
    return services && services->preview ? &services->preview->Record() : nullptr;
}

void CopyToPreview(HWND page, const ClockRecord& clock)
{
    ClockRecord* preview = PreviewRecord(page);
    if (!preview)
        return;
    *preview = clock;
    preview->alarms.raw = 0;
    preview->alarmCount = 0;
}

void SetPreviewSkin(HWND page, const WCHAR* skin)
{
    ClockPageServices* services = GetClockPageServices(page);
    if (services && services->preview)
        services->preview->SetSkinName(skin);
}

void RebuildPagePreview(HWND page)
{
    ClockPageServices* services = GetClockPageServices(page);
    if (!services || !services->preview)
        return;
    RebuildPreview(*services->preview, services->previewContext);
    HWND control = GetDlgItem(page, kIdcPreview);
    if (services->painter)
        services->painter->RedrawClock(control, *services->preview, true);
    InvalidateRect(control, nullptr, FALSE);
}

void RedrawPagePreview(HWND page, bool force)
{
    ClockPageServices* services = GetClockPageServices(page);
    if (!services || !services->preview || !services->preview->Clock() || !IsWindowVisible(page))
        return;
    HWND control = GetDlgItem(page, kIdcPreview);
    if (services->painter)
        services->painter->RedrawClock(control, *services->preview, force);
    else
        InvalidateRect(control, nullptr, FALSE);
}

void PaintPagePreview(HWND page, const DRAWITEMSTRUCT& item)
{
    ClockPageServices* services = GetClockPageServices(page);
    if (services && services->painter && services->preview)
        services->painter->PaintClock(item, *services->preview);
    else
        DrawPreviewFrame(item);
}

void DrawPreviewFrame(const DRAWITEMSTRUCT& item)
{
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNSHADOW));
}

void GetControlText(HWND page, int id, WCHAR* text, int chars)
{
    if (chars <= 0)
        return;
    text[0] = 0;
    if (GetDlgItemTextW(page, id, text, chars) <= 0)
        text[0] = 0;
    text[chars - 1] = 0;
}

bool IsChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void SetChecked(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void EnableControl(HWND page, int id, bool on)
{
    EnableWindow(GetDlgItem(page, id), on);
}
