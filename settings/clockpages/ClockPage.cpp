#include "settings/clockpages/ClockPages.h"

#include <commctrl.h>

#include "app/zones/ZoneDatabase.h"
#include "app/zones/ZoneHelpers.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/protocol/MapWindowProtocol.h"
#include "graphics/protocol/SettingsWindowProtocol.h"
#include "graphics/records/CityName.h"
#include "graphics/records/FixedText.h"
#include "graphics/time/FileTimeTicks.h"
#include "graphics/time/LocalZone.h"
#include "graphics/time/ZoneTime.h"
#include "settings/clockpages/ClockPageIds.h"
#include "settings/clockpages/ClockPageRules.h"
#include "settings/clockpages/PageCommon.h"
#include "settings/dialog/PageProtocol.h"
#include "windows/CityList.h"

namespace {

const int kCaptionChars = 32;       // the prefix field, with its terminator
const int kUrlChars = 512;
const int kLocationChars = 162;
const int kActionTextChars = 128;
const int kDurationLimits[4] = {3, 6, 8, 10};
const int kDurationIds[4] = {kIdcDays, kIdcHours, kIdcMinutes, kIdcSeconds};
const uint32_t kUrlAction = 1;

ClockRecord* Record(HWND page)
{
    ClockPageState* state = GetPageState(page);
    return state ? state->record : nullptr;
}

bool IsLocalZoneName(const WCHAR* name)
{
    return lstrcmpW(name, kLocalZoneName) == 0;
}

// The control that switches a timer-type clock to a date; 0 for a clock.
int DateModeControl(const ClockRecord& clock)
{
    if (!IsTimerClock(clock))
        return 0;
    return IsCountdownClock(clock) ? kIdcToDate : kIdcFromDate;
}

// Whether the place applies: to every clock, and to a timer-type one only
// while it is bound to a date.
bool PlaceApplies(HWND page, const ClockRecord& clock)
{
    int dateMode = DateModeControl(clock);
    return !dateMode || IsChecked(page, dateMode);
}

void ApplyDateModeEnabling(HWND page, const ClockRecord& clock)
{
    if (!IsTimerClock(clock))
        return;
    bool dateMode = IsChecked(page, DateModeControl(clock));
    if (IsCountdownClock(clock)) {
        for (int id : kDurationIds)
            EnableControl(page, id, !dateMode);
    }
    EnableControl(page, kIdcDate, dateMode);
    EnableControl(page, kIdcTime, dateMode);
    EnableControl(page, kIdcLocationButton, dateMode);
    EnableControl(page, kIdcUseDaylight, dateMode);
}

void EnableUrl(HWND page, uint32_t action)
{
    EnableControl(page, kIdcUrl, action == kUrlAction);
    EnableControl(page, kIdcBrowse, action == kUrlAction);
}

uint32_t SelectedAction(HWND page, bool* selected)
{
    HWND list = GetDlgItem(page, kIdcAction);
    LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    *selected = index != CB_ERR;
    if (index == CB_ERR)
        return 0;
    LRESULT data = SendMessageW(list, CB_GETITEMDATA, index, 0);
    return data >= 0 && data < kClickActionCount ? (uint32_t)data : 0;
}

// The entries for `clock`, in the current language; the selection index stays.
void FillActionList(HWND page, const ClockRecord* clock)
{
    HWND list = GetDlgItem(page, kIdcAction);
    LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    // start and stop is for timers that count up; a countdown keeps seven
    bool stopwatch = clock && IsTimerClock(*clock) && !IsCountdownClock(*clock);
    int count = stopwatch ? kClickActionCount : kTimerOnlyAction;
    for (int action = 0; action < count; ++action) {
        WCHAR text[kActionTextChars];
        LoadPageString(page, kStrClickActions[action], text, kActionTextChars);
        LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)text);
        if (index >= 0)
            SendMessageW(list, CB_SETITEMDATA, index, action);
    }
    if (selected != CB_ERR && selected < count)
        SendMessageW(list, CB_SETCURSEL, selected, 0);
    // the drop-down shows every entry without a scroll bar
    RECT r;
    GetWindowRect(list, &r);
    int field = (int)SendMessageW(list, CB_GETITEMHEIGHT, (WPARAM)-1, 0);
    int item = (int)SendMessageW(list, CB_GETITEMHEIGHT, 0, 0);
    SetWindowPos(list, nullptr, 0, 0, r.right - r.left, field + item * count + 2 * GetSystemMetrics(SM_CYEDGE) + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SelectAction(HWND page, uint32_t action)
{
    if (action >= (uint32_t)kClickActionCount)
        action = 0;
    HWND list = GetDlgItem(page, kIdcAction);
    LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    LRESULT found = CB_ERR;
    for (LRESULT i = 0; i < count && found == CB_ERR; ++i) {
        if (SendMessageW(list, CB_GETITEMDATA, i, 0) == (LRESULT)action)
            found = i;
    }
    SendMessageW(list, CB_SETCURSEL, found == CB_ERR ? (WPARAM)-1 : (WPARAM)found, 0);
}

void SetCaption(HWND page, const WCHAR* caption)
{
    SetDlgItemTextW(page, kIdcCaption, caption);
    SetDlgItemTextW(page, kIdcCaptionShown, caption);
}

// The city and zone the location text names: a city first ("city,
// country", no case), else a zone by its display name, searched from the
// last zone. Null when it names neither.
const TimeZoneRecord* ResolveLocation(HWND page, const WCHAR* text, const CityRecord** cityOut)
{
    *cityOut = nullptr;
    ClockPageServices* services = GetClockPageServices(page);
    if (!services)
        return nullptr;
    if (services->cities) {
        int index = services->cities->FindCityByName(text);
        if (index >= 0) {
            const CityRecord& city = services->cities->Cities()[index];
            if (city.zoneRecord.ptr) {
                *cityOut = &city;
                return city.zoneRecord.ptr;
            }
        }
    }
    if (!services->zones)
        return nullptr;
    for (int i = services->zones->Count() - 1; i >= 0; --i) {
        const TimeZoneRecord& zone = services->zones->Zone(i);
        if (FixedEquals(zone.displayName, FIELD_WIDTH(zone.displayName), text))
            return &zone;
    }
    return nullptr;
}

void ReevaluateDaylight(HWND page)
{
    ClockRecord* clock = Record(page);
    WCHAR text[kLocationChars];
    GetControlText(page, kIdcLocationText, text, kLocationChars);
    const CityRecord* city;
    const TimeZoneRecord* zone = ResolveLocation(page, text, &city);
    if (!zone)
        return;
    std::wstring display = FieldText(zone->displayName, FIELD_WIDTH(zone->displayName));
    if (IsLocalZoneName(display.c_str())) {
        // the computer's zone follows the system's own switch
        SetChecked(page, kIdcUseDaylight, zone->tzi.DaylightBias != 0);
        EnableControl(page, kIdcUseDaylight, false);
        return;
    }
    // a fixed countdown or a timer from its start has no place to follow
    if (!clock || PlaceApplies(page, *clock))
        EnableControl(page, kIdcUseDaylight, zone->tzi.StandardDate.wMonth != 0);
}

void LoadClockPage(HWND page, ClockRecord* clock)
{
    GetPageState(page)->record = clock;
    FillActionList(page, clock);

    std::wstring location = FieldText(clock->location, FIELD_WIDTH(clock->location));
    if (location.empty())
        location = FieldText(clock->zone.displayName, FIELD_WIDTH(clock->zone.displayName));
    SetDlgItemTextW(page, kIdcLocationText, location.c_str());

    SetChecked(page, kIdcUseDaylight, (clock->flags & kClockUseDaylight) != 0);
    bool placeOn = !IsTimerClock(*clock) || IsDateBoundTimer(*clock);
    EnableControl(page, kIdcLocationButton, placeOn);
    EnableControl(page, kIdcUseDaylight, placeOn);

    SelectAction(page, clock->clickAction);
    EnableUrl(page, clock->clickAction);
    SetCaption(page, FieldText(clock->prefix, FIELD_WIDTH(clock->prefix)).c_str());
    SetDlgItemTextW(page, kIdcUrl, FieldText(clock->clickUrl, FIELD_WIDTH(clock->clickUrl)).c_str());

    if (IsTimerClock(*clock)) {
        bool dateMode = IsDateBoundTimer(*clock);
        if (IsCountdownClock(*clock)) {
            SetChecked(page, kIdcFixedDuration, !dateMode);
            SetChecked(page, kIdcToDate, dateMode);
        } else {
            SetChecked(page, kIdcFromDate, dateMode);
        }
        ApplyDateModeEnabling(page, *clock);
        if (dateMode) {
            SYSTEMTIME moment = clock->timerMoment;
            DateTime_SetSystemtime(GetDlgItem(page, kIdcDate), GDT_VALID, &moment);
            DateTime_SetSystemtime(GetDlgItem(page, kIdcTime), GDT_VALID, &moment);
        } else if (IsCountdownClock(*clock)) {
            uint32_t seconds = (uint32_t)clock->countdownSeconds;
            SetDlgItemInt(page, kIdcDays, seconds / 86400, FALSE);
            SetDlgItemInt(page, kIdcHours, seconds / 3600 % 24, FALSE);
            SetDlgItemInt(page, kIdcMinutes, seconds / 60 % 60, FALSE);
            SetDlgItemInt(page, kIdcSeconds, seconds % 60, FALSE);
        }
    }
    bool onDesktop = (clock->flags & kClockOnDesktop) != 0;
    SetChecked(page, kIdcOnDesktop, onDesktop);
    SetChecked(page, kIdcInTaskbar, !onDesktop);
    ReevaluateDaylight(page);
}

void SetZoneToSystem(HWND page, ClockRecord* clock)
{
    ClockPageServices* services = GetClockPageServices(page);
    TimeZoneRecord zone = {};
    if (services && services->localZone) {
        InitLocalZone(&zone, *services->localZone);
    } else {
        CopyFixed(zone.zoneName, FIELD_WIDTH(zone.zoneName), kLocalZoneName);
        CopyFixed(zone.displayName, FIELD_WIDTH(zone.displayName), kLocalZoneName);
    }
    zone.zoneId = 0;
    clock->zone = zone;
}

// The moment of the two pickers, zone-local, and its UTC anchor in the
// clock's zone as it is after the store.
void StoreDateMode(HWND page, ClockRecord* clock)
{
    SYSTEMTIME date = {}, time = {};
    DateTime_GetSystemtime(GetDlgItem(page, kIdcDate), &date);
    DateTime_GetSystemtime(GetDlgItem(page, kIdcTime), &time);
    SYSTEMTIME moment = {};
    moment.wYear = date.wYear;
    moment.wMonth = date.wMonth;
    moment.wDayOfWeek = date.wDayOfWeek;
    moment.wDay = date.wDay;
    moment.wHour = time.wHour;
    moment.wMinute = time.wMinute;
    moment.wSecond = time.wSecond;
    clock->timerMoment = moment;
    TimeZoneRecord zone;
    GetClockZone(*clock, &zone);
    SYSTEMTIME utc;
    ZoneTimeToUtc(&utc, zone, moment);
    uint64_t ticks = 0;
    clock->timerAnchorUtc = SystemTimeToTicks(utc, &ticks) ? ticks : 0;
}

// The store; returns the control with an invalid value, or null. The
// last one found is named.
HWND StoreClockPage(HWND page, ClockRecord* clock)
{
    HWND invalid = nullptr;
    WCHAR caption[kCaptionChars];
    GetControlText(page, kIdcCaption, caption, kCaptionChars);
    CopyFixed(clock->prefix, FIELD_WIDTH(clock->prefix), caption);
    CopyFixed(clock->caption, FIELD_WIDTH(clock->caption), caption);

    bool selected;
    uint32_t action = SelectedAction(page, &selected);
    if (selected)
        clock->clickAction = action;
    WCHAR url[kUrlChars];
    GetControlText(page, kIdcUrl, url, kUrlChars);
    CopyFixed(clock->clickUrl, FIELD_WIDTH(clock->clickUrl), url);

    if (!FixedEquals(clock->zone.zoneName, FIELD_WIDTH(clock->zone.zoneName), kLocalZoneName) &&
        !(clock->flags & kClockUseDaylight))
        clock->zone.tzi.DaylightBias = 0;

    if (IsChecked(page, kIdcOnDesktop))
        clock->flags |= kClockOnDesktop;
    else
        clock->flags &= ~kClockOnDesktop;

    bool dateMode = false;
    if (IsTimerClock(*clock)) {
        dateMode = IsChecked(page, DateModeControl(*clock));
        if (dateMode) {
            clock->kind |= kClockFixedMoment;
            clock->countdownSeconds = 0;
        } else {
            clock->kind &= ~kClockFixedMoment;
        }
        if (!dateMode && IsCountdownClock(*clock)) {
            WCHAR texts[4][16];
            const WCHAR* fields[4];
            for (int i = 0; i < 4; ++i) {
                GetControlText(page, kDurationIds[i], texts[i], 16);
                fields[i] = texts[i];
            }
            int64_t seconds = 0;
            // a wrong field is refused, never cut to fit; and 0 seconds
            // would read back as a countdown to a date
            int bad = FindInvalidDurationField(fields, &seconds);
            if (bad >= 0)
                invalid = GetDlgItem(page, kDurationIds[bad]);
            else
                clock->countdownSeconds = (int32_t)seconds;
        }
    }

    // without the zone table the place cannot be read: it stays as it was
    if ((!IsTimerClock(*clock) || dateMode) && GetClockPageServices(page)) {
        WCHAR text[kLocationChars];
        GetControlText(page, kIdcLocationText, text, kLocationChars);
        const CityRecord* city;
        const TimeZoneRecord* zone = ResolveLocation(page, text, &city);
        if (city) {
            WCHAR name[kCityTextChars];
            FormatCityName(*city, name);
            CopyFixed(clock->location, FIELD_WIDTH(clock->location), name);
            clock->zone = *zone;
        } else if (zone) {
            CopyFixed(clock->location, FIELD_WIDTH(clock->location), L"");
            clock->zone = *zone;
        } else {
            CopyFixed(clock->location, FIELD_WIDTH(clock->location), L"");
            SetZoneToSystem(page, clock);
        }
        HWND daylight = GetDlgItem(page, kIdcUseDaylight);
        if (IsChecked(page, kIdcUseDaylight) && IsWindowEnabled(daylight))
            clock->flags |= kClockUseDaylight;
        else
            clock->flags &= ~kClockUseDaylight;
        if (clock->zone.tzi.DaylightBias != 0 && clock->zone.tzi.DaylightDate.wMonth != 0)
            clock->flags |= kClockDaylightInUse;
        else
            clock->flags &= ~kClockDaylightInUse;
    }
    if (dateMode)
        StoreDateMode(page, clock);

    if (clock->clickAction == kUrlAction) {
        const WCHAR* p = url;
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            invalid = GetDlgItem(page, kIdcUrl);
    }
    return invalid;
}

void Browse(HWND page)
{
    ClockRecord* clock = Record(page);
    ClockPageServices* services = GetClockPageServices(page);
    if (!clock || !services || !services->fileBox)
        return;
    {
        CPageLoading loading;
        StoreClockPage(page, clock);
    }
    WCHAR file[kUrlChars];
    CopyFixed(file, kUrlChars - 1, FieldText(clock->clickUrl, FIELD_WIDTH(clock->clickUrl)).c_str());
    file[kUrlChars - 1] = 0;
    if (!BrowseForFile(*services->fileBox, page, L"Executable\0*.EXE\0All\0*.*\0", file, kUrlChars))
        return;
    CopyFixed(clock->clickUrl, FIELD_WIDTH(clock->clickUrl), file);
    {
        CPageLoading loading;
        LoadClockPage(page, clock);
    }
    ReportPageChange(page, false);
}

void ChooseLocation(HWND page)
{
    ClockPageServices* services = GetClockPageServices(page);
    if (!services || !services->chooser)
        return;
    WCHAR text[kLocationChars];
    GetControlText(page, kIdcLocationText, text, kLocationChars);
    const CityRecord* city;
    ResolveLocation(page, text, &city);
    services->chooser->ChooseLocation(page, city);
}

void OnCityChosen(HWND page, const CityRecord& city)
{
    WCHAR name[kCityTextChars];
    FormatCityName(city, name);
    SetDlgItemTextW(page, kIdcLocationText, name);
    WCHAR caption[kCityCaptionChars + 1];
    std::wstring cityName = FieldText(city.cityName, FIELD_WIDTH(city.cityName));
    CityCaption(cityName.c_str(), caption);
    {
        CPageLoading loading;
        SetCaption(page, caption);
    }
    const TimeZoneRecord* zone = city.zoneRecord.ptr;
    if (zone && zone->tzi.DaylightDate.wMonth != 0)
        SetChecked(page, kIdcUseDaylight, true);
    ReevaluateDaylight(page);
    ReportPageChange(page, true);
}

void OnZoneChosen(HWND page, const TimeZoneRecord& zone)
{
    SetDlgItemTextW(page, kIdcLocationText, FieldText(zone.displayName, FIELD_WIDTH(zone.displayName)).c_str());
    if (zone.tzi.DaylightDate.wMonth != 0)
        SetChecked(page, kIdcUseDaylight, true);
    ReevaluateDaylight(page);
    ReportPageChange(page, false);
}

void OnCommand(HWND page, int id, int code)
{
    ClockRecord* clock = Record(page);
    switch (id) {
    case kIdcCaption:
        if (code == EN_CHANGE) {
            WCHAR caption[kCaptionChars];
            GetControlText(page, kIdcCaption, caption, kCaptionChars);
            SetDlgItemTextW(page, kIdcCaptionShown, caption);
            ReportPageChange(page, true);
        }
        return;
    case kIdcUrl:
    case kIdcDays:
    case kIdcHours:
    case kIdcMinutes:
    case kIdcSeconds:
        if (code == EN_CHANGE)
            ReportPageChange(page, false);
        return;
    case kIdcUseDaylight:
    case kIdcOnDesktop:
    case kIdcInTaskbar:
        if (code == BN_CLICKED)
            ReportPageChange(page, false);
        return;
    case kIdcAction:
        if (code == CBN_SELCHANGE) {
            bool selected;
            EnableUrl(page, SelectedAction(page, &selected));
            ReportPageChange(page, false);
        }
        return;
    case kIdcToDate:
    case kIdcFixedDuration:
    case kIdcFromDate:
        if (code == BN_CLICKED && clock) {
            ApplyDateModeEnabling(page, *clock);
            if (PlaceApplies(page, *clock))
                ReevaluateDaylight(page);
            ReportPageChange(page, false);
        }
        return;
    case kIdcBrowse:
        if (code == BN_CLICKED)
            Browse(page);
        return;
    case kIdcLocationButton:
        if (code == BN_CLICKED)
            ChooseLocation(page);
        return;
    }
}

void OnInitDialog(HWND page, LPARAM templateId)
{
    AttachPageState(page, templateId);
    CPageLoading loading;
    LocalizeClockPage(page, nullptr);
    SendDlgItemMessageW(page, kIdcCaption, EM_LIMITTEXT, kCaptionChars - 1, 0);
    SendDlgItemMessageW(page, kIdcUrl, EM_LIMITTEXT, kUrlChars - 1, 0);
    for (int i = 0; i < 4; ++i)
        SendDlgItemMessageW(page, kDurationIds[i], EM_LIMITTEXT, kDurationLimits[i], 0);
    FillActionList(page, nullptr);
}

}  // namespace

INT_PTR CALLBACK ClockPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page, lParam);
        return FALSE;
    case WM_NCDESTROY:
        FreePageState(page);
        return FALSE;
    case UM_LOADPAGE:
        ExchangeClockPage(page, wParam, lParam, LoadClockPage, StoreClockPage);
        return TRUE;
    case UM_RELOCALIZE: {
        CPageLoading loading;
        LocalizeClockPage(page, nullptr);
        FillActionList(page, Record(page));
        return TRUE;
    }
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        auto* header = (NMHDR*)lParam;
        if (header && header->code == DTN_DATETIMECHANGE &&
            (header->idFrom == (UINT_PTR)kIdcDate || header->idFrom == (UINT_PTR)kIdcTime))
            ReportPageChange(page, false);
        return TRUE;
    }
    case UM_SETCLOCKONDESKTOP: {
        ClockRecord* clock = Record(page);
        if (clock && clock->id == (uint32_t)wParam) {
            if (lParam)
                clock->flags |= kClockOnDesktop;
            else
                clock->flags &= ~kClockOnDesktop;
            SetChecked(page, kIdcOnDesktop, lParam != 0);
            SetChecked(page, kIdcInTaskbar, lParam == 0);
        }
        return TRUE;
    }
    case UM_MAPOVERLAYCHANGED: {
        ClockPageServices* services = GetClockPageServices(page);
        HWND chooser = services && services->chooser ? services->chooser->ChooserWindow() : nullptr;
        if (chooser)
            SendMessageW(chooser, message, wParam, lParam);
        return TRUE;
    }
    case UM_MAPSELECTCITY:
        // the chooser's Cancel is (-1, 0); an address is taken only from
        // this thread's own pointer sends
        if (lParam && (int)wParam >= 0 && IsPointerMessage() && Record(page))
            OnCityChosen(page, *(const CityRecord*)lParam);
        return TRUE;
    case UM_ZONEPICKED:
        if (lParam && IsPointerMessage() && Record(page))
            OnZoneChosen(page, *(const TimeZoneRecord*)lParam);
        return TRUE;
    }
    return FALSE;
}
