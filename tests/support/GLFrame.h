// Frames of the OpenGL context current on this thread, read back from its
// back buffer: under Wine a child window's frames never reach the screen.
#pragma once

#include <windows.h>

#include <GL/gl.h>
#include <stdint.h>

#include <vector>

// A frame as glReadPixels gives it: rows bottom-up, as OpenGL counts them.
struct GLFrame {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel
    // 0xRRGGBB of the pixel at x from the left, y from the bottom; 0 outside.
    uint32_t At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0;
        const uint8_t* p = &rgb[((size_t)y * width + x) * 3];
        return (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    }
    int Red(int x, int y) const { return (int)(At(x, y) >> 16); }
    int Green(int x, int y) const { return (int)(At(x, y) >> 8 & 0xFF); }
    int Blue(int x, int y) const { return (int)(At(x, y) & 0xFF); }
};

// After a window's own paint (RedrawWindow with RDW_UPDATENOW) the back
// buffer still holds that frame.
inline GLFrame ReadBackFrame(int width, int height)
{
    GLFrame frame;
    frame.width = width;
    frame.height = height;
    frame.rgb.resize((size_t)width * height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
    return frame;
}
