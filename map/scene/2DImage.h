// A picture of the 2-D overlay (a photo thumbnail), drawn in window pixels at
// the object's translation (x, y).
#pragma once

#include <windows.h>
#include <GL/gl.h>

#include "map/scene/GLObject.h"

class C2DImage : public CGLObject {
public:
    // texture: not owned; width and height in pixels, the whole texture.
    // caption: what the owner shows with it (the photo's number).
    C2DImage(GLuint texture, int width, int height, int caption);

    // A quad of the image's size; leaves texturing off.
    void Draw() override;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetCaption() const { return m_caption; }

private:
    GLuint m_texture;
    int m_width, m_height;
    int m_caption;
};
