// The all-clocks dialog: every enabled clock that is no timer, side by side,
// drawn with the taskbar's look, each with a date and a time picker. All
// show one shared moment; a picked date or time on one clock moves it. One
// dialog at most, modeless, owned by the main window. GUI thread only.
#pragma once

#include <windows.h>

#include <vector>

#include "graphics/clock/Clock.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/system/Handles.h"
#include "windows/allclocks/AllClocksLayout.h"

class CGraphics;
class CVisualStyles;
class CZoneDatabase;
class IDesktopClockHost;

const WORD kAllClocksTemplate = 161;
const UINT kAllClocksTitle = 159;
// Picker ids: the time picker of clock i is kTimePickerBase + i.
const int kTimePickerBase = 1000;
const int kDatePickerBase = 1031;

// Everything outlives the dialog.
struct AllClocksServices {
    const ILanguageStrings* language;  // the title, the pickers' locale
    const CModule* resources;          // the language library with the template
    const WCHAR* skinsRoot;            // trailing backslash
    CVisualStyles* styles;             // may be null
    const CZoneDatabase* zones;        // the dated zone changes; may be null
    ClockContext context;
};

class CAllClocksDialog {
public:
    explicit CAllClocksDialog(const AllClocksServices& services);
    virtual ~CAllClocksDialog();
    CAllClocksDialog(const CAllClocksDialog&) = delete;
    CAllClocksDialog& operator=(const CAllClocksDialog&) = delete;

    // The clocks and the look; before the first Show.
    void SetHost(IDesktopClockHost* host) { m_host = host; }

    // Brings an open dialog to the front, else opens it; false when it cannot.
    bool Show();
    HWND Window() const { return m_dialog; }
    HWND Tooltip() const { return m_tooltip; }
    void Close();

    const SYSTEMTIME& Moment() const { return m_moment; }
    int ClockCount() const { return (int)m_copies.size(); }
    const ClockRecord& Copy(int index) const { return m_copies[index]; }
    RECT ClockRect(int index) const;
    // The tooltip's text for clock `index`.
    void TooltipText(int index, WCHAR* text, int chars) const;

protected:
    // UTC now; tests fix it.
    virtual SYSTEMTIME NowUtc();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    void OnInit();
    void BuildClocks();
    void FreeClocks();
    void Measure();
    void CreatePickers();
    void DestroyPickers();
    void SizeColumns();
    void Layout();
    void FitWindow(bool centre);
    void FollowMoment(bool now);
    void OnPickerChange(int id, const SYSTEMTIME& picked);
    void ApplyDatedChanges(int only, int skip);
    void UndoDatedChanges();
    void Paint();
    void OnMouseMove(LPARAM lParam);
    void HideTip();
    void Rebuild(bool refit);
    int ClockAt(POINT point) const;

    AllClocksServices m_services;
    IDesktopClockHost* m_host = nullptr;
    HWND m_dialog = nullptr;
    HWND m_tooltip = nullptr;
    SYSTEMTIME m_moment = {};
    std::vector<ClockRecord> m_copies;
    std::vector<CClock*> m_clocks;
    std::vector<AllClocksPlace> m_places;
    AllClocksSize m_client = {0, 0};
    std::vector<HWND> m_datePickers;
    std::vector<HWND> m_timePickers;
    CGraphics* m_skin = nullptr;
    bool m_hasFace = false;
    bool m_rebuilding = false;
    int m_columnWidth = 75;
    int m_pickerHeight = 20;
    int m_tipClock = -1;
    WCHAR m_tipText[80] = {};
};
