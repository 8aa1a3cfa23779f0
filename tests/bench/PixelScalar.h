// The scalar twins of the pixel operations, built apart without
// auto-vectorisation: the plain code the SIMD versions are measured against.
#pragma once

#include <stdint.h>

namespace scalar {

uint32_t MixColorsRef(uint32_t a, uint32_t b, uint32_t weight);
uint32_t ShadeColorRef(uint32_t pixel, uint32_t shade);
void ShadeRunRef(uint32_t* first, int count, int stride, uint32_t shade, uint32_t key);
void ShadePixelsRef(uint32_t* dst, const uint32_t* shade, int count);
void ResampleRunRef(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride);
void ResampleRunKeyedRef(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride,
                         uint32_t key);

}  // namespace scalar
