#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/clock/Clock.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/MechSkin.h"
#include "tests/support/SkinFixtures.h"
#include "tests/support/TestFiles.h"

namespace {

const int kUnlimited = 0x7FFFFFFF;

// A folder "Face" with a face `faceWidth` square (magenta corner key) and a
// digit strip of 10 x 12 pixel digits, so that the caption "11" measures
// exactly 20 x 12.
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

const int kCaptionWidth = 20, kCaptionHeight = 12;

}  // namespace

// The face size walks the table down from the largest entry, trying the face
// image's own width (or half of it) where that lies between two entries; the
// first size with room picks the caption's place, and the rectangle holds face,
// caption and the margins (4 horizontal, 2 vertical).
TEST(MechClockLayout, SizeWalkLayoutsAndRectangles)
{
    const int over = CMechClock::kCaptionOver, lowerLeft = CMechClock::kCaptionLowerLeft,
              below = CMechClock::kCaptionBelow, beside = CMechClock::kCaptionBeside;
    struct Case {
        const char* what;
        int faceWidth;
        int width, height;  // largest size offered
        bool fit;
        int startSize;  // the current size, for layouts without fit
        bool overlay;
        int size, layout;
        int rectWidth, rectHeight;
    } cases[] = {
        {"entries above the image skipped", 300, 400, 400, true, 20, false, 300, over, 308, 304},
        {"narrow room: a smaller entry", 300, 200, 400, true, 20, false, 150, over, 158, 154},
        {"image width between two entries", 90, 400, 400, true, 20, false, 90, over, 98, 94},
        {"half the image width between two entries", 180, 120, 120, true, 20, false, 90, over, 98, 94},
        {"small faces: caption below", 300, 64, 80, true, 20, false, 56, below, 64, 72},
        {"small faces: caption beside", 300, 90, 62, true, 20, false, 56, beside, 84, 60},
        {"overlay: the caption over a large face", 300, 400, 400, true, 20, true, 300, over, 308, 304},
        {"overlay: lower left where below would fit", 300, 90, 62, true, 20, true, 56, lowerLeft, 64, 60},
        {"no room: the smallest entry beside", 300, 10, 8, true, 20, false, 16, beside, 44, 20},
        {"no room, overlay: lower left", 300, 10, 8, true, 20, true, 16, lowerLeft, 28, 20},
        {"no room, upright: the smallest entry below", 300, 10, 12, true, 20, false, 16, below, 28, 32},
        {"without fit: the current size", 300, kUnlimited, kUnlimited, false, 100, false, 100, over, 108, 104},
        {"without fit, no room, smallest entry upright", 300, 10, 12, false, 16, false, 16, below, 28, 32},
        {"without fit, no room: beside", 300, 10, 12, false, 20, false, 20, beside, 48, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FaceSkinFolder folder(c.faceWidth);
        CDibSection canvas;
        ASSERT_TRUE(canvas.Create(16, 16));
        CMechSkin* skin = new CMechSkin(folder.temp.Path().c_str(), 0);
        skin->Load(L"Face", 0, 0, FW_NORMAL, 0);
        ASSERT_EQ(c.faceWidth, skin->GetFaceWidth());
        ClockRecord record = {};
        CopyFixed(record.prefix, FIELD_WIDTH(record.prefix), L"11");
        // no language: the caption is the prefix alone
        CMechClock* clock = new CMechClock(record, skin, ClockContext{});
        clock->SetOverlay(c.overlay);
        clock->Measure(canvas.GetDC(), 400, 400, nullptr, nullptr);  // binds the DC
        SIZE caption = skin->MeasureLines(L"11", -1);
        EXPECT_EQ(kCaptionWidth, caption.cx);
        EXPECT_EQ(kCaptionHeight, caption.cy);

        clock->SetFaceSize(c.startSize);
        clock->LayoutFace(c.width, c.height, c.fit);
        EXPECT_EQ(c.size, clock->GetFaceSize());
        EXPECT_EQ(c.layout, clock->GetFaceLayout());
        RECT rect = clock->GetRect();
        EXPECT_EQ(0, rect.left);
        EXPECT_EQ(0, rect.top);
        EXPECT_EQ(c.rectWidth, rect.right);
        EXPECT_EQ(c.rectHeight, rect.bottom);
        delete clock;
    }
}

// A face rendered at one size is dropped when the layout picks another.
TEST(MechClockLayout, AnotherSizeDropsTheRenderedFace)
{
    FaceSkinFolder folder(100);
    CDibSection canvas;
    ASSERT_TRUE(canvas.Create(16, 16));
    CMechSkin* skin = new CMechSkin(folder.temp.Path().c_str(), 0);
    skin->Load(L"Face", 0, 0, FW_NORMAL, 0);
    CMechClock* clock = new CMechClock(ClockRecord{}, skin, ClockContext{});
    clock->Measure(canvas.GetDC(), 400, 400, nullptr, nullptr);
    ASSERT_EQ(100, clock->GetFaceSize());
    clock->Update(MakeTime(2030, 5, 6, 10, 14, 0));
    ASSERT_EQ(100, clock->FaceBitmap().GetWidth());
    clock->LayoutFace(kUnlimited, kUnlimited, false);
    EXPECT_EQ(100, clock->FaceBitmap().GetWidth());
    clock->LayoutFace(80, 80, true);
    EXPECT_EQ(64, clock->GetFaceSize());
    EXPECT_FALSE(clock->FaceBitmap().IsValid());
    clock->Update(MakeTime(2030, 5, 6, 10, 15, 0));
    EXPECT_EQ(64, clock->FaceBitmap().GetWidth());
    delete clock;
}

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
