#include "map/textures/GLTexture.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "map/textures/TileSet.h"

namespace {

const uint32_t kMinTextureSide = 16;

// Powers of two from 16 while below both the limit and the image; a result
// past the image is halved once.
uint32_t FitSide(int limit, uint32_t side)
{
    uint32_t size = kMinTextureSide;
    while (size < (uint32_t)limit && size < side)
        size *= 2;
    return size > side ? size / 2 : size;
}

uint32_t ToRgba(uint32_t packed, int components, const void* context)
{
    uint32_t alpha = (uint32_t)*(const uint8_t*)context << 24;
    if (components == 1)
        return packed * 0x010101u | alpha;
    return (packed & 0xFFFFFFu) | alpha;
}

}  // namespace

uint32_t FloorPowerOfTwo(uint32_t n)
{
    uint32_t p = 1;
    while (p <= n / 2)
        p *= 2;
    return p;
}

int CGLTexture::Load(const WCHAR* path, int maxWidth, int maxHeight)
{
    if (!CJpegTexture::Load(path, 0, 0))
        return kTextureLoadFailed;
    if (maxWidth <= 0 || maxHeight <= 0)
        return kTextureLoaded;
    uint32_t width = FitSide(maxWidth, GetWidth()), height = FitSide(maxHeight, GetHeight());
    if (width == GetWidth() && height == GetHeight())
        return kTextureLoaded;
    if (!Rescale(width, height)) {
        // a picture past the limits would not fit the hardware either
        Free(true);
        return kTextureLoadFailed;
    }
    return kTextureRescaled;
}

bool CGLTexture::Rescale(uint32_t width, uint32_t height)
{
    const uint8_t* source = GetPixels();
    const int c = GetComponents();
    const uint32_t sourceWidth = GetWidth(), sourceHeight = GetHeight();
    if (!source || (c != 1 && c != 3) || width < 1 || height < 1 || width > sourceWidth || height > sourceHeight)
        return false;
    if (width == sourceWidth && height == sourceHeight)
        return true;
    // Target pixel x takes the source columns from x * W / w up to the next
    // one's start: every source pixel falls on exactly one target pixel.
    std::vector<uint32_t> columnStart(width + 1);
    for (uint32_t x = 0; x <= width; ++x)
        columnStart[x] = (uint32_t)((uint64_t)x * sourceWidth / width);
    const size_t sourceStride = (size_t)GetBufferWidth() * c, stride = (size_t)width * c;
    uint8_t* scaled = (uint8_t*)malloc(stride * height);
    if (!scaled)
        return false;
    std::vector<uint32_t> rowSum(sourceWidth * c);
    for (uint32_t y = 0; y < height; ++y) {
        uint32_t first = (uint32_t)((uint64_t)y * sourceHeight / height);
        uint32_t end = (uint32_t)((uint64_t)(y + 1) * sourceHeight / height);
        std::fill(rowSum.begin(), rowSum.end(), 0u);
        for (uint32_t row = first; row < end; ++row) {
            const uint8_t* line = source + row * sourceStride;
            for (size_t i = 0; i < rowSum.size(); ++i)
                rowSum[i] += line[i];
        }
        uint8_t* out = scaled + y * stride;
        for (uint32_t x = 0; x < width; ++x) {
            uint64_t count = (uint64_t)(columnStart[x + 1] - columnStart[x]) * (end - first);
            for (int k = 0; k < c; ++k) {
                uint64_t sum = 0;
                for (uint32_t s = columnStart[x]; s < columnStart[x + 1]; ++s)
                    sum += rowSum[(size_t)s * c + k];
                out[(size_t)x * c + k] = (uint8_t)((sum + count / 2) / count);
            }
        }
    }
    TakePixels(scaled, width, height, width, height, c);
    return true;
}

bool CGLTexture::FitPowerOfTwo()
{
    return GetPixels() && Rescale(FloorPowerOfTwo(GetWidth()), FloorPowerOfTwo(GetHeight()));
}

bool CGLTexture::SplitTiles(TileSet& tiles, int columns, int rows) const
{
    tiles.Free();
    if (!GetPixels() || columns < 1 || rows < 1 || columns * rows > kTileCount || GetWidth() < (uint32_t)columns ||
        GetHeight() < (uint32_t)rows)
        return false;
    if (!SplitInto(tiles, columns, 0, 0, GetWidth(), GetHeight(), 0, 0, columns, rows)) {
        tiles.Free();
        return false;
    }
    return true;
}

// Halves the region (x, y from the bottom left of the buffer) that holds
// the tile columns and rows given: left and right while more than one column
// is left, then top and bottom.
bool CGLTexture::SplitInto(TileSet& tiles, int columns, uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                           int firstColumn, int firstRow, int columnCount, int rowCount) const
{
    if (columnCount > 1) {
        int left = columnCount / 2;
        uint32_t leftWidth = (uint32_t)((uint64_t)width * left / columnCount);
        return SplitInto(tiles, columns, x, y, leftWidth, height, firstColumn, firstRow, left, rowCount) &&
               SplitInto(tiles, columns, x + leftWidth, y, width - leftWidth, height, firstColumn + left, firstRow,
                         columnCount - left, rowCount);
    }
    if (rowCount > 1) {
        // rows are stored bottom-up: the upper half, the first rows, lies
        // at the end of the buffer
        int upper = rowCount / 2;
        uint32_t upperHeight = (uint32_t)((uint64_t)height * upper / rowCount);
        uint32_t lowerHeight = height - upperHeight;
        return SplitInto(tiles, columns, x, y + lowerHeight, width, upperHeight, firstColumn, firstRow, columnCount,
                         upper) &&
               SplitInto(tiles, columns, x, y, width, lowerHeight, firstColumn, firstRow + upper, columnCount,
                         rowCount - upper);
    }
    const int c = GetComponents();
    const size_t sourceStride = (size_t)GetBufferWidth() * c, stride = (size_t)width * c;
    uint8_t* pixels = (uint8_t*)malloc(stride * height);
    if (!pixels)
        return false;
    for (uint32_t row = 0; row < height; ++row)
        memcpy(pixels + row * stride, GetPixels() + (y + row) * sourceStride + (size_t)x * c, stride);
    tiles.tiles[firstColumn + columns * firstRow].TakePixels(pixels, width, height, width, height, c);
    return true;
}

bool CGLTexture::ConvertToRgba(uint8_t alpha)
{
    return ConvertPixels(ToRgba, &alpha);
}
