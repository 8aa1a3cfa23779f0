#include "graphics/image/PixelBuffer.h"

#include <math.h>
#include <stdlib.h>

namespace {

// sine and cosine in fixed point, 2e9 for 1 (fits a signed 32-bit value)
const int64_t kFixedOne = 2000000000;
// 2e9 / 256: fixed point to 1/256 pixel
const int64_t kFixedPerSubpixel = 7812500;

struct Turn {
    int64_t sin, cos;
};

Turn TurnBy(int degrees)
{
    const double kPi = 3.14159265358979323846;
    double radians = (degrees % 360) * kPi / 180.0;
    // rounded, so that the right angles are exact
    return {llround(sin(radians) * kFixedOne), llround(cos(radians) * kFixedOne)};
}

struct Point {
    int64_t x, y;
};

// Widens the spans of the rows the edge (x0, y0)-(x1, y1) crosses to the
// edge's column, kept inside columns 0..width-1.
void AddEdgeToSpans(int32_t* spans, int rows, int width, Point from, Point to)
{
    int64_t x = from.x, y = from.y;
    int64_t dx = llabs(to.x - from.x), dy = -llabs(to.y - from.y);
    int64_t sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int64_t err = dx + dy;
    for (;;) {
        if (y >= 0 && y < rows) {
            int32_t* span = spans + 2 * y;  // left and right column
            int32_t left = (int32_t)(x < 0 ? 0 : x >= width ? width : x);
            int32_t right = (int32_t)(x >= width ? width - 1 : x < 0 ? -1 : x);
            if (left < span[0])
                span[0] = left;
            if (right > span[1])
                span[1] = right;
        }
        if (x == to.x && y == to.y)
            break;
        int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace

void CPixelBuffer::DrawRotated(const CPixelBuffer& source, int pivotX, int pivotY, int srcPivotX, int srcPivotY,
                               const RECT& srcRect, int angle, uint32_t key)
{
    if (!Is32Bit() || !m_spans || !source.Is32Bit())
        return;
    int width = GetWidth();

    // the source rectangle's corners, turned clockwise (by 360 - angle the other way) into this buffer
    Turn forward = TurnBy(360 - angle % 360);
    const LONG cornerX[4] = {srcRect.left, srcRect.right, srcRect.right, srcRect.left};
    const LONG cornerY[4] = {srcRect.top, srcRect.top, srcRect.bottom, srcRect.bottom};
    Point corners[4];
    int64_t low = INT64_MAX, high = INT64_MIN;
    for (int i = 0; i < 4; ++i) {
        int64_t dx = cornerX[i] - srcPivotX, dy = cornerY[i] - srcPivotY;
        corners[i].x = pivotX + (dx * forward.cos - dy * forward.sin) / kFixedOne;
        corners[i].y = pivotY + (dx * forward.sin + dy * forward.cos) / kFixedOne;
        low = corners[i].y < low ? corners[i].y : low;
        high = corners[i].y > high ? corners[i].y : high;
    }
    if (high < 0 || low >= m_rows)
        return;
    int firstRow = (int)(low < 0 ? 0 : low), lastRow = (int)(high >= m_rows ? m_rows - 1 : high);
    for (int row = firstRow; row <= lastRow; ++row) {
        m_spans[kSpanInts * row] = width;
        m_spans[kSpanInts * row + 1] = -1;
    }
    for (int i = 0; i < 4; ++i)
        AddEdgeToSpans(m_spans, m_rows, width, corners[i], corners[(i + 1) % 4]);

    // each covered pixel looks up its source position by the opposite turn
    Turn back = TurnBy(angle);
    for (int row = firstRow; row <= lastRow; ++row) {
        uint32_t* line = m_pixels + (size_t)row * m_stride;
        int64_t dy = row - pivotY;
        for (int col = m_spans[kSpanInts * row]; col <= m_spans[kSpanInts * row + 1]; ++col) {
            int64_t dx = col - pivotX;
            int64_t sx = (int64_t)srcPivotX * 256 + (dx * back.cos - dy * back.sin) / kFixedPerSubpixel;
            int64_t sy = (int64_t)srcPivotY * 256 + (dx * back.sin + dy * back.cos) / kFixedPerSubpixel;
            int64_t sourceCol = sx >> 8, sourceRow = sy >> 8;
            if (sourceCol < srcRect.left || sourceCol >= srcRect.right || sourceRow < srcRect.bottom ||
                sourceRow >= srcRect.top)
                continue;
            uint32_t value = source.SampleBilinear((int)sx, (int)sy, key, line[col]);
            if (value != key)
                line[col] = value;
        }
    }
}
