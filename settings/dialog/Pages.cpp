#include "settings/dialog/Pages.h"

#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "settings/alarmpages/AlarmPage.h"
#include "settings/backgrounds/BackgroundPage.h"
#include "settings/clockpages/ClockPages.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/globalpages/GlobalPages.h"
#include "settings/newspage/NewsPage.h"
#include "settings/taskbarpage/TaskbarPage.h"

namespace {

// Pointer messages this thread is sending now, and what the thread was
// handling when the innermost of them went out: a message another thread
// or process sent it (a UI driver's click), or nothing of the kind.
thread_local int t_pointerSends = 0;
thread_local DWORD t_sendState = ISMEX_NOSEND;

DWORD CurrentSendState()
{
    // a reply given early does not make the message another one
    return InSendMessageEx(nullptr) & ~(DWORD)ISMEX_REPLIED;
}

// The procedure of each kind; PlainPageProc until its page has one of its own.
DLGPROC DefaultPageProc(int kind)
{
    switch (kind) {
    case kPageTray:
        return TaskbarPageProc;
    case kPageClock:
    case kPageCountdown:
    case kPageTimer:
        return ClockPageProc;
    case kPageFormats:
    case kPageTimerFormats:
        return FormatsPageProc;
    case kPageDesktop:
        return DesktopPageProc;
    case kPageNews:
        return NewsPageProc;
    case kPageAlarm:
    case kPageDatedAlarm:
    case kPageCountdownAlarm:
    case kPageTimerAlarm:
        return AlarmPageProc;
    case kPageGeneral:
        return GeneralPageProc;
    case kPageIni:
        return ProfilesPageProc;
    case kPageTime:
        return TimePageProc;
    case kPageCalendar:
        return CalendarPageProc;
    case kPageBackground:
    case kPageDatedBackground:
    case kPageCountdownBackground:
    case kPageTimerBackground:
        return BackgroundPageProc;
    default:
        return PlainPageProc;
    }
}

void LocalizePage(HWND page)
{
    const PageInfo* info = FindPageByTemplate((UINT)GetWindowLongPtrW(page, DWLP_USER));
    const SettingsDialogServices* services = GetSettingsDialogServices(GetParent(page));
    if (info && services && services->language)
        LocalizeDialog(page, info->section, *services->language);
}

}  // namespace

LRESULT SendPointerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD before = t_sendState;
    t_sendState = CurrentSendState();
    ++t_pointerSends;
    LRESULT result = SendMessageW(window, message, wParam, lParam);
    --t_pointerSends;
    t_sendState = before;
    return result;
}

bool IsPointerMessage()
{
    // A send of this thread to itself leaves the thread's state as it was;
    // one from elsewhere that arrives meanwhile shows as a new send.
    return t_pointerSends > 0 && CurrentSendState() == t_sendState;
}

const PageInfo* FindPageByTemplate(UINT templateId)
{
    for (const PageInfo& info : kPages) {
        if (info.templateId == templateId)
            return &info;
    }
    return nullptr;
}

INT_PTR CALLBACK PlainPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(page, DWLP_USER, lParam);
        LocalizePage(page);
        return FALSE;
    case UM_RELOCALIZE:
        LocalizePage(page);
        return TRUE;
    case UM_LOADPAGE:
        if (!IsPointerMessage() || !lParam)
            return TRUE;
        ((PageExchange*)lParam)->invalid = nullptr;
        return TRUE;
    }
    return FALSE;
}

bool CreatePages(HWND dialog, const SettingsDialogServices& services, HWND pages[kPageKindCount])
{
    HMODULE resources = services.language ? services.language->GetResources() : nullptr;
    HWND placeholder = GetDlgItem(dialog, kIdcPagePane);
    if (!resources || !placeholder)
        return false;
    RECT pane;
    GetClientRect(placeholder, &pane);
    MapWindowPoints(placeholder, dialog, (POINT*)&pane, 2);
    DestroyWindow(placeholder);
    for (int kind = 0; kind < kPageKindCount; ++kind) {
        UINT templateId = kPages[kind].templateId;
        DLGPROC proc = services.pageProcs[kind] ? services.pageProcs[kind] : DefaultPageProc(kind);
        pages[kind] = CreateDialogParamW(resources, MAKEINTRESOURCEW(templateId), dialog, proc, templateId);
        if (!pages[kind])
            continue;
        SetWindowLongPtrW(pages[kind], GWLP_ID, templateId);
        SetWindowPos(pages[kind], nullptr, pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top,
                     SWP_NOREDRAW | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (pages[0])
        ShowWindow(pages[0], SW_SHOW);
    return true;
}
