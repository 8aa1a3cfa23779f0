// The image libraries are the ones built for this target and link statically.
#include <gtest/gtest.h>

#include <stdio.h>

#include <windows.h>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

TEST(ThirdParty, LibrariesMatchTheirHeaders)
{
    EXPECT_EQ((png_uint_32)PNG_LIBPNG_VER, png_access_version_number());
    EXPECT_STREQ(ZLIB_VERSION, zlibVersion());
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    EXPECT_EQ(JPEG_LIB_VERSION, 62);
    jpeg_destroy_decompress(&info);
}
