// The camera's keys, drags and flights, the read-out and the nearest-city
// search, as plain values.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "graphics/records/CityRecord.h"
#include "map/scene/GlobeMath.h"
#include "map/window/MapCamera.h"
#include "map/window/NearestCity.h"

namespace {

MapCamera Camera(float distance, double tilt, double rotation)
{
    MapCamera camera;
    camera.distance = distance;
    camera.tilt = tilt;
    camera.rotation = rotation;
    return camera;
}

}  // namespace

TEST(MapCameraKeys, EveryKeyMovesTheCameraAndWrapsItsAngles)
{
    const struct {
        const char* what;
        uint32_t key;
        MapCamera before;
        CameraKey effect;
        MapCamera after;
    } cases[] = {
        {"home", kKeyHome, Camera(-6, 200, 300), CameraKey::Reset, Camera(-12.2f, 40, 0)},
        {"clear", kKeyClear, Camera(-6, 200, 300), CameraKey::Reset, Camera(-12.2f, 40, 0)},
        {"left upright", kKeyLeft, Camera(-12, 40, 10), CameraKey::Moved, Camera(-12, 40, 11)},
        {"left upside down", kKeyLeft, Camera(-12, 100, 10), CameraKey::Moved, Camera(-12, 100, 9)},
        {"left at tilt 270", kKeyLeft, Camera(-12, 270, 10), CameraKey::Moved, Camera(-12, 270, 9)},
        {"left past 360", kKeyLeft, Camera(-12, 300, 359), CameraKey::Moved, Camera(-12, 300, 0)},
        {"right upright", kKeyRight, Camera(-12, 40, 10), CameraKey::Moved, Camera(-12, 40, 9)},
        {"right upside down", kKeyRight, Camera(-12, 100, 10), CameraKey::Moved, Camera(-12, 100, 11)},
        {"right below 0", kKeyRight, Camera(-12, 40, 0), CameraKey::Moved, Camera(-12, 40, 359)},
        {"up past 360", kKeyUp, Camera(-12, 359, 5), CameraKey::Moved, Camera(-12, 0, 5)},
        {"down below 0", kKeyDown, Camera(-12, 0, 5), CameraKey::Moved, Camera(-12, 359, 5)},
        {"zoom in", kKeyZoomIn, Camera(-4.15f, 40, 0), CameraKey::Zoomed, Camera(-4.05f, 40, 0)},
        {"zoom in refused", kKeyZoomIn, Camera(-4.05f, 40, 0), CameraKey::Zoomed, Camera(-4.05f, 40, 0)},
        {"zoom out", kKeyZoomOut, Camera(-28.45f, 40, 0), CameraKey::Zoomed, Camera(-28.55f, 40, 0)},
        {"zoom out refused", kKeyZoomOut, Camera(-28.55f, 40, 0), CameraKey::Zoomed, Camera(-28.55f, 40, 0)},
        {"not a camera key", 'F', Camera(-6, 200, 300), CameraKey::None, Camera(-6, 200, 300)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MapCamera camera = c.before;
        EXPECT_EQ(c.effect, ApplyCameraKey(c.key, &camera));
        EXPECT_NEAR(c.after.distance, camera.distance, 1e-4);
        EXPECT_NEAR(c.after.tilt, camera.tilt, 1e-9);
        EXPECT_NEAR(c.after.rotation, camera.rotation, 1e-9);
    }
}

TEST(MapCameraKeys, TheWheelZoomsByNotchesWithinTheLimits)
{
    MapCamera camera = Camera(-12.2f, 40, 0);
    ZoomCamera(-3, &camera);
    EXPECT_NEAR(-12.5, camera.distance, 1e-4);
    ZoomCamera(200, &camera);
    EXPECT_FLOAT_EQ(kNearestDistance, camera.distance);
    ZoomCamera(-1000, &camera);
    EXPECT_FLOAT_EQ(kFarthestDistance, camera.distance);
}

// The pressed point follows the cursor; upside down the horizontal sense turns.
TEST(MapCameraDrag, AcrossThePoleTheHorizontalDirectionIsReversed)
{
    const struct {
        double pressTilt;
        double latitude, longitude;  // now; pressed at 10, 20 with rotation 50
        double tilt, rotation;
    } cases[] = {
        {40, 15, 30, 35, 60},
        {89.9, 10, 30, 89.9, 60},
        {90, 10, 30, 90, 40},
        {180, 10, 30, 180, 40},
        {269.9, 10, 30, 269.9, 40},
        {270, 10, 30, 270, 60},
        {5, 20, 20, 355, 50},
        {100, 10, -50, 100, 120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pressTilt);
        DragStart start = {c.pressTilt, 50, 10, 20};
        MapCamera camera;
        DragCamera(start, c.latitude, c.longitude, &camera);
        EXPECT_NEAR(c.tilt, camera.tilt, 1e-9);
        EXPECT_NEAR(c.rotation, camera.rotation, 1e-9);
    }
}

TEST(MapCameraFlight, StepsGrowWithTheAngleAndEndExactlyOnTheTarget)
{
    const struct {
        double tilt, rotation, targetTilt, targetRotation;
        int steps;
        double stepTilt, stepRotation;
    } cases[] = {
        {40, 0, 40, 0, 2, 0, 0},               // no way at all: still two steps
        {40, 0, 40.5, 0, 2, 0.25, 0},
        {40, 0, 130, 0, 75, 90.0 / 75, 0},
        {0, 0, 0, 180, 150, 0, 180.0 / 150},
        {40, 10, 40, 350, 16, 0, -20.0 / 16},  // the short way, through 0
        {30, 0, 60, 40, 41, 30.0 / 41, 40.0 / 41},
        {350, 0, 10, 0, 16, 20.0 / 16, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tilt << "," << c.rotation << " -> " << c.targetTilt << ","
                                        << c.targetRotation);
        MapCamera camera = Camera(-12, c.tilt, c.rotation);
        Flight flight = PlanFlight(camera, c.targetTilt, c.targetRotation);
        EXPECT_EQ(c.steps, flight.steps);
        EXPECT_NEAR(c.stepTilt, flight.stepTilt, 1e-9);
        EXPECT_NEAR(c.stepRotation, flight.stepRotation, 1e-9);
        int taken = 0;
        bool done = false;
        while (!done && taken < 1000) {
            done = FlightStep(&flight, &camera);
            ++taken;
            EXPECT_GE(camera.tilt, 0);
            EXPECT_LT(camera.tilt, 360);
            EXPECT_GE(camera.rotation, 0);
            EXPECT_LT(camera.rotation, 360);
            if (taken == 1 && !done) {
                EXPECT_NEAR(Wrap360(c.tilt + c.stepTilt), camera.tilt, 1e-9);
                EXPECT_NEAR(Wrap360(c.rotation + c.stepRotation), camera.rotation, 1e-9);
            }
        }
        EXPECT_EQ(c.steps, taken);
        EXPECT_EQ(Wrap360(c.targetTilt), camera.tilt);
        EXPECT_EQ(Wrap360(c.targetRotation), camera.rotation);
    }
}

TEST(MapReadout, LatitudeAndLongitudeInDegreesAndMinutes)
{
    const struct {
        double latitude, longitude;
        const char* text;
    } cases[] = {
        {51.5, -0.25, "Lat 51\xB0" "30'N  Long   0\xB0" "15'W"},
        {-33.75, 151.25, "Lat 33\xB0" "45'S  Long 151\xB0" "15'E"},
        {0, 180, "Lat  0\xB0" "00'N  Long 180\xB0" "00'E"},
        {100, 190, "Lat 80\xB0" "00'N  Long 170\xB0" "00'W"},   // past the pole
        {-100, -190, "Lat 80\xB0" "00'S  Long 170\xB0" "00'E"},
        {270.5, 360.5, "Lat 89\xB0" "30'S  Long   0\xB0" "30'E"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char text[kReadoutChars];
        FormatLatLong(c.latitude, c.longitude, text);
        EXPECT_STREQ(c.text, text);
    }
}

TEST(NearestCity, FlagsTheCitiesInTheRadiusAndKeepsDistancesOnlyWhenAsked)
{
    // 0 and 1 about 1 degree from the probe, 2 four degrees away, 3 far
    const double places[][2] = {{10, 21}, {10, 20.5}, {14, 20}, {-40, 100}};
    std::vector<CityRecord> cities(4);
    for (size_t i = 0; i < cities.size(); ++i) {
        CityRecord& city = cities[i];
        memset(&city, 0, sizeof(city));
        LatLongToPoint(places[i][0], places[i][1], 3 * 1.0001, city.mapPosition);
        // left over from an earlier search
        city.isNearest = 1;
        city.inProbeRadius = 1;
        city.probeDistance2 = -1;
    }
    double probe[4];
    LatLongToPoint(10, 20, 3, probe);
    std::vector<int> candidates;
    bool inRadius = false;
    EXPECT_EQ(1, FindNearestCity(cities.data(), 4, probe, kProbeRadius2, 1, false, &candidates, &inRadius));
    EXPECT_TRUE(inRadius);
    EXPECT_EQ(std::vector<int>({1}), candidates);  // cut to one candidate, the nearest
    const uint8_t inside[] = {1, 1, 0, 0}, nearest[] = {0, 1, 0, 0};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(inside[i], cities[i].inProbeRadius);
        EXPECT_EQ(nearest[i], cities[i].isNearest);
        EXPECT_EQ(-1, cities[i].probeDistance2);
    }
    EXPECT_EQ(1, FindNearestCity(cities.data(), 4, probe, kProbeRadius2, kMaxLabelCandidates, true, &candidates,
                                 &inRadius));
    EXPECT_EQ(std::vector<int>({1, 0}), candidates);
    EXPECT_GT(cities[0].probeDistance2, cities[1].probeDistance2);
    EXPECT_GT(cities[3].probeDistance2, cities[2].probeDistance2);

    // over open sea: the nearest is still named, none is in the radius
    LatLongToPoint(-30, 110, 3, probe);
    EXPECT_EQ(3, FindNearestCity(cities.data(), 4, probe, kProbeRadius2, kMaxLabelCandidates, true, &candidates,
                                 &inRadius));
    EXPECT_FALSE(inRadius);
    EXPECT_TRUE(candidates.empty());
    EXPECT_EQ(1, cities[3].isNearest);
    EXPECT_EQ(0, cities[1].isNearest);
    EXPECT_EQ(-1, FindNearestCity(cities.data(), 0, probe, kProbeRadius2, 10, true, &candidates, &inRadius));
}
