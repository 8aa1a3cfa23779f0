// JPEG files for tests, written independently of the code under test:
// libjpeg straight, rows top-down as the file keeps them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// A picture of `components` bytes per pixel, rows top-down.
struct TopDownPicture {
    int width = 0, height = 0, components = 3;
    std::vector<uint8_t> bytes;

    TopDownPicture(int w, int h, int c) : width(w), height(h), components(c), bytes((size_t)w * h * c) {}
    uint8_t* At(int x, int yFromTop) { return &bytes[((size_t)yFromTop * width + x) * components]; }
};

// Writes the picture as a JPEG file (1 grey, 3 RGB or 4 CMYK components);
// false on failure.
bool WriteJpegFile(const std::wstring& path, const TopDownPicture& picture, int quality = 95);
