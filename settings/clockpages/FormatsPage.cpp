#include "settings/clockpages/ClockPages.h"

#include <new>
#include <string>
#include <vector>

#include "app/settings/MainSettings.h"
#include "app/zones/ZoneHelpers.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/MechSkin.h"
#include "graphics/system/Paths.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/clockpages/ClockPageRules.h"
#include "settings/clockpages/PageCommon.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/dialog/SettingsDialog.h"
#include "windows/SkinManager.h"

namespace {

const UINT kTimerFormatsTemplate = 210;
const WCHAR kFormatsSection[] = L"DLG_PageFormats";
const WCHAR kTimerFormatsSection[] = L"DLG_PageTimerFormats";
// what a box takes: a timer's picture fills the record's whole format field
const int kTimeBoxChars = 100;
const int kDateBoxChars = 32;
const int kTimeFormatChars = 32;     // the record's fields, with the terminator
const int kDateFormatChars = 32;
const int kTimerFormatChars = 100;
const int kShownNameChars = 128;

// The shown texts of the page's lists, kept for reading the boxes back.
struct FormatsPageState : ClockPageState {
    std::vector<std::wstring> timeNames;
    std::vector<std::wstring> dateNames;
};

FormatsPageState* State(HWND page)
{
    return static_cast<FormatsPageState*>(GetPageState(page));
}

bool IsTimerTemplate(HWND page)
{
    ClockPageState* state = GetPageState(page);
    return state && state->templateId == kTimerFormatsTemplate;
}

std::vector<std::wstring>* Names(HWND page, int box)
{
    FormatsPageState* state = State(page);
    if (!state)
        return nullptr;
    return box == kIdcTimeFormat ? &state->timeNames : &state->dateNames;
}

void FillFormatList(HWND page, int box, FormatList list)
{
    std::vector<std::wstring>* names = Names(page, box);
    HWND combo = GetDlgItem(page, box);
    if (!names || !combo)
        return;
    names->clear();
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    int count;
    const FormatEntry* entries = FormatListEntries(list, &count);
    for (int i = 0; i < count; ++i) {
        WCHAR text[kShownNameChars] = {};
        if (entries[i].stringId)
            LoadPageString(page, entries[i].stringId, text, kShownNameChars);
        if (!text[0])
            lstrcpynW(text, entries[i].literal, kShownNameChars);
        names->push_back(text);
        SendMessageW(combo, CB_ADDSTRING, 0, (LPARAM)text);
    }
}

// The value a box's text stands for, read up to `chars` - 1 characters.
std::wstring ReadFormatBox(HWND page, int box, FormatList list, int chars)
{
    std::vector<WCHAR> text(chars);
    GetControlText(page, box, text.data(), chars);
    std::vector<std::wstring>* names = Names(page, box);
    std::vector<const WCHAR*> shown;
    if (names) {
        for (const std::wstring& name : *names)
            shown.push_back(name.c_str());
    }
    int count;
    const FormatEntry* entries = FormatListEntries(list, &count);
    int index = FindFormatEntry(list, (int)shown.size() == count ? shown.data() : nullptr, text.data());
    if (index < 0)
        return text.data();
    if (StoresShownText(list, index) && names)
        return (*names)[index];
    return entries[index].literal;
}

// A stored value in the box, under its entry's shown text when it is one of
// the list's literals.
void ShowFormat(HWND page, int box, FormatList list, const std::wstring& value)
{
    std::vector<std::wstring>* names = Names(page, box);
    int count;
    const FormatEntry* entries = FormatListEntries(list, &count);
    std::wstring shown = value;
    for (int i = count - 1; i >= 0; --i) {
        if (value == entries[i].literal && names && (int)names->size() == count) {
            shown = (*names)[i];
            break;
        }
    }
    HWND combo = GetDlgItem(page, box);
    LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)shown.c_str());
    // the list finds without case: "hh tt" is not "HH"
    WCHAR found[kShownNameChars] = {};
    if (index != CB_ERR && SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) < kShownNameChars)
        SendMessageW(combo, CB_GETLBTEXT, index, (LPARAM)found);
    SendMessageW(combo, CB_SETCURSEL, index != CB_ERR && shown == found ? (WPARAM)index : (WPARAM)-1, 0);
    SetWindowTextW(combo, shown.c_str());
}

// Nothing on this page can be invalid: the result is null.
HWND StoreFormatsPage(HWND page, ClockRecord* clock)
{
    if (IsTimerClock(*clock)) {
        std::wstring format = ReadFormatBox(page, kIdcTimeFormat, kTimerFormatList, kTimerFormatChars);
        CopyFixed(clock->timerFormat, FIELD_WIDTH(clock->timerFormat), format.c_str());
        return nullptr;
    }
    std::wstring time = ReadFormatBox(page, kIdcTimeFormat, kTimeFormatList, kTimeFormatChars);
    std::wstring date = ReadFormatBox(page, kIdcDateFormat, kDateFormatList, kDateFormatChars);
    CopyFixed(clock->timeFormat, FIELD_WIDTH(clock->timeFormat), time.c_str());
    CopyFixed(clock->dateFormat, FIELD_WIDTH(clock->dateFormat), date.c_str());
    auto flag = [clock](uint32_t bit, bool on) {
        if (on)
            clock->flags |= bit;
        else
            clock->flags &= ~bit;
    };
    flag(kClockShowsSeconds, FormatShowsSeconds(time.c_str()));
    flag(kClockSecondsHand, IsChecked(page, kIdcSecondsHand));
    flag(kClockSuffix, IsChecked(page, kIdcSuffix));
    return nullptr;
}

// The skin whose look the page follows: the clock's own on the desktop,
// else the taskbar's.
std::wstring DecidingSkin(HWND page, const ClockRecord& clock)
{
    if (clock.flags & kClockOnDesktop)
        return FieldText(clock.skin, FIELD_WIDTH(clock.skin));
    const SettingsDialogServices* services = GetDialogServices(page);
    if (!services || !services->settings)
        return std::wstring();
    const SettingsBlock& block = services->settings->Block();
    return FieldText(block.skin, FIELD_WIDTH(block.skin));
}

bool HasDayLongFace(HWND page, const WCHAR* skin)
{
    ClockPageServices* services = GetClockPageServices(page);
    if (!services || !services->skins)
        return false;
    CGraphics* graphics = services->skins->GetSkin(skin);
    auto* mech = dynamic_cast<CMechSkin*>(graphics);
    bool dayLong = mech && mech->Is24Hour();
    services->skins->ReleaseSkin(graphics);
    return dayLong;
}

void LoadFormatsPage(HWND page, ClockRecord* clock)
{
    GetPageState(page)->record = clock;
    if (IsTimerClock(*clock)) {
        ShowFormat(page, kIdcTimeFormat, kTimerFormatList,
                   FieldText(clock->timerFormat, FIELD_WIDTH(clock->timerFormat)));
        EnableControl(page, kIdcTimeFormat, true);
    } else {
        ShowFormat(page, kIdcTimeFormat, kTimeFormatList, FieldText(clock->timeFormat, FIELD_WIDTH(clock->timeFormat)));
        ShowFormat(page, kIdcDateFormat, kDateFormatList, FieldText(clock->dateFormat, FIELD_WIDTH(clock->dateFormat)));
        SetChecked(page, kIdcSuffix, (clock->flags & kClockSuffix) != 0);
        SetChecked(page, kIdcSecondsHand, (clock->flags & kClockSecondsHand) != 0);
        std::wstring skin = DecidingSkin(page, *clock);
        const SettingsDialogServices* services = GetDialogServices(page);
        bool analogue = services && services->paths && SkinHasClockFace(*services->paths, skin.c_str());
        EnableControl(page, kIdcTimeFormat, !analogue);
        EnableControl(page, kIdcSecondsHand, analogue);
        EnableControl(page, kIdcSuffix, analogue && !HasDayLongFace(page, skin.c_str()));
    }

    CopyToPreview(page, *clock);
    ClockRecord* preview = PreviewRecord(page);
    if (preview && !(clock->flags & kClockOnDesktop)) {
        const SettingsDialogServices* services = GetDialogServices(page);
        if (services && services->settings) {
            const SettingsBlock& block = services->settings->Block();
            SetPreviewSkin(page, FieldText(block.skin, FIELD_WIDTH(block.skin)).c_str());
            if (block.options & kOptTransparentSkin)
                preview->flags |= kClockTransparent;
            else
                preview->flags &= ~kClockTransparent;
        }
    } else if (preview) {
        SetPreviewSkin(page, FieldText(clock->skin, FIELD_WIDTH(clock->skin)).c_str());
    }
    RebuildPagePreview(page);
}

void OnEdit(HWND page)
{
    ReportPageChange(page, false);
    if (ClockRecord* preview = PreviewRecord(page)) {
        if (GetPageState(page)->record) {
            StoreFormatsPage(page, preview);
            RebuildPagePreview(page);
        }
    }
}

void OnInitDialog(HWND page, LPARAM templateId)
{
    auto* state = new (std::nothrow) FormatsPageState();
    if (state) {
        state->templateId = (UINT)templateId;
        state->record = nullptr;
    }
    SetWindowLongPtrW(page, DWLP_USER, (LONG_PTR)(ClockPageState*)state);
    CPageLoading loading;
    LocalizeClockPage(page, nullptr);
    if (IsTimerTemplate(page)) {
        FillFormatList(page, kIdcTimeFormat, kTimerFormatList);
        SendDlgItemMessageW(page, kIdcTimeFormat, CB_SETCURSEL, 0, 0);
    } else {
        FillFormatList(page, kIdcTimeFormat, kTimeFormatList);
        FillFormatList(page, kIdcDateFormat, kDateFormatList);
        ShowFormat(page, kIdcTimeFormat, kTimeFormatList, L"Default");
    }
    SendDlgItemMessageW(page, kIdcTimeFormat, CB_LIMITTEXT, kTimeBoxChars, 0);
    SendDlgItemMessageW(page, kIdcDateFormat, CB_LIMITTEXT, kDateBoxChars, 0);
    SetTimer(page, kPreviewTimer, kPreviewTimerMs, nullptr);
}

void Relocalize(HWND page)
{
    CPageLoading loading;
    ClockRecord* clock = GetPageState(page) ? GetPageState(page)->record : nullptr;
    bool timer = clock ? IsTimerClock(*clock) : IsTimerTemplate(page);
    LocalizeClockPage(page, timer ? kTimerFormatsSection : kFormatsSection);
    if (timer)
        return;
    std::wstring time = ReadFormatBox(page, kIdcTimeFormat, kTimeFormatList, kTimeFormatChars);
    std::wstring date = ReadFormatBox(page, kIdcDateFormat, kDateFormatList, kDateFormatChars);
    FillFormatList(page, kIdcTimeFormat, kTimeFormatList);
    FillFormatList(page, kIdcDateFormat, kDateFormatList);
    ShowFormat(page, kIdcTimeFormat, kTimeFormatList, time);
    ShowFormat(page, kIdcDateFormat, kDateFormatList, date);
}

}  // namespace

INT_PTR CALLBACK FormatsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result;
    if (HandlePreviewMessage(page, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page, lParam);
        return FALSE;
    case WM_NCDESTROY:
        delete State(page);
        SetWindowLongPtrW(page, DWLP_USER, 0);
        return FALSE;
    case UM_LOADPAGE:
        ExchangeClockPage(page, wParam, lParam, LoadFormatsPage, StoreFormatsPage);
        return TRUE;
    case UM_RELOCALIZE:
        Relocalize(page);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        if (id == kIdcTimeFormat || id == kIdcDateFormat) {
            // the box's text follows a new selection only after this notification
            if (code == CBN_SELCHANGE)
                PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), lParam);
            else if (code == CBN_EDITCHANGE)
                OnEdit(page);
        } else if ((id == kIdcSecondsHand || id == kIdcSuffix) && code == BN_CLICKED) {
            OnEdit(page);
        }
        return TRUE;
    }
    }
    return FALSE;
}
