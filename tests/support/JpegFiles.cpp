#include "tests/support/JpegFiles.h"

#include <setjmp.h>
#include <stdio.h>

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
