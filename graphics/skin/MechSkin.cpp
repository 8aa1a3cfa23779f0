// Loading the clock face and hand strip of an analogue skin, and the
// backgrounds drawn behind the face.
#include "graphics/skin/MechSkin.h"

namespace {

const int kFullTurn = 360;
const int kHandBands = 3;
// Bands of fewer rows hold no usable hand.
const int kMinBandRows = 3;

bool FileExists(const WCHAR* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

COLORREF PixelToColor(uint32_t pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

uint32_t ColorToOpaquePixel(COLORREF color)
{
    return 0xFF000000u | (uint32_t)GetRValue(color) << 16 | (uint32_t)GetGValue(color) << 8 | GetBValue(color);
}

// Rows are bottom-up: the image's top-left pixel is in the last row.
uint32_t TopLeft(const CPixelBuffer& image)
{
    return image.GetPixel(0, image.GetHeight() - 1);
}

// Only a PNG with its own alpha channel is a face; others leave the buffer empty.
bool LoadPngFace(CPixelBuffer& image, const WCHAR* path, COLORREF* back)
{
    if (!FileExists(path) || !image.LoadPng(path) || image.GetBitCount() != 32) {
        image.Free();
        return false;
    }
    *back = PixelToColor(TopLeft(image));
    return image.PremultiplyAlpha();
}

// A bitmap's own corner colour is its transparent key. It is read back
// through a screen bitmap: LoadImageW's 24-bit DIB sections came back from
// GetDIBits with wrong pixels under Wine.
bool LoadBmpFace(CPixelBuffer& image, const WCHAR* path, COLORREF* back)
{
    CBitmap bitmap;
    if (!CSkin::IsCompleteBitmapFile(path) || !bitmap.LoadFromFile(path) || !image.ReadFrom(bitmap, 0, 0))
        return false;
    uint32_t key = TopLeft(image);
    *back = PixelToColor(key);
    return image.KeyToAlpha(key, true);
}

int PositiveAngle(int degrees)
{
    int angle = degrees % kFullTurn;
    return angle < 0 ? angle + kFullTurn : angle;
}

}  // namespace

CMechSkin::CMechSkin(const WCHAR* skinsRoot, int largestFace, CVisualStyles* styles, const SettingsBlock* settings)
    : CSkin(skinsRoot, styles, settings),
      m_largestFace(largestFace),
      m_faceBackColor(kNoColor),
      m_faceAngle(0),
      m_axisOffsetX(0),
      m_axisOffsetY(0),
      m_face24h(false)
{
}

CMechSkin::~CMechSkin() = default;

void CMechSkin::ReleaseFace()
{
    m_faceBitmap.Destroy();
    m_handStrip.Free();
    m_facePixels.Free();
    m_faceBackColor = kNoColor;
    m_faceAngle = 0;
    m_axisOffsetX = 0;
    m_axisOffsetY = 0;
    m_face24h = false;
}

DWORD CMechSkin::GetFeatures()
{
    return CSkin::GetFeatures() | (HasFace() ? kSkinClockFace : 0);
}

bool CMechSkin::Load(const WCHAR* name, int fontWidth, int fontSize, int weight, DWORD styleFlags)
{
    ReleaseFace();
    bool loaded = CSkin::Load(name, fontWidth, fontSize, weight, styleFlags);
    WCHAR folder[MAX_PATH];
    if (FindFolder(name, folder) && !LoadFace(folder))
        ReleaseFace();
    return loaded;
}

bool CMechSkin::LoadFace(const WCHAR* folder)
{
    CPixelBuffer image;
    WCHAR path[MAX_PATH];
    COLORREF back = kNoColor;
    if (!(FolderFile(path, folder, L"clkface.png") && LoadPngFace(image, path, &back)) &&
        !(FolderFile(path, folder, L"clkface.bmp") && LoadBmpFace(image, path, &back)))
        return false;

    int width = image.GetWidth();
    if (m_largestFace > 0 && m_largestFace < width) {
        int factor = (width - 1) / m_largestFace + 1;
        // an image too flat for the factor has no face left
        if (!image.Resize(width / factor, image.GetHeight() / factor, true))
            return false;
    }

    WCHAR ini[MAX_PATH];
    if (!FolderFile(ini, folder, L"skin.ini"))
        ini[0] = 0;
    m_faceAngle = PositiveAngle((int)GetPrivateProfileIntW(L"clock", L"angle", 0, ini));
    m_face24h = GetPrivateProfileIntW(L"clock", L"face24h", 0, ini) != 0;
    // offsets are in pixels of the image as stored
    m_axisOffsetX = (int)GetPrivateProfileIntW(L"clock", L"axis_ofs_x", 0, ini);
    m_axisOffsetY = (int)GetPrivateProfileIntW(L"clock", L"axis_ofs_y", 0, ini);
    if (image.GetWidth() != width) {
        m_axisOffsetX = MulDiv(m_axisOffsetX, image.GetWidth(), width);
        m_axisOffsetY = MulDiv(m_axisOffsetY, image.GetWidth(), width);
    }

    // The lowest rows beyond the square are the hand strip, three bands tall.
    int w = image.GetWidth(), h = image.GetHeight();
    int stripRows = (h > w && (h - w) / kHandBands >= kMinBandRows) ? h - w : 0;
    CDibSection whole;
    if (!whole.Create(w, h) || !image.CopyTo(whole))
        return false;
    GdiFlush();
    if (stripRows > 0 && !m_handStrip.ReadFrom(whole, 0, stripRows))
        return false;
    if (!m_facePixels.ReadFrom(whole, stripRows, h - stripRows))
        return false;
    if (!m_faceBitmap.Create(w, h - stripRows) || !m_facePixels.CopyTo(m_faceBitmap))
        return false;
    GdiFlush();
    m_faceBackColor = back;
    return true;
}

COLORREF CMechSkin::GetBackColor()
{
    return HasFace() ? m_faceBackColor : CSkin::GetBackColor();
}

void CMechSkin::FillBackground(const RECT* rect, COLORREF color)
{
    if (!HasFace() || !rect || !GetDC()) {
        CSkin::FillBackground(rect, color);
        return;
    }
    if (color == kNoColor) {
        StretchBlt(GetDC(), rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                   m_faceBitmap.GetDC(), 0, 0, 1, 1, SRCCOPY);
        return;
    }
    if (!FillTarget(rect))
        CSkin::FillBackground(rect, color);
}

// GDI fills leave a 32-bit target's alpha at 0: write the opaque background
// colour into its pixels instead, clipped to the bitmap.
bool CMechSkin::FillTarget(const RECT* rect)
{
    if (!m_target || m_target->GetDC() != GetDC() || m_target->GetBitCount() != 32 || !m_target->GetBits())
        return false;
    int width = m_target->GetWidth(), height = m_target->GetHeight();
    RECT bounds = {0, 0, width, height}, area;
    if (!IntersectRect(&area, rect, &bounds))
        return true;
    uint32_t pixel = ColorToOpaquePixel(GetBackColor());
    GdiFlush();
    uint32_t* bits = m_target->GetBits();
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = bits + (size_t)(height - 1 - y) * width;
        for (int x = area.left; x < area.right; ++x)
            row[x] = pixel;
    }
    return true;
}
