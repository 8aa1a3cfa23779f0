#include "map/window/NearestCity.h"

#include <algorithm>

#include "graphics/records/CityRecord.h"

int FindNearestCity(CityRecord* cities, int count, const double probe[4], double radius2, int maxCandidates,
                    bool keepDistances, std::vector<int>* candidates, bool* inRadius)
{
    struct Near {
        double distance2;
        int index;
    };
    std::vector<Near> within;
    int nearest = -1;
    double best = 0;
    for (int i = 0; i < count; ++i) {
        CityRecord& city = cities[i];
        double d2 = 0;
        for (int k = 0; k < 3; ++k) {
            double d = city.mapPosition[k] - probe[k];
            d2 += d * d;
        }
        if (keepDistances)
            city.probeDistance2 = d2;
        city.isNearest = 0;
        city.inProbeRadius = d2 < radius2 ? 1 : 0;
        if (city.inProbeRadius)
            within.push_back({d2, i});
        if (nearest < 0 || d2 < best) {
            nearest = i;
            best = d2;
        }
    }
    if (nearest >= 0)
        cities[nearest].isNearest = 1;
    if (inRadius)
        *inRadius = !within.empty();
    if (candidates) {
        candidates->clear();
        size_t keep = std::min(within.size(), (size_t)std::max(maxCandidates, 0));
        auto closer = [](const Near& a, const Near& b) {
            return a.distance2 < b.distance2 || (a.distance2 == b.distance2 && a.index < b.index);
        };
        std::partial_sort(within.begin(), within.begin() + keep, within.end(), closer);
        for (size_t i = 0; i < keep; ++i)
            candidates->push_back(within[i].index);
    }
    return nearest;
}
