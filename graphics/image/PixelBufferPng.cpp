#include "graphics/image/PixelBuffer.h"
#include "graphics/image/PngImage.h"

bool CPixelBuffer::LoadPng(const WCHAR* path)
{
    Free();
    m_header.bV4Size = sizeof(BITMAPV4HEADER);
    PngImage image;
    if (!DecodePngFile(path, &image))
        return false;
    m_header = image.header;
    m_blockSize = image.blockSize;
    m_pixels = (uint32_t*)image.block;
    m_spans = (int32_t*)((uint8_t*)image.block + image.pixelBytes);
    m_stride = image.stride;
    m_rows = image.rows;
    ClearSpans();
    return true;
}
