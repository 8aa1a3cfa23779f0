// The settings dialog: the settings tree on the left, the selected node's
// page on the right, and the buttons that add, delete, move and apply.
// GUI thread only; at most one per process.
#pragma once

#include <windows.h>

#include "settings/dialog/PageProtocol.h"
#include "settings/frame/SettingsCommand.h"

class CLanguage;
class CMainSettings;
class CNodeTree;
class IMainProgramLink;
struct SettingsPaths;

// The dialog's beeps: a refused value, a command while a box is open.
class IDialogBeep {
public:
    virtual ~IDialogBeep() = default;
    virtual void Beep(DWORD frequency, DWORD milliseconds) = 0;
};

class CSystemBeep : public IDialogBeep {
public:
    void Beep(DWORD frequency, DWORD milliseconds) override { ::Beep(frequency, milliseconds); }
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
};

// The modeless dialog from template 141 of the language's resource library,
// owned by `owner`, not yet shown; null when it cannot be created.
HWND CreateSettingsDialog(HWND owner, SettingsDialogServices& services);
