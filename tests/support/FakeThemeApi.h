// Visual styles as a system with an active style would have them, recording
// the calls. Text extents are charWidth x charHeight pixels a character, so
// layouts through the theme are exact; the theme itself draws nothing.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <string>
#include <vector>

#include "graphics/window/Theme.h"

class CFakeThemeApi : public IThemeApi {
public:
    struct TextCall {
        HTHEME theme;
        int part, state;
        std::wstring text;
        DWORD flags;
        RECT rect;  // where it was drawn; empty for a measurement
    };

    bool Load() override { return loaded = loadable; }
    bool Unload() override
    {
        ++unloads;
        loaded = false;
        return unloadSucceeds;
    }
    bool Loaded() const override { return loaded; }
    BOOL IsThemeActive() override { return active; }
    HRESULT GetCurrentThemeName(WCHAR*, int, WCHAR*, int, WCHAR*, int) override { return E_NOTIMPL; }
    HRESULT SetWindowTheme(HWND, const WCHAR*, const WCHAR*) override { return E_NOTIMPL; }
    HRESULT DrawThemeText(HTHEME theme, HDC, int part, int state, const WCHAR* text, int length, DWORD flags, DWORD,
                          const RECT* rect) override
    {
        drawn.push_back({theme, part, state, std::wstring(text, length), flags, *rect});
        return S_OK;
    }
    HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*) override { return E_NOTIMPL; }
    HRESULT DrawThemeParentBackground(HWND, HDC, RECT*) override { return E_NOTIMPL; }
    HRESULT GetThemeTextExtent(HTHEME theme, HDC, int part, int state, const WCHAR* text, int length, DWORD flags,
                               const RECT*, RECT* extent) override
    {
        measured.push_back({theme, part, state, std::wstring(text, length), flags, {}});
        if (!extentSucceeds)
            return E_FAIL;
        // away from the origin: callers must take the size, not the corner
        *extent = {100, 100, 100 + charWidth * length, 100 + charHeight};
        return S_OK;
    }
    COLORREF GetThemeSysColor(HTHEME, int) override { return 0; }
    HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF*) override { return E_NOTIMPL; }
    HTHEME GetWindowTheme(HWND) override { return nullptr; }
    HTHEME OpenThemeData(HWND, const WCHAR* classList) override
    {
        openedClasses.push_back(classList);
        return kTheme;
    }
    HRESULT CloseThemeData(HTHEME theme) override
    {
        closed.push_back(theme);
        return S_OK;
    }

    static inline const HTHEME kTheme = (HTHEME)(UINT_PTR)0x51;
    bool loadable = true;
    bool loaded = true;
    BOOL active = TRUE;
    bool unloadSucceeds = true;
    bool extentSucceeds = true;
    int charWidth = 7;
    int charHeight = 16;
    int unloads = 0;
    std::vector<TextCall> drawn;
    std::vector<TextCall> measured;
    std::vector<std::wstring> openedClasses;
    std::vector<HTHEME> closed;
};
