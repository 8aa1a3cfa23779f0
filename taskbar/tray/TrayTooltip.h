// The clock tooltip's window in the taskbar's process. Its contents come
// later; the window, its clock index and the delayed hide exist now so that
// the tray clock window drives it as it will drive the full tooltip.
#pragma once

#include "graphics/window/Window.h"

class CTrayTooltip : public CWindow {
public:
    CTrayTooltip() : m_clock(-1) {}
    // "Tempoler Tooltip", a top-most tool window without a parent.
    bool CreateTooltip();
    int ClockIndex() const { return m_clock; }
    void SetClockIndex(int index) { m_clock = index; }
    bool IsShown() const;
    void Hide();
    void HideAfter(UINT ms);
    void CancelHide();
    bool OnMessage(WindowMessage& message) override;

private:
    int m_clock;
};
