// Each pixel operation over a whole 1024 x 1024 buffer, SSE2 against its
// scalar twin built without auto-vectorisation (PixelScalar.cpp).
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include <windows.h>

#include "graphics/image/PixelOps.h"
#include "tests/bench/BenchTimer.h"
#include "tests/bench/PixelScalar.h"

namespace {

const int kSide = 1024;
const int kPixels = kSide * kSide;
const int kRounds = 21;
const uint32_t kKey = 0xFF00FF00;

CBenchRandom g_random(0x2545F491);

uint32_t Random()
{
    return g_random.Next();
}

// Nanoseconds per pixel of one run of `fn`.
template <class Fn>
double NsPerPixel(Fn fn)
{
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    fn();
    QueryPerformanceCounter(&t1);
    return (double)(t1.QuadPart - t0.QuadPart) * 1e9 / (double)freq.QuadPart / kPixels;
}

struct Buffers {
    std::vector<uint32_t> a, b, weights, keyed, lightmap;
    std::vector<uint32_t> work, simdOut, scalarOut;
};

int g_mismatches = 0;

// The fastest of kRounds runs of each side, the two alternating so that both
// see the same machine; `reset` restores the buffers before each run, outside
// the timing. Checks that both sides produced the same pixels.
template <class Reset, class Simd, class Scalar>
void Compare(const char* name, Buffers& buf, Reset reset, Simd simd, Scalar scalar)
{
    double simdNs = 1e30, scalarNs = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        reset();
        simdNs = std::min(simdNs, NsPerPixel(simd));
        if (r == 0)
            buf.simdOut = buf.work;
        reset();
        scalarNs = std::min(scalarNs, NsPerPixel(scalar));
        if (r == 0)
            buf.scalarOut = buf.work;
    }
    bool same = buf.simdOut == buf.scalarOut;
    if (!same)
        ++g_mismatches;
    printf("%-21s SIMD %6.2f ns/px  scalar %6.2f ns/px  ratio %5.2f  (goal >= 2x on x86_64)%s\n", name, simdNs,
           scalarNs, scalarNs / simdNs, same ? "" : "  RESULTS DIFFER");
}

}  // namespace

int main()
{
    Buffers buf;
    buf.a.resize(kPixels);
    buf.b.resize(kPixels);
    buf.weights.resize(kPixels);
    buf.keyed.resize(kPixels);
    buf.lightmap.resize(kPixels);
    for (int i = 0; i < kPixels; ++i) {
        buf.a[i] = Random();
        buf.b[i] = Random();
        buf.weights[i] = Random() & 0xFF;
        // one pixel in eight is the key, some in runs
        buf.keyed[i] = (Random() & 7) == 0 ? kKey : buf.a[i];
        // a lightmap is smooth: long stretches on each side of the neutral grey
        int x = i % kSide, y = i / kSide;
        buf.lightmap[i] = (uint32_t)(64 + ((x + 2 * y) / 6) % 128) * 0x010101u;
    }
    const uint32_t shade = 0x40A05AC8;  // lightens red, darkens blue

    Buffers& b = buf;
    auto clearWork = [&] { b.work.assign(kPixels, 0); };
    auto copyA = [&] { b.work = b.a; };
    auto copyKeyed = [&] { b.work = b.keyed; };

    Compare(
        "MixColors", buf, clearWork,
        [&] {
            for (int i = 0; i < kPixels; ++i)
                b.work[i] = MixColors(b.a[i], b.b[i], b.weights[i]);
        },
        [&] {
            for (int i = 0; i < kPixels; ++i)
                b.work[i] = scalar::MixColorsRef(b.a[i], b.b[i], b.weights[i]);
        });
    Compare(
        "ShadeColor", buf, clearWork,
        [&] {
            for (int i = 0; i < kPixels; ++i)
                b.work[i] = ShadeColor(b.a[i], shade);
        },
        [&] {
            for (int i = 0; i < kPixels; ++i)
                b.work[i] = scalar::ShadeColorRef(b.a[i], shade);
        });
    Compare(
        "ShadeRun", buf, copyKeyed, [&] { ShadeRun(b.work.data(), kPixels, 4, shade, kKey); },
        [&] { scalar::ShadeRunRef(b.work.data(), kPixels, 4, shade, kKey); });
    Compare(
        "ShadePixels", buf, copyA, [&] { ShadePixels(b.work.data(), b.b.data(), kPixels); },
        [&] { scalar::ShadePixelsRef(b.work.data(), b.b.data(), kPixels); });
    Compare(
        "ShadePixels lightmap", buf, copyA, [&] { ShadePixels(b.work.data(), b.lightmap.data(), kPixels); },
        [&] { scalar::ShadePixelsRef(b.work.data(), b.lightmap.data(), kPixels); });
    // shrinks of each row to 640 (groups of one and two) and to 128 (groups of eight)
    for (int shrunk : {640, 128}) {
        char name[2][40];
        snprintf(name[0], sizeof(name[0]), "ResampleRun %d", shrunk);
        snprintf(name[1], sizeof(name[1]), "ResampleRunKeyed %d", shrunk);
        Compare(
            name[0], buf, clearWork,
            [&] {
                for (int row = 0; row < kSide; ++row)
                    ResampleRun(&b.a[row * kSide], &b.work[row * shrunk], kSide, shrunk, 4, 4);
            },
            [&] {
                for (int row = 0; row < kSide; ++row)
                    scalar::ResampleRunRef(&b.a[row * kSide], &b.work[row * shrunk], kSide, shrunk, 4, 4);
            });
        Compare(
            name[1], buf, clearWork,
            [&] {
                for (int row = 0; row < kSide; ++row)
                    ResampleRunKeyed(&b.keyed[row * kSide], &b.work[row * shrunk], kSide, shrunk, 4, 4, kKey);
            },
            [&] {
                for (int row = 0; row < kSide; ++row)
                    scalar::ResampleRunKeyedRef(&b.keyed[row * kSide], &b.work[row * shrunk], kSide, shrunk, 4, 4,
                                                kKey);
            });
    }
    printf("(1024 x 1024 pixels of pseudo-random content; the resamples shrink each row from 1024;\n"
           " ns per source pixel)\n");
    return g_mismatches == 0 ? 0 : 1;
}
