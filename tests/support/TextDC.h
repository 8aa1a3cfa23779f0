// A memory DC with the GUI font: real GDI measuring without a window.
#pragma once

#include <windows.h>

#include "graphics/system/Handles.h"

class CTextDC {
public:
    CTextDC() : m_dc(CreateCompatibleDC(nullptr))
    {
        m_previous = SelectObject(m_dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
    }
    ~CTextDC() { SelectObject(m_dc.Get(), m_previous); }
    CTextDC(const CTextDC&) = delete;
    CTextDC& operator=(const CTextDC&) = delete;
    HDC Get() const { return m_dc.Get(); }

private:
    CMemoryDC m_dc;
    HGDIOBJ m_previous;
};
