#include "graphics/image/Bitmap.h"

#include "graphics/image/PixelAlpha.h"
#include "graphics/system/Handles.h"

namespace {

const uint32_t kRgbMask = 0x00FFFFFF;
const uint32_t kOpaque = 0xFF000000;

// COLORREF 0x00BBGGRR <-> pixel 0x..RRGGBB: red and blue swap places.
uint32_t SwapRedBlue(uint32_t v)
{
    return (v & 0xFF00FF00u) | ((v >> 16) & 0xFF) | ((v & 0xFF) << 16);
}

}  // namespace

HDC CreateScreenCompatibleDC()
{
    CWindowDC screen(nullptr);
    return screen ? CreateCompatibleDC(screen.Get()) : nullptr;
}

CBitmap::CBitmap()
    : m_oldObject(nullptr), m_bits(nullptr), m_dc(nullptr), m_bitmap(nullptr), m_width(0), m_height(0),
      m_bitCount(0)
{
}

CBitmap::~CBitmap()
{
    CBitmap::Destroy();
}

void CBitmap::Destroy()
{
    if (m_dc) {
        if (m_oldObject)
            SelectObject(m_dc, m_oldObject);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_oldObject = nullptr;
    m_bits = nullptr;
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_width = m_height = 0;
    m_bitCount = 0;
}

bool CBitmap::BeginCreate()
{
    Destroy();
    m_dc = CreateScreenCompatibleDC();
    return m_dc != nullptr;
}

bool CBitmap::FinishCreate(HBITMAP bitmap, uint32_t* bits, int width, int height, int bitCount)
{
    if (!bitmap) {
        Destroy();
        return false;
    }
    m_bitmap = bitmap;
    m_oldObject = SelectObject(m_dc, bitmap);
    if (!m_oldObject || m_oldObject == HGDI_ERROR) {
        m_oldObject = nullptr;
        Destroy();
        return false;
    }
    m_bits = bits;
    m_width = width;
    m_height = height;
    m_bitCount = (WORD)bitCount;
    return true;
}

bool CBitmap::Create(int width, int height, UINT planes, UINT bitCount)
{
    // GDI answers a size of 0 with its stock 1x1 bitmap, which is not ours to delete
    if (width <= 0 || height <= 0) {
        Destroy();
        return false;
    }
    if (!BeginCreate())
        return false;
    HBITMAP bitmap = nullptr;
    if (planes == 0 && bitCount == 0) {
        // the memory DC starts with a 1x1 monochrome bitmap: ask the screen
        CWindowDC screen(nullptr);
        if (screen)
            bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    } else {
        bitmap = CreateBitmap(width, height, planes, bitCount, nullptr);
    }
    return TakeBitmap(bitmap);
}

bool CBitmap::Attach(HBITMAP bitmap)
{
    if (!BeginCreate()) {
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    return TakeBitmap(bitmap);
}

bool CBitmap::TakeBitmap(HBITMAP bitmap)
{
    // the size and bit count, read before the bitmap is selected anywhere; the
    // header alone is asked for, but for BI_BITFIELDS GDI may add the masks after it
    struct {
        BITMAPINFOHEADER bmiHeader;
        RGBQUAD colours[256];
    } info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    if (!bitmap || !GetDIBits(m_dc, bitmap, 0, 0, nullptr, (BITMAPINFO*)&info, DIB_RGB_COLORS)) {
        if (bitmap)
            DeleteObject(bitmap);
        Destroy();
        return false;
    }
    LONG height = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
    return FinishCreate(bitmap, nullptr, info.bmiHeader.biWidth, height, info.bmiHeader.biBitCount);
}

bool CBitmap::LoadFromFile(const WCHAR* path, UINT flags)
{
    Destroy();
    HANDLE image = LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | flags);
    if (!image)
        return false;
    return Attach((HBITMAP)image);
}

bool CBitmap::Draw(HDC dc, int x, int y, int width, int height, int srcX, int srcY, DWORD rop) const
{
    if (!m_dc)
        return false;
    return StretchBlt(dc, x, y, width, height, m_dc, srcX, srcY, width, height, rop) != FALSE;
}

uint32_t CBitmap::GetPixel(int x, int y) const
{
    if (Is32BitDib() && x >= 0 && x < m_width && y >= 0 && y < m_height)
        return m_bits[y * m_width + x];
    COLORREF colour = ::GetPixel(m_dc, x, m_height - y - 1);
    return kOpaque | SwapRedBlue(colour);
}

bool CBitmap::SetPixel(int x, int y, uint32_t value)
{
    if (!m_dc || x < 0 || x >= m_width || y < 0 || y >= m_height)
        return false;
    if (Is32BitDib()) {
        m_bits[y * m_width + x] = value;
        return true;
    }
    if (value > kRgbMask)
        return false;
    return ::SetPixel(m_dc, x, m_height - y - 1, (COLORREF)SwapRedBlue(value)) != (COLORREF)-1;
}

bool CBitmap::SetAlphaRect(int x, int y, int width, int height, BYTE alpha)
{
    if (!Is32BitDib() || x >= m_width || y >= m_height)
        return false;
    GdiFlush();
    // 64-bit ends: a huge width or height must not wrap around
    int64_t top = (int64_t)y + height, right = (int64_t)x + width;
    int rowEnd = (int)(top < m_height ? top : m_height);
    int colEnd = (int)(right < m_width ? right : m_width);
    int row0 = y > 0 ? y : 0, col0 = x > 0 ? x : 0;
    if (row0 >= rowEnd || col0 >= colEnd)
        return false;
    for (int row = row0; row < rowEnd; ++row) {
        uint32_t* p = m_bits + (size_t)row * m_width;
        for (int col = col0; col < colEnd; ++col)
            p[col] = (p[col] & kRgbMask) | ((uint32_t)alpha << 24);
    }
    return true;
}

bool CBitmap::ApplyColorKey(uint32_t key, bool premultiply, BYTE keyAlpha)
{
    if (!Is32BitDib())
        return false;
    GdiFlush();
    uint32_t* end = m_bits + (size_t)m_width * m_height;
    for (uint32_t* p = m_bits; p < end; ++p) {
        uint32_t alpha = ((*p ^ key) & kRgbMask) == 0 ? keyAlpha : 255;
        *p = premultiply ? PremultiplyColor(*p, alpha) : (*p & kRgbMask) | (alpha << 24);
    }
    return true;
}

CUnselectedBitmap::CUnselectedBitmap(const CBitmap& bitmap) : m_bitmap(bitmap)
{
    if (m_bitmap.m_dc && m_bitmap.m_oldObject)
        SelectObject(m_bitmap.m_dc, m_bitmap.m_oldObject);
}

CUnselectedBitmap::~CUnselectedBitmap()
{
    if (m_bitmap.m_dc && m_bitmap.m_oldObject)
        SelectObject(m_bitmap.m_dc, m_bitmap.m_bitmap);
}

bool CDibSection::Create(int width, int height, UINT, UINT)
{
    if (width <= 0 || height <= 0) {
        Destroy();
        return false;
    }
    if (!BeginCreate())
        return false;
    // the masks sit in the V4 header and again as the colour table after it
    struct {
        BITMAPV4HEADER header;
        DWORD masks[4];
    } info = {};
    info.header.bV4Size = sizeof(BITMAPV4HEADER);
    info.header.bV4Width = width;
    info.header.bV4Height = height;  // positive: bottom-up
    info.header.bV4Planes = 1;
    info.header.bV4BitCount = 32;
    info.header.bV4V4Compression = BI_BITFIELDS;
    info.header.bV4SizeImage = (DWORD)width * (DWORD)height * 4;
    info.header.bV4RedMask = info.masks[0] = 0x00FF0000;
    info.header.bV4GreenMask = info.masks[1] = 0x0000FF00;
    info.header.bV4BlueMask = info.masks[2] = 0x000000FF;
    info.header.bV4AlphaMask = info.masks[3] = 0xFF000000;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(GetDC(), (BITMAPINFO*)&info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && !bits) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return FinishCreate(bitmap, (uint32_t*)bits, width, height, 32);
}

CTranspBitmap::~CTranspBitmap()
{
    CTranspBitmap::Destroy();
}

void CTranspBitmap::Destroy()
{
    m_mask.Destroy();
    CBitmap::Destroy();
}

bool CTranspBitmap::DrawTransparent(HDC dc, int x, int y, int width, int height, int srcX, int srcY, COLORREF key)
{
    if (!IsValid())
        return false;
    HDC src = GetDC();
    // a skin draws each glyph from one large grid: converting the whole grid
    // for every glyph cost far more than the glyph itself
    if (!m_mask.IsValid() || m_mask.GetWidth() != GetWidth() || m_mask.GetHeight() != GetHeight() ||
        m_maskKey != key) {
        if (!m_mask.Create(GetWidth(), GetHeight(), 1, 1))
            return false;
        // colour to monochrome: pixels of the background colour become 1
        COLORREF oldSrcBack = SetBkColor(src, key);
        COLORREF oldSrcText = SetTextColor(src, RGB(0, 0, 0));
        BOOL made = BitBlt(m_mask.GetDC(), 0, 0, GetWidth(), GetHeight(), src, 0, 0, SRCCOPY);
        SetBkColor(src, oldSrcBack);
        SetTextColor(src, oldSrcText);
        if (!made) {
            m_mask.Destroy();
            return false;
        }
        m_maskKey = key;
    }
    // monochrome to colour: 0 takes the text colour, 1 the background colour
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    // dst ^ bmp, then cleared where opaque, then ^ bmp: the bitmap where opaque, dst under the key
    BOOL ok = StretchBlt(dc, x, y, width, height, src, srcX, srcY, width, height, SRCINVERT);
    ok = ok && StretchBlt(dc, x, y, width, height, m_mask.GetDC(), srcX, srcY, width, height, SRCAND);
    ok = ok && StretchBlt(dc, x, y, width, height, src, srcX, srcY, width, height, SRCINVERT);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    return ok != FALSE;
}
