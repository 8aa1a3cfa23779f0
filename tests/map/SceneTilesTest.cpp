#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "map/scene/Planet.h"
#include "map/scene/TileUpload.h"
#include "tests/map/JpegFixtures.h"
#include "tests/map/SceneTestWindow.h"
#include "tests/support/TestFiles.h"

namespace {

class SceneTiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, m_window.Create(800, 600));
        const uint32_t colours[kTileCount] = {1, 2, 3, 4, 5, 6, 7, 8};
        MakeTiles(&m_tiles, colours, 30, 20, false);
    }

    GLint Level(GLuint name, GLenum what)
    {
        GLint value = -1;
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    }
    GLint Parameter(GLuint name, GLenum what)
    {
        GLint value = -1;
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    }

    CSceneTestWindow m_window;
    TileSet m_tiles;
};

}  // namespace

TEST_F(SceneTiles, UploadsEveryTileAtItsBufferSize)
{
    GLuint names[kTileCount] = {};
    ASSERT_EQ((GLenum)GL_NO_ERROR, UploadTiles(m_tiles, names, m_window.Caps(), false));
    for (int i = 0; i < kTileCount; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(0u, names[i]);
        EXPECT_TRUE(glIsTexture(names[i]));
        EXPECT_EQ(30, Level(names[i], GL_TEXTURE_WIDTH));
        EXPECT_EQ(20, Level(names[i], GL_TEXTURE_HEIGHT));
        EXPECT_EQ(GL_FALSE, Level(names[i], GL_TEXTURE_COMPRESSED_ARB));
        EXPECT_EQ(0, Level(names[i], GL_TEXTURE_ALPHA_SIZE));
        EXPECT_EQ(GL_LINEAR, Parameter(names[i], GL_TEXTURE_MIN_FILTER));
        EXPECT_EQ(GL_LINEAR, Parameter(names[i], GL_TEXTURE_MAG_FILTER));
        EXPECT_EQ(GL_CLAMP_TO_EDGE, Parameter(names[i], GL_TEXTURE_WRAP_S));
        EXPECT_EQ(GL_CLAMP_TO_EDGE, Parameter(names[i], GL_TEXTURE_WRAP_T));
    }
    // rows of 90 bytes, packed: every row lands where it belongs
    std::vector<uint8_t> read(30 * 20 * 3);
    glBindTexture(GL_TEXTURE_2D, names[5]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, read.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    for (int y : {0, 7, 19})
        for (int x : {0, 29})
            EXPECT_EQ(6, read[(y * 30 + x) * 3 + 2]) << x << ", " << y;

    // the names are kept for the next upload
    GLuint again[kTileCount];
    std::copy(names, names + kTileCount, again);
    ASSERT_EQ((GLenum)GL_NO_ERROR, UploadTiles(m_tiles, again, m_window.Caps(), false));
    EXPECT_TRUE(std::equal(names, names + kTileCount, again));
    DeleteTiles(names);
    EXPECT_EQ(0u, names[0]);
    EXPECT_FALSE(glIsTexture(again[0]));
}

TEST_F(SceneTiles, CompressionAndEdgeClampFollowTheCaps)
{
    GLuint names[kTileCount] = {};
    ASSERT_EQ((GLenum)GL_NO_ERROR, UploadTiles(m_tiles, names, m_window.Caps(), true));
    EXPECT_EQ(GL_TRUE, Level(names[0], GL_TEXTURE_COMPRESSED_ARB));
    DeleteTiles(names);

    GLCaps plain = m_window.Caps();
    plain.textureCompression = false;
    plain.edgeClamp = false;
    ASSERT_EQ((GLenum)GL_NO_ERROR, UploadTiles(m_tiles, names, plain, true));
    EXPECT_EQ(GL_FALSE, Level(names[0], GL_TEXTURE_COMPRESSED_ARB));
    EXPECT_EQ(GL_REPEAT, Parameter(names[0], GL_TEXTURE_WRAP_S));
    DeleteTiles(names);

    // four components keep their alpha
    const uint8_t alphas[kTileCount] = {};
    TileSet rgba;
    MakeWhiteTiles(&rgba, alphas, 16, 16);
    ASSERT_EQ((GLenum)GL_NO_ERROR, UploadTiles(rgba, names, m_window.Caps(), false));
    EXPECT_GT(Level(names[3], GL_TEXTURE_ALPHA_SIZE), 0);
    DeleteTiles(names);
}

TEST_F(SceneTiles, AFailedUploadDeletesTheNames)
{
    // tile 6 wider than any texture may be: the tiles before it are made
    // first, and must go too
    CTempFolder folder;
    const uint32_t grey = 0x808080;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"wide.jpg"), FlatBlocks(m_window.Caps().maxTextureSize + 4, 1, 1, 1, &grey)));
    ASSERT_EQ(kTextureLoaded, m_tiles.tiles[6].Load(folder.File(L"wide.jpg").c_str(), 0, 0));
    GLuint names[kTileCount], given[kTileCount];
    glGenTextures(kTileCount, names);
    std::copy(names, names + kTileCount, given);
    EXPECT_EQ((GLenum)GL_INVALID_VALUE, UploadTiles(m_tiles, names, m_window.Caps(), false));
    for (int i = 0; i < kTileCount; ++i) {
        EXPECT_EQ(0u, names[i]) << i;
        EXPECT_FALSE(glIsTexture(given[i])) << i;
    }
}

// A picture loaded as it is keeps rows padded to 4 pixels: the texture is
// the whole buffer.
TEST_F(SceneTiles, PaddedTilesUploadTheirBuffer)
{
    CTempFolder folder;
    const uint32_t grey = 0x808080;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"odd.jpg"), FlatBlocks(30, 20, 1, 1, &grey)));
    ASSERT_EQ(kTextureLoaded, m_tiles.tiles[1].Load(folder.File(L"odd.jpg").c_str(), 0, 0));
    ASSERT_EQ(32u, m_tiles.tiles[1].GetBufferWidth());
    GLuint names[kTileCount] = {};
    ASSERT_EQ((GLenum)GL_NO_ERROR, UploadTiles(m_tiles, names, m_window.Caps(), false));
    EXPECT_EQ(32, Level(names[1], GL_TEXTURE_WIDTH));
    EXPECT_EQ(30, Level(names[2], GL_TEXTURE_WIDTH));
    DeleteTiles(names);
}

TEST_F(SceneTiles, TilesWithoutPixelsAreSkipped)
{
    m_tiles.tiles[4].Free(true);
    GLuint names[kTileCount] = {};
    ASSERT_EQ((GLenum)GL_NO_ERROR, UploadTiles(m_tiles, names, m_window.Caps(), false));
    EXPECT_EQ(0, Level(names[4], GL_TEXTURE_WIDTH));
    EXPECT_EQ(30, Level(names[5], GL_TEXTURE_WIDTH));
    DeleteTiles(names);
}

TEST_F(SceneTiles, PlanetTakesCloudsOnlyWhenItCan)
{
    CPlanet planet(&m_window.Caps());
    EXPECT_FALSE(planet.HasSurface());
    ASSERT_EQ((GLenum)GL_NO_ERROR, planet.SetSurfaceTiles(&m_tiles));
    EXPECT_TRUE(planet.HasSurface());
    EXPECT_EQ(30, planet.GetTileWidth());
    EXPECT_EQ(20, planet.GetTileHeight());

    ASSERT_EQ((GLenum)GL_NO_ERROR, planet.SetCloudTiles(&m_tiles));
    EXPECT_TRUE(planet.HasClouds());
    EXPECT_EQ((GLenum)GL_NO_ERROR, planet.SetCloudTiles(nullptr));
    EXPECT_FALSE(planet.HasClouds());

    GLCaps single = m_window.Caps();
    single.multitexture = false;
    CPlanet plain(&single);
    EXPECT_EQ((GLenum)GL_NO_ERROR, plain.SetCloudTiles(&m_tiles));
    EXPECT_FALSE(plain.HasClouds());

    m_tiles.tiles[7].Free(true);
    EXPECT_EQ((GLenum)GL_NO_ERROR, planet.SetCloudTiles(&m_tiles));
    EXPECT_FALSE(planet.HasClouds()) << "clouds need all eight tiles";

    CTempFolder folder;
    const uint32_t grey = 0x808080;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"wide.jpg"), FlatBlocks(m_window.Caps().maxTextureSize + 4, 1, 1, 1, &grey)));
    ASSERT_EQ(kTextureLoaded, m_tiles.tiles[0].Load(folder.File(L"wide.jpg").c_str(), 0, 0));
    EXPECT_NE((GLenum)GL_NO_ERROR, planet.SetSurfaceTiles(&m_tiles));
    EXPECT_FALSE(planet.HasSurface());
}
