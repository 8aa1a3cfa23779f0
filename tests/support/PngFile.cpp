#include "tests/support/PngFile.h"

#include <stdio.h>

#include <png.h>

bool ReadPngRgb(const std::wstring& path, int* width, int* height, std::vector<uint32_t>* rgb)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file)
        return false;
    bool ok = false;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_stdio(&image, file)) {
        image.format = PNG_FORMAT_RGB;
        std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
            *width = (int)image.width;
            *height = (int)image.height;
            rgb->clear();
            for (size_t i = 0; i + 2 < bytes.size(); i += 3)
                rgb->push_back(((uint32_t)bytes[i] << 16) | ((uint32_t)bytes[i + 1] << 8) | bytes[i + 2]);
            ok = true;
        }
    }
    png_image_free(&image);
    fclose(file);
    return ok;
}

bool ReadPngPicture(const std::wstring& path, RgbPicture* picture)
{
    return ReadPngRgb(path, &picture->width, &picture->height, &picture->rgb);
}

bool WritePngPixels(const std::wstring& path, int width, int height, int channels, const uint8_t* pixels)
{
    if (channels != 3 && channels != 4)
        return false;
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)width;
    image.height = (png_uint_32)height;
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    bool ok = png_image_write_to_stdio(&image, file, 0, pixels, 0, nullptr) != 0;
    png_image_free(&image);
    return fclose(file) == 0 && ok;
}
