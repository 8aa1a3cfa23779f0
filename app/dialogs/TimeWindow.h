// The time table window and the main program's handle on it. The window
// keeps pointers into the main program's clock array: after the array is
// replaced it must be rebuilt before it paints or fills again. GUI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/dialogs/TimeTableRows.h"
#include "graphics/records/SettingsPaths.h"
#include "graphics/window/Window.h"

class CLanguage;
class IClockDialogHost;

// Strings of the language library.
const UINT kTableTitleString = 223;
const UINT kTableHourString = 224;       // the first interval choice, 60 minutes
const UINT kTableMinutesString = 225;    // after the other choices' numbers
const UINT kTableIntervalLabel = 226;
const UINT kTableDateLabel = 227;
const UINT kTableFormatLabel = 228;
const UINT kTableClockFormatString = 229;
const UINT kTableLocalColumnString = 230;
const UINT kTable12HoursString = 146;
const UINT kTable24HoursString = 147;
const UINT kTableDefaultFormatString = 148;

// Control ids.
const int kIdcTableInterval = 101;
const int kIdcTableFormat = 102;
const int kIdcTableDate = 103;
const int kIdcTableList = 104;

// What lives for the whole run: the choices and the place of the last close.
struct TimeTableState {
    int mode = kTableModeDefault;
    int interval = kMaxTableInterval;
    RECT lastRect = {0, 0, 0, 0};
    bool hasLastRect = false;
};

class CTimeWindow : public CWindow {
public:
    // Everything outlives the window; `self` is cleared when the window goes.
    CTimeWindow(const CLanguage& language, const SettingsPaths& paths, IClockDialogHost& host, TimeTableState& state,
                CTimeWindow** self);
    bool OnMessage(WindowMessage& message) override;
    ~CTimeWindow() override;
    bool Create(HWND owner, const WCHAR* title, DWORD style, DWORD exStyle) override;

    // With `rebuild` the clocks are taken again and the columns made anew;
    // the rows are filled again in either case.
    void Refresh(bool rebuild);
    void Refill();

    HWND List() const { return m_list; }
    const CTimeTableRows& Rows() const { return m_rows; }
    // The natural size of the window for its contents.
    SIZE NaturalSize() const;

private:
    bool OnCreate();
    void OnDestroy();
    void BuildControls();
    void TakeClocks();
    void BuildColumns();
    void Layout();
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void OnCommand(WPARAM wParam);
    void ReadSettings();
    void WriteSettings();
    int TextWidth(const WCHAR* text) const;

    const CLanguage& m_language;
    const SettingsPaths& m_paths;
    IClockDialogHost& m_host;
    TimeTableState& m_state;
    CTimeWindow** m_self;
    SYSTEMTIME m_date;
    HWND m_picker = nullptr;
    HWND m_dateLabel = nullptr;
    HWND m_intervalLabel = nullptr;
    HWND m_intervalCombo = nullptr;
    HWND m_formatLabel = nullptr;
    HWND m_formatCombo = nullptr;
    HWND m_list = nullptr;
    HFONT m_font = nullptr;   // the stock GUI font: not deleted
    std::vector<const ClockRecord*> m_clocks;
    std::vector<int> m_widths;
    CTimeTableRows m_rows;
};

// ShowTimeTable and RefreshTimeTable of the main program.
class CTimeTable {
public:
    CTimeTable(const CLanguage& language, const SettingsPaths& paths);
    ~CTimeTable();
    CTimeTable(const CTimeTable&) = delete;
    CTimeTable& operator=(const CTimeTable&) = delete;

    void SetHost(IClockDialogHost* host) { m_host = host; }
    // Opens the window, or brings the open one to the foreground.
    bool Show();
    void Refresh(bool rebuild);
    void Close();
    CTimeWindow* Window() const { return m_window; }
    const TimeTableState& State() const { return m_state; }

private:
    const CLanguage& m_language;
    const SettingsPaths& m_paths;
    IClockDialogHost* m_host = nullptr;
    TimeTableState m_state;
    CTimeWindow* m_window = nullptr;   // deletes itself when closed from outside
};
