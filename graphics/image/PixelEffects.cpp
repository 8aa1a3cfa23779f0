#include "graphics/image/PixelBuffer.h"

#include "graphics/image/PixelAlpha.h"
#include "graphics/image/PixelOps.h"

namespace {

const uint32_t kRgbMask = 0x00FFFFFF;
const uint32_t kOpaque = 0xFF000000;
const int kTableSize = 256;

int Smaller(int a, int b) { return a < b ? a : b; }

}  // namespace

void CPixelBuffer::BlendFrom(const CPixelBuffer& other, uint32_t key, uint32_t weight)
{
    if (!Is32Bit() || !other.Is32Bit())
        return;
    int columns = Smaller(m_stride, other.m_stride), rows = Smaller(m_rows, other.m_rows);
    for (int row = 0; row < rows; ++row) {
        uint32_t* d = m_pixels + (size_t)row * m_stride;
        const uint32_t* s = other.m_pixels + (size_t)row * other.m_stride;
        for (int col = 0; col < columns; ++col)
            if (s[col] != key)
                d[col] = MixColors(d[col], s[col], weight);
    }
}

void CPixelBuffer::BlendColor(uint32_t colour, uint32_t key, uint32_t weight)
{
    if (!Is32Bit())
        return;
    uint32_t* end = m_pixels + (size_t)m_stride * m_rows;
    for (uint32_t* p = m_pixels; p < end; ++p)
        if (*p != key)
            *p = MixColorsKeepAlpha(*p, colour, weight);
}

void CPixelBuffer::ShadeRows(const uint32_t table[256], uint32_t key)
{
    if (!Is32Bit())
        return;
    for (int row = 0; row < m_rows; ++row)
        ShadeRun(m_pixels + (size_t)row * m_stride, GetWidth(), 4, table[row * kTableSize / m_rows], key);
}

void CPixelBuffer::ShadeMaskedRows(const CPixelBuffer& mask, const uint32_t table[256], uint32_t key)
{
    if (!Is32Bit() || !mask.Is32Bit())
        return;
    int columns = Smaller(m_stride, mask.m_stride), rows = Smaller(m_rows, mask.m_rows);
    for (int row = 0; row < rows; ++row) {
        uint32_t* d = m_pixels + (size_t)row * m_stride;
        const uint32_t* m = mask.m_pixels + (size_t)row * mask.m_stride;
        uint32_t shade = table[row * kTableSize / rows];
        for (int col = 0; col < columns; ++col)
            if (m[col] != key && d[col] != key)
                d[col] = ShadeColor(d[col], shade);
    }
}

void CPixelBuffer::ShadeColumns(const uint32_t table[256], uint32_t key)
{
    if (!Is32Bit())
        return;
    int width = GetWidth();
    for (int col = 0; col < width; ++col)
        ShadeRun(m_pixels + col, m_rows, m_stride * 4, table[col * kTableSize / width], key);
}

bool CPixelBuffer::KeyToAlpha(uint32_t key, bool premultiply)
{
    if (!Is32Bit())
        return false;
    uint32_t* end = m_pixels + (size_t)m_stride * m_rows;
    for (uint32_t* p = m_pixels; p < end; ++p) {
        if (((*p ^ key) & kRgbMask) == 0)
            *p = premultiply ? 0 : *p & kRgbMask;
        else
            *p |= kOpaque;
    }
    return true;
}

bool CPixelBuffer::PremultiplyAlpha()
{
    if (!Is32Bit())
        return false;
    uint32_t* end = m_pixels + (size_t)m_stride * m_rows;
    for (uint32_t* p = m_pixels; p < end; ++p)
        *p = PremultiplyColor(*p, *p >> 24);
    return true;
}

void CPixelBuffer::AddShading(const CPixelBuffer& lightmap)
{
    if (Is32Bit())
        lightmap.ShadeAsLightmap(m_pixels, m_stride, m_rows);
}

void CPixelBuffer::ShadeAsLightmap(uint32_t* pixels, int width, int height) const
{
    if (!Is32Bit() || !pixels)
        return;
    int columns = Smaller(width, m_stride), rows = Smaller(height, m_rows);
    for (int row = 0; row < rows; ++row)
        ShadePixels(pixels + (size_t)row * width, m_pixels + (size_t)row * m_stride, columns);
}
