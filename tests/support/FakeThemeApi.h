// Visual styles as a system with an active style would have them, recording
// the calls. Text extents are charWidth x charHeight pixels a character, so
// layouts through the theme are exact; text is not drawn, and a background only
// as a plain fill of backgroundColor.
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
    // Fills the rectangle with backgroundColor when it is set (not kNoFill).
    HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT*) override
    {
        backgrounds.push_back({theme, part, state, L"", 0, *rect});
        if (backgroundColor == kNoFill)
            return E_NOTIMPL;
        HBRUSH brush = CreateSolidBrush(backgroundColor);
        FillRect(dc, rect, brush);
        DeleteObject(brush);
        return S_OK;
    }
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
    // themeColor for every part, state and property when it is set (not kNoFill).
    HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color) override
    {
        colorQueries.push_back({theme, part, state, property});
        if (themeColor == kNoFill)
            return E_NOTIMPL;
        *color = themeColor;
        return S_OK;
    }
    HTHEME GetWindowTheme(HWND) override { return nullptr; }
    HTHEME OpenThemeData(HWND, const WCHAR* classList) override
    {
        openedClasses.push_back(classList);
        for (const std::wstring& refused : refusedClasses)
            if (refused == classList)
                return nullptr;
        return kTheme;
    }
    HRESULT CloseThemeData(HTHEME theme) override
    {
        closed.push_back(theme);
        return S_OK;
    }

    struct ColorQuery {
        HTHEME theme;
        int part, state, property;
    };

    static inline const HTHEME kTheme = (HTHEME)(UINT_PTR)0x51;
    static const COLORREF kNoFill = 0xFFFFFFFF;
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
    // Theme classes OpenThemeData fails for.
    std::vector<std::wstring> refusedClasses;
    COLORREF themeColor = kNoFill;
    COLORREF backgroundColor = kNoFill;
    std::vector<ColorQuery> colorQueries;
    std::vector<TextCall> backgrounds;  // text empty
};
