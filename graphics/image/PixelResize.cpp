#include "graphics/image/PixelBuffer.h"

#include "graphics/image/PixelOps.h"

namespace {

// ResampleRun sums a group in 16-bit words and divides by an 8-bit count
const int kMaxGroup = 255;

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

// ResampleRun of n pixels to m, in passes whose groups stay within kMaxGroup
// pixels; the passes before the last work in place in the source. Each
// intermediate size is a multiple of m, so that its groups nest in the final
// ones and no pixel is averaged into a neighbouring group.
void ShrinkRun(uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride)
{
    while (CeilDiv(n, m) > kMaxGroup) {
        int between = m * CeilDiv(CeilDiv(n, kMaxGroup), m);
        ResampleRun(src, src, n, between, srcStride, srcStride);
        n = between;
    }
    ResampleRun(src, dst, n, m, srcStride, dstStride);
}

}  // namespace

bool CPixelBuffer::Resize(int width, int height, bool shrinkBlock)
{
    if (!Is32Bit() || width <= 0 || height <= 0 || width >= GetWidth() || height >= m_rows)
        return false;
    // rows first, packed at the new stride: each lands at or before where it was read
    for (int row = 0; row < m_rows; ++row)
        ShrinkRun(m_pixels + (size_t)row * m_stride, m_pixels + (size_t)row * width, GetWidth(), width, 4, 4);
    for (int col = 0; col < width; ++col)
        ShrinkRun(m_pixels + col, m_pixels + col, m_rows, height, width * 4, width * 4);
    m_stride = width;
    m_rows = height;
    m_header.bV4Width = width;
    m_header.bV4Height = height;
    m_header.bV4SizeImage = (DWORD)width * (DWORD)height * 4;
    if (shrinkBlock) {
        DWORD bytes = (DWORD)height * ((DWORD)width + kSpanInts) * 4;
        // a fixed block shrinks in place; on failure the larger block stays
        void* block = GlobalReAlloc(m_pixels, bytes, 0);
        if (block) {
            m_pixels = (uint32_t*)block;
            m_blockSize = bytes;
        }
    }
    m_spans = (int32_t*)(m_pixels + (size_t)m_stride * m_rows);
    ClearSpans();
    return true;
}
