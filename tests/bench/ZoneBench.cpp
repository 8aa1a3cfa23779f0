// Cost of a zone conversion per call against the system's own conversion on
// the same instants. Prints each ratio against its goal.
#include <stdio.h>

#include "graphics/time/ZoneConvert.h"
#include "tests/bench/BenchTimer.h"

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

}  // namespace

int main()
{
    std::vector<SYSTEMTIME> instants = BenchInstants(kInstants, 127);
    TimeZoneRecord weekday = EuropeZone(), dated = DatedZone();
    SYSTEMTIME out;
    auto bare = [&](const SYSTEMTIME& utc) {
        SystemTimeToTzSpecificLocalTime(&weekday.tzi, &utc, &out);
        return out.wMinute;
    };
    auto viaWeekday = [&](const SYSTEMTIME& utc) {
        UtcToZoneTime(utc, &out, weekday);
        return out.wMinute;
    };
    auto viaDated = [&](const SYSTEMTIME& utc) {
        UtcToZoneTime(utc, &out, dated);
        return out.wMinute;
    };

    // interleave so that drifts of the machine hit all three alike
    double system = 1e30, week = 1e30, date = 1e30;
    for (int pass = 0; pass < 3; ++pass) {
        system = std::min(system, BestNsPerItem(instants, kRounds, bare));
        week = std::min(week, BestNsPerItem(instants, kRounds, viaWeekday));
        date = std::min(date, BestNsPerItem(instants, kRounds, viaDated));
    }
    printf("SystemTimeToTzSpecificLocalTime      %8.1f ns/call (anchor)\n", system);
    printf("UtcToZoneTime, weekday-rule zone     %8.1f ns/call  ratio %.3f  (goal: overhead <= 5%%, ratio <= 1.050)\n",
           week, week / system);
    printf("UtcToZoneTime, dated zone (own)      %8.1f ns/call  ratio %.3f  (goal: ratio <= 1.000)\n", date,
           date / system);
    return 0;
}
