// The small translucent panel of large start/stop and reset buttons that
// opens beside a timer clock's timer button, in the taskbar or on the
// desktop. One object lives for the whole run and makes a window of its own
// when shown; the window that shows the clock (possibly in the taskbar's
// process) says where to open and whether the mouse is still on the button.
// GUI thread of the main window only.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "graphics/image/Bitmap.h"
#include "graphics/language/LanguageStrings.h"
#include "graphics/system/Handles.h"
#include "graphics/window/Window.h"
#include "app/clocks/TimerClocks.h"

struct ClockRecord;

// "tbuttons.png": 3 columns (reset, stop, start) by 2 rows (normal,
// pressed), 32 bits per pixel. False, `image` empty, for any other file. The
// alpha of every pixel is lifted into the upper half so that even the
// transparent parts of the buttons stay visible.
bool LoadTimerButtons(const WCHAR* path, CDibSection* image);

class CTimerPanel : public CAlphaWindow, public ITimerPanel {
public:
    // Image indexes of the buttons, as laid out in the image's columns.
    static constexpr int kReset = 0;
    static constexpr int kStop = 1;
    static constexpr int kStart = 2;
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kLingerMs = 1500;
    // How long the clock's window may take to answer before it counts as gone.
    static constexpr UINT kOwnerTimeoutMs = 1000;

    // `strings` gives the labels; `programFolder` ends with a backslash. Both
    // outlive the object.
    CTimerPanel(const ILanguageStrings& strings, const WCHAR* programFolder);

    // Opens the panel of `clock` (element `clockIndex` of the main program's
    // array) beside it in `owner`; the buttons' notice and command go to
    // `mainWindow`. Shown again for the same clock it only stays longer.
    // False when the clock is no timer, the image is missing or the owner
    // does not answer.
    bool Show(HWND owner, const ClockRecord& clock, int clockIndex, HWND mainWindow) override;
    // Start or stop follows the clock's running state.
    void Update(const ClockRecord& clock);
    bool IsShown() const override { return m_hwnd && IsWindowVisible(m_hwnd); }
    HWND Window() const override { return m_hwnd; }
    void Close() override { Destroy(); }

    // The image index of the button at client point (x, y), or -1.
    int HitTest(int x, int y) const;
    int ButtonCount() const { return m_buttonCount; }
    int ButtonImage(int button) const { return m_images[button]; }
    const CDibSection& ButtonImageBits() const { return m_image; }

    bool OnMessage(WindowMessage& message) override;
    bool UpdateLayered(HDC dc) override;

private:
    void Paint();
    void PaintLabel(HDC dc, int button, uint32_t background);
    void OnTimer();
    void OnButtonUp(LPARAM position);
    int ButtonX(int button) const { return 4 + button * (m_image.GetWidth() / 3 + 4); }

    const ILanguageStrings& m_strings;
    const WCHAR* m_folder;
    HWND m_owner;
    HWND m_main;
    uint32_t m_clockId;
    int m_clockIndex;
    int m_pressed;
    bool m_hovering;
    int m_buttonCount;
    int m_images[2];
    WCHAR m_labels[3][64];
    CDibSection m_image;
    CGdiObject<HFONT> m_font;
};
