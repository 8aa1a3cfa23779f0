#include "map/scene/MapButtons.h"

#include <stdint.h>

#include <string>

#include "map/scene/2DButton.h"
#include "map/scene/GLCaps.h"
#include "taskbar/hook/HookExports.h"

namespace {

struct ButtonPlace {
    int key;
    int x, y;           // from the strip's left edge and the window's bottom
    int cellX, cellY;   // in the strip's left half, from its bottom
    int width, height;
};

// Insert, Page Up and Page Down belong to the photo strip, which moves them
// up into the window when it shows them.
const ButtonPlace kButtons[] = {
    {VK_DOWN, 38, 6, 32, 0, 32, 32},
    {VK_LEFT, 6, 38, 0, 32, 32, 32},
    {VK_HOME, 38, 38, 32, 32, 32, 32},
    {VK_RIGHT, 70, 38, 64, 32, 32, 32},
    {VK_ADD, 6, 70, 0, 64, 32, 32},
    {VK_UP, 38, 70, 32, 64, 32, 32},
    {VK_SUBTRACT, 70, 70, 0, 0, 32, 32},
    {VK_INSERT, 4, -32, 0, 96, 100, 24},
    {VK_PRIOR, 40, -32, 64, 64, 9, 19},
    {VK_NEXT, 59, -32, 64, 0, 9, 32},
};

void AddMapButton(CGLGroup* group, GLuint texture, const ButtonPlace& place)
{
    auto* button = new C2DButton2(texture, place.cellX, place.cellY, kButtonStripWidth, kButtonStripHeight, place.key);
    button->SetSize(place.width, place.height);
    button->SetTranslation((float)place.x, (float)place.y, 0);
    group->AddChild(button);
}

}  // namespace

bool CreateMapButtons(const WCHAR* folder, CGLGroup* group, GLuint* texture)
{
    *texture = 0;
    std::wstring path = std::wstring(folder ? folder : L"") + L"buttons.png";
    BITMAPV4HEADER header = {};
    header.bV4Size = sizeof(header);
    void* pixels = nullptr;
    if (!LoadPngImage(path.c_str(), &header, &pixels) || !pixels)
        return false;
    // rows come bottom-up, as OpenGL takes them
    bool fits = header.bV4BitCount == 32 && header.bV4Width == kButtonStripWidth &&
                header.bV4Height == kButtonStripHeight;
    if (fits) {
        // the loader gives B, G, R, A
        uint8_t* p = (uint8_t*)pixels;
        for (int i = 0; i < kButtonStripWidth * kButtonStripHeight; ++i, p += 4) {
            uint8_t blue = p[0];
            p[0] = p[2];
            p[2] = blue;
        }
        glGenTextures(1, texture);
        glBindTexture(GL_TEXTURE_2D, *texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        DiscardGLErrors();
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kButtonStripWidth, kButtonStripHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     pixels);
        glBindTexture(GL_TEXTURE_2D, 0);
        if (glGetError() != GL_NO_ERROR) {
            glDeleteTextures(1, texture);
            *texture = 0;
            fits = false;
        }
    }
    GlobalFree(pixels);
    if (!fits)
        return false;
    for (const ButtonPlace& place : kButtons)
        AddMapButton(group, *texture, place);
    return true;
}
