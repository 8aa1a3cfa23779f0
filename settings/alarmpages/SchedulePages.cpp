#include "settings/alarmpages/SchedulePages.h"

#include <commctrl.h>
#include <wchar.h>

#include "app/ui/DialogHelpers.h"
#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/records/FixedText.h"
#include "settings/alarmpages/AlarmPage.h"
#include "settings/alarmpages/AlarmPageIds.h"
#include "settings/alarmpages/ScheduleEdits.h"
#include "settings/alarmpages/TimeBox.h"
#include "settings/dialog/SettingsDialog.h"

const WCHAR* const kSchedulePageSections[6] = {L"DLG_Once", L"DLG_Daily", L"DLG_Weekly",
                                               L"DLG_Monthly", L"DLG_Yearly", L"DLG_Cron"};

namespace {

const WCHAR kOnceDateFormat[] = L"dd MMM yyyy";
const int kYearsListed = 10;
const int kYearDropDownEntries = 5;
const int kListDropDownEntries = 12;
const int kNameChars = 80;
const int kNumberChars = 32;
// the earliest first year a monthly schedule takes
const uint32_t kFirstYearAfter = 2000;
const int kCronLimits[kCronFieldCount] = {169, 61, 83, 26, 13};
const int kCronTextChars = 256;

// The number at the start of a text (blanks and a sign before it); false
// when there are no digits.
bool ReadLeadingNumber(const WCHAR* text, int64_t* value)
{
    const WCHAR* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    int64_t n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (n < 1000000000000LL)
            n = n * 10 + (*p - '0');
    }
    *value = negative ? -n : n;
    return true;
}

bool ReadNumberField(HWND page, int id, int64_t* value)
{
    WCHAR text[kNumberChars] = L"";
    GetDlgItemTextW(page, id, text, kNumberChars);
    return ReadLeadingNumber(text, value);
}

void SetNumberField(HWND page, int id, int64_t value)
{
    WCHAR text[kNumberChars];
    swprintf(text, kNumberChars, L"%lld", (long long)value);
    SetDlgItemTextW(page, id, text);
}

bool IsChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

int Selection(HWND page, int id)
{
    return (int)SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0);
}

void Select(HWND page, int id, int index)
{
    SendDlgItemMessageW(page, id, CB_SETCURSEL, index, 0);
}

// Refills a list with `count` names, keeping its selection.
template <typename NameOf>
void FillNames(HWND list, int count, NameOf nameOf)
{
    LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) {
        WCHAR name[kNameChars] = L"";
        nameOf(i, name);
        SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)name);
    }
    SendMessageW(list, CB_SETCURSEL, selected, 0);
    SizeComboDropDown(list, count < kListDropDownEntries ? count : kListDropDownEntries);
}

bool GetPickerDate(HWND page, int id, SYSTEMTIME* date)
{
    return DateTime_GetSystemtime(GetDlgItem(page, id), date) == GDT_VALID;
}

class CSchedulePage {
public:
    CSchedulePage(HWND hwnd, int kind) : m_hwnd(hwnd), m_kind(kind) {}

    void Init();
    void Relocalize();
    void OnLocaleChange();
    void Load(const AlarmRecord& alarm);
    HWND Store(AlarmRecord* alarm);
    INT_PTR OnCommand(int id, int code);
    void OnNotify(const NMHDR* header);

private:
    const CLanguage* Language() const
    {
        const SettingsDialogServices* services = AlarmPageServices(GetParent(m_hwnd));
        return services ? services->language : nullptr;
    }
    LCID Lcid() const
    {
        const CLanguage* language = Language();
        return language ? language->GetLcid() : LOCALE_USER_DEFAULT;
    }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    void Changed() { ReportAlarmPageChange(GetParent(m_hwnd), false); }
    void FillLists();
    void FillYears();
    // Which form the radio buttons show: the daily "Monday to Friday", the
    // monthly and yearly n-th weekday.
    bool ShownForm() const;
    bool StoredForm() const;
    void EnableForm();
    // The time box's seconds into the date-and-time field of the kind.
    HWND StoreDated(SYSTEMTIME* field);

    HWND m_hwnd;
    int m_kind;
    TimeLocale m_locale = {};
};

void CSchedulePage::Init()
{
    RefreshTimeLocale(&m_locale, Lcid());
    if (m_kind != kAlarmCron)
        FillTimeBox(Item(kIdcScheduleTime), m_locale, false);
    if (HWND date = Item(kIdcScheduleDate))
        DateTime_SetFormat(date, kOnceDateFormat);
    SendDlgItemMessageW(m_hwnd, kIdcDailyDays, EM_LIMITTEXT, 3, 0);
    SendDlgItemMessageW(m_hwnd, kIdcWeeklyInterval, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageW(m_hwnd, kIdcMonthlyDay, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageW(m_hwnd, kIdcMonthlyInterval, EM_LIMITTEXT, 2, 0);
    if (m_kind == kAlarmYearly)
        SendDlgItemMessageW(m_hwnd, kIdcYearlyDay, EM_LIMITTEXT, 2, 0);
    if (m_kind == kAlarmCron) {
        for (int i = 0; i < kCronFieldCount; ++i)
            SendDlgItemMessageW(m_hwnd, kIdcCronMinutes + i, EM_LIMITTEXT, kCronLimits[i], 0);
    }
    if (m_kind == kAlarmMonthly)
        FillYears();
    Relocalize();
}

void CSchedulePage::FillYears()
{
    SYSTEMTIME now = AlarmPageNowUtc(GetParent(m_hwnd));
    HWND list = Item(kIdcMonthlyFirstYear);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < kYearsListed; ++i) {
        WCHAR text[kNumberChars];
        swprintf(text, kNumberChars, L"%d", now.wYear + i);
        LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)text);
        SendMessageW(list, CB_SETITEMDATA, at, now.wYear + i);
    }
    SizeComboDropDown(list, kYearDropDownEntries);
}

void CSchedulePage::FillLists()
{
    const CLanguage* language = Language();
    LCID lcid = Lcid();
    auto ordinal = [&](int i, WCHAR* name) {
        if (language)
            language->GetString(kStrOrdinalFirst + i, name, kNameChars);
    };
    // Sunday first; the locale lists Monday as day 1
    auto weekday = [&](int i, WCHAR* name) {
        GetLocaleInfoW(lcid, i == 0 ? LOCALE_SDAYNAME7 : LOCALE_SDAYNAME1 + i - 1, name, kNameChars);
    };
    auto month = [&](int i, WCHAR* name) { GetLocaleInfoW(lcid, LOCALE_SMONTHNAME1 + i, name, kNameChars); };
    switch (m_kind) {
    case kAlarmWeekly:
        for (int i = 0; i < 7; ++i) {
            WCHAR name[kNameChars] = L"";
            weekday(i, name);
            SetDlgItemTextW(m_hwnd, kWeekdayBoxes[i], name);
        }
        break;
    case kAlarmMonthly:
        FillNames(Item(kIdcMonthlyOrdinal), kOrdinalCount, ordinal);
        FillNames(Item(kIdcMonthlyWeekday), 7, weekday);
        FillNames(Item(kIdcMonthlyFirstMonth), 12, month);
        break;
    case kAlarmYearly:
        FillNames(Item(kIdcYearlyOrdinal), kOrdinalCount, ordinal);
        FillNames(Item(kIdcYearlyWeekday), 7, weekday);
        FillNames(Item(kIdcYearlyFixedMonth), 12, month);
        FillNames(Item(kIdcYearlyNthMonth), 12, month);
        break;
    }
}

void CSchedulePage::Relocalize()
{
    CAlarmPageLoading loading;
    if (const CLanguage* language = Language())
        LocalizeDialog(m_hwnd, kSchedulePageSections[m_kind], *language);
    FillLists();
}

void CSchedulePage::OnLocaleChange()
{
    if (m_kind == kAlarmCron)
        return;
    CAlarmPageLoading loading;
    HWND box = Item(kIdcScheduleTime);
    int seconds = ReadTimeBoxSeconds(box, m_locale);
    RefreshTimeLocale(&m_locale, Lcid());
    FillTimeBox(box, m_locale, false);
    if (seconds >= 0)
        SetTimeBoxSeconds(box, m_locale, (uint32_t)seconds);
    FillLists();
}

bool CSchedulePage::ShownForm() const
{
    switch (m_kind) {
    case kAlarmDaily:
        return IsChecked(m_hwnd, kIdcDailyWorkdays);
    case kAlarmMonthly:
        return IsChecked(m_hwnd, kIdcMonthlyNth);
    case kAlarmYearly:
        return IsChecked(m_hwnd, kIdcYearlyNth);
    }
    return false;
}

bool CSchedulePage::StoredForm() const
{
    const AlarmRecord* alarm = ShownAlarm(GetParent(m_hwnd));
    if (!alarm)
        return false;
    switch (m_kind) {
    case kAlarmDaily:
        return alarm->dailyInterval <= 0;
    case kAlarmMonthly:
        return alarm->monthlyNthForm != 0;
    case kAlarmYearly:
        return alarm->yearlyNthForm != 0;
    }
    return false;
}

void CSchedulePage::EnableForm()
{
    bool nth = ShownForm();
    switch (m_kind) {
    case kAlarmDaily:
        EnableWindow(Item(kIdcDailyDays), !nth);
        break;
    case kAlarmMonthly:
        EnableWindow(Item(kIdcMonthlyDay), !nth);
        EnableWindow(Item(kIdcMonthlyOrdinal), nth);
        EnableWindow(Item(kIdcMonthlyWeekday), nth);
        break;
    case kAlarmYearly:
        EnableWindow(Item(kIdcYearlyDay), !nth);
        EnableWindow(Item(kIdcYearlyFixedMonth), !nth);
        EnableWindow(Item(kIdcYearlyOrdinal), nth);
        EnableWindow(Item(kIdcYearlyWeekday), nth);
        EnableWindow(Item(kIdcYearlyNthMonth), nth);
        break;
    }
}

void CSchedulePage::Load(const AlarmRecord& alarm)
{
    CAlarmPageLoading loading;
    HWND time = Item(kIdcScheduleTime);
    const SYSTEMTIME* dated = m_kind == kAlarmOnce    ? &alarm.once
                            : m_kind == kAlarmDaily   ? &alarm.dailyStart
                            : m_kind == kAlarmWeekly  ? &alarm.weeklyStart
                                                      : nullptr;
    if (dated) {
        SYSTEMTIME date = *dated;
        date.wDayOfWeek = 0;
        DateTime_SetSystemtime(Item(kIdcScheduleDate), GDT_VALID, &date);
        SetTimeBoxSeconds(time, m_locale, dated->wHour * 3600u + dated->wMinute * 60u + dated->wSecond);
    }
    switch (m_kind) {
    case kAlarmDaily: {
        int32_t interval = alarm.dailyInterval;
        SetNumberField(m_hwnd, kIdcDailyDays, interval < 0 ? -(int64_t)interval : interval);
        CheckRadioButton(m_hwnd, kIdcDailyEvery, kIdcDailyWorkdays,
                         interval <= 0 ? kIdcDailyWorkdays : kIdcDailyEvery);
        break;
    }
    case kAlarmWeekly:
        for (int i = 0; i < 7; ++i)
            CheckDlgButton(m_hwnd, kWeekdayBoxes[i], (alarm.weeklyMask >> i & 1) ? BST_CHECKED : BST_UNCHECKED);
        SetNumberField(m_hwnd, kIdcWeeklyInterval, alarm.weeklyInterval);
        break;
    case kAlarmMonthly: {
        SetTimeBoxSeconds(time, m_locale, alarm.monthlyTime);
        SetNumberField(m_hwnd, kIdcMonthlyDay, alarm.monthlyDay);
        int32_t interval = alarm.monthlyInterval;
        SetNumberField(m_hwnd, kIdcMonthlyInterval, interval < 0 ? -(int64_t)interval : interval);
        if (alarm.monthlyOrdinal)
            Select(m_hwnd, kIdcMonthlyOrdinal, (int)alarm.monthlyOrdinal - 1);
        Select(m_hwnd, kIdcMonthlyWeekday, (int)alarm.monthlyWeekday);
        if (alarm.monthlyFirstMonth)
            Select(m_hwnd, kIdcMonthlyFirstMonth, (int)alarm.monthlyFirstMonth - 1);
        // a year the list does not hold leaves it without a selection: the store keeps it
        int year = -1;
        HWND years = Item(kIdcMonthlyFirstYear);
        int count = (int)SendMessageW(years, CB_GETCOUNT, 0, 0);
        for (int i = 0; i < count && alarm.monthlyFirstYear > kFirstYearAfter; ++i) {
            if ((uint32_t)SendMessageW(years, CB_GETITEMDATA, i, 0) == alarm.monthlyFirstYear)
                year = i;
        }
        SendMessageW(years, CB_SETCURSEL, year, 0);
        CheckRadioButton(m_hwnd, kIdcMonthlyFixed, kIdcMonthlyNth,
                         alarm.monthlyNthForm ? kIdcMonthlyNth : kIdcMonthlyFixed);
        break;
    }
    case kAlarmYearly:
        SetTimeBoxSeconds(time, m_locale, alarm.yearlyTime);
        SetNumberField(m_hwnd, kIdcYearlyDay, alarm.yearlyDay);
        Select(m_hwnd, kIdcYearlyFixedMonth, (int)alarm.yearlyMonth - 1);
        Select(m_hwnd, kIdcYearlyNthMonth, (int)alarm.yearlyMonth - 1);
        Select(m_hwnd, kIdcYearlyOrdinal, (int)alarm.yearlyOrdinal - 1);
        Select(m_hwnd, kIdcYearlyWeekday, (int)alarm.yearlyWeekday);
        CheckRadioButton(m_hwnd, kIdcYearlyFixed, kIdcYearlyNth,
                         alarm.yearlyNthForm ? kIdcYearlyNth : kIdcYearlyFixed);
        break;
    case kAlarmCron: {
        const int64_t values[kCronFieldCount] = {(int64_t)alarm.cronMinutes, alarm.cronHours, alarm.cronDays,
                                                 alarm.cronMonths, alarm.cronWeekdays};
        for (int i = 0; i < kCronFieldCount; ++i) {
            WCHAR text[kCronTextChars];
            WriteCronField(i, values[i], text, kCronTextChars);
            SetDlgItemTextW(m_hwnd, kIdcCronMinutes + i, text);
        }
        break;
    }
    }
    EnableForm();
}

HWND CSchedulePage::StoreDated(SYSTEMTIME* field)
{
    SYSTEMTIME date;
    if (GetPickerDate(m_hwnd, kIdcScheduleDate, &date)) {
        field->wYear = date.wYear;
        field->wMonth = date.wMonth;
        field->wDay = date.wDay;
        field->wDayOfWeek = date.wDayOfWeek;
    }
    int seconds = ReadTimeBoxSeconds(Item(kIdcScheduleTime), m_locale);
    if (seconds < 0)
        return Item(kIdcScheduleTime);
    field->wHour = (WORD)(seconds / 3600);
    field->wMinute = (WORD)(seconds / 60 - field->wHour * 60);
    field->wSecond = (WORD)(seconds % 60);
    field->wMilliseconds = 0;
    return nullptr;
}

HWND CSchedulePage::Store(AlarmRecord* alarm)
{
    HWND invalid = nullptr;
    auto fail = [&](int id) { invalid = Item(id); };
    int64_t n = 0;
    switch (m_kind) {
    case kAlarmOnce:
        invalid = StoreDated(&alarm->once);
        break;
    case kAlarmDaily: {
        invalid = StoreDated(&alarm->dailyStart);
        bool number = ReadNumberField(m_hwnd, kIdcDailyDays, &n);
        if (n < 0)
            n = -n;
        if (n > INT32_MAX)
            n = INT32_MAX;
        if (IsChecked(m_hwnd, kIdcDailyWorkdays))
            alarm->dailyInterval = number ? (int32_t)-n : 0;
        else if (!number)
            fail(kIdcDailyDays);
        else
            alarm->dailyInterval = (int32_t)n;
        break;
    }
    case kAlarmWeekly: {
        invalid = StoreDated(&alarm->weeklyStart);
        uint32_t mask = 0;
        for (int i = 0; i < 7; ++i) {
            if (IsChecked(m_hwnd, kWeekdayBoxes[i]))
                mask |= 1u << i;
        }
        alarm->weeklyMask = mask;
        if (ReadNumberField(m_hwnd, kIdcWeeklyInterval, &n) && n >= 1 && n <= 53)
            alarm->weeklyInterval = (int32_t)n;
        else
            fail(kIdcWeeklyInterval);
        break;
    }
    case kAlarmMonthly: {
        int seconds = ReadTimeBoxSeconds(Item(kIdcScheduleTime), m_locale);
        if (seconds >= 0)
            alarm->monthlyTime = (uint32_t)seconds;
        else
            fail(kIdcScheduleTime);
        bool nth = IsChecked(m_hwnd, kIdcMonthlyNth);
        alarm->monthlyNthForm = nth ? 1 : 0;
        if (ReadNumberField(m_hwnd, kIdcMonthlyDay, &n) && n >= 1 && n <= 31)
            alarm->monthlyDay = (uint32_t)n;
        else if (!nth)
            fail(kIdcMonthlyDay);
        if (ReadNumberField(m_hwnd, kIdcMonthlyInterval, &n) && n >= 1 && n <= 12)
            alarm->monthlyInterval = (int32_t)n;
        else
            fail(kIdcMonthlyInterval);
        int at = Selection(m_hwnd, kIdcMonthlyOrdinal);
        if (at >= 0)
            alarm->monthlyOrdinal = (uint32_t)at + 1;
        else
            fail(kIdcMonthlyOrdinal);
        if ((at = Selection(m_hwnd, kIdcMonthlyWeekday)) >= 0)
            alarm->monthlyWeekday = (uint32_t)at;
        else
            fail(kIdcMonthlyWeekday);
        if ((at = Selection(m_hwnd, kIdcMonthlyFirstMonth)) >= 0)
            alarm->monthlyFirstMonth = (uint32_t)at + 1;
        else
            fail(kIdcMonthlyFirstMonth);
        if ((at = Selection(m_hwnd, kIdcMonthlyFirstYear)) >= 0) {
            auto year = (uint32_t)SendDlgItemMessageW(m_hwnd, kIdcMonthlyFirstYear, CB_GETITEMDATA, at, 0);
            if (year > kFirstYearAfter)
                alarm->monthlyFirstYear = year;
            else
                fail(kIdcMonthlyFirstYear);
        }
        break;
    }
    case kAlarmYearly: {
        int seconds = ReadTimeBoxSeconds(Item(kIdcScheduleTime), m_locale);
        if (seconds >= 0)
            alarm->yearlyTime = (uint32_t)seconds;
        else
            fail(kIdcScheduleTime);
        bool nth = IsChecked(m_hwnd, kIdcYearlyNth);
        alarm->yearlyNthForm = nth ? 1 : 0;
        if (ReadNumberField(m_hwnd, kIdcYearlyDay, &n) && n >= 1 && n <= 31)
            alarm->yearlyDay = (uint32_t)n;
        else if (!nth)
            fail(kIdcYearlyDay);
        int monthList = nth ? kIdcYearlyNthMonth : kIdcYearlyFixedMonth;
        int at = Selection(m_hwnd, monthList);
        if (at >= 0)
            alarm->yearlyMonth = (uint32_t)at + 1;
        else
            fail(monthList);
        if ((at = Selection(m_hwnd, kIdcYearlyOrdinal)) >= 0)
            alarm->yearlyOrdinal = (uint32_t)at + 1;
        else
            fail(kIdcYearlyOrdinal);
        if ((at = Selection(m_hwnd, kIdcYearlyWeekday)) >= 0)
            alarm->yearlyWeekday = (uint32_t)at;
        else
            fail(kIdcYearlyWeekday);
        if (!invalid && !nth && CutYearlyDay(alarm))
            fail(kIdcYearlyDay);
        break;
    }
    case kAlarmCron: {
        int64_t values[kCronFieldCount] = {(int64_t)alarm->cronMinutes, alarm->cronHours, alarm->cronDays,
                                           alarm->cronMonths, alarm->cronWeekdays};
        for (int i = 0; i < kCronFieldCount; ++i) {
            WCHAR text[kCronTextChars] = L"";
            GetDlgItemTextW(m_hwnd, kIdcCronMinutes + i, text, kCronTextChars);
            if (!ReadCronField(i, text, &values[i]))
                fail(kIdcCronMinutes + i);
        }
        alarm->cronMinutes = (uint64_t)values[kCronMinutes];
        alarm->cronHours = (uint32_t)values[kCronHours];
        alarm->cronDays = (int32_t)values[kCronDays];
        alarm->cronMonths = (uint32_t)values[kCronMonths];
        alarm->cronWeekdays = (uint32_t)values[kCronWeekdays];
        break;
    }
    }
    return invalid;
}

INT_PTR CSchedulePage::OnCommand(int id, int code)
{
    HWND control = Item(id);
    if (id == kIdcScheduleTime && m_kind != kAlarmCron) {
        if (code == CBN_KILLFOCUS)
            ClearUnreadableTimeBox(control, m_locale);
        else if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)
            Changed();
        return TRUE;
    }
    if (m_kind == kAlarmCron && id == kIdcCronMinutes + kCronDays && code == EN_KILLFOCUS) {
        WCHAR text[kCronTextChars] = L"";
        GetWindowTextW(control, text, kCronTextChars);
        if (MendCronDaysText(text, kCronTextChars))
            SetWindowTextW(control, text);
        return TRUE;
    }
    bool formRadio = (m_kind == kAlarmDaily && (id == kIdcDailyEvery || id == kIdcDailyWorkdays)) ||
                     (m_kind == kAlarmMonthly && (id == kIdcMonthlyFixed || id == kIdcMonthlyNth)) ||
                     (m_kind == kAlarmYearly && (id == kIdcYearlyFixed || id == kIdcYearlyNth));
    if (formRadio) {
        if (code == BN_CLICKED) {
            EnableForm();
            if (ShownForm() != StoredForm())
                Changed();
        }
        return TRUE;
    }
    switch (code) {
    case EN_CHANGE:
    case CBN_SELCHANGE:
        Changed();
        return TRUE;
    case BN_CLICKED:
        Changed();
        return TRUE;
    }
    return FALSE;
}

void CSchedulePage::OnNotify(const NMHDR* header)
{
    if (header && header->code == DTN_DATETIMECHANGE)
        Changed();
}

CSchedulePage* PageOf(HWND page)
{
    return (CSchedulePage*)GetWindowLongPtrW(page, DWLP_USER);
}

int KindOfTemplate(UINT templateId)
{
    for (int kind = 0; kind < 6; ++kind) {
        if (kSchedulePageTemplates[kind] == templateId)
            return kind;
    }
    return -1;
}

INT_PTR CALLBACK SchedulePageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_INITDIALOG) {
            int kind = KindOfTemplate((UINT)lParam);
            if (kind < 0)
                return FALSE;
            auto* page = new CSchedulePage(hwnd, kind);
            SetWindowLongPtrW(hwnd, DWLP_USER, (LONG_PTR)page);
            page->Init();
            return FALSE;
        }
        CSchedulePage* page = PageOf(hwnd);
        if (!page)
            return FALSE;
        switch (message) {
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
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            delete page;
            return FALSE;
        }
    } catch (...) {
    }
    return FALSE;
}

}  // namespace

HWND CreateSchedulePage(HWND alarmPage, HMODULE resources, int kind)
{
    if (kind < 0 || kind >= 6 || !resources) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    UINT id = kSchedulePageTemplates[kind];
    HWND page = CreateDialogParamW(resources, MAKEINTRESOURCEW(id), alarmPage, SchedulePageProc, id);
    if (page)
        SetWindowLongPtrW(page, GWLP_ID, id);
    return page;
}

void LoadSchedulePage(HWND schedulePage, const AlarmRecord& alarm)
{
    if (CSchedulePage* page = PageOf(schedulePage))
        page->Load(alarm);
}

HWND StoreSchedulePage(HWND schedulePage, AlarmRecord* alarm)
{
    CSchedulePage* page = PageOf(schedulePage);
    return page && alarm ? page->Store(alarm) : nullptr;
}
