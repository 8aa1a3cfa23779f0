// What the clock, desktop and formats pages share: their state, the loading
// counter that keeps them quiet while they fill themselves, the change
// notice, their texts and the preview. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/records/ClockRecord.h"
#include "settings/clockpages/ClockPageServices.h"

struct SettingsDialogServices;

// Raised while any of these pages is loaded, stored or re-localised: the
// notifications of its own filling are no user edits.
class CPageLoading {
public:
    CPageLoading() { ++s_count; }
    ~CPageLoading() { --s_count; }
    CPageLoading(const CPageLoading&) = delete;
    CPageLoading& operator=(const CPageLoading&) = delete;
    static bool Active() { return s_count > 0; }

private:
    static int s_count;
};

// A page's own state in its dialog user data, made at WM_INITDIALOG (whose
// parameter is the template id) and freed at WM_NCDESTROY.
struct ClockPageState {
    UINT templateId;
    ClockRecord* record;   // set by each load
};
ClockPageState* AttachPageState(HWND page, LPARAM templateId);
ClockPageState* GetPageState(HWND page);
void FreePageState(HWND page);

// The dialog's services and their clock-page part; null outside a settings dialog.
const SettingsDialogServices* GetDialogServices(HWND page);
ClockPageServices* GetClockPageServices(HWND page);

// UM_LOADPAGE: loads or stores the block's clock record with the loading
// counter raised; a store's result is the control `store` names. Only this
// thread's pointer sends are taken.
using LoadPageFn = void (*)(HWND page, ClockRecord* clock);
using StorePageFn = HWND (*)(HWND page, ClockRecord* clock);
void ExchangeClockPage(HWND page, WPARAM wParam, LPARAM lParam, LoadPageFn load, StorePageFn store);

// The preview's own messages on the desktop and formats pages: its timer
// and the drawing of control 1086. True, with the dialog result, when
// `message` was one of them.
bool HandlePreviewMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

// UM_PAGECHANGED to the settings dialog unless the pages are loading.
void ReportPageChange(HWND page, bool captionChanged);

// The texts of `section`, or of the page's own section when null.
void LocalizeClockPage(HWND page, const WCHAR* section);
// Language string `id`; empty when missing.
void LoadPageString(HWND page, UINT id, WCHAR* text, int chars);

// The clock's timer bits.
inline bool IsTimerClock(const ClockRecord& clock) { return (clock.kind & kClockTimer) != 0; }
inline bool IsCountdownClock(const ClockRecord& clock)
{
    return (clock.kind & (kClockTimer | kClockCountdown)) == (kClockTimer | kClockCountdown);
}
inline bool IsDateBoundTimer(const ClockRecord& clock)
{
    return (clock.kind & (kClockTimer | kClockFixedMoment)) == (kClockTimer | kClockFixedMoment);
}

// The preview record the desktop and formats pages fill; null without a preview.
ClockRecord* PreviewRecord(HWND page);
// Copies `clock` into the preview record without its alarms, which the
// preview does not own.
void CopyToPreview(HWND page, const ClockRecord& clock);
void SetPreviewSkin(HWND page, const WCHAR* skin);
// Builds the preview's clock objects again and redraws control 1086.
void RebuildPagePreview(HWND page);
// Lays the preview out and repaints control 1086 when the page is shown and
// the preview has a clock: forced after edits, else only on a new second.
void RedrawPagePreview(HWND page, bool force);
// WM_DRAWITEM of control 1086: the preview, or without a painter a frame
// in the button face colour.
void PaintPagePreview(HWND page, const DRAWITEMSTRUCT& item);
void DrawPreviewFrame(const DRAWITEMSTRUCT& item);
const UINT_PTR kPreviewTimer = 1;
const UINT kPreviewTimerMs = 300;

// Text of a control, always terminated, cut to `chars` - 1.
void GetControlText(HWND page, int id, WCHAR* text, int chars);
bool IsChecked(HWND page, int id);
void SetChecked(HWND page, int id, bool on);
void EnableControl(HWND page, int id, bool on);
