#include "settings/backgrounds/BackgroundPage.h"

#include <commctrl.h>
#include <string.h>
#include <wchar.h>

#include <new>

#include "app/clocks/ClockSettings.h"
#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/records/FixedText.h"
#include "graphics/time/FileTimeTicks.h"
#include "settings/alarmpages/ScheduleEdits.h"
#include "settings/alarmpages/TimeBox.h"
#include "settings/backgrounds/BackgroundPageIds.h"
#include "settings/backgrounds/ColorBox.h"
#include "settings/dialog/Pages.h"
#include "settings/dialog/SettingsDialog.h"

namespace {

const int kLabelChars = 77;
const int kDurationFields = 4;
// days, hours, minutes, seconds
const int kOffsetLimits[kDurationFields] = {3, 6, 8, 10};
const int kOffsetTextChars = 16;
const int kMinutesPerDay = 1440;

class CBackgroundPage {
public:
    CBackgroundPage(HWND page, UINT templateId) : m_page(page), m_template(templateId), m_profile(nullptr), m_locale()
    {
    }

    void OnInit();
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // While a load, store or re-localisation of any background page runs,
    // its own edits are not reported.
    static int s_loading;
    class CLoading {
    public:
        CLoading() { ++s_loading; }
        ~CLoading() { --s_loading; }
        CLoading(const CLoading&) = delete;
        CLoading& operator=(const CLoading&) = delete;
    };

    bool HasTimeWindow() const { return m_template == kPages[kPageBackground].templateId; }
    bool HasOffsets() const
    {
        return m_template == kPages[kPageCountdownBackground].templateId ||
               m_template == kPages[kPageTimerBackground].templateId;
    }
    bool HasMoments() const { return m_template == kPages[kPageDatedBackground].templateId; }
    HWND Item(int id) const { return GetDlgItem(m_page, id); }
    const SettingsDialogServices* Services() const { return GetSettingsDialogServices(GetParent(m_page)); }
    ClockRecord* CurrentClock() const;

    void Localize();
    void RefreshLocale();
    void Load(ClockProfileRecord* profile);
    HWND Store(ClockProfileRecord* profile);
    void ShowMinutes(int id, uint32_t minutes);
    void ShowOffset(const int (&ids)[kDurationFields], uint64_t ticks);
    void ShowMoment(int dateId, int timeId, const SYSTEMTIME& moment);
    // The first failing field of the offset, or null with `*ticks` set.
    HWND ReadOffset(const int (&ids)[kDurationFields], uint64_t* ticks) const;
    HWND ReadMinutes(int id, uint32_t* minutes) const;
    SYSTEMTIME ReadMoment(int dateId, int timeId) const;
    void OnCommand(int id, int code);
    void OnWeekdayClicked(int id);
    void OnColor();
    void OnSliderEnd();
    void Draw(const DRAWITEMSTRUCT& item);
    void Changed(UINT flags);

    HWND m_page;
    UINT m_template;
    ClockProfileRecord* m_profile;
    TimeLocale m_locale;
};

int CBackgroundPage::s_loading = 0;

uint8_t AlphaOfPosition(LRESULT position)
{
    if (position >= kBkgOpacityMax)
        return 255;
    return (uint8_t)(position < 0 ? 0 : position * 2);
}

ClockRecord* CBackgroundPage::CurrentClock() const
{
    ClockRecord* clock = nullptr;
    SendPointerMessage(GetParent(m_page), UM_GETCURRENTCLOCK, 0, (LPARAM)&clock);
    return clock;
}

void CBackgroundPage::OnInit()
{
    CLoading loading;
    SendMessageW(Item(kIdcBkgLabel), EM_LIMITTEXT, kLabelChars, 0);
    SendMessageW(Item(kIdcBkgOpacity), TBM_SETRANGE, TRUE, MAKELPARAM(0, kBkgOpacityMax));
    for (const int* ids : {kIdcBkgStartOffset, kIdcBkgEndOffset})
        for (int i = 0; i < kDurationFields; ++i)
            SendMessageW(Item(ids[i]), EM_LIMITTEXT, kOffsetLimits[i], 0);
    RefreshLocale();
    Localize();
}

void CBackgroundPage::Localize()
{
    const SettingsDialogServices* services = Services();
    if (!services || !services->language)
        return;
    CLoading loading;
    // the texts follow the clock the page shows; without one, the template's own
    const PageInfo* info = FindPageByTemplate(m_template);
    if (ClockRecord* clock = CurrentClock())
        info = &kPages[BackgroundPageKind(clock->kind)];
    if (info)
        LocalizeDialog(m_page, info->section, *services->language);
}

void CBackgroundPage::RefreshLocale()
{
    const SettingsDialogServices* services = Services();
    LCID lcid = services && services->language ? GetLanguageLcid(*services->language) : LOCALE_USER_DEFAULT;
    if (!RefreshTimeLocale(&m_locale, lcid) && SendMessageW(Item(kIdcBkgStartTime), CB_GETCOUNT, 0, 0) > 0)
        return;
    if (!HasTimeWindow())
        return;
    CLoading loading;
    for (int id : {kIdcBkgStartTime, kIdcBkgEndTime})
        FillTimeBox(Item(id), m_locale, true);
    // a hidden page's record may be gone with its node; its next load writes the times
    if (m_profile && IsWindowVisible(m_page)) {
        ShowMinutes(kIdcBkgStartTime, m_profile->startMinute);
        ShowMinutes(kIdcBkgEndTime, m_profile->endMinute);
    }
}

void CBackgroundPage::ShowMinutes(int id, uint32_t minutes)
{
    SetTimeBoxSeconds(Item(id), m_locale, minutes % kMinutesPerDay * 60);
}

void CBackgroundPage::ShowOffset(const int (&ids)[kDurationFields], uint64_t ticks)
{
    uint64_t seconds = ticks / kTicksPerSecond;
    int64_t parts[kDurationFields];
    SplitDuration(seconds > (uint64_t)INT64_MAX ? INT64_MAX : (int64_t)seconds, parts);
    for (int i = 0; i < kDurationFields; ++i) {
        WCHAR text[32];
        swprintf(text, 32, L"%lld", (long long)parts[i]);
        SetDlgItemTextW(m_page, ids[i], text);
    }
}

void CBackgroundPage::ShowMoment(int dateId, int timeId, const SYSTEMTIME& moment)
{
    FILETIME valid;
    SYSTEMTIME t = moment;
    t.wMilliseconds = 0;
    // a record that was never given its moments keeps the pickers' own
    if (!SystemTimeToFileTime(&t, &valid))
        return;
    for (int id : {dateId, timeId})
        SendMessageW(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, (LPARAM)&t);
}

void CBackgroundPage::Load(ClockProfileRecord* profile)
{
    CLoading loading;
    m_profile = profile;
    WCHAR label[kLabelChars + 1] = {};
    wmemcpy(label, profile->label, FixedLength(profile->label, kLabelChars));
    SetDlgItemTextW(m_page, kIdcBkgLabel, label);
    SetDlgItemTextW(m_page, kIdcBkgLabelShown, label);
    if (HasOffsets()) {
        ShowOffset(kIdcBkgStartOffset, profile->rangeStartUtc);
        ShowOffset(kIdcBkgEndOffset, profile->rangeEndUtc);
    } else if (HasMoments()) {
        ShowMoment(kIdcBkgFromDate, kIdcBkgFromTime, profile->rangeStart);
        ShowMoment(kIdcBkgToDate, kIdcBkgToTime, profile->rangeEnd);
    } else {
        for (int day = 0; day < 7; ++day)
            CheckDlgButton(m_page, kIdcBkgWeekdays[day], (profile->weekdays >> day & 1) ? BST_CHECKED : BST_UNCHECKED);
        ShowMinutes(kIdcBkgStartTime, profile->startMinute);
        ShowMinutes(kIdcBkgEndTime, profile->endMinute);
    }
    SendMessageW(Item(kIdcBkgOpacity), TBM_SETPOS, TRUE, profile->weight / 2);
    InvalidateRect(Item(kIdcBkgPreview), nullptr, FALSE);
}

HWND CBackgroundPage::ReadMinutes(int id, uint32_t* minutes) const
{
    int seconds = ReadTimeBoxSeconds(Item(id), m_locale);
    // the window is kept to whole minutes
    if (seconds < 0 || seconds % 60 != 0)
        return Item(id);
    *minutes = (uint32_t)seconds / 60;
    return nullptr;
}

HWND CBackgroundPage::ReadOffset(const int (&ids)[kDurationFields], uint64_t* ticks) const
{
    WCHAR texts[kDurationFields][kOffsetTextChars];
    const WCHAR* fields[kDurationFields];
    for (int i = 0; i < kDurationFields; ++i) {
        GetDlgItemTextW(m_page, ids[i], texts[i], kOffsetTextChars);
        fields[i] = texts[i];
    }
    int64_t seconds = 0;
    int bad = FirstBadDurationField(fields, &seconds);
    if (bad >= 0)
        return Item(ids[bad]);
    *ticks = (uint64_t)seconds * kTicksPerSecond;
    return nullptr;
}

SYSTEMTIME CBackgroundPage::ReadMoment(int dateId, int timeId) const
{
    SYSTEMTIME date = {}, time = {};
    SendMessageW(Item(dateId), DTM_GETSYSTEMTIME, 0, (LPARAM)&date);
    SendMessageW(Item(timeId), DTM_GETSYSTEMTIME, 0, (LPARAM)&time);
    SYSTEMTIME moment = {};
    moment.wYear = date.wYear;
    moment.wMonth = date.wMonth;
    moment.wDayOfWeek = date.wDayOfWeek;
    moment.wDay = date.wDay;
    moment.wHour = time.wHour;
    moment.wMinute = time.wMinute;
    moment.wSecond = time.wSecond;
    return moment;
}

HWND CBackgroundPage::Store(ClockProfileRecord* profile)
{
    CLoading loading;
    HWND invalid = nullptr;
    auto note = [&invalid](HWND bad) {
        // the first one the user meets in the page's order
        if (bad && !invalid)
            invalid = bad;
        return bad == nullptr;
    };
    WCHAR label[kLabelChars + 1] = {};
    GetDlgItemTextW(m_page, kIdcBkgLabel, label, kLabelChars + 1);
    memset(profile->label, 0, sizeof(profile->label));
    wmemcpy(profile->label, label, wcslen(label));
    if (HasOffsets()) {
        uint64_t start = 0, end = 0;
        if (note(ReadOffset(kIdcBkgStartOffset, &start)))
            profile->rangeStartUtc = start;
        if (note(ReadOffset(kIdcBkgEndOffset, &end)))
            profile->rangeEndUtc = end;
    } else if (HasMoments()) {
        profile->rangeStart = ReadMoment(kIdcBkgFromDate, kIdcBkgFromTime);
        profile->rangeEnd = ReadMoment(kIdcBkgToDate, kIdcBkgToTime);
        if (ClockRecord* clock = CurrentClock())
            ProfileRangeToUtc(*clock, profile);
    } else {
        uint32_t start = 0, end = 0;
        if (note(ReadMinutes(kIdcBkgStartTime, &start)))
            profile->startMinute = start;
        if (note(ReadMinutes(kIdcBkgEndTime, &end)))
            profile->endMinute = end;
        uint32_t days = 0;
        for (int day = 0; day < 7; ++day)
            if (IsDlgButtonChecked(m_page, kIdcBkgWeekdays[day]) == BST_CHECKED)
                days |= 1u << day;
        profile->weekdays = days;
    }
    profile->weight = AlphaOfPosition(SendMessageW(Item(kIdcBkgOpacity), TBM_GETPOS, 0, 0));
    InvalidateRect(Item(kIdcBkgPreview), nullptr, FALSE);
    return invalid;
}

void CBackgroundPage::Changed(UINT flags)
{
    if (s_loading == 0)
        PostMessageW(GetParent(m_page), UM_PAGECHANGED, flags, 0);
}

void CBackgroundPage::OnWeekdayClicked(int id)
{
    for (int day : kIdcBkgWeekdays)
        if (IsDlgButtonChecked(m_page, day) == BST_CHECKED) {
            Changed(0);
            return;
        }
    // a window on no day would never show: the last day stays
    CheckDlgButton(m_page, id, BST_CHECKED);
}

void CBackgroundPage::OnColor()
{
    const SettingsDialogServices* services = Services();
    if (!m_profile || !services)
        return;
    CSystemColorBox system;
    IColorBox& box = services->colorBox ? *services->colorBox : system;
    COLORREF color = m_profile->color;
    if (!box.Choose(GetAncestor(m_page, GA_ROOT), &color))
        return;
    m_profile->color = color;
    Changed(kPageRefreshPreview);
}

void CBackgroundPage::OnSliderEnd()
{
    if (!m_profile)
        return;
    uint8_t alpha = AlphaOfPosition(SendMessageW(Item(kIdcBkgOpacity), TBM_GETPOS, 0, 0));
    if (alpha != m_profile->weight)
        Changed(kPageRefreshPreview);
}

void CBackgroundPage::OnCommand(int id, int code)
{
    if (id == kIdcBkgLabel && code == EN_CHANGE) {
        WCHAR label[kLabelChars + 1] = {};
        GetDlgItemTextW(m_page, kIdcBkgLabel, label, kLabelChars + 1);
        SetDlgItemTextW(m_page, kIdcBkgLabelShown, label);
        Changed(kPageRefreshCaption);
        return;
    }
    if (id == kIdcBkgColor && code == BN_CLICKED) {
        OnColor();
        return;
    }
    for (int day : kIdcBkgWeekdays)
        if (id == day && code == BN_CLICKED) {
            OnWeekdayClicked(id);
            return;
        }
    if (id == kIdcBkgStartTime || id == kIdcBkgEndTime) {
        if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)
            Changed(0);
        else if (code == CBN_KILLFOCUS)
            ClearUnreadableTimeBox(Item(id), m_locale);
        return;
    }
    for (const int* ids : {kIdcBkgStartOffset, kIdcBkgEndOffset})
        for (int i = 0; i < kDurationFields; ++i)
            if (id == ids[i] && code == EN_CHANGE) {
                Changed(kPageRefreshCaption);
                return;
            }
}

void CBackgroundPage::Draw(const DRAWITEMSTRUCT& item)
{
    // the clock's preview is drawn here once the previews exist
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(item.hDC, &r, EDGE_SUNKEN, BF_RECT);
}

INT_PTR CBackgroundPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = (const NMHDR*)lParam;
        if (header && header->code == DTN_DATETIMECHANGE)
            Changed(0);
        return TRUE;
    }
    case WM_HSCROLL:
        if ((HWND)lParam == Item(kIdcBkgOpacity) && LOWORD(wParam) == TB_ENDTRACK)
            OnSliderEnd();
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == (WPARAM)kIdcBkgPreview && lParam) {
            Draw(*(const DRAWITEMSTRUCT*)lParam);
            return TRUE;
        }
        return FALSE;
    case WM_WININICHANGE:
        RefreshLocale();
        return TRUE;
    case UM_RELOCALIZE:
        Localize();
        return TRUE;
    case UM_LOADPAGE: {
        auto* exchange = (PageExchange*)lParam;
        if (!IsPointerMessage() || !exchange || !exchange->record)
            return TRUE;
        auto* profile = (ClockProfileRecord*)exchange->record;
        if (wParam == kPageLoad)
            Load(profile);
        else if (wParam == kPageStore)
            exchange->invalid = Store(profile);
        return TRUE;
    }
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK BackgroundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* self = new (std::nothrow) CBackgroundPage(page, (UINT)lParam);
        SetWindowLongPtrW(page, DWLP_USER, (LONG_PTR)self);
        if (self)
            self->OnInit();
        return FALSE;
    }
    auto* self = (CBackgroundPage*)GetWindowLongPtrW(page, DWLP_USER);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(page, DWLP_USER, 0);
        delete self;
        return FALSE;
    }
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}
