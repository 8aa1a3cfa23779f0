// The image libraries are the ones built for this target and link statically.
#include <gtest/gtest.h>

#include <setjmp.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include <windows.h>

#include <jerror.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void JumpOnJpegError(j_common_ptr info)
{
    longjmp(((JpegErrors*)info->err)->jump, 1);
}

// The message code libjpeg raises when a decompressor is made with these
// version and structure size arguments; 0 when it accepts them.
int JpegCreateError(int version, size_t structSize)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOnJpegError;
    errors.manager.msg_code = 0;
    if (setjmp(errors.jump))
        return errors.manager.msg_code;
    jpeg_CreateDecompress(&info, version, structSize);
    jpeg_destroy_decompress(&info);
    return 0;
}

}  // namespace

// The libraries compare the caller's version at run time: the headers this
// test was built with must be those of the libraries it links.
TEST(ThirdParty, LibrariesMatchTheirHeaders)
{
    EXPECT_EQ((png_uint_32)PNG_LIBPNG_VER, png_access_version_number());
    EXPECT_STREQ(PNG_LIBPNG_VER_STRING, png_get_libpng_ver(nullptr));
    EXPECT_STREQ(ZLIB_VERSION, zlibVersion());
    EXPECT_EQ(0, JpegCreateError(JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct)));
    // the check above is a real one: another version is refused
    EXPECT_EQ(JERR_BAD_LIB_VERSION, JpegCreateError(JPEG_LIB_VERSION + 1, sizeof(jpeg_decompress_struct)));
}

// A PNG written to memory (deflated by zlib) reads back to the same pixels.
TEST(ThirdParty, PngRoundTripThroughZlib)
{
    const int width = 5, height = 3;
    std::vector<png_byte> pixels(4 * width * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (png_byte)(i * 37 + 11);

    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t bytes = 0;
    ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &bytes, 0, pixels.data(), 0, nullptr)) << image.message;
    std::vector<png_byte> file(bytes);
    ASSERT_TRUE(png_image_write_to_memory(&image, file.data(), &bytes, 0, pixels.data(), 0, nullptr))
        << image.message;
    png_image_free(&image);
    ASSERT_GT(bytes, 8u);
    EXPECT_EQ(0, memcmp(file.data(), "\x89PNG\r\n\x1a\n", 8));

    png_image read;
    memset(&read, 0, sizeof(read));
    read.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&read, file.data(), bytes)) << read.message;
    EXPECT_EQ((png_uint_32)width, read.width);
    EXPECT_EQ((png_uint_32)height, read.height);
    read.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> back(PNG_IMAGE_SIZE(read));
    ASSERT_EQ(pixels.size(), back.size());
    ASSERT_TRUE(png_image_finish_read(&read, nullptr, back.data(), 0, nullptr)) << read.message;
    EXPECT_TRUE(pixels == back);
}
