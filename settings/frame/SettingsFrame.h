// The settings program's frame: the hidden "TL_SETTINGS" window that owns the
// settings dialog and takes the messages of the main program, of a second
// start and of the pages. GUI thread only.
#pragma once

#include <windows.h>

// The frame's zone-change timer.
const UINT_PTR kZoneWatchTimer = 1;
const UINT kZoneWatchMs = 300;

const int kSettingsTextChars = 101;  // the caption and the empty preview's text

// What the frame leaves to the program.
class ISettingsFrameHost {
public:
    virtual ~ISettingsFrameHost() = default;
    // The settings dialog owned by `frame`, shown and filled; null when it
    // cannot be made.
    virtual HWND CreateSettingsDialogFor(HWND frame) = 0;
    // The language changed: the texts loaded again, the caption into
    // `caption` (kSettingsTextChars).
    virtual void ReloadTexts(WCHAR* caption) = 0;
    // The system's settings changed: the visual style may be another.
    virtual void ReloadVisualStyles() = 0;
    // A tick of the zone-change timer.
    virtual void CheckZoneChanges() = 0;
    // The frame is going: the tree and the preview's panel are emptied.
    virtual void FrameDestroyed() = 0;
};

class CSettingsFrame {
public:
    // `host` outlives the frame.
    explicit CSettingsFrame(ISettingsFrameHost& host);
    ~CSettingsFrame();
    CSettingsFrame(const CSettingsFrame&) = delete;
    CSettingsFrame& operator=(const CSettingsFrame&) = delete;

    // After InitCommonControlsEx, the frame's class and the location
    // chooser's, with the icon and menu of `instance`. False when either fails.
    static bool RegisterClasses(HINSTANCE instance);
    static void UnregisterClasses(HINSTANCE instance);

    // The hidden frame, which opens the settings dialog at once. False when
    // the window or the dialog cannot be made (DialogFailed tells which).
    bool Create(HINSTANCE instance, const WCHAR* caption);
    bool DialogFailed() const { return m_dialogFailed; }

    // Creates the settings dialog unless one exists; true when one exists.
    bool OpenSettingsDialog();

    HWND Window() const { return m_window; }
    HWND Dialog() const;
    // The modal location chooser while it is open, or null.
    void SetChooser(HWND chooser) { m_chooser = chooser; }

    static LRESULT CALLBACK SettingsFrameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void OnDestroy();
    void OnClose();
    void OnRelocalize();
    LRESULT ToDialog(UINT message, WPARAM wParam, LPARAM lParam);

    ISettingsFrameHost& m_host;
    HWND m_window;
    HWND m_dialog;
    HWND m_chooser;
    bool m_dialogFailed;
    bool m_closingDialog;
};
