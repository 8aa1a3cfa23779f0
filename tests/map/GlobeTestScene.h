// The globe as the map window sets it up: an 800 x 600 window, the scene,
// and a planet of radius 3 at the default detail, tiled with flat colours.
#pragma once

#include <gtest/gtest.h>

#include "map/scene/Planet.h"
#include "map/scene/Scene.h"
#include "tests/map/SceneTestWindow.h"

const int kFrameWidth = 800;
const int kFrameHeight = 600;
const float kDefaultDistance = -12.2f;

// Tile i = column + 4 x row: full (0xFF), half (0x80) and empty channels,
// every tile a different pattern.
const uint32_t kTileColours[kTileCount] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                           0x00FFFF, 0xFF00FF, 0xFF8000, 0x8000FF};

// The middle of tile i.
inline double TileLatitude(int tile) { return tile / kTileColumns == 0 ? 45.0 : -45.0; }
inline double TileLongitude(int tile) { return -135.0 + 90.0 * (tile % kTileColumns); }

class GlobeScene : public testing::Test {
protected:
    void SetUp() override;
    // Uploads tiles of the colours and builds the scene's lists.
    void Texture(const uint32_t colours[kTileCount], bool marker);
    GLFrame DrawAt(double tilt, double rotation, float distance = kDefaultDistance);

    // declared first: the context outlives the planet's textures and lists
    CSceneTestWindow m_window;
    CScene m_scene;
    CPlanet* m_planet = nullptr;
    TileSet m_tiles;
};

// Whether the lit pixel shows the tile colour: channels that are full in
// the tile stay near the brightest one, empty ones stay low, half ones in
// between, and the pixel is lit.
testing::AssertionResult ShowsColour(const GLFrame& frame, int x, int y, uint32_t colour);
