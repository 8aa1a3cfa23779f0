// Decoding a large PNG and a large JPEG through our loaders against a bare
// libpng / libjpeg decode of the same file into a malloc'd block. The files
// are written at start into a temporary folder and removed at the end.
#include <setjmp.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include <windows.h>

#include <jpeglib.h>
#include <png.h>

#include "graphics/image/JpegTexture.h"
#include "graphics/image/PixelBuffer.h"
#include "tests/bench/BenchTimer.h"

namespace {

const int kPngSide = 2048;
const int kJpegWidth = 2048;
const int kJpegHeight = 1024;
const int kRounds = 7;

CBenchRandom g_random(0x9E3779B9);

uint32_t Random()
{
    return g_random.Next();
}

// Something like a photo: smooth gradients with a little grain, so the
// compressors work as they would on real images.
uint8_t Sample(int x, int y, int channel)
{
    int v = (x * (channel + 1) + y * (3 - channel)) / 8 + (int)(Random() & 15);
    return (uint8_t)(v & 0xFF);
}

FILE* OpenFile(const WCHAR* path, const WCHAR* mode) { return _wfopen(path, mode); }

// libpng and libjpeg jump back into the calling function on errors: no object
// with a destructor lives in these frames.
bool WritePng(const WCHAR* path)
{
    FILE* file = OpenFile(path, L"wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    uint8_t* volatile row = (uint8_t*)malloc((size_t)kPngSide * 4);
    if (!info || !row || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        free(row);
        fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, kPngSide, kPngSide, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kPngSide; ++y) {
        for (int x = 0; x < kPngSide; ++x)
            for (int c = 0; c < 4; ++c)
                row[x * 4 + c] = c == 3 ? (uint8_t)(255 - (x + y) / 16) : Sample(x, y, c);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    free(row);
    return fclose(file) == 0;
}

struct JumpError {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void JumpOnError(j_common_ptr info)
{
    longjmp(((JumpError*)info->err)->jump, 1);
}

bool WriteJpeg(const WCHAR* path)
{
    FILE* file = OpenFile(path, L"wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    JumpError error;
    uint8_t* volatile row = (uint8_t*)malloc((size_t)kJpegWidth * 3);
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOnError;
    if (!row || setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        free(row);
        fclose(file);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = kJpegWidth;
    info.image_height = kJpegHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < kJpegHeight; ++y) {
        for (int x = 0; x < kJpegWidth * 3; ++x)
            row[x] = Sample(x / 3, y, x % 3);
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    free(row);
    return fclose(file) == 0;
}

// The plain libpng read of an 8-bit RGBA file into the layout ours makes:
// rows bottom-up, B, G, R, A (png_set_bgr stands for our own swap).
uint8_t* BareDecodePng(FILE* file)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    png_bytep* volatile rows = nullptr;
    uint8_t* volatile pixels = nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        free(rows);
        free(pixels);
        return nullptr;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_size_t rowBytes = png_get_rowbytes(png, info);
    pixels = (uint8_t*)malloc(height * rowBytes);
    rows = (png_bytep*)malloc(height * sizeof(png_bytep));
    if (!pixels || !rows)
        png_error(png, "out of memory");
    for (png_uint_32 i = 0; i < height; ++i)
        rows[i] = pixels + (size_t)(height - 1 - i) * rowBytes;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    free(rows);
    return pixels;
}

// The plain libjpeg decompression, rows bottom-up as ours lays them out.
uint8_t* BareDecodeJpeg(FILE* file)
{
    jpeg_decompress_struct info;
    JumpError error;
    uint8_t* volatile pixels = nullptr;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOnError;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        free(pixels);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    size_t stride = (size_t)info.output_width * info.output_components;
    pixels = (uint8_t*)malloc(info.output_height * stride);
    if (!pixels)
        longjmp(error.jump, 1);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + (info.output_height - 1 - info.output_scanline) * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

double Now()
{
    LARGE_INTEGER freq, t;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1e3 / (double)freq.QuadPart;
}

// Milliseconds of the fastest run of each side, the two runs alternating so
// that both see the same machine; false when a side fails or they disagree.
struct Timing {
    double ours, bare;
    bool ok;
};

Timing TimePng(const WCHAR* path)
{
    Timing t = {1e30, 1e30, true};
    for (int r = 0; r < kRounds && t.ok; ++r) {
        double t0 = Now();
        CPixelBuffer buffer;
        t.ok = buffer.LoadPng(path);
        double t1 = Now();
        FILE* file = OpenFile(path, L"rb");
        uint8_t* bare = file ? BareDecodePng(file) : nullptr;
        if (file)
            fclose(file);
        double t2 = Now();
        // the same pixels (checked once, outside the timing)
        t.ok = t.ok && bare && buffer.GetWidth() == kPngSide && buffer.GetHeight() == kPngSide &&
               buffer.GetBitCount() == 32;
        const uint32_t* barePixels = (const uint32_t*)bare;
        for (int i = 0; r == 0 && t.ok && i < kPngSide * kPngSide; ++i)
            t.ok = buffer.GetPixel(i % kPngSide, i / kPngSide) == barePixels[i];
        free(bare);
        t.ours = std::min(t.ours, t1 - t0);
        t.bare = std::min(t.bare, t2 - t1);
    }
    return t;
}

Timing TimeJpeg(const WCHAR* path)
{
    Timing t = {1e30, 1e30, true};
    for (int r = 0; r < kRounds && t.ok; ++r) {
        double t0 = Now();
        CJpegTexture texture;
        t.ok = texture.Load(path, 0, 0);
        double t1 = Now();
        FILE* file = OpenFile(path, L"rb");
        uint8_t* bare = file ? BareDecodeJpeg(file) : nullptr;
        if (file)
            fclose(file);
        double t2 = Now();
        size_t bytes = (size_t)kJpegWidth * kJpegHeight * 3;
        t.ok = t.ok && bare && texture.GetBufferWidth() == kJpegWidth && texture.GetComponents() == 3 &&
               memcmp(texture.GetPixels(), bare, bytes) == 0;
        free(bare);
        t.ours = std::min(t.ours, t1 - t0);
        t.bare = std::min(t.bare, t2 - t1);
    }
    return t;
}

void Print(const char* name, const char* loader, const Timing& t)
{
    if (!t.ok) {
        printf("%-22s FAILED (a decode failed or the two decodes differ)\n", name);
        return;
    }
    printf("%-22s %-22s %7.2f ms  bare %7.2f ms  ratio ours/bare %.3f  (goal <= 1.10)\n", name, loader, t.ours,
           t.bare, t.ours / t.bare);
}

}  // namespace

int main()
{
    WCHAR folder[MAX_PATH], png[MAX_PATH], jpeg[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH - 40, folder);
    if (n == 0 || n >= MAX_PATH - 40)
        return 1;
    swprintf(folder + n, 40, L"tl-imagebench-%lu", (unsigned long)GetCurrentProcessId());
    if (!CreateDirectoryW(folder, nullptr))
        return 1;
    swprintf(png, MAX_PATH, L"%ls\\large.png", folder);
    swprintf(jpeg, MAX_PATH, L"%ls\\large.jpg", folder);

    int rc = 1;
    if (WritePng(png) && WriteJpeg(jpeg)) {
        Timing p = TimePng(png);
        Timing j = TimeJpeg(jpeg);
        Print("PNG 2048x2048 RGBA", "CPixelBuffer::LoadPng", p);
        Print("JPEG 2048x1024 RGB", "CJpegTexture::Load", j);
        rc = p.ok && j.ok ? 0 : 1;
    } else {
        printf("could not write the test images\n");
    }
    DeleteFileW(png);
    DeleteFileW(jpeg);
    RemoveDirectoryW(folder);
    return rc;
}
