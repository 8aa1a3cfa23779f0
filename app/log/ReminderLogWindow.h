// The reminders and alarms log: one top-level window, created hidden at
// start-up, that lists fired alarms and due reminders and comes to the front
// on each new entry. Closing it only hides it. GUI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/alarms/AlarmCheck.h"
#include "app/alarms/AlarmLogEntries.h"
#include "app/log/LogWindowSettings.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/records/SettingsPaths.h"

// Icons of the program's resources.
const WORD kAlarmIconId = 103;      // an alarm entry
const WORD kReminderIconId = 155;   // a reminder entry
const WORD kLogWindowIconId = 158;  // the window's class icon (also the stop-sound dialog's)

// The delete button's control id.
const int kLogDeleteButtonId = 1;

// An alarm's text as an entry shows it, its macros expanded for the clock,
// the alarm and the occurrence.
using AlarmTextExpander =
    std::function<std::wstring(const ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time)>;

// What the window reaches besides its settings and strings; empty members
// take the defaults named.
struct LogWindowSeams {
    AlarmTextExpander expand;                // empty: the alarm's text as it stands
    std::function<void()> closeAlarmWindows;  // before the window goes: the alarm dialogs and sounds
    ILogScreens* screens;                    // null: the system's monitors
};

class CReminderLogWindow : public IAlarmLogEntries {
public:
    // `alarms` is the tick's state: its previous tick is set when the window
    // is created and saved as "lastalarmcheck" when it is destroyed, once a
    // tick ran.
    // `resources` holds the icons above (not owned; null: the program).
    CReminderLogWindow(const SettingsPaths& paths, const ILanguageStrings& language, AlarmCheckState& alarms,
                       HMODULE resources, const LogWindowSeams& seams);
    ~CReminderLogWindow() override;
    CReminderLogWindow(const CReminderLogWindow&) = delete;
    CReminderLogWindow& operator=(const CReminderLogWindow&) = delete;

    // Sets the previous tick to now (UTC), then to the stored last alarm
    // check, and creates the hidden window without owner; false when the
    // window could not be made.
    bool CreateLogWindow();
    // Closes the alarm windows, destroys the log window (which saves its
    // place) and unregisters the class.
    void DestroyLogWindow();

    bool AddLogEntry(ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time, bool reminder) override;
    // Selects and focuses entry `index` and scrolls it to the list's middle.
    void SelectLogItem(int index);
    // Title, column headers and button text from the language.
    void TranslateLogWindow();
    // The main menu's log command: shows the window normally, in front and
    // topmost, where it was.
    void Show();
    // The language changed (UM_RELOCALIZE to the window).
    void Relocalize();

    HWND Window() const { return m_window; }
    HWND List() const { return m_list; }
    HWND DeleteButton() const { return m_button; }

    static LRESULT CALLBACK LogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void OnSize(int width, int height);
    void OnDestroy();
    void DeleteSelected();
    // The "when" column: at most 63 characters and a plural ending of 3.
    static const int kWhenChars = 63 + 3 + 1;
    // The expanded text: at most 548 characters.
    static const int kExpandedChars = 548 + 1;
    void FormatWhen(const AlarmRecord& alarm, const SYSTEMTIME& time, bool reminder, WCHAR (&out)[kWhenChars]) const;
    void ExpandText(const ClockRecord& clock, const AlarmRecord& alarm, const SYSTEMTIME& time,
                    WCHAR (&out)[kExpandedChars]) const;

    const SettingsPaths& m_paths;
    const ILanguageStrings& m_language;
    AlarmCheckState& m_alarms;
    HMODULE m_resources;
    LogWindowSeams m_seams;
    CSystemLogScreens m_systemScreens;
    HICON m_classIcon;
    bool m_registered;
    HWND m_window;
    HWND m_list;
    HWND m_button;
};
