#include "graphics/image/PngImage.h"

#include <setjmp.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <png.h>

namespace {

const int kSignatureBytes = 8;
const int kSpanBytesPerRow = 8;  // two 32-bit columns per row
// A larger block is refused: images may come from downloads.
const uint64_t kMaxBlockBytes = 512u * 1024 * 1024;

// libpng jumps back here on errors: no object with a destructor may live in
// this frame (MinGW's x86_64 longjmp unwinds through SEH).
bool Decode(FILE* file, PngImage* image)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    png_bytep* volatile rows = nullptr;
    void* volatile block = nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        free(rows);
        if (block)
            GlobalFree(block);
        return false;
    }
    png_init_io(png, file);
    png_set_sig_bytes(png, kSignatureBytes);
    png_read_info(png, info);

    png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    int depth = png_get_bit_depth(png, info), type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (transparency)
        png_set_tRNS_to_alpha(png);
    if (depth == 16)
        png_set_strip_16(png);
    // grey with alpha has no layout of its own here: it becomes RGB with alpha
    if (type == PNG_COLOR_TYPE_GRAY_ALPHA || (type == PNG_COLOR_TYPE_GRAY && transparency))
        png_set_gray_to_rgb(png);
    // rows are decoded straight into the block: libpng must combine the passes
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    int channels = png_get_channels(png, info);
    int bytesPerPixel = channels == 4 ? 4 : channels == 3 ? 3 : 1;
    png_size_t rowBytes = png_get_rowbytes(png, info);
    if (channels != bytesPerPixel || rowBytes == 0 || height == 0 || height > 0x7FFFFFFF ||
        rowBytes > 0x7FFFFFFF / height)
        png_error(png, "unsupported image layout");
    int stride = (int)((rowBytes + bytesPerPixel - 1) / bytesPerPixel);
    uint64_t pixelBytes = (uint64_t)height * rowBytes;
    uint64_t blockSize = (uint64_t)height * ((uint64_t)bytesPerPixel * stride + kSpanBytesPerRow);
    if (blockSize > kMaxBlockBytes)
        png_error(png, "image too large");
    block = GlobalAlloc(GMEM_FIXED, (SIZE_T)blockSize);
    rows = (png_bytep*)malloc(height * sizeof(png_bytep));
    if (!block || !rows)
        png_error(png, "out of memory");
    for (png_uint_32 i = 0; i < height; ++i)
        rows[i] = (png_bytep)block + (size_t)(height - 1 - i) * rowBytes;  // bottom-up
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    free(rows);

    if (bytesPerPixel == 4) {
        // R, G, B, A as decoded: the pixels want B, G, R, A
        uint8_t* p = (uint8_t*)block;
        for (uint64_t i = 0; i < pixelBytes; i += 4) {
            uint8_t red = p[i];
            p[i] = p[i + 2];
            p[i + 2] = red;
        }
    }
    memset(&image->header, 0, sizeof(image->header));
    BITMAPV4HEADER& h = image->header;
    h.bV4Size = sizeof(BITMAPV4HEADER);
    h.bV4Width = (LONG)width;
    h.bV4Height = (LONG)height;
    h.bV4Planes = 1;
    h.bV4BitCount = (WORD)(bytesPerPixel * 8);
    h.bV4V4Compression = bytesPerPixel == 4 ? BI_BITFIELDS : BI_RGB;
    h.bV4SizeImage = (DWORD)bytesPerPixel * stride * height;
    h.bV4RedMask = 0x00FF0000;
    h.bV4GreenMask = 0x0000FF00;
    h.bV4BlueMask = 0x000000FF;
    h.bV4AlphaMask = 0xFF000000;
    image->block = block;
    image->blockSize = (DWORD)blockSize;
    image->pixelBytes = (DWORD)((uint64_t)bytesPerPixel * stride * height);
    image->stride = stride;
    image->rows = (int)height;
    return true;
}

}  // namespace

bool DecodePngFile(const WCHAR* path, PngImage* image)
{
    memset(image, 0, sizeof(*image));
    FILE* file = path ? _wfopen(path, L"rb") : nullptr;
    if (!file)
        return false;
    png_byte signature[kSignatureBytes];
    bool ok = fread(signature, 1, kSignatureBytes, file) == kSignatureBytes &&
              png_sig_cmp(signature, 0, kSignatureBytes) == 0 && Decode(file, image);
    fclose(file);
    return ok;
}
