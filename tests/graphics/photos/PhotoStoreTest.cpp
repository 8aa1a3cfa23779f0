#include <gtest/gtest.h>

#include <shlobj.h>
#include <stdlib.h>
#include <windows.h>

#include <string>
#include <vector>

#include "graphics/image/Bitmap.h"
#include "graphics/photos/PhotoStore.h"
#include "graphics/records/FixedText.h"
#include "tests/support/JpegFiles.h"
#include "tests/support/TestFiles.h"

namespace {

int g_random = 0;
int FakeRandom()
{
    return g_random;
}

CityRecord City(const WCHAR* name, const WCHAR* country)
{
    CityRecord city = {};
    CopyFixed(city.cityName, FIELD_WIDTH(city.cityName) - 1, name);
    CopyFixed(city.countryName, FIELD_WIDTH(city.countryName) - 1, country);
    return city;
}

const std::vector<CityRecord> kCities = {
    City(L"Paris", L"France"),
    City(L"Lyon", L"France"),
    City(L"St. John's: Old Town", L"Antigua"),
    City(L"..", L"France"),
    City(L"Oslo", L".."),
};

struct StoreFile {
    const WCHAR* path;  // under the root; folders are made as needed
    const char* bytes;
};

// A scratch store root with the given files.
class CStoreTree {
public:
    explicit CStoreTree(const std::vector<StoreFile>& files = {})
        : m_root(m_folder.Path().substr(0, m_folder.Path().size() - 1))
    {
        for (const StoreFile& file : files)
            Add(file.path, file.bytes);
    }
    // The full path of a file under the root, its folders made.
    std::wstring PathOf(const std::wstring& path) const
    {
        for (size_t slash = path.find(L'\\'); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
            CreateDirectoryW((m_folder.Path() + path.substr(0, slash)).c_str(), nullptr);
        return m_folder.Path() + path;
    }
    bool Add(const std::wstring& path, const std::string& bytes) const
    {
        PathOf(path);
        return m_folder.WriteBytes(path, bytes);
    }
    PhotoStore Store() const { return PhotoStore{m_root.c_str(), kCities.data(), (int)kCities.size(), FakeRandom}; }
    const std::wstring& Root() const { return m_root; }

private:
    CTempFolder m_folder;
    std::wstring m_root;
};

}  // namespace

TEST(PhotoStore, RootIsTheCommonApplicationDataFolder)
{
    WCHAR common[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common)));
    const WCHAR* root = GetPhotoStoreRoot();
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(std::wstring(common) + L"\\Tempolan\\Placeviews", root);
    EXPECT_EQ(root, GetPhotoStoreRoot());  // worked out once
    PhotoStore store = ProcessPhotoStore(kCities.data(), 2);
    EXPECT_EQ(root, store.root);
    EXPECT_EQ(2, store.cityCount);
}

TEST(PhotoStore, FoldersAndPhotoPaths)
{
    CStoreTree tree;
    PhotoStore store = tree.Store();
    const std::wstring root = tree.Root();
    struct {
        const WCHAR* country;
        const WCHAR* city;
        const WCHAR* folder;  // under the root; null: none
    } cases[] = {
        {L"France", L"Paris", L"\\France\\Paris\\"},
        {L"France", nullptr, L"\\France\\"},
        {L"France", L"", L"\\France\\"},
        {L"Viet Nam", L"Ho Chi Minh: City", L"\\Viet Nam\\Ho Chi Minh City\\"},
        {L"a/b\\c", L"d?*e", L"\\abc\\de\\"},
        {L"", L"Paris", nullptr},
        {nullptr, L"Paris", nullptr},
        // names that would climb out of the store, or name the country's folder
        {L"..", nullptr, nullptr},
        {L"France", L"..", nullptr},
        {L"France", L". .", nullptr},
        {L"France", L":", nullptr},
        {L".:.", L"Paris", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.country ? c.country : L"(null)") << " / "
                                        << (c.city ? c.city : L"(null)"));
        std::wstring folder = L"left over";
        ASSERT_EQ(c.folder != nullptr, GetPhotoFolder(store, c.country, c.city, &folder));
        EXPECT_EQ(c.folder ? root + c.folder : std::wstring(), folder);
        std::wstring path;
        ASSERT_EQ(c.folder != nullptr, GetPhotoPathFor(store, c.country, c.city, 31, &path));
        if (c.folder) {
            EXPECT_EQ(root + c.folder + L"31.jpg", path);
        }
    }

    std::wstring path;
    ASSERT_TRUE(GetPhotoPath(store, 2, 2147483647, &path));
    EXPECT_EQ(root + L"\\Antigua\\St. John's Old Town\\2147483647.jpg", path);
    EXPECT_FALSE(GetPhotoPath(store, 3, 1, &path));  // the city ".."
    EXPECT_FALSE(GetPhotoPath(store, 4, 1, &path));  // the country ".."
    EXPECT_FALSE(GetPhotoPath(store, -1, 1, &path));
    EXPECT_FALSE(GetPhotoPath(store, (int)kCities.size(), 1, &path));
    EXPECT_FALSE(GetPhotoPath(store, 0, 0, &path));
    EXPECT_FALSE(GetPhotoPath(store, 0, -5, &path));
    store.root = nullptr;
    EXPECT_FALSE(GetPhotoFolder(store, L"France", L"Paris", &path));
}

TEST(PhotoStore, ReadPhotoIndexChoosesAPresentPhoto)
{
    // city index fields: number, -, image path, title, link path, -, author id, author name
    const char kThreeParis[] =
        "5\tx\t/i/5.jpg\tBridge\t/p/5\ty\t77\tAnna\r\n"
        "6\tx\t/i/6.jpg\tTower\t/p/6\ty\r\n"
        "7\tx\t/i/7.jpg\tRiver\t/p/7\ty\t8\tBen\r\n";
    const char kSkipped[] =
        "# 1\tx\t/i\tComment\t/p\ty\n"
        "; 2\tx\t/i\tComment\t/p\ty\n"
        "\n"
        "3\tx\t/i\tFive fields\t/p\n"
        "4\tx\t/i\tNo photo file\t/p\ty\n"
        "3000000000\tx\t/i\tWraps negative\t/p\ty\n"
        "9999999999\tx\t/i\tWraps round\t/p\ty\n"
        "8\tx\t/i\tTaken\t/p/8\ty\n";
    // country index: number, city folder, -, image path, title, link path, -, author id
    const char kFrance[] =
        "11\tParis\tx\t/i\tSeine\t/p/11\ty\t3\tNot read\n"
        "12\tLyon\tx\t/i\tNo photo file\t/p/12\ty\n"
        "13\tNice\tx\t/i\tNot a known city\t/p/13\ty\n"
        "14\tlyon\tx\t/i\tRhone\t/p/14\ty\n";
    struct {
        const char* name;
        std::vector<StoreFile> files;
        const WCHAR* country;
        const WCHAR* city;
        int r;
        int32_t number;
        const WCHAR* title;
        const WCHAR* link;
        int32_t authorId;
        const WCHAR* author;
    } cases[] = {
        {"first of three", {{L"France\\Paris\\index.tsv", kThreeParis}, {L"France\\Paris\\5.jpg", ""},
                            {L"France\\Paris\\6.jpg", ""}, {L"France\\Paris\\7.jpg", ""}},
         L"France", L"Paris", 0, 5, L"Bridge", L"/p/5", 77, L"Anna"},
        {"middle of three", {{L"France\\Paris\\index.tsv", kThreeParis}, {L"France\\Paris\\5.jpg", ""},
                             {L"France\\Paris\\6.jpg", ""}, {L"France\\Paris\\7.jpg", ""}},
         L"France", L"paris", 16383, 6, L"Tower", L"/p/6", -1, L""},
        {"last of three", {{L"France\\Paris\\index.tsv", kThreeParis}, {L"France\\Paris\\5.jpg", ""},
                           {L"France\\Paris\\6.jpg", ""}, {L"France\\Paris\\7.jpg", ""}},
         L"FRANCE", L"Paris", 32767, 7, L"River", L"/p/7", 8, L"Ben"},
        {"only present photos count", {{L"France\\Paris\\index.tsv", kThreeParis}, {L"France\\Paris\\7.jpg", ""}},
         L"France", L"Paris", 0, 7, L"River", L"/p/7", 8, L"Ben"},
        {"comments, short lines, missing and wrapping numbers skipped",
         {{L"France\\Paris\\index.tsv", kSkipped}, {L"France\\Paris\\1.jpg", ""}, {L"France\\Paris\\2.jpg", ""},
          {L"France\\Paris\\3.jpg", ""}, {L"France\\Paris\\-1294967296.jpg", ""},
          {L"France\\Paris\\1410065407.jpg", ""}, {L"France\\Paris\\8.jpg", ""}},
         L"France", L"Paris", 0, 8, L"Taken", L"/p/8", -1, L""},
        {"every photo missing", {{L"France\\Paris\\index.tsv", kThreeParis}}, L"France", L"Paris", 0, -1},
        {"no index", {{L"France\\Paris\\5.jpg", ""}}, L"France", L"Paris", 0, 0},
        {"index is a folder", {{L"France\\Paris\\index.tsv\\x", ""}}, L"France", L"Paris", 0, -1},
        {"city not among the records", {{L"France\\Nice\\index.tsv", kThreeParis}, {L"France\\Nice\\5.jpg", ""}},
         L"France", L"Nice", 0, -1},
        {"country index, first", {{L"France\\index.tsv", kFrance}, {L"France\\Paris\\11.jpg", ""},
                                  {L"France\\Nice\\13.jpg", ""}, {L"France\\Lyon\\14.jpg", ""}},
         L"France", nullptr, 0, 11, L"Seine", L"/p/11", 3, L""},
        {"country index, last", {{L"France\\index.tsv", kFrance}, {L"France\\Paris\\11.jpg", ""},
                                 {L"France\\Nice\\13.jpg", ""}, {L"France\\Lyon\\14.jpg", ""}},
         L"France", L"", 32767, 14, L"Rhone", L"/p/14", -1, L""},
        // the colon is dropped from the folder name, the blanks stay
        {"city with a colon", {{L"Antigua\\St. John's Old Town\\index.tsv", kThreeParis},
                               {L"Antigua\\St. John's Old Town\\6.jpg", ""}},
         L"Antigua", L"St. John's: Old Town", 0, 6, L"Tower", L"/p/6", -1, L""},
        {"city that names the parent", {{L"France\\index.tsv", kThreeParis}, {L"France\\5.jpg", ""}}, L"France",
         L"..", 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CStoreTree tree(c.files);
        g_random = c.r;
        PhotoChoice choice;
        ASSERT_EQ(c.number, ReadPhotoIndex(tree.Store(), c.country, c.city, &choice));
        if (c.number <= 0)
            continue;
        EXPECT_EQ(std::wstring(c.title), choice.title);
        EXPECT_EQ(std::wstring(c.link), choice.linkPath);
        EXPECT_EQ(c.authorId, choice.authorId);
        EXPECT_EQ(std::wstring(c.author), choice.authorName);
    }
}

TEST(PhotoStore, ReadPhotoIndexStopsAt1024PhotosAndCutsLongTexts)
{
    CStoreTree tree;
    std::string index;
    for (int n = 1; n <= 1025; ++n) {
        index += std::to_string(n) + "\tx\t/i\t" + std::string(150, 'T') + "\t/" + std::string(600, 'p') + "\ty\t" +
                 std::to_string(n) + "\t" + std::string(120, 'A') + "\n";
        ASSERT_TRUE(tree.Add(L"France\\Lyon\\" + std::to_wstring(n) + L".jpg", ""));
    }
    ASSERT_TRUE(tree.Add(L"France\\Lyon\\index.tsv", index));
    g_random = 32767;
    PhotoChoice choice;
    EXPECT_EQ(1024, ReadPhotoIndex(tree.Store(), L"France", L"Lyon", &choice));
    EXPECT_EQ(1024, choice.authorId);
    EXPECT_EQ(std::wstring(kPhotoTitleChars - 1, L'T'), choice.title);
    EXPECT_EQ(L"/" + std::wstring(kPhotoLinkChars - 2, L'p'), choice.linkPath);
    EXPECT_EQ(std::wstring(kPhotoAuthorChars - 1, L'A'), choice.authorName);
}

TEST(PhotoStore, ReadPhotoIndexDropsTheRestOfAnOverlongLine)
{
    // the part past the characters read must not count as a line of its own
    CStoreTree tree({{L"France\\Lyon\\5.jpg", ""}, {L"France\\Lyon\\6.jpg", ""}});
    std::string index = "5\tx\t/i\tFirst\t/p/5\ty\t" + std::string(kPhotoIndexLineChars, 'z') +
                        "6\tx\t/i\tTail\t/p/6\ty\n";
    ASSERT_TRUE(tree.Add(L"France\\Lyon\\index.tsv", index));
    g_random = 32767;
    PhotoChoice choice;
    EXPECT_EQ(5, ReadPhotoIndex(tree.Store(), L"France", L"Lyon", &choice));
}

TEST(PhotoStore, ReadsUtf8AndSingleByteText)
{
    CStoreTree tree({{L"France\\Lyon\\5.jpg", ""}, {L"France\\Lyon\\6.jpg", ""}});
    ASSERT_TRUE(tree.Add(L"France\\Lyon\\index.tsv", "5\tx\t/i\tPont \xc3\xa9t\xc3\xa9\t/p/5\ty\n"
                                                      "6\tx\t/i\tPont \xe9t\xe9\t/p/6\ty\n"));
    PhotoChoice choice;
    g_random = 0;
    ASSERT_EQ(5, ReadPhotoIndex(tree.Store(), L"France", L"Lyon", &choice));
    EXPECT_EQ(std::wstring(L"Pont \u00e9t\u00e9"), choice.title);
    g_random = 32767;
    ASSERT_EQ(6, ReadPhotoIndex(tree.Store(), L"France", L"Lyon", &choice));
    EXPECT_EQ(std::wstring(L"Pont \u00e9t\u00e9"), choice.title);
}

namespace {

bool NearPixel(uint32_t expected, uint32_t actual, int tolerance)
{
    if ((expected >> 24) != (actual >> 24))
        return false;
    for (int shift = 0; shift < 24; shift += 8)
        if (abs((int)(expected >> shift & 0xFF) - (int)(actual >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

// Flat blocks of 10 x 16 pixels: an image width that is no multiple of 4,
// and block middles far enough from the edges to keep their colours.
const int kBlockWidth = 10, kBlockHeight = 16;
TopDownPicture Blocks(int columns, int rows, int components, const uint32_t* colours)
{
    TopDownPicture picture(columns * kBlockWidth, rows * kBlockHeight, components);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            uint32_t colour = colours[x / kBlockWidth + columns * (y / kBlockHeight)];
            uint8_t* p = picture.At(x, y);
            if (components == 1) {
                p[0] = (uint8_t)colour;
            } else {
                p[0] = (uint8_t)(colour >> 16);
                p[1] = (uint8_t)(colour >> 8);
                p[2] = (uint8_t)colour;
            }
        }
    return picture;
}

}  // namespace

TEST(PhotoStore, LoadPhotoBitmapGivesOpaqueRgbPixels)
{
    CStoreTree tree;
    // three columns, so the decoder pads each row; red, green, blue on top
    const uint32_t kColours[] = {0xE01010, 0x10E010, 0x1010E0, 0x808080, 0xF0C040, 0x204060};
    const uint32_t kGrey[] = {1, 200};
    ASSERT_TRUE(WriteJpegFile(tree.PathOf(L"France\\Paris\\5.jpg"), Blocks(3, 2, 3, kColours), 100));
    ASSERT_TRUE(WriteJpegFile(tree.PathOf(L"France\\Paris\\6.jpg"), Blocks(1, 2, 1, kGrey), 100));
    ASSERT_TRUE(tree.Add(L"France\\Paris\\7.jpg", "not a JPEG"));
    PhotoStore store = tree.Store();

    CDibSection dib;
    ASSERT_TRUE(LoadPhotoBitmap(store, 0, 5, &dib));
    ASSERT_EQ(3 * kBlockWidth, dib.GetWidth());
    ASSERT_EQ(2 * kBlockHeight, dib.GetHeight());
    ASSERT_EQ(32, dib.GetBitCount());
    // rows count from the bottom: the upper blocks lie high
    for (int block = 0; block < 6; ++block) {
        SCOPED_TRACE(block);
        int x = block % 3 * kBlockWidth + kBlockWidth / 2;
        int y = (1 - block / 3) * kBlockHeight + kBlockHeight / 2;
        uint32_t pixel = dib.GetPixel(x, y);
        EXPECT_TRUE(NearPixel(0xFF000000u | kColours[block], pixel, 10)) << std::hex << pixel;
    }

    // grey photos come out grey, 1 as 0xFF010101
    ASSERT_TRUE(LoadPhotoBitmap(store, 0, 6, &dib));
    ASSERT_EQ(kBlockWidth, dib.GetWidth());
    EXPECT_EQ(0xFF010101u, dib.GetPixel(kBlockWidth - 1, 2 * kBlockHeight - 4));
    EXPECT_EQ(0xFFC8C8C8u, dib.GetPixel(kBlockWidth - 1, 3));

    // a screen-compatible bitmap gets the same colours
    CBitmap screen;
    ASSERT_TRUE(LoadPhotoBitmap(store, 0, 5, &screen));
    uint32_t red = screen.GetPixel(kBlockWidth / 2, kBlockHeight + kBlockHeight / 2);
    EXPECT_TRUE(NearPixel(0xFFE01010u, red, 10)) << std::hex << red;

    // failures leave the bitmap empty
    struct {
        const char* name;
        int city;
        int32_t number;
    } failures[] = {{"not a JPEG", 0, 7}, {"no file", 0, 8}, {"city outside the records", 9, 5},
                    {"number 0", 0, 0}, {"other city", 1, 5}};
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(LoadPhotoBitmap(store, 0, 6, &dib));
        EXPECT_FALSE(LoadPhotoBitmap(store, f.city, f.number, &dib));
        EXPECT_FALSE(dib.IsValid());
    }
}
