// The calendar popup: a modeless dialog of the language library owned by the
// main window, one at a time, showing the month calendar widget. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/calendar/CalendarWidget.h"
#include "graphics/records/SettingsPaths.h"

class CLanguage;
class IClockDialogHost;

const WORD kDlgCalendar = 164;
const WCHAR kCalendarSection[] = L"DLG_Calendar_164";
const UINT kCalendarTitleString = 158;
// Blank pixels between the widget and each edge of the client area.
const int kCalendarMargin = 10;
// "calendar_x" / "calendar_y" of this value: no position saved.
const int kNoCalendarPosition = 32767;

// Months across and down for "num_month".
void GetCalendarGrid(int months, int* across, int* down);

class CCalendarPopup {
public:
    // `language` and `paths` outlive the popup; the host comes with SetHost.
    CCalendarPopup(const CLanguage& language, const SettingsPaths& paths);
    ~CCalendarPopup();
    CCalendarPopup(const CCalendarPopup&) = delete;
    CCalendarPopup& operator=(const CCalendarPopup&) = delete;

    void SetHost(IClockDialogHost* host) { m_host = host; }
    // Opens the popup, or brings the open one to the foreground; false when
    // the template cannot be made.
    bool Show();
    bool IsOpen() const { return m_window != nullptr; }
    // Destroys the popup (its position is saved).
    void Close();
    // After a change of the settings or the language: an open popup is made again.
    void Reopen();

    HWND Window() const { return m_window; }
    const Calendar::CCalendarWidget& Widget() const { return m_widget; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void OnPaint(HWND dialog);
    void Place(HWND dialog);
    void SavePosition(HWND dialog);

    const CLanguage& m_language;
    const SettingsPaths& m_paths;
    IClockDialogHost* m_host = nullptr;
    Calendar::CCalendarWidget m_widget;
    HWND m_window = nullptr;
};
