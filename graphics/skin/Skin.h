// Bitmap skins: a folder of bitmaps and a skin.ini under the skins root that
// give a clock its digits, letters, frame and shading. A name without such a
// folder falls back to the built-in looks and font faces of CGraphics.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "graphics/image/Bitmap.h"
#include "graphics/skin/Graphics.h"

// Feature bits of GetFeatures.
const DWORD kSkinDigits = 1;
const DWORD kSkinBitmapFont = 2;
const DWORD kSkinLightmap = 4;
const DWORD kSkinClockFace = 8;

class CSkin : public CGraphics {
public:
    // `skinsRoot` is the folder holding the skin folders, with a trailing
    // backslash (copied; too long a root finds no skin).
    explicit CSkin(const WCHAR* skinsRoot, CVisualStyles* styles = nullptr,
                   const SettingsBlock* settings = nullptr);
    ~CSkin() override;

    DWORD GetFeatures() override;
    void GetTextExtent(SIZE* size, const WCHAR* text, int length) override;
    bool Load(const WCHAR* name, int fontWidth, int fontSize, int weight, DWORD styleFlags) override;
    void FillBackground(const RECT* rect, COLORREF color) override;
    void DrawText(int x, int y, const WCHAR* text, int length) override;
    void ApplyLightmap(uint32_t* pixels, int width, int height) override;
    COLORREF GetBackColor() override;
    // Only skins drawing all text with a GDI font change their font.
    void SetFontHeight(LONG height) override;

    // Replaces SystemParametersInfoW for the status-bar font of the built-in
    // looks and the icon-title font of skins without a font of their own.
    void SetSystemParameters(SystemParametersFn fn)
    {
        CGraphics::SetSystemParameters(fn);
        m_iconMetrics = fn;
    }

    int GetDigitWidth() const { return m_digitWidth; }
    int GetColonWidth() const { return m_colonWidth; }
    int GetDigitHeight() const { return m_digitHeight; }
    int GetCellWidth() const { return m_cellWidth; }
    int GetCellHeight() const { return m_cellHeight; }
    // False for a missing file and for a BMP file too short for the pixels
    // its header announces (LoadImageW would make up the missing rows).
    static bool IsCompleteBitmapFile(const WCHAR* path);
    // `folder` + `file` into `path`; false when too long.
    static bool FolderFile(WCHAR (&path)[MAX_PATH], const WCHAR* folder, const WCHAR* file);

    // Transparent keys (COLORREF) of the strip and grid; kNoColor without them.
    COLORREF DigitKey() const;
    COLORREF FontKey() const;

protected:
    // The skin's folder (root, name, backslash) into `folder`; false when
    // there is no such folder.
    bool FindFolder(const WCHAR* name, WCHAR (&folder)[MAX_PATH]) const;

    int32_t m_colonWidth;
    int32_t m_digitWidth;
    int32_t m_digitHeight;
    int32_t m_cellWidth;
    int32_t m_cellHeight;
    CTranspBitmap m_digits;
    CTranspBitmap m_fontGrid;
    CBitmap m_lightmap;

private:
    void ReleaseBitmaps();
    bool LoadFontGrid(const WCHAR* folder);
    bool LoadDigitStrip(const WCHAR* folder);
    bool CutStripFromGrid();
    void DrawCell(CTranspBitmap& bitmap, int x, int y, int width, int height, int srcX, int srcY, COLORREF key);

    WCHAR m_skinsRoot[MAX_PATH];
    CVisualStyles* m_visualStyles;
    SystemParametersFn m_iconMetrics;
};
