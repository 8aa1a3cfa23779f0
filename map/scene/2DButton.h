// Buttons of the 2-D overlay, drawn in window pixels (origin bottom left)
// from cells of one texture strip. Their place is the object's translation
// (x, y) in the coordinates of the group that holds them.
#pragma once

#include <windows.h>
#include <GL/gl.h>

#include "map/scene/GLObject.h"

class C2DButton : public CGLObject {
public:
    // texture: not owned; cell and texture size in texels.
    C2DButton(GLuint texture, int cellX, int cellY, int textureWidth, int textureHeight, int key);

    // Inside [x, x + width) and [y, y + height).
    bool HitTest(int x, int y) const;

    void SetSize(int width, int height);
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetKey() const { return m_key; }
    int GetCellX() const { return m_cellX; }
    int GetCellY() const { return m_cellY; }
    bool IsPressed() const { return m_pressed; }
    void SetPressed(bool pressed) { m_pressed = pressed; }

protected:
    GLuint m_texture;
    int m_cellX, m_cellY;
    int m_textureWidth, m_textureHeight;
    int m_width, m_height;
    int m_key;  // virtual-key code the button sends
    bool m_pressed;
};

// The map's buttons: the strip holds the normal cells in its left half and
// the pressed ones at the same place in its right half.
class C2DButton2 : public C2DButton {
public:
    using C2DButton::C2DButton;
    // A quad of the button's size at (x, y); leaves texturing off.
    void Draw() override;
};
