// Cost of a zone conversion per call against the system's own conversion on
// the same instants. Prints each ratio against its goal.
#include <stdio.h>

#include <vector>

#include "../../graphics/ZoneConvert.h"

namespace {

const int kInstants = 4096;
const int kRounds = 15;

TimeZoneRecord EuropeZone()
{
    TimeZoneRecord z = {};
    z.tzi.Bias = -60;
    z.tzi.StandardDate = SYSTEMTIME{0, 10, 0, 5, 3, 0, 0, 0};
    z.tzi.DaylightDate = SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0};
    z.tzi.DaylightBias = -60;
    z.standardRule = z.daylightRule = -1;
    return z;
}

// The same rules as fixed dates of one year, as a dated change leaves them.
TimeZoneRecord DatedZone()
{
    TimeZoneRecord z = EuropeZone();
    z.tzi.StandardDate = SYSTEMTIME{0, 10, 0, 25, 3, 0, 0, 0};
    z.tzi.DaylightDate = SYSTEMTIME{0, 3, 0, 29, 2, 0, 0, 0};
    z.standardRule = z.daylightRule = 0;
    return z;
}

template <class Fn>
double BestNsPerCall(const std::vector<SYSTEMTIME>& instants, Fn fn)
{
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    double best = 1e30;
    volatile unsigned sink = 0;
    for (int r = 0; r < kRounds; ++r) {
        QueryPerformanceCounter(&t0);
        for (const SYSTEMTIME& utc : instants) {
            SYSTEMTIME out;
            fn(utc, &out);
            sink = sink + out.wMinute;
        }
        QueryPerformanceCounter(&t1);
        double ns = (double)(t1.QuadPart - t0.QuadPart) * 1e9 / (double)freq.QuadPart / (double)instants.size();
        if (ns < best)
            best = ns;
    }
    return best;
}

}  // namespace

int main()
{
    std::vector<SYSTEMTIME> instants;
    SYSTEMTIME t = {2026, 1, 4, 1, 0, 7, 0, 0};
    for (int i = 0; i < kInstants; ++i) {
        instants.push_back(t);
        AddMinutes(t, 127);
    }
    TimeZoneRecord weekday = EuropeZone(), dated = DatedZone();
    auto bare = [&](const SYSTEMTIME& utc, SYSTEMTIME* out) { SystemTimeToTzSpecificLocalTime(&weekday.tzi, &utc, out); };
    auto viaWeekday = [&](const SYSTEMTIME& utc, SYSTEMTIME* out) { UtcToZoneTime(utc, out, weekday); };
    auto viaDated = [&](const SYSTEMTIME& utc, SYSTEMTIME* out) { UtcToZoneTime(utc, out, dated); };

    // interleave so that drifts of the machine hit all three alike
    double system = 1e30, week = 1e30, date = 1e30;
    for (int pass = 0; pass < 3; ++pass) {
        system = std::min(system, BestNsPerCall(instants, bare));
        week = std::min(week, BestNsPerCall(instants, viaWeekday));
        date = std::min(date, BestNsPerCall(instants, viaDated));
    }
    printf("SystemTimeToTzSpecificLocalTime      %8.1f ns/call (anchor)\n", system);
    printf("UtcToZoneTime, weekday-rule zone     %8.1f ns/call  ratio %.3f  (goal: overhead <= 5%%, ratio <= 1.050)\n",
           week, week / system);
    printf("UtcToZoneTime, dated zone (own)      %8.1f ns/call  ratio %.3f  (goal: ratio <= 1.000)\n", date,
           date / system);
    return 0;
}
