// Drawing styles of the clocks: text extents, backgrounds, frames and text.
// CGraphics is the built-in look (the taskbar's own font, optionally framed)
// and the base of the bitmap skins, which override the virtual operations.
// One style is shared by many clocks and counted by reference. GUI thread only.
#pragma once

#include <stdint.h>
#include <windows.h>
#include <uxtheme.h>

#include "graphics/image/Bitmap.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/skin/StyleNames.h"
#include "graphics/system/Handles.h"
#include "graphics/window/Theme.h"

class CGraphics;

// Told when a style may go and when it has gone (the skin cache). The slot
// order is fixed: the owner is not deleted through this interface.
class IGraphicsOwner {
public:
    virtual void OnGraphicsDestroyed(CGraphics* graphics) = 0;
    // False keeps a style whose last reference was released alive.
    virtual bool CanDeleteGraphics(CGraphics* graphics) = 0;

protected:
    ~IGraphicsOwner() = default;
};


// Colour arguments and fields: kDefaultColor is the style's default,
// kNoColor nothing (transparent); other values are COLORREFs.
const COLORREF kDefaultColor = 0xFF000000;
const COLORREF kNoColor = 0xFFFFFFFF;

enum GraphicsKind : int32_t { kKindStandard = 0, kKindClassic = 1, kKindOther = 2 };
enum BorderStyle : int32_t { kBorderNone = 0, kBorderRectangle = 1, kBorderRounded = 2 };

// Flags of DrawLines.
const DWORD kLinesCentered = 1;
const DWORD kLinesRight = 2;

// Style names compare ignoring case (false when either is null).
bool SameStyleName(const WCHAR* a, const WCHAR* b);
// One of the two built-in looks, which need no skin folder.
bool IsBuiltInStyleName(const WCHAR* name);

// SystemParametersInfoW's signature, replaceable for tests.
typedef BOOL(WINAPI* SystemParametersFn)(UINT action, UINT param, void* data, UINT winIni);

class CGraphics {
public:
    // `styles` (may be null: plain GDI, no visual styles) gives the theme
    // functions and whether a visual style is active; it outlives the style.
    // The centred flag starts true when `settings` names the classic style.
    explicit CGraphics(CVisualStyles* styles = nullptr, const SettingsBlock* settings = nullptr);
    CGraphics(const CGraphics&) = delete;
    CGraphics& operator=(const CGraphics&) = delete;

    // The virtual operations, in this order for the skins deriving from it.
    // Tells the owner, restores and deletes the font.
    virtual ~CGraphics();
    // Feature bits of the skins; 0 here.
    virtual DWORD GetFeatures();
    // MeasureText with the bound theme handle.
    virtual void GetTextExtent(SIZE* size, const WCHAR* text, int length);
    // Picks the look from `name` and makes the font. False when the font
    // could not be created (GDI's default font is used then).
    virtual bool Load(const WCHAR* name, int fontWidth, int fontSize, int weight, DWORD styleFlags);
    virtual void FillBackground(const RECT* rect, COLORREF color);
    virtual void DrawFrame(const RECT* rect, bool rounded, COLORREF pen, COLORREF brush);
    // DrawTextShadowed with the bound theme handle. (<windows.h> renames
    // this member DrawTextW in every file that includes this header.)
    virtual void DrawText(int x, int y, const WCHAR* text, int length);
    virtual void ApplyLightmap(uint32_t* pixels, int width, int height);
    virtual COLORREF GetBackColor();
    // Sets lfHeight (width scaled along) and re-creates the font when it changed.
    virtual void SetFontHeight(LONG height);

    void AddRef() { ++m_refCount; }
    // True when the caller must delete the style: the last reference is gone
    // and the owner (if any) agrees.
    bool Release();
    LONG GetRefCount() const { return m_refCount; }

    void SetOwner(IGraphicsOwner* owner) { m_owner = owner; }
    IGraphicsOwner* GetOwner() const { return m_owner; }
    // Binds a DC (never owned) and theme handle (0 = plain GDI); the font
    // moves from the previous DC to this one.
    void SetDC(HDC dc, HTHEME theme);
    HDC GetDC() const { return m_dc; }
    HTHEME GetTheme() const { return m_theme; }
    // A 32-bit bitmap (not owned, may be null) whose alpha becomes 255 under
    // text drawn while its DC is the bound one.
    void SetTargetBitmap(CBitmap* bitmap) { m_target = bitmap; }
    // Draws into `target` (not owned): its DC is bound, keeping the theme
    // handle, and it becomes the target bitmap. Null only clears the target.
    void SetDrawingTarget(CDibSection* target);

    // Extent of `text` (length -1 or 0: the whole string) plus the shadow offset.
    SIZE MeasureText(HTHEME theme, const WCHAR* text, int length);
    // Lines split at LF (CR before it dropped): widest line, heights plus 1 between.
    SIZE MeasureLines(const WCHAR* text, int length);
    // Draws each line with DrawText at x (kLinesCentered, kLinesRight align on x).
    void DrawLines(int x, int y, DWORD flags, const WCHAR* text, int length);
    // One pass of text in `color` at (x, y), then the target bitmap's alpha.
    void DrawTextRaw(HTHEME theme, int x, int y, const WCHAR* text, int length, COLORREF color);
    // The shadow (when set) at the shadow offset, then the text.
    void DrawTextShadowed(HTHEME theme, int x, int y, const WCHAR* text, int length);

    const WCHAR* GetName() const { return m_name; }
    GraphicsKind GetKind() const { return (GraphicsKind)m_kind; }
    COLORREF GetTextColor() const { return m_textColor; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBackColor(COLORREF color) { m_backColor = color; }
    COLORREF GetShadowColor() const { return m_shadowColor; }
    int GetShadowOffset() const { return m_shadowOffset; }
    void SetShadow(COLORREF color, int offset);
    COLORREF GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(COLORREF color) { m_borderColor = color; }
    BorderStyle GetBorderStyle() const { return (BorderStyle)m_borderStyle; }
    void SetBorderStyle(BorderStyle style) { m_borderStyle = style; }
    bool IsCentered() const { return m_centered; }
    void SetCentered(bool centered) { m_centered = centered; }
    bool IsOpaqueText() const { return m_opaqueText; }
    void SetOpaqueText(bool opaque) { m_opaqueText = opaque; }
    LONG GetFontHeight() const { return m_logFont.lfHeight; }
    const LOGFONTW& GetLogFont() const { return m_logFont; }
    int GetFontSize() const { return m_fontSize; }
    HFONT GetFont() const { return m_font.Get(); }

    // Replaces SystemParametersInfoW for the status-bar font query.
    void SetSystemParameters(SystemParametersFn fn) { m_systemParameters = fn; }

protected:
    IThemeApi* ThemeApi() const { return m_styles ? &m_styles->Api() : nullptr; }
    // Size of the text alone, without the shadow; 0 without a DC.
    SIZE MeasureBare(HTHEME theme, const WCHAR* text, int length);
    // Deselects the font from the bound DC.
    void DeselectFont();
    void SelectFont();
    // Deselects, deletes and re-creates the font from m_logFont.
    bool RecreateFont();

    IGraphicsOwner* m_owner;
    WCHAR m_name[260];
    LONG m_refCount;
    HDC m_dc;
    HTHEME m_theme;
    CBitmap* m_target;
    CGdiObject<HFONT> m_font;  // deleted only once it is deselected
    HGDIOBJ m_oldFont;
    LOGFONTW m_logFont;
    int32_t m_fontSize;
    int32_t m_fontWidth;
    COLORREF m_textColor;
    COLORREF m_backColor;
    COLORREF m_shadowColor;
    COLORREF m_borderColor;
    int32_t m_shadowOffset;
    int32_t m_borderStyle;
    bool m_centered;
    int32_t m_kind;
    bool m_opaqueText;

private:
    CVisualStyles* m_styles;
    SystemParametersFn m_systemParameters;
};
