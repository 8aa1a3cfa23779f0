#include "tools/common/PngWriter.h"

#include <stdio.h>

#include <png.h>

#include "graphics/image/Bitmap.h"

bool WritePng(const wchar_t* path, const CDibSection& image)
{
    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    int width = image.GetWidth(), height = image.GetHeight();
    png_bytep row = new png_byte[(size_t)width * 3];
    if (info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            // DIB rows are bottom-up
            const uint32_t* src = image.GetBits() + (size_t)(height - 1 - y) * width;
            for (int x = 0; x < width; ++x) {
                row[3 * x] = (png_byte)(src[x] >> 16);
                row[3 * x + 1] = (png_byte)(src[x] >> 8);
                row[3 * x + 2] = (png_byte)src[x];
            }
            png_write_row(png, row);
        }
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    delete[] row;
    return fclose(file) == 0 && ok;
}
