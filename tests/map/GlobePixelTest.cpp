#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/records/CityRecord.h"
#include "map/scene/GlobeMath.h"
#include "map/scene/GlobeView.h"
#include "map/scene/Lamp.h"
#include "tests/map/JpegFixtures.h"
#include "tests/map/GlobeTestScene.h"
#include "tests/support/TestFiles.h"

namespace {

bool IsBlack(const GLFrame& frame, int x, int y)
{
    return frame.Red(x, y) <= 3 && frame.Green(x, y) <= 3 && frame.Blue(x, y) <= 3;
}

// The yellow earth, against the bluish shells around it.
bool IsYellowEarth(const GLFrame& frame, int x, int y)
{
    return frame.Red(x, y) > 10 && frame.Red(x, y) > frame.Blue(x, y) + 8;
}

bool IsOrange(const GLFrame& frame, int x, int y)
{
    int r = frame.Red(x, y), g = frame.Green(x, y), b = frame.Blue(x, y);
    return r >= 200 && g >= 120 && g <= 230 && b <= 110;
}

bool IsGreen(const GLFrame& frame, int x, int y)
{
    return frame.Green(x, y) >= 200 && frame.Red(x, y) <= 100 && frame.Blue(x, y) <= 100;
}

// The first and last pixel of a line through the frame's centre that pass.
template <class Test>
void Extent(const GLFrame& frame, bool horizontal, Test test, int* first, int* last)
{
    *first = -1;
    *last = -1;
    int count = horizontal ? frame.width : frame.height;
    for (int i = 0; i < count; ++i) {
        int x = horizontal ? i : frame.width / 2, y = horizontal ? frame.height / 2 : i;
        if (test(frame, x, y)) {
            if (*first < 0)
                *first = i;
            *last = i;
        }
    }
}

int TileAt(double latitude, double longitude)
{
    int column = std::min(3, (int)floor((longitude + 180) / 90));
    return column + kTileColumns * (latitude >= 0 ? 0 : 1);
}

std::wstring ShotName(const char* what, int index)
{
    wchar_t name[64];
    swprintf(name, 64, L"globe-%hs-%d.png", what, index);
    return name;
}

}  // namespace

TEST_F(GlobeScene, EachTileFacesTheCameraAtItsLatitudeAndLongitude)
{
    Texture(kTileColours, false);
    for (int tile = 0; tile < kTileCount; ++tile) {
        double latitude = TileLatitude(tile), longitude = TileLongitude(tile);
        SCOPED_TRACE(testing::Message() << "tile " << tile << " at " << latitude << ", " << longitude);
        GLFrame frame = DrawAt(latitude, 360 - longitude);
        SaveShot(frame, ShotName("tile", tile));
        for (int dx = -1; dx <= 0; ++dx)
            for (int dy = -1; dy <= 0; ++dy)
                EXPECT_TRUE(ShowsColour(frame, 400 + dx, 300 + dy, kTileColours[tile]));
    }
}

// A white block in the north-east corner of every tile's picture shows at
// the north-east of the tile on the globe, in both hemispheres: the tiles
// are neither mirrored nor upside down.
TEST_F(GlobeScene, TilePicturesKeepNorthUpAndEastRight)
{
    Texture(kTileColours, true);
    for (int tile = 0; tile < kTileCount; ++tile) {
        SCOPED_TRACE(testing::Message() << "tile " << tile);
        bool north = tile < kTileColumns;
        // the block covers the picture's top and right quarters
        double top = north ? 78.75 : -11.25, bottom = north ? 11.25 : -78.75;
        double east = TileLongitude(tile) + 33.75, west = TileLongitude(tile) - 33.75;
        GLFrame frame = DrawAt(top, 360 - east);
        SaveShot(frame, ShotName("marker", tile));
        EXPECT_TRUE(ShowsColour(frame, 400, 300, 0xFFFFFF)) << "north-east";
        frame = DrawAt(bottom, 360 - west);
        EXPECT_TRUE(ShowsColour(frame, 400, 300, kTileColours[tile])) << "south-west";
        frame = DrawAt(top, 360 - west);
        EXPECT_TRUE(ShowsColour(frame, 400, 300, kTileColours[tile])) << "north-west";
        frame = DrawAt(bottom, 360 - east);
        EXPECT_TRUE(ShowsColour(frame, 400, 300, kTileColours[tile])) << "south-east";
    }
}

// Radius 3 seen from 12.2 with a field of view of 30 degrees: the outline's
// half-angle is asin(3 / 12.2), so the globe spans tan(that) / tan(15 deg) =
// 0.947 of the height; the outer shell (1.025 x the radius) 0.972.
TEST_F(GlobeScene, GlobeAndHaloSpanOnScreen)
{
    const uint32_t yellow[kTileCount] = {0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00,
                                         0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00};
    Texture(yellow, false);
    GLFrame frame = DrawAt(0, 0);
    SaveShot(frame, L"globe-span.png");
    GlobeOnScreen measured = MeasureGlobeOnScreen(m_scene, *m_planet);
    for (bool horizontal : {true, false}) {
        SCOPED_TRACE(horizontal ? "across" : "down");
        int first, last;
        Extent(frame, horizontal, IsYellowEarth, &first, &last);
        ASSERT_GE(first, 0);
        int span = last - first + 1;
        EXPECT_NEAR(0.947, (double)span / kFrameHeight, 0.947 * 0.01) << span << " pixels";
        EXPECT_NEAR(measured.diameter, span, 2.0);

        int haloFirst, haloLast;
        Extent(frame, horizontal, [](const GLFrame& f, int x, int y) { return !IsBlack(f, x, y); }, &haloFirst,
               &haloLast);
        // from the window's centre to the outermost lit pixel's centre
        double centre = (horizontal ? kFrameWidth : kFrameHeight) / 2.0;
        double haloRadius = std::max(centre - (haloFirst + 0.5), haloLast + 0.5 - centre);
        EXPECT_LE(haloRadius, 0.972 * kFrameHeight / 2 + 1);
        EXPECT_GT(haloRadius, (last + 1 - centre) + 3) << "no halo beyond the globe";
        // just outside the globe: the shells, bluish
        int x = horizontal ? last + 3 : kFrameWidth / 2, y = horizontal ? kFrameHeight / 2 : last + 3;
        EXPECT_GT(frame.Blue(x, y), frame.Red(x, y)) << std::hex << frame.At(x, y);
        EXPECT_GE(frame.Blue(x, y), 8);
        printf("globe span %d px (%.4f of the height), halo radius %.1f px (%.4f), measured %.2f px\n", span,
               (double)span / kFrameHeight, haloRadius, haloRadius / (kFrameHeight / 2.0), measured.diameter);
    }
    EXPECT_NEAR(0.947 * kFrameHeight, measured.diameter, 0.947 * kFrameHeight * 0.01);
    EXPECT_GT(measured.limbDepth, 0.0);
    EXPECT_LT(measured.limbDepth, 1.0);
    for (int x : {0, kFrameWidth - 1})
        for (int y : {0, kFrameHeight - 1})
            EXPECT_TRUE(IsBlack(frame, x, y)) << x << ", " << y;
}

TEST_F(GlobeScene, LimbDepthSeparatesTheNearSideFromTheFarSide)
{
    Texture(kTileColours, false);
    m_scene.SetCamera(kDefaultDistance, 40, 0);
    GlobeOnScreen measured = MeasureGlobeOnScreen(m_scene, *m_planet);
    double facing[4], behind[4], window[3];
    LatLongToPoint(40, 0, 3.0003, facing);
    LatLongToPoint(-40, 180, 3.0003, behind);
    ASSERT_TRUE(m_scene.Project(facing, window));
    EXPECT_LT(window[2], measured.limbDepth);
    ASSERT_TRUE(m_scene.Project(behind, window));
    EXPECT_GT(window[2], measured.limbDepth);
    // closer in, the globe grows
    m_scene.SetCamera(-6.0f, 40, 0);
    EXPECT_GT(MeasureGlobeOnScreen(m_scene, *m_planet).diameter, measured.diameter * 1.8);
}

TEST_F(GlobeScene, CitiesShowAsPointsAboveTheSurface)
{
    Texture(kTileColours, false);
    // tile 2 (blue) faces the camera; one city at its middle, one near it
    // within the probe radius, one on the far side
    CityRecord cities[3] = {};
    cities[0].latitude = 45;
    cities[0].longitude = 45;
    cities[1].latitude = 48;
    cities[1].longitude = 50;
    cities[1].inProbeRadius = 1;
    cities[2].latitude = -45;
    cities[2].longitude = -135;
    PlaceCities(*m_planet, cities, 3);
    m_planet->SetCities(cities, 3);
    GLFrame frame = DrawAt(45, 315);
    SaveShot(frame, L"globe-cities.png");

    // a 2-pixel point on the window's centre
    for (int x : {399, 400})
        for (int y : {299, 300})
            EXPECT_TRUE(IsOrange(frame, x, y)) << x << ", " << y << ": " << std::hex << frame.At(x, y);
    for (int d : {-3, 2}) {
        EXPECT_TRUE(ShowsColour(frame, 400 + d, 300, kTileColours[2]));
        EXPECT_TRUE(ShowsColour(frame, 400, 300 + d, kTileColours[2]));
    }
    double window[3];
    ASSERT_TRUE(m_scene.Project(cities[1].mapPosition, window));
    int x = (int)floor(window[0]), y = (int)floor(window[1]);
    EXPECT_TRUE(IsGreen(frame, x, y)) << x << ", " << y << ": " << std::hex << frame.At(x, y);
    EXPECT_TRUE(ShowsColour(frame, x + 3, y, kTileColours[2]));

    // without cities the middle is the tile's again
    m_planet->SetCities(nullptr, 0);
    frame = DrawAt(45, 315);
    EXPECT_TRUE(ShowsColour(frame, 400, 300, kTileColours[2]));
}

// Tiles loaded as they are carry padding columns at their east edge, which
// the mesh must not show.
TEST_F(GlobeScene, PaddedTilesShowNoSeam)
{
    CTempFolder folder;
    for (int tile = 0; tile < kTileCount; ++tile) {
        ASSERT_TRUE(WriteJpegFile(folder.File(L"tile.jpg"), FlatBlocks(30, 20, 1, 1, &kTileColours[tile])));
        ASSERT_EQ(kTextureLoaded, m_tiles.tiles[tile].Load(folder.File(L"tile.jpg").c_str(), 0, 0));
    }
    ASSERT_EQ(32u, m_tiles.tiles[0].GetBufferWidth());
    ASSERT_EQ((GLenum)GL_NO_ERROR, m_planet->SetSurfaceTiles(&m_tiles));
    m_scene.Build();
    // two pixels of 32 would be 5.6 degrees of black at each tile's east edge
    for (int tile : {2, 5}) {
        SCOPED_TRACE(tile);
        GLFrame frame = DrawAt(TileLatitude(tile), 360 - (TileLongitude(tile) + 42));
        SaveShot(frame, ShotName("padded", tile));
        EXPECT_TRUE(ShowsColour(frame, 400, 300, kTileColours[tile]));
    }
}

// Clouds cover the earth by their alpha, tile for tile.
TEST_F(GlobeScene, CloudTilesLieOverTheirEarthTiles)
{
    Texture(kTileColours, false);
    // opaque white over tile 2 only, clear elsewhere
    const uint8_t alphas[kTileCount] = {0, 0, 255, 0, 0, 0, 0, 0};
    TileSet clouds;
    MakeWhiteTiles(&clouds, alphas, 32, 32);
    ASSERT_EQ((GLenum)GL_NO_ERROR, m_planet->SetCloudTiles(&clouds));
    ASSERT_TRUE(m_planet->HasClouds());
    m_scene.Build();
    GLFrame frame = DrawAt(TileLatitude(2), 360 - TileLongitude(2));
    SaveShot(frame, L"globe-clouds.png");
    EXPECT_TRUE(ShowsColour(frame, 400, 300, 0xFFFFFF));
    for (int tile : {1, 3, 6}) {
        SCOPED_TRACE(tile);
        frame = DrawAt(TileLatitude(tile), 360 - TileLongitude(tile));
        EXPECT_TRUE(ShowsColour(frame, 400, 300, kTileColours[tile]));
    }
}

// The pointer light, as the map window sets it: ahead of the planet in the
// scene, 1.2 x the radius above a point, shining at the centre.
TEST_F(GlobeScene, LampLightsTheGlobeUnderIt)
{
    // dark enough that the head light leaves room for the lamp's
    const uint32_t olive[kTileCount] = {0x808000, 0x808000, 0x808000, 0x808000,
                                        0x808000, 0x808000, 0x808000, 0x808000};
    MakeTiles(&m_tiles, olive, 64, 64, false);
    CScene scene;
    auto* lamp = new CLamp(GL_LIGHT1);
    scene.AddChild(lamp);
    auto* planet = new CPlanet(&m_window.Caps());
    planet->SetRadius(3.0f);
    scene.AddChild(planet);
    scene.Resize(kFrameWidth, kFrameHeight);
    scene.Init();
    ASSERT_EQ((GLenum)GL_NO_ERROR, planet->SetSurfaceTiles(&m_tiles));
    scene.Build();
    double under[4];
    LatLongToPoint(10, 65, 3.0 * 1.2, under);
    lamp->SetPosition(under[0], under[1], under[2]);
    scene.SetCamera(kDefaultDistance, 0, 0);
    scene.Draw();
    GLFrame frame = m_window.TakeFrame();
    SaveShot(frame, L"globe-lamp.png");

    // the lamp is cyan-green: green rises over red only in its cone (away
    // from the head light's brightest part, where both would saturate)
    double lit[4], away[4], window[3];
    LatLongToPoint(10, 65, 3.0, lit);
    LatLongToPoint(-10, -25, 3.0, away);
    ASSERT_TRUE(scene.Project(lit, window));
    int x = (int)window[0], y = (int)window[1];
    EXPECT_GT(frame.Green(x, y), frame.Red(x, y) + 30) << std::hex << frame.At(x, y);
    ASSERT_TRUE(scene.Project(away, window));
    x = (int)window[0];
    y = (int)window[1];
    EXPECT_LE(frame.Green(x, y), frame.Red(x, y) + 5) << std::hex << frame.At(x, y);
}

TEST_F(GlobeScene, PickFindsTheFacingPointAndMissesTheCorners)
{
    struct Place {
        double latitude, longitude;
    } places[] = {{45, 45}, {-30, -100}, {10, 170}, {60, -170}, {0, 0}, {-80, 20}, {33.3, -179.5}};
    for (const Place& p : places) {
        SCOPED_TRACE(testing::Message() << p.latitude << ", " << p.longitude);
        m_scene.SetCamera(kDefaultDistance, p.latitude, 360 - p.longitude);
        double hit[4], latitude, longitude;
        ASSERT_TRUE(PickGlobePoint(m_scene, *m_planet, kFrameWidth / 2.0, kFrameHeight / 2.0, hit));
        EXPECT_NEAR(3.0, sqrt(hit[0] * hit[0] + hit[1] * hit[1] + hit[2] * hit[2]), 1e-9);
        EXPECT_EQ(1.0, hit[3]);
        PointToLatLong(hit, &latitude, &longitude);
        EXPECT_NEAR(p.latitude, latitude, 0.5);
        EXPECT_NEAR(0, remainder(p.longitude - longitude, 360.0), 0.5);
        for (double x : {0.5, kFrameWidth - 0.5})
            for (double y : {0.5, kFrameHeight - 0.5})
                EXPECT_FALSE(PickGlobePoint(m_scene, *m_planet, x, y, hit)) << x << ", " << y;
    }
}

// Every picked point lies in the tile whose colour the frame shows there.
TEST_F(GlobeScene, PickedPointsShowTheirTilesColour)
{
    Texture(kTileColours, false);
    GLFrame frame = DrawAt(20, 30);
    SaveShot(frame, L"globe-pick.png");
    double radius = MeasureGlobeOnScreen(m_scene, *m_planet).diameter / 2;
    int checked = 0;
    for (int y = 4; y < kFrameHeight; y += 16)
        for (int x = 4; x < kFrameWidth; x += 16) {
            double dx = x + 0.5 - kFrameWidth / 2.0, dy = y + 0.5 - kFrameHeight / 2.0;
            bool inside = sqrt(dx * dx + dy * dy) < radius * 0.75;
            double hit[4], latitude, longitude;
            bool picked = PickGlobePoint(m_scene, *m_planet, x + 0.5, y + 0.5, hit);
            if (sqrt(dx * dx + dy * dy) > radius * 1.01) {
                EXPECT_FALSE(picked) << x << ", " << y;
            }
            if (!inside)
                continue;
            ASSERT_TRUE(picked) << x << ", " << y;
            PointToLatLong(hit, &latitude, &longitude);
            // clear of the tiles' borders, where filtering mixes them
            double fromBorder = fabs(remainder(longitude, 90.0));
            if (fabs(latitude) < 2 || fromBorder < 2)
                continue;
            EXPECT_TRUE(ShowsColour(frame, x, y, kTileColours[TileAt(latitude, longitude)]))
                << "at " << latitude << ", " << longitude;
            ++checked;
        }
    EXPECT_GT(checked, 300);
}
