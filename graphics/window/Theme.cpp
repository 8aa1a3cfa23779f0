#include "graphics/window/Theme.h"

namespace {

template <typename T>
void Resolve(HMODULE module, const char* name, T* function)
{
    *function = (T)(void*)GetProcAddress(module, name);
}

}  // namespace

CUxThemeApi::CUxThemeApi() : m_module()
{
    Clear();
}

CUxThemeApi::~CUxThemeApi()
{
    Unload();
}

void CUxThemeApi::Clear()
{
    m_isThemeActive = nullptr;
    m_getCurrentThemeName = nullptr;
    m_setWindowTheme = nullptr;
    m_drawThemeText = nullptr;
    m_drawThemeBackground = nullptr;
    m_drawThemeParentBackground = nullptr;
    m_getThemeTextExtent = nullptr;
    m_getThemeSysColor = nullptr;
    m_getThemeColor = nullptr;
    m_getWindowTheme = nullptr;
    m_openThemeData = nullptr;
    m_closeThemeData = nullptr;
}

bool CUxThemeApi::Load()
{
    Unload();
    // from the system folder only: a "uxtheme.dll" beside the program is not ours to load
    WCHAR path[MAX_PATH];
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n + 13 > MAX_PATH)
        return false;
    lstrcatW(path, L"\\uxtheme.dll");
    m_module.Reset(LoadLibraryW(path));
    if (!m_module)
        return false;
    HMODULE module = m_module.Get();
    Resolve(module, "IsThemeActive", &m_isThemeActive);
    Resolve(module, "GetCurrentThemeName", &m_getCurrentThemeName);
    Resolve(module, "SetWindowTheme", &m_setWindowTheme);
    Resolve(module, "DrawThemeText", &m_drawThemeText);
    Resolve(module, "DrawThemeBackground", &m_drawThemeBackground);
    Resolve(module, "DrawThemeParentBackground", &m_drawThemeParentBackground);
    Resolve(module, "GetThemeTextExtent", &m_getThemeTextExtent);
    Resolve(module, "GetThemeSysColor", &m_getThemeSysColor);
    Resolve(module, "GetThemeColor", &m_getThemeColor);
    Resolve(module, "GetWindowTheme", &m_getWindowTheme);
    Resolve(module, "OpenThemeData", &m_openThemeData);
    Resolve(module, "CloseThemeData", &m_closeThemeData);
    // without these two the system is treated as one without visual styles
    if (!m_isThemeActive || !m_getCurrentThemeName) {
        Unload();
        return false;
    }
    return true;
}

bool CUxThemeApi::Unload()
{
    Clear();
    // the caller hears whether the library could be freed
    return !m_module || FreeLibrary(m_module.Detach());
}

BOOL CUxThemeApi::IsThemeActive()
{
    return m_isThemeActive ? m_isThemeActive() : FALSE;
}

HRESULT CUxThemeApi::GetCurrentThemeName(WCHAR* file, int fileChars, WCHAR* color, int colorChars, WCHAR* size,
                                         int sizeChars)
{
    return m_getCurrentThemeName ? m_getCurrentThemeName(file, fileChars, color, colorChars, size, sizeChars)
                                 : E_NOTIMPL;
}

HRESULT CUxThemeApi::SetWindowTheme(HWND window, const WCHAR* subAppName, const WCHAR* subIdList)
{
    return m_setWindowTheme ? m_setWindowTheme(window, subAppName, subIdList) : E_NOTIMPL;
}

HRESULT CUxThemeApi::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const WCHAR* text, int length,
                                   DWORD flags, DWORD flags2, const RECT* rect)
{
    return m_drawThemeText ? m_drawThemeText(theme, dc, part, state, text, length, flags, flags2, rect) : E_NOTIMPL;
}

HRESULT CUxThemeApi::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                         const RECT* clip)
{
    return m_drawThemeBackground ? m_drawThemeBackground(theme, dc, part, state, rect, clip) : E_NOTIMPL;
}

HRESULT CUxThemeApi::DrawThemeParentBackground(HWND window, HDC dc, RECT* rect)
{
    return m_drawThemeParentBackground ? m_drawThemeParentBackground(window, dc, rect) : E_NOTIMPL;
}

HRESULT CUxThemeApi::GetThemeTextExtent(HTHEME theme, HDC dc, int part, int state, const WCHAR* text, int length,
                                        DWORD flags, const RECT* bounds, RECT* extent)
{
    return m_getThemeTextExtent ? m_getThemeTextExtent(theme, dc, part, state, text, length, flags, bounds, extent)
                                : E_NOTIMPL;
}

COLORREF CUxThemeApi::GetThemeSysColor(HTHEME theme, int colorId)
{
    return m_getThemeSysColor ? m_getThemeSysColor(theme, colorId) : 0;
}

HRESULT CUxThemeApi::GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color)
{
    return m_getThemeColor ? m_getThemeColor(theme, part, state, property, color) : E_NOTIMPL;
}

HTHEME CUxThemeApi::GetWindowTheme(HWND window)
{
    return m_getWindowTheme ? m_getWindowTheme(window) : nullptr;
}

HTHEME CUxThemeApi::OpenThemeData(HWND window, const WCHAR* classList)
{
    return m_openThemeData ? m_openThemeData(window, classList) : nullptr;
}

HRESULT CUxThemeApi::CloseThemeData(HTHEME theme)
{
    return m_closeThemeData ? m_closeThemeData(theme) : E_NOTIMPL;
}

HTHEME CVisualStyles::OpenThemeIfActive(HWND window, const WCHAR* themeClass)
{
    m_active = m_api.Loaded() && m_api.IsThemeActive();
    return m_active ? m_api.OpenThemeData(window, themeClass) : nullptr;
}

void CVisualStyles::CloseTheme(HTHEME* theme)
{
    if (*theme)
        m_api.CloseThemeData(*theme);
    *theme = nullptr;
}

bool FreeLoadedModules(HMODULE* languageLibrary, IThemeApi& themeApi)
{
    bool freed = true;
    if (*languageLibrary) {
        freed = FreeLibrary(*languageLibrary) != FALSE;
        *languageLibrary = nullptr;
    }
    // both are freed even when the first fails
    return themeApi.Unload() && freed;
}
