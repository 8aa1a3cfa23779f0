#include "graphics/image/JpegTexture.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>

// libjpeg reports errors through its error exit, which must not return: ours
// jumps back into the function that called the library. No object with a
// destructor may live in the frames in between (MinGW's x86_64 longjmp
// unwinds them through SEH).
namespace {

struct JumpError {
    jpeg_error_mgr manager;
    jmp_buf jump;
    bool cutShort;
};

void JumpOnError(j_common_ptr info)
{
    longjmp(((JumpError*)info->err)->jump, 1);
}

// libjpeg pads a file that ends early with grey and only warns: such a
// picture is refused rather than shown half grey.
void NoteWarning(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        ((JumpError*)info->err)->cutShort = true;
}

// A texture block larger than this is refused: the files are downloads.
const uint64_t kMaxBlockBytes = 512u * 1024 * 1024;

// Powers of two from 16 while below both the request and the image.
uint32_t TextureSize(uint32_t requested, uint32_t image)
{
    uint32_t size = 16;
    while (size < requested && size < image)
        size *= 2;
    return size;
}

struct Decoded {
    uint8_t* pixels;
    uint32_t width, height, bufferWidth, bufferRows;
    int components;
};

bool Decode(FILE* file, int requestedWidth, int requestedHeight, Decoded* out)
{
    jpeg_decompress_struct info;
    JumpError error;
    uint8_t* volatile pixels = nullptr;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOnError;
    error.manager.emit_message = NoteWarning;
    error.cutShort = false;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        free(pixels);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);

    uint32_t width = info.output_width, height = info.output_height;
    int components = info.output_components;
    if (components != 1 && components != 3) {
        // CMYK and YCCK images have no texture layout here
        jpeg_destroy_decompress(&info);
        return false;
    }
    uint32_t bufferWidth, bufferRows;
    if (requestedWidth < 1 || requestedHeight < 1) {
        bufferWidth = (width + 3) & ~3u;
        bufferRows = height;
    } else {
        bufferWidth = TextureSize((uint32_t)requestedWidth, width);
        bufferRows = TextureSize((uint32_t)requestedHeight, height);
    }
    size_t stride = (size_t)bufferWidth * components;
    if (bufferWidth < width || bufferRows < height || (uint64_t)bufferRows * stride > kMaxBlockBytes ||
        !(pixels = (uint8_t*)calloc(bufferRows, stride))) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < height) {
        JSAMPROW row = pixels + (size_t)(height - 1 - info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    if (error.cutShort) {
        free(pixels);
        return false;
    }
    *out = Decoded{pixels, width, height, bufferWidth, bufferRows, components};
    return true;
}

bool ReadHeader(FILE* file, JpegHeader* out)
{
    jpeg_decompress_struct info;
    JumpError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOnError;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    if (ok)
        *out = JpegHeader{info.image_width, info.image_height, info.num_components};
    jpeg_destroy_decompress(&info);
    return ok;
}

bool Encode(FILE* file, const uint8_t* pixels, uint32_t width, uint32_t height, size_t stride, int quality)
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
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        // the top line is the last row of the block
        JSAMPROW row = (JSAMPROW)(pixels + (size_t)(height - 1 - info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

uint32_t CallConverter(uint32_t packed, int components, const void* context)
{
    return (*(const JpegPixelConverter*)context)(packed, components, components);
}

}  // namespace

bool ReadJpegHeader(const WCHAR* path, JpegHeader* header)
{
    FILE* file = path ? _wfopen(path, L"rb") : nullptr;
    if (!file)
        return false;
    bool ok = ReadHeader(file, header);
    fclose(file);
    return ok;
}

CJpegTexture::CJpegTexture()
    : m_pixels(nullptr), m_width(0), m_height(0), m_bufferWidth(0), m_bufferRows(0), m_components(0)
{
}

CJpegTexture::~CJpegTexture()
{
    Free(true);
}

void CJpegTexture::Free(bool clearSizes)
{
    free(m_pixels);
    m_pixels = nullptr;
    if (clearSizes)
        m_width = m_height = m_bufferWidth = m_bufferRows = m_components = 0;
}

void CJpegTexture::TakePixels(uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bufferWidth,
                              uint32_t bufferRows, int components)
{
    Free(true);
    if (!pixels)
        return;
    m_pixels = pixels;
    m_width = width;
    m_height = height;
    m_bufferWidth = bufferWidth;
    m_bufferRows = bufferRows;
    m_components = components;
}

int CJpegTexture::Load(const WCHAR* path, int width, int height)
{
    Free(true);
    FILE* file = path ? _wfopen(path, L"rb") : nullptr;
    if (!file)
        return 0;
    Decoded decoded;
    bool ok = Decode(file, width, height, &decoded);
    fclose(file);
    if (!ok)
        return 0;
    TakePixels(decoded.pixels, decoded.width, decoded.height, decoded.bufferWidth, decoded.bufferRows,
               decoded.components);
    return 1;
}

bool CJpegTexture::Save(const WCHAR* path, int quality)
{
    if (m_components != 3 || !m_pixels || !path)
        return false;
    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return false;
    bool ok = Encode(file, m_pixels, m_width, m_height, (size_t)m_bufferWidth * 3, quality);
    // a failed close loses buffered bytes: the file is then incomplete
    return fclose(file) == 0 && ok;
}

bool CJpegTexture::ConvertPixels(JpegPixelConverter converter)
{
    return converter && ConvertPixels(CallConverter, &converter);
}

bool CJpegTexture::ConvertPixels(JpegPixelMapper mapper, const void* context)
{
    if (!m_pixels || !mapper || m_components == 4)
        return false;
    size_t count = (size_t)m_bufferWidth * m_bufferRows;
    uint32_t* converted = (uint32_t*)malloc(count * sizeof(uint32_t));
    if (!converted)
        return false;
    const uint8_t* p = m_pixels;
    for (size_t i = 0; i < count; ++i, p += m_components) {
        uint32_t packed = 0;
        for (int b = 0; b < m_components; ++b)
            packed |= (uint32_t)p[b] << (8 * b);
        converted[i] = mapper(packed, m_components, context);
    }
    free(m_pixels);
    m_pixels = (uint8_t*)converted;
    m_components = 4;
    return true;
}
