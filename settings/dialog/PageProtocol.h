// The settings dialog, its pages and its own templates: message values,
// control ids and the page table, shared by the dialog, the pages and the
// tests that drive them.
#pragma once

#include <windows.h>

#include "settings/tree/TreeNode.h"

// To the settings dialog, from the frame: wParam a SettingsCommandCode,
// lParam PackSettingsCommand(n, m).
const UINT UM_RUNSETTINGSCOMMAND = WM_USER + 3;
// To a page: wParam kPageLoad or kPageStore, lParam a PageExchange. Only
// honoured from the page's own thread: the block is a pointer.
const UINT UM_LOADPAGE = WM_USER + 50;
// From a page to the dialog after a user edit: wParam kPageRefreshCaption
// when the clock's caption changed.
const UINT UM_PAGECHANGED = WM_USER + 51;
// The dialog to itself: wParam the tree's id, lParam the item.
const UINT UM_TREECLICKED = WM_USER + 60;
const UINT UM_RESTORECHECK = WM_USER + 61;
// To the dialog: lParam a ClockRecord** that receives the selected node's
// clock record, or null. Answers 0. Own thread only.
const UINT UM_GETCURRENTCLOCK = WM_USER + 62;

const WPARAM kPageLoad = 0;
const WPARAM kPageStore = 1;
// ExchangePage's flags, UM_PAGECHANGED's wParam.
const UINT kPageRefreshCaption = 1;
// UM_PAGECHANGED's wParam: the clock preview needs drawing again.
const UINT kPageRefreshPreview = 2;
const UINT kPageApplyStore = 3;

// UM_LOADPAGE and UM_GETCURRENTCLOCK carry pointers into this process. They
// go out through SendPointerMessage, and a receiver takes one only while
// such a send from its own thread is under way (IsPointerMessage): one sent
// from another thread or process, or posted by anyone, is refused, also
// while the thread itself works on another process's message.
LRESULT SendPointerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool IsPointerMessage();

struct PageExchange {
    void* record;    // the node's GetRecord()
    HWND invalid;    // set by a store: the control with an invalid value, or null
};

// Template 141 of the language resource library.
const UINT kSettingsDialogTemplate = 141;
const int kIdcSettingsTree = 1087;
const int kIdcPagePane = 1086;    // placeholder, destroyed once the pages sit on it
const int kIdcAdd = 1023;
const int kIdcDelete = 1028;
const int kIdcUp = 1029;
const int kIdcDown = 1030;
const int kIdcApply = 1238;

// Template 207: which kind of clock Add makes.
const UINT kClockTypeTemplate = 207;
const int kIdcTypeClock = 1280;
const int kIdcTypeCountdown = 1281;
const int kIdcTypeTimer = 1282;

// The pages, by PageKind: their template and language section. Several
// kinds share a template procedure; the focus control is where the focus
// goes when the page comes up (0: the tree).
struct PageInfo {
    UINT templateId;
    const WCHAR* section;
    int focusControl;
};
const PageInfo kPages[kPageKindCount] = {
    {137, L"DLG_PageGeneral", 1231},
    {217, L"DLG_PageIni", 1112},
    {196, L"DLG_PageTime", 1029},
    {218, L"DLG_PageCalendar", 1313},
    {201, L"DLG_PageNews", 1258},
    {199, L"DLG_PageTaskbar", 1037},
    {166, L"DLG_PageClock", 1161},
    {197, L"DLG_PageFormats", 1079},
    {198, L"DLG_PageDesktop", 1166},
    {143, L"DLG_PageAlarms", 0},
    {144, L"DLG_PageAlarm", 1089},
    {145, L"DLG_PageBkgs", 0},
    {146, L"DLG_PageBkg", 1016},
    {208, L"DLG_PageCountdown", 1161},
    {209, L"DLG_PageTimer", 1161},
    {210, L"DLG_PageTimerFormats", 1079},
    {211, L"DLG_PageAlarm_At", 1089},
    {212, L"DLG_PageAlarm_Down", 1089},
    {213, L"DLG_PageAlarm_Up", 1089},
    {214, L"DLG_PageBkg_At", 1016},
    {215, L"DLG_PageBkg_Down", 1016},
    {216, L"DLG_PageBkg_Up", 1016},
};
