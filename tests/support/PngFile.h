// PNG files the tools wrote, read back by the tests.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// The picture as 0xRRGGBB pixels, rows top-down; false (nothing set) when
// the file cannot be read or decoded.
bool ReadPngRgb(const std::wstring& path, int* width, int* height, std::vector<uint32_t>* rgb);
