#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "map/scene/2DButton.h"
#include "map/scene/MapButtons.h"
#include "tests/map/SceneTestWindow.h"
#include "tests/support/PngFile.h"
#include "tests/support/TestFiles.h"

namespace {

const int kWidth = 800, kHeight = 600;
// the photo strip's left edge, where the button group is drawn
const int kStripLeft = kWidth - 108;

// The fixture strip is a grid of 32 x 32 blocks, each its own colour; the
// right half (blocks 4..7) is the pressed one. Block rows count from the
// picture's bottom, as the cells do.
uint32_t BlockColour(int column, int row)
{
    return (uint32_t)(40 + column * 28) << 16 | (uint32_t)(40 + row * 60) << 8 | (column >= 4 ? 200u : 60u);
}

uint32_t CellColour(int x, int y)
{
    return BlockColour(x / 32, y / 32);
}

// Writes the grid strip in the size and depth given.
bool WriteStrip(const std::wstring& path, int width, int height, int channels)
{
    std::vector<uint8_t> pixels((size_t)width * height * channels);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            // PNG rows go top-down
            uint32_t c = CellColour(x, height - 1 - row);
            uint8_t* p = &pixels[((size_t)row * width + x) * channels];
            p[0] = (uint8_t)(c >> 16);
            p[1] = (uint8_t)(c >> 8);
            p[2] = (uint8_t)c;
            if (channels == 4)
                p[3] = 255;
        }
    return WritePngPixels(path, width, height, channels, pixels.data());
}

bool Near(uint32_t got, uint32_t want)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (abs((int)(got >> shift & 0xFF) - (int)(want >> shift & 0xFF)) > 2)
            return false;
    return true;
}

class SceneButtons : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, m_window.Create(kWidth, kHeight)); }
    void TearDown() override
    {
        m_group.DeleteChildren();
        if (m_texture)
            glDeleteTextures(1, &m_texture);
    }

    C2DButton* Button(int key)
    {
        for (int i = 0; i < m_group.GetChildCount(); ++i) {
            auto* button = static_cast<C2DButton*>(m_group.GetChild(i));
            if (button->GetKey() == key)
                return button;
        }
        return nullptr;
    }

    // The overlay as the map window draws it: window pixels from the bottom
    // left, no lighting or depth, the group at the strip's left edge.
    GLFrame DrawOverlay()
    {
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, kWidth, 0, kHeight, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        m_group.SetTranslation((float)kStripLeft, 0, 0);
        m_group.Draw();
        return m_window.TakeFrame();
    }

    CSceneTestWindow m_window;
    CTempFolder m_folder;
    CGLGroup m_group;
    GLuint m_texture = 0;
};

}  // namespace

TEST_F(SceneButtons, OtherStripsGiveNoButtons)
{
    struct Case {
        const wchar_t* what;
        int width, height, channels;
    } cases[] = {
        {L"half height", 256, 64, 4},
        {L"24-bit", 256, 128, 3},
        {L"half width", 128, 128, 4},
        {L"double", 512, 256, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what);
        ASSERT_TRUE(WriteStrip(m_folder.File(L"buttons.png"), c.width, c.height, c.channels));
        m_texture = 123;
        EXPECT_FALSE(CreateMapButtons(m_folder.Path().c_str(), &m_group, &m_texture));
        EXPECT_EQ(0, m_group.GetChildCount());
        EXPECT_EQ(0u, m_texture);
    }
    DeleteFileW(m_folder.File(L"buttons.png").c_str());
    EXPECT_FALSE(CreateMapButtons(m_folder.Path().c_str(), &m_group, &m_texture));
    EXPECT_EQ(0, m_group.GetChildCount());
}

TEST_F(SceneButtons, TheTenButtonsAndTheirKeys)
{
    ASSERT_TRUE(WriteStrip(m_folder.File(L"buttons.png"), 256, 128, 4));
    ASSERT_TRUE(CreateMapButtons(m_folder.Path().c_str(), &m_group, &m_texture));
    EXPECT_TRUE(glIsTexture(m_texture));
    std::vector<int> keys;
    for (int i = 0; i < m_group.GetChildCount(); ++i)
        keys.push_back(static_cast<C2DButton*>(m_group.GetChild(i))->GetKey());
    const std::vector<int> expected = {VK_DOWN, VK_LEFT,     VK_HOME,   VK_RIGHT, VK_ADD,
                                       VK_UP,   VK_SUBTRACT, VK_INSERT, VK_PRIOR, VK_NEXT};
    EXPECT_EQ(expected, keys);

    C2DButton* home = Button(VK_HOME);
    ASSERT_NE(nullptr, home);
    EXPECT_TRUE(home->HitTest(38, 38));
    EXPECT_TRUE(home->HitTest(69, 69));
    EXPECT_FALSE(home->HitTest(70, 50));
    EXPECT_FALSE(home->HitTest(50, 70));
    EXPECT_FALSE(home->HitTest(37, 50));
    EXPECT_FALSE(home->HitTest(50, 37));
}

// Home sits at (38, 38) of the pad, 32 x 32, from the cell at (32, 32);
// pressed, from the same place in the strip's right half.
TEST_F(SceneButtons, HomeShowsItsCellAndPressedTheRightHalf)
{
    ASSERT_TRUE(WriteStrip(m_folder.File(L"buttons.png"), 256, 128, 4));
    ASSERT_TRUE(CreateMapButtons(m_folder.Path().c_str(), &m_group, &m_texture));
    C2DButton* home = Button(VK_HOME);
    ASSERT_NE(nullptr, home);

    GLFrame frame = DrawOverlay();
    SaveShot(frame, L"scene-buttons.png");
    const int left = kStripLeft + 38, bottom = 38;
    int wrong = 0;
    for (int y = bottom; y < bottom + 32; ++y)
        for (int x = left; x < left + 32; ++x)
            if (!Near(frame.At(x, y), BlockColour(1, 1)))
                ++wrong;
    EXPECT_EQ(0, wrong) << "pixels of the Home button that are not its cell's";
    // its neighbours on the pad are other cells
    EXPECT_FALSE(Near(frame.At(left - 1, bottom + 10), BlockColour(1, 1)));
    EXPECT_FALSE(Near(frame.At(left + 32, bottom + 10), BlockColour(1, 1)));
    EXPECT_FALSE(Near(frame.At(left + 10, bottom - 1), BlockColour(1, 1)));
    EXPECT_FALSE(Near(frame.At(left + 10, bottom + 32), BlockColour(1, 1)));

    // every pad button shows its own cell, never the pressed half
    for (int i = 0; i < m_group.GetChildCount(); ++i) {
        auto* button = static_cast<C2DButton*>(m_group.GetChild(i));
        const float* at = button->GetTranslation();
        if (at[1] < 0)
            continue;  // the photo strip's, below the window
        SCOPED_TRACE(testing::Message() << "key " << button->GetKey());
        int x = kStripLeft + (int)at[0] + button->GetWidth() / 2, y = (int)at[1] + button->GetHeight() / 2;
        EXPECT_TRUE(Near(frame.At(x, y), CellColour(button->GetCellX() + button->GetWidth() / 2,
                                                    button->GetCellY() + button->GetHeight() / 2)))
            << std::hex << frame.At(x, y);
    }

    home->SetPressed(true);
    frame = DrawOverlay();
    SaveShot(frame, L"scene-buttons-home-pressed.png");
    wrong = 0;
    for (int y = bottom; y < bottom + 32; ++y)
        for (int x = left; x < left + 32; ++x)
            if (!Near(frame.At(x, y), BlockColour(5, 1)))
                ++wrong;
    EXPECT_EQ(0, wrong) << "pixels of the pressed Home button that are not its pressed cell's";
    // the others stay as they were
    EXPECT_TRUE(Near(frame.At(left - 16, bottom + 16), BlockColour(0, 1)));
}

// The strip the program folder ships passes the checks and draws the pad.
TEST_F(SceneButtons, ShippedStripMakesThePad)
{
    ASSERT_TRUE(CreateMapButtons(TL_PROGRAM_FOLDER, &m_group, &m_texture));
    EXPECT_EQ(10, m_group.GetChildCount());
    GLFrame normal = DrawOverlay();
    SaveShot(normal, L"scene-buttons-shipped.png");
    C2DButton* home = Button(VK_HOME);
    ASSERT_NE(nullptr, home);
    home->SetPressed(true);
    GLFrame pressed = DrawOverlay();
    SaveShot(pressed, L"scene-buttons-shipped-home-pressed.png");
    int drawn = 0, changed = 0;
    for (int y = 38; y < 70; ++y)
        for (int x = kStripLeft + 38; x < kStripLeft + 70; ++x) {
            drawn += normal.At(x, y) != 0;
            changed += normal.At(x, y) != pressed.At(x, y);
        }
    EXPECT_GT(drawn, 32 * 32 / 2);
    EXPECT_GT(changed, 32 * 32 / 4) << "pressed looks as normal";
}
