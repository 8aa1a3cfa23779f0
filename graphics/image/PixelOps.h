// Operations on 32-bit pixels 0xAARRGGBB, the four bytes in parallel (SSE2).
// Saturating means clamped to 0..255 per byte. Strides are in bytes. Each
// operation has a plain scalar twin (…Ref) that states the arithmetic; tests
// hold the two together.
#pragma once

#include <stdint.h>

// a when a and b have the same RGB; else per byte (a*(256-w) + b*w) >> 8, w = low 8 bits of `weight`.
uint32_t MixColors(uint32_t a, uint32_t b, uint32_t weight);
// As MixColors for the RGB bytes; the alpha byte of a.
uint32_t MixColorsKeepAlpha(uint32_t a, uint32_t b, uint32_t weight);
// Per RGB byte c + max(s-127, 0) - max(127-s, 0), each step saturating; alpha c + s saturating.
uint32_t ShadeColor(uint32_t pixel, uint32_t shade);
// ShadeColor on `count` pixels `stride` bytes apart, skipping pixels equal to `key`.
void ShadeRun(uint32_t* first, int count, int stride, uint32_t shade, uint32_t key);
// Per pixel and RGB byte d + max(s-128, 0) - max(128-s, 0) (neutral grey 0x808080); alpha d + s.
void ShadePixels(uint32_t* dst, const uint32_t* shade, int count);
// Box-filter shrink of n source pixels to m <= n: output j averages the pixels
// i with floor(m*i/n) = j. A group holds at most 255 pixels.
void ResampleRun(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride);
// As ResampleRun, leaving pixels equal to `key` out of the averages; a group
// whose first pixel is the key yields the key.
void ResampleRunKeyed(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride, uint32_t key);

uint32_t MixColorsRef(uint32_t a, uint32_t b, uint32_t weight);
uint32_t MixColorsKeepAlphaRef(uint32_t a, uint32_t b, uint32_t weight);
uint32_t ShadeColorRef(uint32_t pixel, uint32_t shade);
void ShadeRunRef(uint32_t* first, int count, int stride, uint32_t shade, uint32_t key);
void ShadePixelsRef(uint32_t* dst, const uint32_t* shade, int count);
void ResampleRunRef(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride);
void ResampleRunKeyedRef(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride,
                         uint32_t key);

// The grey gradient of the clocks: entry i = g * 0x010101, g = 87 + floor(80 sin(i pi / 256)).
void BuildShadeTable(uint32_t table[256]);

// Distances from a corner of a 32 x 32 square, scaled so that the far
// corner's centre (31.5, 31.5) would be 255: entry [y][x] =
// floor(sqrt(x * x + y * y) * 255 / sqrt(1984)).
void BuildDistanceTable(uint8_t table[32][32]);
