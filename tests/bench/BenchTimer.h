// Timing for the benchmarks: the best time per item over several passes.
#pragma once

#include <algorithm>
#include <vector>

#include <windows.h>

#include "graphics/time/ZoneTime.h"

// The performance counter in milliseconds.
inline double QpcNowMs()
{
    LARGE_INTEGER freq, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)freq.QuadPart;
}

// The middle value (the mean of the middle two for an even count); 0 for none.
inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Nanoseconds per item of the fastest of `rounds` passes; `fn(item)` returns
// a number that is consumed, so the work cannot be optimised away.
template <class T, class Fn>
double BestNsPerItem(const std::vector<T>& items, int rounds, Fn fn)
{
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    double best = 1e30;
    volatile unsigned sink = 0;
    for (int r = 0; r < rounds; ++r) {
        QueryPerformanceCounter(&t0);
        for (const T& item : items)
            sink = sink + (unsigned)fn(item);
        QueryPerformanceCounter(&t1);
        double ns = (double)(t1.QuadPart - t0.QuadPart) * 1e9 / (double)freq.QuadPart / (double)items.size();
        best = std::min(best, ns);
    }
    return best;
}

// A fixed pseudo-random sequence (xorshift32): the same inputs on every run.
class CBenchRandom {
public:
    explicit CBenchRandom(uint32_t seed) : m_state(seed) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }

private:
    uint32_t m_state;
};

// `count` UTC instants `stepMinutes` apart from 4 January 2026.
inline std::vector<SYSTEMTIME> BenchInstants(int count, int stepMinutes)
{
    std::vector<SYSTEMTIME> instants;
    SYSTEMTIME t = {2026, 1, 0, 4, 0, 7, 0, 0};
    for (int i = 0; i < count; ++i) {
        instants.push_back(t);
        AddMinutes(t, stepMinutes);
    }
    return instants;
}
