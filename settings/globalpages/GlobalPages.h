// The pages of the settings dialog that edit program-wide settings: general,
// profiles, time and calendar. They edit the dialog's CMainSettings, not a
// node's record, and report an edit with UM_PAGECHANGED.
#pragma once

#include <windows.h>

class ILinkOpener;
class ITimeServiceControl;

// Controls of the general page.
const int kIdcLanguage = 1231;
const int kIdcAutostart = 1031;
const int kIdcCityPhotos = 1309;
const int kIdcGeneralLink = 1236;

// Controls of the profiles page.
const int kIdcProfilePath = 1112;
const int kIdcProfileBrowse = 1113;
const int kIdcProfileLoad = 1311;
const int kIdcProfileExport = 1309;

// Controls of the time page.
const int kIdcAutoSync = 1029;
const int kIdcSyncType = 1157;
const int kIdcTimeServer = 1030;
const int kIdcSyncNow = 1032;
const int kIdcSyncStatus = 1025;
const int kIdcLastSync = 1070;

// Controls of the calendar page.
const int kIdcWeekNumbering = 1313;
const int kIdcWeekStart = 1314;
const int kIdcCalendarMonths = 1317;

// Strings of these pages.
const UINT kStrSyncStatus = 126;       // before the last result
const UINT kStrLastSync = 127;         // before the last synchronisation's time
const UINT kStrSyncSucceeded = 136;    // result 0; other results are string ids
const UINT kStrNeverSynced = 142;
const UINT kStrSyncTimeAt = 143;       // between date and time
const UINT kStrSystemLanguage = 196;
const UINT kStrSyncTypeFirst = 206;    // 206..210: synctype 0..4
const int kSyncTypeCount = 5;
const UINT kStrNoTimeService = 249;
const UINT kStrExportFailed = 268;     // one %s, the file
const UINT kStrProfileLoadFailed = 269;  // one %s, the file
const UINT kStrWeekJan1 = 271;
const UINT kStrWeekFourDays = 272;

// The boxes these pages show; tests answer them without a screen.
class IGlobalPageBoxes {
public:
    virtual ~IGlobalPageBoxes() = default;
    // An error box (error icon, OK).
    virtual void ShowError(HWND owner, const WCHAR* text, const WCHAR* caption) = 0;
    // The file boxes for "*.ini" files; `path` (MAX_PATH) holds the choice.
    // False when cancelled.
    virtual bool ChooseProfile(HWND owner, WCHAR* path) = 0;
    virtual bool ChooseExportFile(HWND owner, WCHAR* path) = 0;
};

class CSystemPageBoxes : public IGlobalPageBoxes {
public:
    void ShowError(HWND owner, const WCHAR* text, const WCHAR* caption) override;
    bool ChooseProfile(HWND owner, WCHAR* path) override;
    bool ChooseExportFile(HWND owner, WCHAR* path) override;
};

// What the pages reach beyond the settings; every pointer outlives the
// dialog. Null members take the system's.
struct GlobalPageSeams {
    ITimeServiceControl* timeService;  // control 130, synchronise now
    IGlobalPageBoxes* boxes;
    ILinkOpener* links;                // the link texts' clicks
    const DWORD* restrictions;         // ReadRestrictionFlags bits
};

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TimePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CalendarPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
