#include "graphics/image/PixelOps.h"

#include <emmintrin.h>
#include <math.h>

namespace {

const uint32_t kRgbMask = 0x00FFFFFF;

uint32_t Byte(uint32_t v, int i) { return (v >> (8 * i)) & 0xFF; }
uint32_t Sat(int v) { return v < 0 ? 0 : v > 255 ? 255 : (uint32_t)v; }

template <class T>
T* Step(T* p, int stride) { return (T*)((const char*)p + stride); }

// One pixel's four bytes as four 16-bit words.
__m128i Widen(uint32_t v)
{
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128((int)v), _mm_setzero_si128());
}

uint32_t Narrow(__m128i words)
{
    return (uint32_t)_mm_cvtsi128_si32(_mm_packus_epi16(words, words));
}

uint32_t MixWords(uint32_t a, uint32_t b, uint32_t w)
{
    __m128i wa = _mm_set1_epi16((short)(256 - w)), wb = _mm_set1_epi16((short)w);
    // both products fit 16 bits unsigned; their sum is at most 255 * 256
    __m128i sum = _mm_adds_epu16(_mm_mullo_epi16(Widen(a), wa), _mm_mullo_epi16(Widen(b), wb));
    return Narrow(_mm_srli_epi16(sum, 8));
}

// The RGB bytes of a shade split into what it adds and what it takes, around `neutral`.
void SplitShade(uint32_t shade, int neutral, __m128i* up, __m128i* down)
{
    __m128i s = _mm_cvtsi32_si128((int)(shade & kRgbMask));
    __m128i n = _mm_cvtsi32_si128((int)((uint32_t)neutral * 0x010101u));
    *up = _mm_subs_epu8(s, n);
    *down = _mm_subs_epu8(n, s);
    // the alpha byte is added as it stands
    *up = _mm_or_si128(*up, _mm_cvtsi32_si128((int)(shade & 0xFF000000u)));
}

uint32_t ApplyShade(uint32_t pixel, __m128i up, __m128i down)
{
    __m128i p = _mm_cvtsi32_si128((int)pixel);
    return (uint32_t)_mm_cvtsi128_si32(_mm_subs_epu8(_mm_adds_epu8(p, up), down));
}

uint32_t ShadeRef(uint32_t pixel, uint32_t shade, int neutral)
{
    uint32_t out = Sat((int)Byte(pixel, 3) + (int)Byte(shade, 3)) << 24;
    for (int i = 0; i < 3; ++i) {
        int s = (int)Byte(shade, i);
        int v = (int)Sat((int)Byte(pixel, i) + (s > neutral ? s - neutral : 0));
        v = (int)Sat(v - (neutral > s ? neutral - s : 0));
        out |= (uint32_t)v << (8 * i);
    }
    return out;
}

// Calls fn(j, first, count) for each group of a shrink of n to m: group j
// holds the pixels i with floor(m*i/n) = j, which end where i reaches
// ceil((j+1)*n/m); one division per group, not per pixel.
template <class Fn>
void ForEachGroup(int n, int m, Fn fn)
{
    int first = 0;
    for (int j = 0; j < m && first < n; ++j) {
        int end = (int)(((int64_t)(j + 1) * n + m - 1) / m);
        if (end > n)
            end = n;
        fn(j, first, end - first);
        first = end;
    }
}

// ceil(2^32 / count) for count 1..255: floor(sum / count) = (sum * r) >> 32
// for sum < 2^16, by a multiplication instead of a division per group.
struct Reciprocals {
    uint64_t of[256];
    constexpr Reciprocals() : of{}
    {
        for (uint64_t count = 1; count < 256; ++count)
            of[count] = ((1ull << 32) + count - 1) / count;
    }
};

constexpr Reciprocals g_reciprocals;

uint32_t Average(__m128i sum, int count)
{
    uint16_t words[8];
    _mm_storeu_si128((__m128i*)words, sum);
    uint64_t reciprocal = g_reciprocals.of[count & 0xFF];
    uint32_t out = 0;
    for (int b = 0; b < 4; ++b)
        out |= (uint32_t)((words[b] * reciprocal) >> 32) << (8 * b);
    return out;
}

}  // namespace

uint32_t MixColors(uint32_t a, uint32_t b, uint32_t weight)
{
    if (((a ^ b) & kRgbMask) == 0)
        return a;
    return MixWords(a, b, weight & 0xFF);
}

uint32_t MixColorsKeepAlpha(uint32_t a, uint32_t b, uint32_t weight)
{
    if (((a ^ b) & kRgbMask) == 0)
        return a;
    return (MixWords(a, b, weight & 0xFF) & kRgbMask) | (a & 0xFF000000u);
}

uint32_t ShadeColor(uint32_t pixel, uint32_t shade)
{
    __m128i up, down;
    SplitShade(shade, 127, &up, &down);
    return ApplyShade(pixel, up, down);
}

void ShadeRun(uint32_t* first, int count, int stride, uint32_t shade, uint32_t key)
{
    __m128i up, down;
    SplitShade(shade, 127, &up, &down);
    for (uint32_t* p = first; count > 0; --count, p = Step(p, stride))
        if (*p != key)
            *p = ApplyShade(*p, up, down);
}

void ShadePixels(uint32_t* dst, const uint32_t* shade, int count)
{
    const __m128i neutral = _mm_set1_epi32(0x00808080);
    const __m128i alpha = _mm_set1_epi32((int)0xFF000000u);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128((const __m128i*)(shade + i));
        __m128i d = _mm_loadu_si128((const __m128i*)(dst + i));
        __m128i rgb = _mm_andnot_si128(alpha, s);
        __m128i up = _mm_or_si128(_mm_subs_epu8(rgb, neutral), _mm_and_si128(s, alpha));
        __m128i down = _mm_subs_epu8(neutral, rgb);
        _mm_storeu_si128((__m128i*)(dst + i), _mm_subs_epu8(_mm_adds_epu8(d, up), down));
    }
    for (; i < count; ++i) {
        __m128i up, down;
        SplitShade(shade[i], 128, &up, &down);
        dst[i] = ApplyShade(dst[i], up, down);
    }
}

void ResampleRun(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride)
{
    // the source may be the destination (in-place shrinks): each group is read before its result is written,
    // and results never land ahead of the pixels still to be read
    ForEachGroup(n, m, [&](int j, int first, int count) {
        __m128i sum = _mm_setzero_si128();
        const uint32_t* p = Step(src, first * srcStride);
        for (int k = 0; k < count; ++k, p = Step(p, srcStride))
            sum = _mm_adds_epu16(sum, Widen(*p));
        *Step(dst, j * dstStride) = Average(sum, count);
    });
}

void ResampleRunKeyed(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride, uint32_t key)
{
    const __m128i keys = _mm_set1_epi32((int)key);
    const __m128i zero = _mm_setzero_si128();
    ForEachGroup(n, m, [&](int j, int first, int count) {
        const uint32_t* p = Step(src, first * srcStride);
        uint32_t* out = Step(dst, j * dstStride);
        uint32_t head = *p;
        if (head == key || count == 1) {
            *out = head;
            return;
        }
        // pairs are most of a small shrink: halve the sum instead of dividing
        if (count == 2) {
            uint32_t next = *Step(p, srcStride);
            *out = next == key ? head : Narrow(_mm_srli_epi16(_mm_add_epi16(Widen(head), Widen(next)), 1));
            return;
        }
        // Without branches: a key pixel adds zero, and its compare mask (-1)
        // counts it. Words hold at most 255 * 255 per lane, so plain adds do.
        __m128i sum = zero, keyed = zero;
        int k = 0;
        if (srcStride == 4) {
            for (; k + 4 <= count; k += 4) {
                __m128i v = _mm_loadu_si128((const __m128i*)(p + k));
                __m128i eq = _mm_cmpeq_epi32(v, keys);
                v = _mm_andnot_si128(eq, v);
                sum = _mm_add_epi16(sum, _mm_add_epi16(_mm_unpacklo_epi8(v, zero), _mm_unpackhi_epi8(v, zero)));
                keyed = _mm_sub_epi32(keyed, eq);
            }
            p += k;
        }
        for (; k < count; ++k, p = Step(p, srcStride)) {
            __m128i v = _mm_cvtsi32_si128((int)*p);
            __m128i eq = _mm_cmpeq_epi32(v, keys);
            v = _mm_andnot_si128(eq, v);
            sum = _mm_add_epi16(sum, _mm_unpacklo_epi8(v, zero));
            keyed = _mm_sub_epi32(keyed, _mm_and_si128(eq, _mm_cvtsi32_si128(-1)));
        }
        // fold the two pixel lanes, and the four key counts
        sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 8));
        keyed = _mm_add_epi32(keyed, _mm_srli_si128(keyed, 8));
        keyed = _mm_add_epi32(keyed, _mm_srli_si128(keyed, 4));
        *out = Average(sum, count - _mm_cvtsi128_si32(keyed));
    });
}

uint32_t MixColorsRef(uint32_t a, uint32_t b, uint32_t weight)
{
    if (((a ^ b) & kRgbMask) == 0)
        return a;
    uint32_t w = weight & 0xFF, out = 0;
    for (int i = 0; i < 4; ++i) {
        uint32_t sum = Byte(a, i) * (256 - w) + Byte(b, i) * w;
        out |= ((sum > 65535 ? 65535 : sum) >> 8) << (8 * i);
    }
    return out;
}

uint32_t MixColorsKeepAlphaRef(uint32_t a, uint32_t b, uint32_t weight)
{
    if (((a ^ b) & kRgbMask) == 0)
        return a;
    return (MixColorsRef(a, b, weight) & kRgbMask) | (a & 0xFF000000u);
}

uint32_t ShadeColorRef(uint32_t pixel, uint32_t shade)
{
    return ShadeRef(pixel, shade, 127);
}

void ShadeRunRef(uint32_t* first, int count, int stride, uint32_t shade, uint32_t key)
{
    for (uint32_t* p = first; count > 0; --count, p = Step(p, stride))
        if (*p != key)
            *p = ShadeRef(*p, shade, 127);
}

void ShadePixelsRef(uint32_t* dst, const uint32_t* shade, int count)
{
    for (int i = 0; i < count; ++i)
        dst[i] = ShadeRef(dst[i], shade[i], 128);
}

void ResampleRunRef(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride)
{
    ForEachGroup(n, m, [&](int j, int first, int count) {
        uint32_t sums[4] = {};
        for (int k = 0; k < count; ++k)
            for (int b = 0; b < 4; ++b)
                sums[b] += Byte(*Step(src, (first + k) * srcStride), b);
        uint32_t out = 0;
        for (int b = 0; b < 4; ++b)
            out |= ((sums[b] > 65535 ? 65535 : sums[b]) / count) << (8 * b);
        *Step(dst, j * dstStride) = out;
    });
}

void ResampleRunKeyedRef(const uint32_t* src, uint32_t* dst, int n, int m, int srcStride, int dstStride,
                         uint32_t key)
{
    ForEachGroup(n, m, [&](int j, int first, int count) {
        if (*Step(src, first * srcStride) == key) {
            *Step(dst, j * dstStride) = key;
            return;
        }
        uint32_t sums[4] = {}, used = 0;
        for (int k = 0; k < count; ++k) {
            uint32_t p = *Step(src, (first + k) * srcStride);
            if (p == key)
                continue;
            ++used;
            for (int b = 0; b < 4; ++b)
                sums[b] += Byte(p, b);
        }
        uint32_t out = 0;
        for (int b = 0; b < 4; ++b)
            out |= ((sums[b] > 65535 ? 65535 : sums[b]) / used) << (8 * b);
        *Step(dst, j * dstStride) = out;
    });
}

void BuildShadeTable(uint32_t table[256])
{
    const double kPi = 3.14159265358979323846;
    for (int i = 0; i < 256; ++i) {
        uint32_t g = 87 + (uint32_t)floor(80.0 * sin(i * kPi / 256.0));
        table[i] = g * 0x010101u;
    }
}

void BuildDistanceTable(uint8_t table[32][32])
{
    const double scale = 255.0 / sqrt(1984.0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            table[y][x] = (uint8_t)floor(sqrt((double)(x * x + y * y)) * scale);
}
