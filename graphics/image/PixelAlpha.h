// Alpha helpers for 32-bit pixels 0xAARRGGBB.
#pragma once

#include <stdint.h>

// The RGB bytes scaled by alpha / 255 (truncated), with `alpha` as the alpha byte.
inline uint32_t PremultiplyColor(uint32_t pixel, uint32_t alpha)
{
    uint32_t out = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8)
        out |= (((pixel >> shift) & 0xFF) * alpha / 255) << shift;
    return out;
}
