#include <gtest/gtest.h>
#include <math.h>

#include "graphics/records/CityRecord.h"
#include "map/scene/GlobeMath.h"
#include "map/scene/GlobeView.h"
#include "map/scene/Planet.h"
#include "map/scene/Scene.h"

namespace {

double Length(const double p[4])
{
    return sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
}

// Difference of two longitudes, folded into -180..180.
double LongitudeGap(double a, double b)
{
    double d = fmod(a - b, 360.0);
    if (d > 180)
        d -= 360;
    if (d < -180)
        d += 360;
    return d;
}

struct Place {
    double latitude, longitude;
};

const Place kPlaces[] = {
    {0, 0}, {45, 45}, {-45, -135}, {90, 0}, {-90, 77}, {10, 180}, {10, -180}, {-33.87, 151.21},
    {89.99, -179.99}, {-0.5, 90}, {51.5, -0.13}, {64.1, -21.9},
};

}  // namespace

TEST(GlobeMath, LatLongRoundTrip)
{
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(testing::Message() << p.latitude << ", " << p.longitude);
        double point[4];
        LatLongToPoint(p.latitude, p.longitude, 3.0, point);
        EXPECT_NEAR(3.0, Length(point), 1e-12);
        EXPECT_EQ(1.0, point[3]);
        double latitude, longitude;
        PointToLatLong(point, &latitude, &longitude);
        EXPECT_NEAR(p.latitude, latitude, 1e-9);
        EXPECT_GE(longitude, -180.0);
        EXPECT_LE(longitude, 180.0);
        // a pole has every longitude
        if (fabs(p.latitude) < 90) {
            EXPECT_NEAR(0, LongitudeGap(p.longitude, longitude), 1e-9);
        }
    }
}

TEST(GlobeMath, FrameOfTheGlobe)
{
    // north up (+y), longitude 0 towards the viewer (+z), east to the right (+x)
    struct Case {
        Place place;
        double x, y, z;
    } cases[] = {
        {{0, 0}, 0, 0, 2},  {{0, 90}, 2, 0, 0},   {{0, -90}, -2, 0, 0},
        {{90, 0}, 0, 2, 0}, {{-90, 0}, 0, -2, 0}, {{0, 180}, 0, 0, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.place.latitude << ", " << c.place.longitude);
        double point[4];
        LatLongToPoint(c.place.latitude, c.place.longitude, 2.0, point);
        EXPECT_NEAR(c.x, point[0], 1e-12);
        EXPECT_NEAR(c.y, point[1], 1e-12);
        EXPECT_NEAR(c.z, point[2], 1e-12);
    }
}

TEST(GlobeMath, TransformPointForwardAndBack)
{
    CGLObject object;
    object.SetTranslation(1, 2, -3);
    object.SetRotation(30, -50, 70);
    double point[4] = {0.3, -1.7, 2.2, 1}, moved[4] = {0.3, -1.7, 2.2, 1};
    object.TransformPoint(moved, 1);
    EXPECT_GT(fabs(moved[0] - point[0]) + fabs(moved[1] - point[1]) + fabs(moved[2] - point[2]), 0.5);
    EXPECT_NEAR(Length(point), sqrt(pow(moved[0] - 1, 2) + pow(moved[1] - 2, 2) + pow(moved[2] + 3, 2)), 1e-12);
    object.TransformPoint(moved, -1);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(point[i], moved[i], 1e-12) << i;

    // rotations as glRotate turns: counter-clockwise seen from the axis, x
    // applied last (outermost), then the translation
    CGLObject turned;
    turned.SetRotation(90, 90, 0);
    double z[4] = {0, 0, 1, 1};
    turned.TransformPoint(z, 1);  // y turns +z to +x, then x keeps +x
    EXPECT_NEAR(1, z[0], 1e-12);
    EXPECT_NEAR(0, z[1], 1e-12);
    EXPECT_NEAR(0, z[2], 1e-12);
    double y[4] = {0, 1, 0, 1};
    turned.TransformPoint(y, 1);  // y keeps +y, then x turns it to +z
    EXPECT_NEAR(0, y[0], 1e-12);
    EXPECT_NEAR(0, y[1], 1e-12);
    EXPECT_NEAR(1, y[2], 1e-12);
}

TEST(GlobeMath, CameraFacesThePlaceAtTiltLatitudeRotationMinusLongitude)
{
    CScene scene;
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(testing::Message() << p.latitude << ", " << p.longitude);
        scene.SetCamera(-12.2f, p.latitude, 360 - p.longitude);
        double point[4];
        LatLongToPoint(p.latitude, p.longitude, 3.0, point);
        scene.TransformPoint(point, 1);
        // straight in front of the eye, on the near side of the globe
        EXPECT_NEAR(0, point[0], 1e-9);
        EXPECT_NEAR(0, point[1], 1e-9);
        EXPECT_NEAR(-12.2 + 3.0, point[2], 1e-6);
        // and north stays up on screen away from the poles
        if (fabs(p.latitude) < 80) {
            double north[4];
            LatLongToPoint(p.latitude + 5, p.longitude, 3.0, north);
            scene.TransformPoint(north, 1);
            EXPECT_NEAR(0, north[0], 1e-9);
            EXPECT_GT(north[1], 0.1);
            double east[4];
            LatLongToPoint(p.latitude, p.longitude + 5, 3.0, east);
            scene.TransformPoint(east, 1);
            EXPECT_GT(east[0], 0.1);
        }
    }
}

TEST(GlobeMath, PlaceCitiesJustAboveTheSurface)
{
    CityRecord cities[4] = {};
    const Place places[4] = {{28.61, 77.21}, {-33.87, 151.21}, {90, 0}, {40.71, -74.01}};
    for (int i = 0; i < 4; ++i) {
        cities[i].latitude = places[i].latitude;
        cities[i].longitude = places[i].longitude;
    }
    CPlanet planet(nullptr);
    planet.SetRadius(3.0f);
    PlaceCities(planet, cities, 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const double* p = cities[i].mapPosition;
        EXPECT_NEAR(3.0003, Length(p), 1e-9);
        EXPECT_EQ(1.0, p[3]);
        double latitude, longitude;
        PointToLatLong(p, &latitude, &longitude);
        EXPECT_NEAR(places[i].latitude, latitude, 1e-9);
        if (fabs(places[i].latitude) < 90) {
            EXPECT_NEAR(0, LongitudeGap(places[i].longitude, longitude), 1e-9);
        }
    }
}

TEST(GlobeMath, ProjectionRoundTrip)
{
    ViewFrustum frustum = {30, 1, 30, 800, 600};
    const double eyes[][4] = {{0, 0, -1, 1}, {0.5, -0.3, -5, 1}, {-2, 1.5, -12.2, 1}, {3, 2, -29.9, 1}};
    for (const auto& eye : eyes) {
        double window[3], back[4];
        ASSERT_TRUE(ProjectEyePoint(frustum, eye, window));
        EXPECT_GE(window[2], -1e-12);
        EXPECT_LE(window[2], 1.0);
        double ndcZ = window[2] * 2 - 1;
        UnprojectWindowPoint(frustum, window[0], window[1], ndcZ, back);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(eye[i], back[i], 1e-9);
    }
    // the planes and the edge of the field of view
    double window[3], onAxisNear[4] = {0, 0, -1, 1}, top[4] = {0, tan(DegreesToRadians(15)) * 10, -10, 1};
    ProjectEyePoint(frustum, onAxisNear, window);
    EXPECT_NEAR(400, window[0], 1e-9);
    EXPECT_NEAR(300, window[1], 1e-9);
    EXPECT_NEAR(0, window[2], 1e-12);
    ProjectEyePoint(frustum, top, window);
    EXPECT_NEAR(600, window[1], 1e-9);
    double behind[4] = {0, 0, 1, 1};
    EXPECT_FALSE(ProjectEyePoint(frustum, behind, window));
}
