#include "map/scene/GlobeView.h"

#include <math.h>

#include "graphics/records/CityRecord.h"
#include "map/scene/GlobeMath.h"
#include "map/scene/Planet.h"
#include "map/scene/Scene.h"

namespace {

// City points float this share above the surface, clear of its depth.
const double kCityLift = 1.0001;
// The limb search's step; the projected width is flat near the limb.
const double kLimbStepDegrees = 0.05;

// The globe's centre in eye coordinates.
void CentreInEye(const CScene& scene, const CPlanet& planet, double centre[4])
{
    VectorSet(centre, 0, 0, 0);
    planet.TransformPoint(centre, 1);
    scene.TransformPoint(centre, 1);
}

}  // namespace

void PlaceCities(const CPlanet& planet, CityRecord* cities, int count)
{
    double radius = planet.GetRadius() * kCityLift;
    for (int i = 0; i < count; ++i)
        LatLongToPoint(cities[i].latitude, cities[i].longitude, radius, cities[i].mapPosition);
}

GlobeOnScreen MeasureGlobeOnScreen(const CScene& scene, const CPlanet& planet)
{
    GlobeOnScreen result = {0, 1};
    ViewFrustum frustum = scene.GetFrustum();
    double centre[4], centreOnScreen[3];
    CentreInEye(scene, planet, centre);
    if (!ProjectEyePoint(frustum, centre, centreOnScreen))
        return result;
    // from the side of the globe (90 degrees off the view axis) towards the
    // viewer: the projected x grows until the line of sight grazes the sphere
    double radius = planet.GetRadius();
    double best = -1, bestDepth = 1;
    for (double angle = 90; angle >= 0; angle -= kLimbStepDegrees) {
        double a = DegreesToRadians(angle), point[4], window[3];
        VectorSet(point, centre[0] + radius * sin(a), centre[1], centre[2] + radius * cos(a));
        if (!ProjectEyePoint(frustum, point, window))
            continue;
        if (window[0] <= best)
            break;
        best = window[0];
        bestDepth = window[2];
    }
    if (best >= 0) {
        result.diameter = 2 * (best - centreOnScreen[0]);
        result.limbDepth = bestDepth;
    }
    return result;
}

bool PickGlobePoint(const CScene& scene, const CPlanet& planet, double x, double y, double hit[4])
{
    ViewFrustum frustum = scene.GetFrustum();
    double nearPoint[4], farPoint[4];
    UnprojectWindowPoint(frustum, x, y, -1, nearPoint);
    UnprojectWindowPoint(frustum, x, y, 1, farPoint);
    scene.TransformPoint(nearPoint, -1);
    planet.TransformPoint(nearPoint, -1);
    scene.TransformPoint(farPoint, -1);
    planet.TransformPoint(farPoint, -1);
    double d[3], along = 0, length2 = 0;
    for (int i = 0; i < 3; ++i) {
        d[i] = farPoint[i] - nearPoint[i];
        along -= nearPoint[i] * d[i];
        length2 += d[i] * d[i];
    }
    if (length2 <= 0)
        return false;
    // the ray's point nearest to the centre, and how far the surface lies
    // before it along the ray
    double t = along / length2, closest[3], distance2 = 0;
    for (int i = 0; i < 3; ++i) {
        closest[i] = nearPoint[i] + t * d[i];
        distance2 += closest[i] * closest[i];
    }
    double radius = planet.GetRadius();
    if (distance2 > radius * radius)
        return false;
    double back = sqrt((radius * radius - distance2) / length2);
    VectorSet(hit, closest[0] - back * d[0], closest[1] - back * d[1], closest[2] - back * d[2]);
    return true;
}
