#include "tests/map/GlobeTestScene.h"

#include <stdio.h>

#include <algorithm>

void GlobeScene::SetUp()
{
    ASSERT_EQ(0u, m_window.Create(kFrameWidth, kFrameHeight));
    m_scene.Resize(kFrameWidth, kFrameHeight);
    m_planet = new CPlanet(&m_window.Caps());
    m_planet->SetRadius(3.0f);
    m_scene.AddChild(m_planet);
    m_scene.Init();
}

void GlobeScene::Texture(const uint32_t colours[kTileCount], bool marker)
{
    MakeTiles(&m_tiles, colours, 64, 64, marker);
    ASSERT_TRUE(m_tiles.Ready());
    ASSERT_EQ((GLenum)GL_NO_ERROR, m_planet->SetSurfaceTiles(&m_tiles));
    m_scene.Build();
}

GLFrame GlobeScene::DrawAt(double tilt, double rotation, float distance)
{
    m_scene.SetCamera(distance, tilt, rotation);
    m_scene.Draw();
    return m_window.TakeFrame();
}

testing::AssertionResult ShowsColour(const GLFrame& frame, int x, int y, uint32_t colour)
{
    int got[3] = {frame.Red(x, y), frame.Green(x, y), frame.Blue(x, y)};
    int brightest = std::max(got[0], std::max(got[1], got[2]));
    bool ok = brightest >= 100;
    for (int c = 0; c < 3 && ok; ++c) {
        int want = (int)(colour >> (16 - 8 * c) & 0xFF);
        double share = (double)got[c] / brightest;
        if (want == 0xFF)
            ok = share >= 0.85;
        else if (want == 0)
            ok = share <= 0.35;
        else
            ok = share >= 0.4 && share <= 0.8;
    }
    if (ok)
        return testing::AssertionSuccess();
    char text[96];
    snprintf(text, sizeof(text), "pixel (%d, %d) is %06X, the tile %06X", x, y, frame.At(x, y), colour);
    return testing::AssertionFailure() << text;
}
