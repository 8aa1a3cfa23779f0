// A plain block of 32-bit pixels 0xAARRGGBB read from a bitmap, with its
// effects. Rows are bottom-up; rows and columns count from the bottom-left
// pixel. The block is one fixed global memory block (GlobalAlloc) holding the
// rows and, after them, the span table of DrawRotated.
#pragma once

#include <stdint.h>
#include <windows.h>

class CBitmap;

class CPixelBuffer {
public:
    CPixelBuffer();
    // Reads the whole bitmap; IsValid tells whether it worked.
    explicit CPixelBuffer(const CBitmap& bitmap);
    ~CPixelBuffer();
    CPixelBuffer(const CPixelBuffer&) = delete;
    CPixelBuffer& operator=(const CPixelBuffer&) = delete;

    // Reads `count` lines from `firstLine` (from the bottom) as 32-bit pixels;
    // count 0 or a range outside the bitmap reads all lines. On failure the
    // buffer is left empty.
    bool ReadFrom(const CBitmap& bitmap, int firstLine, int count);
    void Free();
    // Decodes a PNG file (8, 24 or 32 bits per pixel); false leaves the buffer empty.
    bool LoadPng(const WCHAR* path);
    bool IsValid() const { return m_pixels != nullptr; }
    int GetWidth() const { return m_header.bV4Width; }
    int GetHeight() const { return m_header.bV4Height; }
    int GetBitCount() const { return m_header.bV4BitCount; }

    // 0xFFFFFFFF when empty or outside the image.
    uint32_t GetPixel(int column, int row) const;
    // Stores a 32-bit pixel; false when empty or outside the image.
    bool SetPixel(int column, int row, uint32_t value);
    // Bilinear sample at (x, y) in 1/256 pixel; neighbours equal to `key`
    // count as `background`. Outside the image the result is the key.
    uint32_t SampleBilinear(int x, int y, uint32_t key, uint32_t background) const;
    // All rows into the bitmap (SetDIBits).
    bool CopyTo(const CBitmap& bitmap) const;

    // Draws `source`'s rectangle turned clockwise by `angle` degrees about
    // its pivot (srcPivotX, srcPivotY) so that the pivot lands on (pivotX,
    // pivotY) here. `srcRect` is in source pixels with top > bottom (top and
    // right exclusive). Source pixels equal to `key` leave this buffer as it is.
    void DrawRotated(const CPixelBuffer& source, int pivotX, int pivotY, int srcPivotX, int srcPivotY,
                     const RECT& srcRect, int angle, uint32_t key);
    // The columns DrawRotated covered in `row` (left > right: none); false
    // when the buffer has no such row.
    bool GetSpan(int row, int* left, int* right) const;

    // Effects. "Common area" is the smaller of the two buffers' strides and rows.
    // Over the common area, MixColors(this, other, weight) where other is not the key.
    void BlendFrom(const CPixelBuffer& other, uint32_t key, uint32_t weight);
    // MixColorsKeepAlpha(pixel, colour, weight) on every pixel that is not the key.
    void BlendColor(uint32_t colour, uint32_t key, uint32_t weight);
    // Row i of r: ShadeColor with table[i * 256 / r], skipping the key (vertical gradient).
    void ShadeRows(const uint32_t table[256], uint32_t key);
    // As ShadeRows over the common area, only where `mask` is not the key.
    void ShadeMaskedRows(const CPixelBuffer& mask, const uint32_t table[256], uint32_t key);
    // Column i of w: ShadeColor with table[i * 256 / w], skipping the key (horizontal gradient).
    void ShadeColumns(const uint32_t table[256], uint32_t key);
    // Alpha 0 where the RGB is the key's (pixel 0 with `premultiply`), 255
    // elsewhere. False unless 32 bits per pixel.
    bool KeyToAlpha(uint32_t key, bool premultiply);
    // RGB scaled by alpha / 255. False unless 32 bits per pixel.
    bool PremultiplyAlpha();
    // ShadePixels with the lightmap over the common area.
    void AddShading(const CPixelBuffer& lightmap);
    // The same with this buffer as the lightmap of a block of `width` x
    // `height` pixels, rows bottom-up as here (a DIB section's bits).
    void ShadeAsLightmap(uint32_t* pixels, int width, int height) const;

    // Box-filter shrink to a width and height both smaller than now; false
    // (nothing changed) otherwise. `shrinkBlock` gives the spare memory back.
    bool Resize(int width, int height, bool shrinkBlock);

    // Hands the pixel block to the caller, who frees it with GlobalFree.
    // header->biSize must be 108 (BITMAPV4HEADER) or 40 (BITMAPINFOHEADER; the
    // header then describes the pixels on its own, as BI_RGB). False when
    // empty or for another size; the buffer is empty afterwards.
    bool Detach(BITMAPINFOHEADER* header, void** block);

private:
    bool Is32Bit() const { return m_pixels && m_header.bV4BitCount == 32; }
    // Sets the block to `bytes`, reusing it when the size is unchanged.
    bool AllocBlock(DWORD bytes);
    void Forget();
    // Every row of the span table says "no columns" until DrawRotated fills it.
    void ClearSpans();

    static const int kSpanInts = 2;  // left and right column per row

    BITMAPV4HEADER m_header;
    // the colour table after the header when it goes to GetDIBits/SetDIBits
    DWORD m_masks[4];
    DWORD m_blockSize;
    uint32_t* m_pixels;
    int32_t* m_spans;
    int m_stride;      // pixels per row
    int m_rows;
};
