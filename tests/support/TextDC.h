// A memory DC with the GUI font: real GDI measuring without a window.
#pragma once

#include <windows.h>

class CTextDC {
public:
    CTextDC() : m_dc(CreateCompatibleDC(nullptr))
    {
        m_previous = SelectObject(m_dc, GetStockObject(DEFAULT_GUI_FONT));
    }
    ~CTextDC()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    CTextDC(const CTextDC&) = delete;
    CTextDC& operator=(const CTextDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
