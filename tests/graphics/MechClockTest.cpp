#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/clock/Clock.h"
#include "graphics/skin/MechSkin.h"
#include "tests/support/SkinFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

// A folder "Face" with a face `faceWidth` square (magenta corner key) and a
// digit strip of 10 x 12 pixel digits.
struct FaceSkinFolder {
    CTempFolder temp;
    explicit FaceSkinFolder(int faceWidth)
    {
        EXPECT_TRUE(temp.AddFolder(L"Face"));
        EXPECT_TRUE(temp.WriteBytes(L"Face\\clkface.bmp", BmpBytes(faceWidth, faceWidth, [](int x, int y) {
            return x + y < 3 ? RGB(255, 0, 255) : RGB(0x40 + x, 0x80, 0xC0 - y);
        })));
        EXPECT_TRUE(temp.WriteBytes(L"Face\\digits.bmp", BmpBytes(105, 12, [](int x, int) {
            return x % 10 == 4 ? RGB(0, 0, 0) : RGB(0, 255, 0);
        })));
    }
};

}  // namespace

// A lightmap of neutral grey leaves the rendered face as it is.
TEST(MechClockFace, NeutralLightmapChangesNothing)
{
    auto renderedFace = [](bool lightmap) {
        FaceSkinFolder folder(40);
        if (lightmap) {
            EXPECT_TRUE(folder.temp.WriteBytes(L"Face\\lightmap.bmp",
                                               BmpBytes(40, 40, [](int, int) { return RGB(0x80, 0x80, 0x80); })));
        }
        CDibSection canvas;
        EXPECT_TRUE(canvas.Create(16, 16));
        CMechSkin* skin = new CMechSkin(folder.temp.Path().c_str(), 0);
        skin->Load(L"Face", 0, 0, FW_NORMAL, 0);
        EXPECT_EQ(lightmap, (skin->GetFeatures() & kSkinLightmap) != 0);
        CMechClock* clock = new CMechClock(ClockRecord{}, skin, ClockContext{});
        clock->Measure(canvas.GetDC(), 400, 400, nullptr, nullptr);
        clock->Update(MakeTime(2030, 5, 6, 10, 14, 0));
        GdiFlush();
        const CDibSection& face = clock->FaceBitmap();
        std::vector<uint32_t> bits;
        if (face.IsValid())
            bits.assign(face.GetBits(), face.GetBits() + (size_t)face.GetWidth() * face.GetHeight());
        delete clock;
        return bits;
    };
    std::vector<uint32_t> plain = renderedFace(false), lit = renderedFace(true);
    ASSERT_EQ(40u * 40u, plain.size());
    EXPECT_TRUE(plain == lit);
}
