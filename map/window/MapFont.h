// The map's text: "MS Sans Serif" at 8 pixels in the character set of the
// user's ANSI code page, as OpenGL display lists of the ANSI characters.
#pragma once

#include <windows.h>
#include <GL/gl.h>

#include <string>

#include "graphics/system/Handles.h"

// The character set of the user's ANSI code page; the device context's when
// the code page names none of ours.
BYTE ChooseMapFont(HDC dc);

class CGLFontLists {
public:
    CGLFontLists() = default;
    ~CGLFontLists();
    CGLFontLists(const CGLFontLists&) = delete;
    CGLFontLists& operator=(const CGLFontLists&) = delete;

    // Creates the font, selects it into `dc` (kept until Release) and builds
    // the lists; the context must be current. False without lists.
    bool Create(HDC dc);
    // Frees the lists (context current) and gives the DC its font back.
    void Release();

    // At window x, y (origin bottom left; y is the baseline).
    void Draw(int x, int y, const std::string& text) const;
    int Width(const std::string& text) const;
    int Height() const { return m_height; }
    int Descent() const { return m_descent; }

private:
    HDC m_dc = nullptr;
    CGdiObject<HFONT> m_font;
    HGDIOBJ m_oldFont = nullptr;
    GLuint m_lists = 0;
    int m_height = 8;
    int m_descent = 0;
};

// UTF-16 to the ANSI code page, cut to fit `maxBytes` with a terminator.
std::string ToAnsi(const WCHAR* text, int maxBytes);
