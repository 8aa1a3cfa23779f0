#include <gtest/gtest.h>

#include "graphics/image/PixelBuffer.h"
#include "tests/support/BitmapFixtures.h"

namespace {

const uint32_t kBackground = 0xFF777777;

// The source pixel offset (from the source pivot) that a clockwise turn by a
// right angle brings to the destination offset (a, b).
void SourceOffset(int angle, int a, int b, int* u, int* v)
{
    switch (angle) {
    case 0: *u = a, *v = b; break;
    case 90: *u = -b, *v = a; break;
    case 180: *u = -a, *v = -b; break;
    default: *u = b, *v = -a; break;  // 270
    }
}

}  // namespace

TEST(Rotate, RightAnglesMovePixelsExactly)
{
    // a 4 x 3 image, every pixel different; (1, 1) is the key
    const int kWidth = 4, kHeight = 3;
    const uint32_t key = Position(1, 1);
    const RECT whole = {0, kHeight, kWidth, 0};  // left, top, right, bottom
    const int srcPivotX = 1, srcPivotY = 1;
    CPixelBuffer source;
    ASSERT_TRUE(MakeBuffer(source, kWidth, kHeight, Position));
    struct Case {
        int angle, pivotX, pivotY;
    };
    const Case cases[] = {
        {0, 4, 4}, {90, 4, 4}, {180, 4, 4}, {270, 4, 4}, {360 + 90, 4, 4},
        // partly off the destination: spans and writes stay inside it
        {0, 0, 0}, {90, 7, 7}, {180, 0, 6}, {270, -2, 3}, {0, 9, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " degrees at " << c.pivotX << "," << c.pivotY);
        CPixelBuffer dest;
        ASSERT_TRUE(MakeBuffer(dest, 8, 8, Uniform(kBackground)));
        dest.DrawRotated(source, c.pivotX, c.pivotY, srcPivotX, srcPivotY, whole, c.angle, key);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                int u, v;
                SourceOffset(c.angle % 360, x - c.pivotX, y - c.pivotY, &u, &v);
                int sx = srcPivotX + u, sy = srcPivotY + v;
                bool inside = sx >= 0 && sx < kWidth && sy >= 0 && sy < kHeight && Position(sx, sy) != key;
                EXPECT_EQ(inside ? Position(sx, sy) : kBackground, dest.GetPixel(x, y)) << x << "," << y;
            }
        for (int y = 0; y < 8; ++y) {
            int left, right;
            ASSERT_TRUE(dest.GetSpan(y, &left, &right));
            if (left > right)
                continue;
            EXPECT_GE(left, 0) << y;
            EXPECT_LE(right, 7) << y;
        }
    }
}

TEST(Rotate, SpansCoverTheTurnedRectangle)
{
    CPixelBuffer source, dest;
    ASSERT_TRUE(MakeBuffer(source, 4, 2, Position));
    ASSERT_TRUE(MakeBuffer(dest, 10, 10, Uniform(kBackground)));
    const RECT whole = {0, 2, 4, 0};
    // 90 degrees about the source's bottom-left corner, to (3, 6): columns 3..5, rows 2..6
    dest.DrawRotated(source, 3, 6, 0, 0, whole, 90, 0);
    for (int y = 2; y <= 6; ++y) {
        int left, right;
        ASSERT_TRUE(dest.GetSpan(y, &left, &right));
        EXPECT_EQ(3, left) << y;
        EXPECT_EQ(5, right) << y;
    }
    int left, right;
    EXPECT_FALSE(dest.GetSpan(10, &left, &right));
    EXPECT_FALSE(dest.GetSpan(-1, &left, &right));
}

TEST(Rotate, OddAngleCoversTheMiddle)
{
    // a uniform 6 x 6 square turned by 45 degrees about its centre
    const uint32_t red = 0xFFFF0000;
    CPixelBuffer source, dest;
    ASSERT_TRUE(MakeBuffer(source, 6, 6, Uniform(red)));
    ASSERT_TRUE(MakeBuffer(dest, 12, 12, Uniform(kBackground)));
    const RECT whole = {0, 6, 6, 0};
    dest.DrawRotated(source, 6, 6, 3, 3, whole, 45, 0);
    EXPECT_EQ(red, dest.GetPixel(6, 6));
    EXPECT_EQ(red, dest.GetPixel(5, 5));
    // the corners of the square's bounding box are outside the turned square
    EXPECT_EQ(kBackground, dest.GetPixel(3, 3));
    EXPECT_EQ(kBackground, dest.GetPixel(9, 9));
    EXPECT_EQ(kBackground, dest.GetPixel(0, 0));
    // the tips reach about 3 * sqrt(2) = 4.2 from the centre
    EXPECT_EQ(red, dest.GetPixel(6, 9));
    EXPECT_EQ(kBackground, dest.GetPixel(6, 11));
}

TEST(Rotate, NeedsPixelsOnBothSides)
{
    CPixelBuffer source, dest, empty;
    ASSERT_TRUE(MakeBuffer(source, 2, 2, Position));
    ASSERT_TRUE(MakeBuffer(dest, 2, 2, Uniform(kBackground)));
    const RECT whole = {0, 2, 2, 0};
    empty.DrawRotated(source, 0, 0, 0, 0, whole, 0, 0);
    EXPECT_FALSE(empty.IsValid());
    dest.DrawRotated(empty, 0, 0, 0, 0, whole, 0, 0);
    EXPECT_EQ(kBackground, dest.GetPixel(0, 0));
}
