// The SIMD keyed shrink against its scalar twin where its fast paths branch
// off: single pixels, pairs, runs of four, strides other than one pixel, a
// key of 0, the largest groups and shrinks in place.
#include <gtest/gtest.h>

#include <stdint.h>

#include <random>
#include <vector>

#include "graphics/image/PixelOps.h"

TEST(ResampleKeyed, SimdMatchesScalarOnEveryPath)
{
    std::mt19937 random(20261210);
    struct Case {
        int n, m, stride;  // stride in pixels
    } cases[] = {
        {7, 7, 1},     {8, 4, 1},   {9, 6, 1},   {1024, 640, 1}, {1024, 128, 1}, {255, 1, 1},
        {300, 2, 1},   {13, 3, 1},  {64, 9, 2},  {40, 40, 3},    {255, 1, 5},    {17, 4, 7},
    };
    for (uint32_t key : {0xFF00FF00u, 0u}) {
        for (const Case& c : cases) {
            for (int round = 0; round < 20; ++round) {
                SCOPED_TRACE(testing::Message() << c.n << " -> " << c.m << " stride " << c.stride << " key "
                                                << key << " round " << round);
                std::vector<uint32_t> src((size_t)c.n * c.stride);
                // few colours so that runs of keys and equal pixels occur
                for (uint32_t& p : src)
                    p = random() % 3 == 0 ? key : (uint32_t)random() | (round % 2 ? 0 : 0xFF000000u);
                std::vector<uint32_t> dst((size_t)c.m * c.stride), ref = dst;
                int bytes = 4 * c.stride;
                ResampleRunKeyed(src.data(), dst.data(), c.n, c.m, bytes, bytes, key);
                ResampleRunKeyedRef(src.data(), ref.data(), c.n, c.m, bytes, bytes, key);
                ASSERT_EQ(ref, dst);
                std::vector<uint32_t> inPlace = src, inPlaceRef = src;
                ResampleRunKeyed(inPlace.data(), inPlace.data(), c.n, c.m, bytes, bytes, key);
                ResampleRunKeyedRef(inPlaceRef.data(), inPlaceRef.data(), c.n, c.m, bytes, bytes, key);
                ASSERT_EQ(inPlaceRef, inPlace);
            }
        }
    }
}
