// PNG files the tools wrote, read back by the tests.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// The picture as 0xRRGGBB pixels, rows top-down; false (nothing set) when
// the file cannot be read or decoded.
bool ReadPngRgb(const std::wstring& path, int* width, int* height, std::vector<uint32_t>* rgb);

// A picture as ReadPngRgb gives it.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;  // 0xRRGGBB, top-down
    uint32_t At(int x, int y) const { return rgb[(size_t)y * width + x]; }
};

// False (the picture left empty) when the file cannot be read or decoded.
bool ReadPngPicture(const std::wstring& path, RgbPicture* picture);

// Writes 8-bit RGB (channels 3) or RGBA (channels 4) pixels, rows top-down
// and packed; false when the file cannot be written.
bool WritePngPixels(const std::wstring& path, int width, int height, int channels, const uint8_t* pixels);
