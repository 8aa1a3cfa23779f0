#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>

#include <string>

#include "graphics/system/Handles.h"
#include "map/MapExports.h"
#include "map/textures/TextureFiles.h"
#include "tests/map/JpegFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

const uint64_t kGiB = 1024ull * 1024 * 1024;

int CountFiles(const std::wstring& folder)
{
    return (int)FolderFileNames(folder).size();
}

TopDownPicture Flat(int width, int height, int components, uint8_t value)
{
    TopDownPicture picture(width, height, components);
    for (uint8_t& b : picture.bytes)
        b = value;
    return picture;
}

}  // namespace

TEST(TextureFiles, EarthTextureCheck)
{
    CTempFolder folder;
    ASSERT_TRUE(WriteJpegFile(folder.File(L"narrow.jpg"), Flat(15, 2000, 3, 90)));
    ASSERT_TRUE(WriteJpegFile(folder.File(L"low.jpg"), Flat(2000, 15, 3, 90)));
    ASSERT_TRUE(WriteJpegFile(folder.File(L"small.jpg"), Flat(16, 16, 3, 90)));
    ASSERT_TRUE(WriteJpegFile(folder.File(L"grey.jpg"), Flat(64, 64, 1, 90)));
    ASSERT_TRUE(WriteJpegFile(folder.File(L"cmyk.jpg"), Flat(64, 64, 4, 90)));
    ASSERT_TRUE(folder.WriteBytes(L"text.jpg", "not a picture"));
    const std::wstring earth = TL_PROGRAM_FOLDER L"map.jpg";
    const uint64_t earthBytes = 2700ull * 1350 * 3;
    struct Case {
        std::wstring path;
        uint64_t memory;
        DWORD result;
    } cases[] = {
        {folder.File(L"narrow.jpg"), 24 * kGiB, MAPERR_BADTEXTURE},
        {folder.File(L"low.jpg"), 24 * kGiB, MAPERR_BADTEXTURE},
        {folder.File(L"grey.jpg"), 24 * kGiB, MAPERR_BADTEXTURE},  // one component
        {folder.File(L"cmyk.jpg"), 24 * kGiB, 0},                   // four pass the check
        {folder.File(L"cmyk.jpg"), 64 * 64 * 4 * 3 - 1, MAPERR_TEXTURETOOBIG},
        {folder.File(L"text.jpg"), 24 * kGiB, MAPERR_TEXTURETOOBIG},
        {folder.File(L"none.jpg"), 24 * kGiB, MAPERR_TEXTURETOOBIG},
        // a third of the memory holds the decoded picture, exactly or not
        {folder.File(L"small.jpg"), 16 * 16 * 3 * 3, 0},
        {folder.File(L"small.jpg"), 16 * 16 * 3 * 3 - 1, MAPERR_TEXTURETOOBIG},
        {earth, earthBytes * 3, 0},
        {earth, earthBytes * 3 - 1, MAPERR_TEXTURETOOBIG},
        // cut to 32 bits these would be 0 and 100 bytes
        {earth, 24 * kGiB, 0},
        {earth, 4 * kGiB + 100, 0},
        {earth, 0, MAPERR_TEXTURETOOBIG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(c.path) << " " << c.memory);
        EXPECT_EQ(c.result, CheckEarthTexture(c.path.c_str(), c.memory));
    }
}

TEST(TextureFiles, ReplacingSaveKeepsTheOldFileOnFailure)
{
    CTempFolder folder;
    const std::wstring path = folder.File(L"map.jpg");
    ASSERT_TRUE(WriteJpegFile(path, Flat(64, 32, 3, 200)));
    const std::string original = ReadFileBytes(path);
    ASSERT_FALSE(original.empty());

    // wider than a JPEG may be: the encoder fails after the file was opened
    CTestPicture tooWide;
    tooWide.Set(Flat(70000, 1, 3, 50));
    EXPECT_FALSE(SaveTextureReplacing(tooWide, path.c_str(), 85));
    EXPECT_EQ(original, ReadFileBytes(path));
    EXPECT_EQ(1, CountFiles(folder.Path()));        // no new file left behind
    // written in place, the same failure costs the old file
    const std::wstring copy = folder.File(L"copy.jpg");
    ASSERT_TRUE(CopyFileW(path.c_str(), copy.c_str(), FALSE));
    EXPECT_FALSE(tooWide.Save(copy.c_str(), 85));
    EXPECT_NE(original, ReadFileBytes(copy));
    ASSERT_TRUE(DeleteFileW(copy.c_str()));

    // four components are never saved
    CTestPicture rgba;
    rgba.Set(Flat(16, 16, 3, 10));
    ASSERT_TRUE(rgba.ConvertToRgba(255));
    EXPECT_FALSE(SaveTextureReplacing(rgba, path.c_str(), 85));
    EXPECT_EQ(original, ReadFileBytes(path));
    EXPECT_EQ(1, CountFiles(folder.Path()));

    // a good save replaces it
    CTestPicture smaller;
    smaller.Set(Flat(32, 16, 3, 20));
    ASSERT_TRUE(SaveTextureReplacing(smaller, path.c_str(), 85));
    EXPECT_EQ(1, CountFiles(folder.Path()));
    CJpegTexture saved;
    ASSERT_TRUE(saved.Load(path.c_str(), 0, 0));
    EXPECT_EQ(32u, saved.GetWidth());
    EXPECT_EQ(16u, saved.GetHeight());
    EXPECT_TRUE(NearRgb(PixelFromTop(saved, 5, 5), 0x141414, 3));

    EXPECT_FALSE(SaveTextureReplacing(smaller, folder.File(L"no\\such\\map.jpg").c_str(), 85));
}
