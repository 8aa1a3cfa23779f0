// Visual styles: the functions of "uxtheme.dll", loaded at run time because
// the library is missing before Windows XP, and the process's visual-styles
// flag. Tests replace IThemeApi with a fake.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "graphics/system/Handles.h"

class IThemeApi {
public:
    virtual ~IThemeApi() = default;
    // Loads the functions (after freeing an earlier load); false when the
    // library, IsThemeActive or GetCurrentThemeName is missing.
    virtual bool Load() = 0;
    // Frees the library; true when nothing was loaded or the free succeeded.
    virtual bool Unload() = 0;
    // True between a successful Load and Unload.
    virtual bool Loaded() const = 0;

    // The uxtheme functions; a function the library lacks fails (E_NOTIMPL,
    // FALSE, null or 0).
    virtual BOOL IsThemeActive() = 0;
    virtual HRESULT GetCurrentThemeName(WCHAR* file, int fileChars, WCHAR* color, int colorChars, WCHAR* size,
                                        int sizeChars) = 0;
    virtual HRESULT SetWindowTheme(HWND window, const WCHAR* subAppName, const WCHAR* subIdList) = 0;
    virtual HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const WCHAR* text, int length,
                                  DWORD flags, DWORD flags2, const RECT* rect) = 0;
    virtual HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                        const RECT* clip) = 0;
    virtual HRESULT DrawThemeParentBackground(HWND window, HDC dc, RECT* rect) = 0;
    virtual HRESULT GetThemeTextExtent(HTHEME theme, HDC dc, int part, int state, const WCHAR* text, int length,
                                       DWORD flags, const RECT* bounds, RECT* extent) = 0;
    virtual COLORREF GetThemeSysColor(HTHEME theme, int colorId) = 0;
    virtual HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color) = 0;
    virtual HTHEME GetWindowTheme(HWND window) = 0;
    virtual HTHEME OpenThemeData(HWND window, const WCHAR* classList) = 0;
    virtual HRESULT CloseThemeData(HTHEME theme) = 0;
};

// The real functions from "uxtheme.dll" of the system folder.
class CUxThemeApi : public IThemeApi {
public:
    CUxThemeApi();
    ~CUxThemeApi() override;
    CUxThemeApi(const CUxThemeApi&) = delete;
    CUxThemeApi& operator=(const CUxThemeApi&) = delete;

    bool Load() override;
    bool Unload() override;
    bool Loaded() const override { return (bool)m_module; }

    BOOL IsThemeActive() override;
    HRESULT GetCurrentThemeName(WCHAR* file, int fileChars, WCHAR* color, int colorChars, WCHAR* size,
                                int sizeChars) override;
    HRESULT SetWindowTheme(HWND window, const WCHAR* subAppName, const WCHAR* subIdList) override;
    HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const WCHAR* text, int length, DWORD flags,
                          DWORD flags2, const RECT* rect) override;
    HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                const RECT* clip) override;
    HRESULT DrawThemeParentBackground(HWND window, HDC dc, RECT* rect) override;
    HRESULT GetThemeTextExtent(HTHEME theme, HDC dc, int part, int state, const WCHAR* text, int length,
                               DWORD flags, const RECT* bounds, RECT* extent) override;
    COLORREF GetThemeSysColor(HTHEME theme, int colorId) override;
    HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color) override;
    HTHEME GetWindowTheme(HWND window) override;
    HTHEME OpenThemeData(HWND window, const WCHAR* classList) override;
    HRESULT CloseThemeData(HTHEME theme) override;

private:
    void Clear();

    CModule m_module;
    decltype(&::IsThemeActive) m_isThemeActive;
    decltype(&::GetCurrentThemeName) m_getCurrentThemeName;
    decltype(&::SetWindowTheme) m_setWindowTheme;
    decltype(&::DrawThemeText) m_drawThemeText;
    decltype(&::DrawThemeBackground) m_drawThemeBackground;
    decltype(&::DrawThemeParentBackground) m_drawThemeParentBackground;
    decltype(&::GetThemeTextExtent) m_getThemeTextExtent;
    decltype(&::GetThemeSysColor) m_getThemeSysColor;
    decltype(&::GetThemeColor) m_getThemeColor;
    decltype(&::GetWindowTheme) m_getWindowTheme;
    decltype(&::OpenThemeData) m_openThemeData;
    decltype(&::CloseThemeData) m_closeThemeData;
};

// The process's visual-style state over a function table it does not own:
// whether a visual style is active, read by the graphics styles for rounded
// frames. GUI thread only.
class CVisualStyles {
public:
    explicit CVisualStyles(IThemeApi& api) : m_api(api), m_active(false) {}
    CVisualStyles(const CVisualStyles&) = delete;
    CVisualStyles& operator=(const CVisualStyles&) = delete;

    IThemeApi& Api() const { return m_api; }
    bool Active() const { return m_active; }
    // For the loader, which takes the state from IsThemeActive.
    void SetActive(bool active) { m_active = active; }

    // The theme of `themeClass` for `window` when the functions are loaded and
    // a style is active, else 0; sets the flag accordingly. Close it with CloseTheme.
    HTHEME OpenThemeIfActive(HWND window, const WCHAR* themeClass);
    // Closes *theme (when not 0) and sets it to 0.
    void CloseTheme(HTHEME* theme);

private:
    IThemeApi& m_api;
    bool m_active;
};

// A theme from OpenThemeIfActive (0 when none), closed when the owner goes.
class CActiveTheme {
public:
    CActiveTheme(CVisualStyles& styles, HWND window, const WCHAR* themeClass)
        : m_styles(styles), m_theme(styles.OpenThemeIfActive(window, themeClass))
    {
    }
    ~CActiveTheme() { m_styles.CloseTheme(&m_theme); }
    CActiveTheme(const CActiveTheme&) = delete;
    CActiveTheme& operator=(const CActiveTheme&) = delete;

    HTHEME Get() const { return m_theme; }

private:
    CVisualStyles& m_styles;
    HTHEME m_theme;
};

// Frees the language resource library (*languageLibrary, set to null; none
// when null) and the visual-style functions. True when every free succeeded.
bool FreeLoadedModules(HMODULE* languageLibrary, IThemeApi& themeApi);
