#include "graphics/image/PixelBuffer.h"

#include <string.h>

#include "graphics/image/Bitmap.h"
#include "graphics/image/PixelOps.h"

namespace {

const uint32_t kNoPixel = 0xFFFFFFFF;
const DWORD kRedMask = 0x00FF0000;
const DWORD kGreenMask = 0x0000FF00;
const DWORD kBlueMask = 0x000000FF;
const DWORD kAlphaMask = 0xFF000000;

}  // namespace

CPixelBuffer::CPixelBuffer()
    : m_header(), m_masks{kRedMask, kGreenMask, kBlueMask, kAlphaMask}, m_blockSize(0), m_pixels(nullptr),
      m_spans(nullptr), m_stride(0), m_rows(0)
{
}

CPixelBuffer::CPixelBuffer(const CBitmap& bitmap) : CPixelBuffer()
{
    ReadFrom(bitmap, 0, 0);
}

CPixelBuffer::~CPixelBuffer()
{
    Free();
}

void CPixelBuffer::Forget()
{
    memset(&m_header, 0, sizeof(m_header));
    m_blockSize = 0;
    m_pixels = nullptr;
    m_spans = nullptr;
    m_stride = 0;
    m_rows = 0;
}

void CPixelBuffer::Free()
{
    if (m_pixels)
        GlobalFree(m_pixels);
    Forget();
}

bool CPixelBuffer::AllocBlock(DWORD bytes)
{
    if (m_pixels && m_blockSize == bytes)
        return true;
    if (m_pixels)
        GlobalFree(m_pixels);
    m_pixels = (uint32_t*)GlobalAlloc(GMEM_FIXED, bytes);
    m_blockSize = m_pixels ? bytes : 0;
    return m_pixels != nullptr;
}

bool CPixelBuffer::ReadFrom(const CBitmap& bitmap, int firstLine, int count)
{
    int width = bitmap.GetWidth(), height = bitmap.GetHeight();
    if (!bitmap.IsValid() || width <= 0 || height <= 0) {
        Free();
        return false;
    }
    if (count <= 0 || firstLine < 0 || firstLine >= height || count > height - firstLine) {
        firstLine = 0;
        count = height;
    }
    // 32-bit rows need no padding: the stride is the width
    uint64_t bytes = (uint64_t)count * ((uint64_t)width + kSpanInts) * 4;
    if (bytes > 0x7FFFFFFF || !AllocBlock((DWORD)bytes)) {
        Free();
        return false;
    }
    m_header.bV4Size = sizeof(BITMAPV4HEADER);
    m_header.bV4Width = width;
    m_header.bV4Height = height;
    m_header.bV4Planes = 1;
    m_header.bV4BitCount = 32;
    m_header.bV4V4Compression = BI_BITFIELDS;
    m_header.bV4SizeImage = (DWORD)width * (DWORD)height * 4;
    m_header.bV4RedMask = m_masks[0] = kRedMask;
    m_header.bV4GreenMask = m_masks[1] = kGreenMask;
    m_header.bV4BlueMask = m_masks[2] = kBlueMask;
    m_header.bV4AlphaMask = m_masks[3] = kAlphaMask;
    int lines;
    {
        CUnselectedBitmap unselected(bitmap);
        lines = GetDIBits(bitmap.GetDC(), bitmap.GetHandle(), (UINT)firstLine, (UINT)count, m_pixels,
                          (BITMAPINFO*)&m_header, DIB_RGB_COLORS);
    }
    if (lines != count) {
        Free();
        return false;
    }
    // from here on the header describes the lines held, without the span table
    m_stride = width;
    m_rows = count;
    m_header.bV4Height = count;
    m_header.bV4SizeImage = (DWORD)width * (DWORD)count * 4;
    m_header.bV4V4Compression = BI_BITFIELDS;
    m_header.bV4RedMask = m_masks[0] = kRedMask;
    m_header.bV4GreenMask = m_masks[1] = kGreenMask;
    m_header.bV4BlueMask = m_masks[2] = kBlueMask;
    m_header.bV4AlphaMask = m_masks[3] = kAlphaMask;
    m_spans = (int32_t*)(m_pixels + (size_t)m_stride * m_rows);
    ClearSpans();
    return true;
}

void CPixelBuffer::ClearSpans()
{
    for (int row = 0; m_spans && row < m_rows; ++row) {
        m_spans[kSpanInts * row] = GetWidth();
        m_spans[kSpanInts * row + 1] = -1;
    }
}

uint32_t CPixelBuffer::GetPixel(int column, int row) const
{
    if (!Is32Bit() || column < 0 || column >= GetWidth() || row < 0 || row >= m_rows)
        return kNoPixel;
    return m_pixels[(size_t)row * m_stride + column];
}

bool CPixelBuffer::SetPixel(int column, int row, uint32_t value)
{
    // 8- and 24-bit rows (from PNG files) are narrower than a 32-bit store
    if (!Is32Bit() || column < 0 || column >= m_stride || row < 0 || row >= m_rows)
        return false;
    m_pixels[(size_t)row * m_stride + column] = value;
    return true;
}

uint32_t CPixelBuffer::SampleBilinear(int x, int y, uint32_t key, uint32_t background) const
{
    int column = x >> 8, row = y >> 8;
    // a column past the width would wrap into the next row: outside as well
    if (!Is32Bit() || x < 0 || y < 0 || column >= GetWidth() || row >= m_rows)
        return key;
    const uint32_t* p = m_pixels + (size_t)row * m_stride + column;
    if (column == GetWidth() - 1 || row == m_rows - 1)
        return *p == key ? background : *p;
    uint32_t n[4] = {p[0], p[1], p[m_stride], p[m_stride + 1]};
    for (uint32_t& v : n)
        if (v == key)
            v = background;
    uint32_t wx = (uint32_t)x & 255, wy = (uint32_t)y & 255;
    return MixColors(MixColors(n[0], n[1], wx), MixColors(n[2], n[3], wx), wy);
}

bool CPixelBuffer::CopyTo(const CBitmap& bitmap) const
{
    if (!IsValid() || !bitmap.IsValid())
        return false;
    CUnselectedBitmap unselected(bitmap);
    return SetDIBits(bitmap.GetDC(), bitmap.GetHandle(), 0, (UINT)m_rows, m_pixels, (const BITMAPINFO*)&m_header,
                     DIB_RGB_COLORS) > 0;
}

bool CPixelBuffer::GetSpan(int row, int* left, int* right) const
{
    if (!m_spans || row < 0 || row >= m_rows)
        return false;
    *left = m_spans[kSpanInts * row];
    *right = m_spans[kSpanInts * row + 1];
    return true;
}

bool CPixelBuffer::Detach(BITMAPINFOHEADER* header, void** block)
{
    if (!IsValid() || !header || !block)
        return false;
    if (header->biSize == sizeof(BITMAPV4HEADER)) {
        memcpy(header, &m_header, sizeof(BITMAPV4HEADER));
    } else if (header->biSize == sizeof(BITMAPINFOHEADER)) {
        memcpy(header, &m_header, sizeof(BITMAPINFOHEADER));
        // a bare BITMAPINFOHEADER has no room for the masks; ours are BI_RGB's own
        header->biSize = sizeof(BITMAPINFOHEADER);
        if (header->biCompression == BI_BITFIELDS && header->biBitCount == 32)
            header->biCompression = BI_RGB;
    } else {
        return false;
    }
    *block = m_pixels;
    Forget();
    return true;
}
