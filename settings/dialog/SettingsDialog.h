// The settings dialog: the settings tree on the left, the selected node's
// page on the right, and the buttons that add, delete, move and apply.
// GUI thread only; at most one per process.
#pragma once

#include <windows.h>

#include "settings/dialog/PageProtocol.h"
#include "settings/frame/SettingsCommand.h"

class CCityList;
class CLanguage;
class CMainSettings;
class IColorBox;
struct AlarmFiringSeams;
class CNodeTree;
class IMainProgramLink;
struct ClockPageServices;
struct SettingsPaths;
struct GlobalPageSeams;

// The dialog's beeps: a refused value, a command while a box is open.
class IDialogBeep {
public:
    virtual ~IDialogBeep() = default;
    virtual void Beep(DWORD frequency, DWORD milliseconds) = 0;
};

// The beep of a refused value.
const DWORD kInvalidBeepHz = 1760;
const DWORD kInvalidBeepMs = 125;

class CSystemBeep : public IDialogBeep {
public:
    void Beep(DWORD frequency, DWORD milliseconds) override { ::Beep(frequency, milliseconds); }
};

// The delete question; tests answer it without a box on the screen.
class IDialogQuestion {
public:
    virtual ~IDialogQuestion() = default;
    // True for Yes. Modal: messages for the dialog arrive while it is open.
    virtual bool AskYesNo(HWND owner, const WCHAR* text, const WCHAR* caption) = 0;
};

class CMessageBoxQuestion : public IDialogQuestion {
public:
    bool AskYesNo(HWND owner, const WCHAR* text, const WCHAR* caption) override
    {
        return MessageBoxW(owner, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
};

// "Now" for the time of a new alarm.
class IDialogClock {
public:
    virtual ~IDialogClock() = default;
    virtual SYSTEMTIME NowUtc() = 0;
};

// What the dialog works with; every pointer outlives the dialog.
struct SettingsDialogServices {
    CLanguage* language;           // texts; its resource library holds the templates
    HINSTANCE program;             // the program's own resources: the drag cursors
    CNodeTree* tree;
    CMainSettings* settings;
    const SettingsPaths* paths;
    IMainProgramLink* link;
    IDialogBeep* beep;
    HWND frame;                    // takes the start command and the closing WM_CLOSE
    SettingsCommand startCommand;  // posted to the frame at the first initialisation
    // Per page kind; null: the page's own procedure. Tests put theirs here.
    DLGPROC pageProcs[kPageKindCount];
    IDialogQuestion* question;     // null: a message box
    IDialogClock* clock;           // null: the system clock
    // Set by the profiles page once a profile was loaded into the settings
    // file; closing without OK then restores the backup.
    bool profileLoaded;
    // The zones, cities, skins, preview and boxes of a clock's own pages;
    // null: those pages work without them.
    ClockPageServices* clockPages;
    // The alarm test and the background page.
    const CCityList* cities;              // the alarm texts' city macros; may be null
    const AlarmFiringSeams* alarmSeams;   // null: the system's sound, power, shell and boxes
    IColorBox* colorBox;                  // null: the system's colour box
    // The program-wide pages' time service, boxes and links; null: the system's.
    const GlobalPageSeams* globalPages;
};

// The modeless dialog from template 141 of the language's resource library,
// owned by `owner`, not yet shown; null when it cannot be created.
HWND CreateSettingsDialog(HWND owner, SettingsDialogServices& services);

// The services of the settings dialog `dialog` (a page's parent), or null.
SettingsDialogServices* GetSettingsDialogServices(HWND dialog);
