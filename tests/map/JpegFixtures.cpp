#include "tests/map/JpegFixtures.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>

namespace {

struct JumpError {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void JumpOnError(j_common_ptr info)
{
    longjmp(((JumpError*)info->err)->jump, 1);
}

// No object with a destructor between setjmp and the library's calls.
bool Encode(FILE* file, const uint8_t* bytes, int width, int height, int components, int quality)
{
    jpeg_compress_struct info;
    JumpError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOnError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < (JDIMENSION)height) {
        JSAMPROW row = (JSAMPROW)(bytes + (size_t)info.next_scanline * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool WriteJpegFile(const std::wstring& path, const TopDownPicture& picture, int quality)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool ok = Encode(file, picture.bytes.data(), picture.width, picture.height, picture.components, quality);
    return fclose(file) == 0 && ok;
}

TopDownPicture FlatBlocks(int width, int height, int columns, int rows, const uint32_t* rgb)
{
    TopDownPicture picture(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t colour = rgb[x * columns / width + columns * (y * rows / height)];
            uint8_t* p = picture.At(x, y);
            p[0] = (uint8_t)(colour >> 16);
            p[1] = (uint8_t)(colour >> 8);
            p[2] = (uint8_t)colour;
        }
    return picture;
}

void CTestPicture::Set(const TopDownPicture& picture)
{
    size_t stride = (size_t)picture.width * picture.components;
    uint8_t* block = (uint8_t*)malloc(stride * picture.height);
    for (int y = 0; y < picture.height; ++y)
        memcpy(block + (size_t)(picture.height - 1 - y) * stride, &picture.bytes[(size_t)y * stride], stride);
    TakePixels(block, picture.width, picture.height, picture.width, picture.height, picture.components);
}

const uint8_t* CTestPicture::PixelFromTop(uint32_t x, uint32_t yFromTop) const
{
    return ::PixelFromTop(*this, x, yFromTop);
}

const uint8_t* PixelFromTop(const CJpegTexture& picture, uint32_t x, uint32_t yFromTop)
{
    size_t row = picture.GetHeight() - 1 - yFromTop;
    return picture.GetPixels() + (row * picture.GetBufferWidth() + x) * picture.GetComponents();
}

bool NearRgb(const uint8_t* p, uint32_t rgb, int tolerance)
{
    return abs(p[0] - (int)(rgb >> 16 & 0xFF)) <= tolerance && abs(p[1] - (int)(rgb >> 8 & 0xFF)) <= tolerance &&
           abs(p[2] - (int)(rgb & 0xFF)) <= tolerance;
}
