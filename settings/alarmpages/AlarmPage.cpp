#include "settings/alarmpages/AlarmPage.h"

#include <commctrl.h>
#include <wchar.h>

#include "app/clocks/ClockSettings.h"
#include "app/ui/DialogHelpers.h"
#include "app/ui/LocalText.h"
#include "app/ui/NumberFormat.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/WebSites.h"
#include "graphics/records/FixedText.h"
#include "graphics/time/ZoneConvert.h"
#include "settings/alarmpages/AlarmPageIds.h"
#include "settings/alarmpages/ScheduleEdits.h"
#include "settings/alarmpages/SchedulePages.h"
#include "settings/alarmtest/AlarmTest.h"
#include "settings/clockpages/ClockPageServices.h"
#include "settings/dialog/FileBox.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/dialog/Pages.h"
#include "settings/dialog/SettingsDialog.h"

namespace {

int g_loading = 0;

const int kKindCount = 6;
const int kCommentChars = 78;
const int kTextChars = 260;
const int kLeadTextChars = 96;
const int kDurationChars = 16;
const int kDurationLimits[4] = {3, 6, 8, 10};
const int kActionDropDownEntries = 9;

// Browse filters by action: the kinds of file each action opens.
const WCHAR kSoundFilter[] = L"Sounds\0*.wav;*.wma;*.mp3;*.snd;*.mid\0All\0*.*\0";
const WCHAR kImageFilter[] = L"Images\0*.jpg;*.png;*.gif;*.tif;*.png;*.pcx;*.bmp;*.dib;*.ico\0All\0*.*\0";
const WCHAR kProgramFilter[] = L"Executable\0*.exe;*.com;*.bat;*.cmd;*.lnk\0All\0*.*\0";
const WCHAR kDocumentFilter[] = L"Documents\0*.doc;*.xls;*.ppt;*.txt;*.htm;*.html;*.rtf\0All\0*.*\0";
const WCHAR kAnyFilter[] = L"Any file\0*.*\0";

bool ActionTakesFile(int action)
{
    return action == kActionSound || action == kActionSoundLoop || action == kActionOpenFile ||
           action == kActionCommandLine || action == kActionOpenDocument;
}

bool ActionHasText(int action)
{
    return action != kActionShutdown && action != kActionHibernate;
}

const WCHAR* FilterOf(int action)
{
    switch (action) {
    case kActionSound:
    case kActionSoundLoop:
        return kSoundFilter;
    case kActionOpenFile:
        return kImageFilter;
    case kActionCommandLine:
        return kProgramFilter;
    case kActionOpenDocument:
        return kDocumentFilter;
    }
    return kAnyFilter;
}

class CAlarmPage {
public:
    CAlarmPage(HWND hwnd, UINT templateId) : m_hwnd(hwnd), m_template(templateId) {}

    void Init();
    void Destroy();
    void Load(AlarmRecord* alarm);
    HWND Store(AlarmRecord* alarm);
    void Relocalize();
    INT_PTR OnCommand(int id, int code);
    void OnNotify(const NMHDR* header);
    void OnLocaleChange();
    void ReportChange(bool caption);

    const AlarmRecord* Alarm() const { return m_alarm; }
    const SettingsDialogServices* Services() const { return GetSettingsDialogServices(GetParent(m_hwnd)); }

private:
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    bool HasSchedules() const { return m_template == kAlarmPageTemplate; }
    bool HasOffset() const { return m_template == kCountdownAlarmTemplate || m_template == kTimerAlarmTemplate; }
    ClockRecord* CurrentClock() const;
    const WCHAR* Section() const;
    void CreateSchedulePages();
    void FillReminderList();
    void FillActionList();
    void LeadTimeText(int32_t minutes, WCHAR* out, int chars) const;
    void SelectLeadTime(int32_t minutes);
    void EnableForAction(int action);
    int CheckedKind() const;
    void ShowKind(int kind, bool load);
    void OnKindClicked(int kind);
    void OnActionChosen();
    void OnBrowse();
    void OnTest();
    // Now in the clock's zone; without a clock the computer's local time.
    SYSTEMTIME ZoneNow(const ClockRecord* clock) const;

    HWND m_hwnd;
    UINT m_template;
    AlarmRecord* m_alarm = nullptr;
    HWND m_schedules[kKindCount] = {};
};

CAlarmPage* PageOf(HWND page)
{
    return (CAlarmPage*)GetWindowLongPtrW(page, DWLP_USER);
}

void CAlarmPage::Init()
{
    CAlarmPageLoading loading;
    SendDlgItemMessageW(m_hwnd, kIdcAlarmComment, EM_LIMITTEXT, kCommentChars - 1, 0);
    SendDlgItemMessageW(m_hwnd, kIdcAlarmText, EM_LIMITTEXT, kTextChars - 1, 0);
    if (HasSchedules())
        CreateSchedulePages();
    FillReminderList();
    FillActionList();
    SizeComboDropDown(Item(kIdcAlarmAction), kActionDropDownEntries);
    if (SendDlgItemMessageW(m_hwnd, kIdcAlarmAction, CB_GETCURSEL, 0, 0) < 0)
        SendDlgItemMessageW(m_hwnd, kIdcAlarmAction, CB_SETCURSEL, 0, 0);
    const SettingsDialogServices* services = Services();
    if (services && services->language)
        LocalizeDialog(m_hwnd, Section(), *services->language);
    if (HasOffset()) {
        for (int i = 0; i < 4; ++i)
            SendDlgItemMessageW(m_hwnd, kIdcOffsetDays + i, EM_LIMITTEXT, kDurationLimits[i], 0);
    }
    if (m_template == kDatedAlarmTemplate)
        DateTime_SetFormat(Item(kIdcAlarmTime), nullptr);
    // The log window comes with the first test, not with the page: it keeps
    // its place in the settings file when it goes, and a dialog closed
    // without OK must leave that file as it was.
}

void CAlarmPage::Destroy()
{
    if (HasSchedules())
        DestroyLogWindow();
}

ClockRecord* CAlarmPage::CurrentClock() const
{
    ClockRecord* clock = nullptr;
    SendPointerMessage(GetParent(m_hwnd), UM_GETCURRENTCLOCK, 0, (LPARAM)&clock);
    return clock;
}

const WCHAR* CAlarmPage::Section() const
{
    // the texts follow the clock the page shows; without one, the template's own
    if (const ClockRecord* clock = CurrentClock())
        return kPages[AlarmPageKind(clock->kind)].section;
    const PageInfo* info = FindPageByTemplate(m_template);
    return info ? info->section : kPages[kPageAlarm].section;
}

void CAlarmPage::CreateSchedulePages()
{
    HWND placeholder = Item(kIdcSchedulePane);
    const SettingsDialogServices* services = Services();
    HMODULE resources = services && services->language ? services->language->GetResources() : nullptr;
    if (!placeholder || !resources)
        return;
    RECT pane;
    GetWindowRect(placeholder, &pane);
    MapWindowPoints(nullptr, m_hwnd, (POINT*)&pane, 2);
    HWND after = placeholder;
    for (int kind = 0; kind < kKindCount; ++kind) {
        HWND page = CreateSchedulePage(m_hwnd, resources, kind);
        if (!page) {
            DWORD error = GetLastError();
            WCHAR text[128];
            swprintf(text, 128, L"Can not create dialog %u. Error code %lu", kSchedulePageTemplates[kind],
                     (unsigned long)error);
            MessageBoxW(m_hwnd, text, L"Error", MB_OK | MB_ICONERROR);
            continue;
        }
        // in the tab order where the placeholder was
        SetWindowPos(page, after, pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top,
                     SWP_NOACTIVATE | SWP_HIDEWINDOW);
        after = page;
        m_schedules[kind] = page;
    }
    DestroyWindow(placeholder);
}

void CAlarmPage::LeadTimeText(int32_t minutes, WCHAR* out, int chars) const
{
    out[0] = 0;
    const SettingsDialogServices* services = Services();
    if (!services || !services->language)
        return;
    LeadTimeParts parts = SplitLeadTime(minutes);
    const int32_t values[3] = {parts.days, parts.hours, parts.minutes};
    const UINT formats[3] = {kStrLeadDays, kStrLeadHours, kStrLeadMinutes};
    int length = 0;
    for (int i = 0; i < 3; ++i) {
        if (!values[i])
            continue;
        WCHAR format[kLeadTextChars] = L"";
        WCHAR part[kLeadTextChars] = L"";
        services->language->GetString(formats[i], format, kLeadTextChars);
        // a translation may use its number twice (a word form); nothing else
        FormatWithNumber(format, values[i], 2, part, kLeadTextChars);
        int n = swprintf(out + length, chars - length, length ? L" %ls" : L"%ls", part);
        if (n < 0)
            break;
        length += n;
    }
}

void CAlarmPage::FillReminderList()
{
    HWND list = Item(kIdcReminderList);
    LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    int count = (int)SendMessageW(list, CB_GETCOUNT, 0, 0);
    int32_t extra = 0;
    // a stored lead time outside the table stays in the list
    if (count > kLeadTimeCount)
        extra = (int32_t)SendMessageW(list, CB_GETITEMDATA, 0, 0);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    WCHAR text[kLeadTextChars];
    if (extra) {
        LeadTimeText(extra, text, kLeadTextChars);
        SendMessageW(list, CB_INSERTSTRING, 0, (LPARAM)text);
        SendMessageW(list, CB_SETITEMDATA, 0, extra);
    }
    for (int32_t minutes : kLeadTimes) {
        LeadTimeText(minutes, text, kLeadTextChars);
        LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)text);
        SendMessageW(list, CB_SETITEMDATA, at, minutes);
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
    SizeComboDropDown(list, kLeadTimeCount);
}

void CAlarmPage::FillActionList()
{
    HWND list = Item(kIdcAlarmAction);
    LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    const SettingsDialogServices* services = Services();
    for (int action = 0; action < kActionCount; ++action) {
        WCHAR name[kLeadTextChars] = L"";
        if (services && services->language)
            services->language->GetString(kStrActionFirst + action, name, kLeadTextChars);
        SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)name);
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
}

void CAlarmPage::SelectLeadTime(int32_t minutes)
{
    HWND list = Item(kIdcReminderList);
    int32_t wanted = minutes < 0 ? -minutes : minutes;
    // a lead time of the last alarm shown that the table lacks goes
    if (SendMessageW(list, CB_GETCOUNT, 0, 0) > kLeadTimeCount)
        SendMessageW(list, CB_DELETESTRING, 0, 0);
    int count = (int)SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        if ((int32_t)SendMessageW(list, CB_GETITEMDATA, i, 0) == wanted) {
            SendMessageW(list, CB_SETCURSEL, i, 0);
            return;
        }
    }
    if (wanted == 0)
        return;
    WCHAR text[kLeadTextChars];
    LeadTimeText(wanted, text, kLeadTextChars);
    SendMessageW(list, CB_INSERTSTRING, 0, (LPARAM)text);
    SendMessageW(list, CB_SETITEMDATA, 0, wanted);
    SendMessageW(list, CB_SETCURSEL, 0, 0);
}

void CAlarmPage::EnableForAction(int action)
{
    EnableWindow(Item(kIdcAlarmBrowse), ActionTakesFile(action));
    EnableWindow(Item(kIdcAlarmText), ActionHasText(action));
}

int CAlarmPage::CheckedKind() const
{
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (IsDlgButtonChecked(m_hwnd, kIdcKindOnce + kind) == BST_CHECKED)
            return kind;
    }
    return -1;
}

void CAlarmPage::ShowKind(int kind, bool load)
{
    if (load && m_alarm && m_schedules[kind])
        LoadSchedulePage(m_schedules[kind], *m_alarm);
    for (int k = 0; k < kKindCount; ++k) {
        if (m_schedules[k])
            ShowWindow(m_schedules[k], k == kind ? SW_SHOW : SW_HIDE);
    }
}

void CAlarmPage::Load(AlarmRecord* alarm)
{
    CAlarmPageLoading loading;
    m_alarm = alarm;
    std::wstring comment = FieldText(alarm->comment, FIELD_WIDTH(alarm->comment));
    SetDlgItemTextW(m_hwnd, kIdcAlarmComment, comment.c_str());
    SetDlgItemTextW(m_hwnd, kIdcAlarmCaption, comment.c_str());
    std::wstring text = FieldText(alarm->text, FIELD_WIDTH(alarm->text));
    SetDlgItemTextW(m_hwnd, kIdcAlarmText, ActionHasText(alarm->action) ? text.c_str() : L"");

    CheckDlgButton(m_hwnd, kIdcReminderOn, alarm->reminderMinutes > 0 ? BST_CHECKED : BST_UNCHECKED);
    SelectLeadTime(alarm->reminderMinutes);
    EnableWindow(Item(kIdcReminderList), alarm->reminderMinutes > 0);

    ClockRecord* clock = CurrentClock();
    if (HasSchedules() && alarm->kind >= 0 && alarm->kind < kKindCount) {
        CheckRadioButton(m_hwnd, kIdcKindOnce, kIdcKindOnce + kKindCount - 1, kIdcKindOnce + alarm->kind);
        ShowKind(alarm->kind, true);
    }

    int action = alarm->action >= 0 && alarm->action < kActionCount ? alarm->action : 0;
    SendDlgItemMessageW(m_hwnd, kIdcAlarmAction, CB_SETCURSEL, action, 0);
    EnableForAction(action);

    if (HasOffset()) {
        int64_t parts[4];
        SplitDuration(alarm->timerOffset, parts);
        for (int i = 0; i < 4; ++i) {
            WCHAR number[kDurationChars];
            swprintf(number, kDurationChars, L"%lld", (long long)parts[i]);
            SetDlgItemTextW(m_hwnd, kIdcOffsetDays + i, number);
        }
    } else if (m_template == kDatedAlarmTemplate) {
        SYSTEMTIME moment = alarm->once;
        moment.wDayOfWeek = 0;
        moment.wMilliseconds = 0;
        DateTime_SetSystemtime(Item(kIdcAlarmDate), GDT_VALID, &moment);
        DateTime_SetSystemtime(Item(kIdcAlarmTime), GDT_VALID, &moment);
    }

    if (HasSchedules())
        FillScheduleDefaults(alarm, ZoneNow(clock));
}

HWND CAlarmPage::Store(AlarmRecord* alarm)
{
    HWND invalid = nullptr;
    WCHAR comment[kCommentChars] = L"";
    GetDlgItemTextW(m_hwnd, kIdcAlarmComment, comment, kCommentChars);
    CopyFixed(alarm->comment, FIELD_WIDTH(alarm->comment), comment);
    WCHAR text[kTextChars] = L"";
    GetDlgItemTextW(m_hwnd, kIdcAlarmText, text, kTextChars);
    CopyFixed(alarm->text, FIELD_WIDTH(alarm->text), text);

    LRESULT lead = SendDlgItemMessageW(m_hwnd, kIdcReminderList, CB_GETCURSEL, 0, 0);
    if (lead >= 0)
        alarm->reminderMinutes = (int32_t)SendDlgItemMessageW(m_hwnd, kIdcReminderList, CB_GETITEMDATA, lead, 0);
    if (IsDlgButtonChecked(m_hwnd, kIdcReminderOn) != BST_CHECKED && alarm->reminderMinutes > 0)
        alarm->reminderMinutes = -alarm->reminderMinutes;

    if (HasOffset()) {
        WCHAR fields[4][kDurationChars] = {};
        const WCHAR* parts[4];
        for (int i = 0; i < 4; ++i) {
            GetDlgItemTextW(m_hwnd, kIdcOffsetDays + i, fields[i], kDurationChars);
            parts[i] = fields[i];
        }
        int64_t seconds = 0;
        int bad = FirstBadDurationField(parts, &seconds);
        if (bad >= 0)
            invalid = Item(kIdcOffsetDays + bad);
        else
            alarm->timerOffset = (int32_t)seconds;
    } else if (m_template == kDatedAlarmTemplate) {
        SYSTEMTIME date, time;
        if (DateTime_GetSystemtime(Item(kIdcAlarmDate), &date) == GDT_VALID &&
            DateTime_GetSystemtime(Item(kIdcAlarmTime), &time) == GDT_VALID) {
            SYSTEMTIME moment = date;
            moment.wHour = time.wHour;
            moment.wMinute = time.wMinute;
            moment.wSecond = time.wSecond;
            moment.wMilliseconds = 0;
            alarm->once = moment;
            if (const ClockRecord* clock = CurrentClock())
                AlarmTimeToFileTime(moment, *clock, alarm);
        }
    } else if (HasSchedules()) {
        int kind = CheckedKind();
        if (kind >= 0) {
            alarm->kind = kind;
            if (m_schedules[kind]) {
                if (HWND bad = StoreSchedulePage(m_schedules[kind], alarm))
                    invalid = bad;
            }
        }
    }

    LRESULT action = SendDlgItemMessageW(m_hwnd, kIdcAlarmAction, CB_GETCURSEL, 0, 0);
    if (action < 0)
        invalid = Item(kIdcAlarmAction);
    else
        alarm->action = (int32_t)action;
    return invalid;
}

void CAlarmPage::Relocalize()
{
    CAlarmPageLoading loading;
    const SettingsDialogServices* services = Services();
    if (services && services->language)
        LocalizeDialog(m_hwnd, Section(), *services->language);
    FillReminderList();
    FillActionList();
    for (HWND page : m_schedules) {
        if (page)
            SendMessageW(page, UM_RELOCALIZE, 0, 0);
    }
}

void CAlarmPage::OnLocaleChange()
{
    for (HWND page : m_schedules) {
        if (page)
            SendMessageW(page, WM_WININICHANGE, 0, 0);
    }
}

void CAlarmPage::ReportChange(bool caption)
{
    if (CAlarmPageLoading::Active())
        return;
    PostMessageW(GetParent(m_hwnd), UM_PAGECHANGED, caption ? kPageRefreshCaption : 0, 0);
}

void CAlarmPage::OnKindClicked(int kind)
{
    if (!m_alarm)
        return;
    int left = m_alarm->kind;
    bool shown = m_schedules[kind] && IsWindowVisible(m_schedules[kind]);
    m_alarm->kind = kind;
    if (!CAlarmPageLoading::Active() && left != kind && left >= 0 && left < kKindCount) {
        // what the user typed on the page left travels too, read as far as it reads
        if (m_schedules[left])
            StoreSchedulePage(m_schedules[left], m_alarm);
        CarryOverSchedule(m_alarm, left);
    }
    ShowKind(kind, true);
    if (!shown)
        ReportChange(false);
}

void CAlarmPage::OnActionChosen()
{
    int action = (int)SendDlgItemMessageW(m_hwnd, kIdcAlarmAction, CB_GETCURSEL, 0, 0);
    if (action < 0)
        return;
    EnableForAction(action);
    WCHAR text[kTextChars] = L"";
    GetDlgItemTextW(m_hwnd, kIdcAlarmText, text, kTextChars);
    if (!ActionHasText(action)) {
        text[0] = 0;
    } else if (action == kActionOpenAddress) {
        if (!wcsstr(text, L"://"))
            lstrcpynW(text, kProductSite, kTextChars);
    } else if (lstrcmpW(text, kProductSite) == 0 || (m_alarm && m_alarm->action == kActionReminder &&
                                                      action != kActionReminder)) {
        text[0] = 0;
    }
    {
        CAlarmPageLoading loading;
        SetDlgItemTextW(m_hwnd, kIdcAlarmText, text);
    }
    ReportChange(false);
}

void CAlarmPage::OnBrowse()
{
    const SettingsDialogServices* services = Services();
    IFileOpenBox* box = services && services->clockPages ? services->clockPages->fileBox : nullptr;
    if (!box)
        return;
    int action = (int)SendDlgItemMessageW(m_hwnd, kIdcAlarmAction, CB_GETCURSEL, 0, 0);
    WCHAR path[kTextChars] = L"";
    GetDlgItemTextW(m_hwnd, kIdcAlarmText, path, kTextChars);
    if (!BrowseForFile(*box, m_hwnd, FilterOf(action), path, kTextChars))
        return;
    SetDlgItemTextW(m_hwnd, kIdcAlarmText, path);
    ReportChange(false);
}

void CAlarmPage::OnTest()
{
    AlarmRecord alarm = {};
    alarm.enabled = 1;
    // what the page shows now, stored or not; a field that does not read keeps its blank
    Store(&alarm);
    const ClockRecord* clock = CurrentClock();
    TestAlarm(m_hwnd, alarm, ZoneNow(clock), clock, true);
}

SYSTEMTIME CAlarmPage::ZoneNow(const ClockRecord* clock) const
{
    SYSTEMTIME nowUtc = AlarmPageNowUtc(m_hwnd);
    SYSTEMTIME zoneNow = nowUtc;
    if (clock)
        GetClockLocalTime(nowUtc, &zoneNow, *clock);
    else if (!SystemTimeToTzSpecificLocalTime(nullptr, &nowUtc, &zoneNow))
        zoneNow = nowUtc;
    return zoneNow;
}

INT_PTR CAlarmPage::OnCommand(int id, int code)
{
    if (id >= kIdcKindOnce && id < kIdcKindOnce + kKindCount && HasSchedules()) {
        if (code == BN_CLICKED)
            OnKindClicked(id - kIdcKindOnce);
        return TRUE;
    }
    switch (id) {
    case kIdcAlarmComment:
        if (code == EN_CHANGE) {
            WCHAR comment[kCommentChars] = L"";
            GetDlgItemTextW(m_hwnd, kIdcAlarmComment, comment, kCommentChars);
            SetDlgItemTextW(m_hwnd, kIdcAlarmCaption, comment);
            ReportChange(true);
        }
        return TRUE;
    case kIdcReminderOn:
        if (code == BN_CLICKED) {
            EnableWindow(Item(kIdcReminderList), IsDlgButtonChecked(m_hwnd, kIdcReminderOn) == BST_CHECKED);
            ReportChange(false);
        }
        return TRUE;
    case kIdcReminderList:
        if (code == CBN_SELCHANGE)
            ReportChange(false);
        return TRUE;
    case kIdcAlarmAction:
        // a choice in the open list ends with its closing; keys on the
        // closed box end it at once (the rules may run twice: they hold)
        if (code == CBN_SELENDOK ||
            (code == CBN_SELCHANGE && !SendDlgItemMessageW(m_hwnd, kIdcAlarmAction, CB_GETDROPPEDSTATE, 0, 0)))
            OnActionChosen();
        return TRUE;
    case kIdcAlarmText:
        if (code == EN_CHANGE)
            ReportChange(false);
        return TRUE;
    case kIdcAlarmBrowse:
        if (code == BN_CLICKED)
            OnBrowse();
        return TRUE;
    case kIdcAlarmTest:
        if (code == BN_CLICKED)
            OnTest();
        return TRUE;
    }
    if (HasOffset() && id >= kIdcOffsetDays && id < kIdcOffsetDays + 4) {
        if (code == EN_CHANGE)
            ReportChange(false);
        return TRUE;
    }
    return FALSE;
}

void CAlarmPage::OnNotify(const NMHDR* header)
{
    if (header && header->code == DTN_DATETIMECHANGE &&
        (header->idFrom == (UINT_PTR)kIdcAlarmDate || header->idFrom == (UINT_PTR)kIdcAlarmTime))
        ReportChange(false);
}

}  // namespace

CAlarmPageLoading::CAlarmPageLoading()
{
    ++g_loading;
}

CAlarmPageLoading::~CAlarmPageLoading()
{
    --g_loading;
}

bool CAlarmPageLoading::Active()
{
    return g_loading > 0;
}

void ReportAlarmPageChange(HWND alarmPage, bool caption)
{
    if (CAlarmPage* page = PageOf(alarmPage))
        page->ReportChange(caption);
}

const AlarmRecord* ShownAlarm(HWND alarmPage)
{
    CAlarmPage* page = PageOf(alarmPage);
    return page ? page->Alarm() : nullptr;
}

SYSTEMTIME AlarmPageNowUtc(HWND alarmPage)
{
    const SettingsDialogServices* services = AlarmPageServices(alarmPage);
    SYSTEMTIME now;
    if (services && services->clock)
        now = services->clock->NowUtc();
    else
        GetSystemTime(&now);
    return now;
}

const SettingsDialogServices* AlarmPageServices(HWND alarmPage)
{
    CAlarmPage* page = PageOf(alarmPage);
    return page ? page->Services() : nullptr;
}

INT_PTR CALLBACK AlarmPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_INITDIALOG) {
            auto* page = new CAlarmPage(hwnd, (UINT)lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, (LONG_PTR)page);
            page->Init();
            return FALSE;
        }
        CAlarmPage* page = PageOf(hwnd);
        if (!page)
            return FALSE;
        switch (message) {
        case UM_LOADPAGE: {
            if (!IsPointerMessage() || !lParam)
                return TRUE;
            auto* block = (PageExchange*)lParam;
            auto* alarm = (AlarmRecord*)block->record;
            if (!alarm)
                return TRUE;
            if (wParam == kPageStore)
                block->invalid = page->Store(alarm);
            else
                page->Load(alarm);
            return TRUE;
        }
        case WM_COMMAND:
            return page->OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_NOTIFY:
            page->OnNotify((const NMHDR*)lParam);
            return TRUE;
        case UM_RELOCALIZE:
            page->Relocalize();
            return TRUE;
        case WM_WININICHANGE:
            page->OnLocaleChange();
            return TRUE;
        case WM_DESTROY:
            page->Destroy();
            return FALSE;
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            delete page;
            return FALSE;
        }
    } catch (...) {
    }
    return FALSE;
}
