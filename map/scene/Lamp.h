// A spot light that stands at a point and shines towards the origin (the
// pointer light over the globe).
#pragma once

#include <windows.h>
#include <GL/gl.h>

#include "map/scene/GLObject.h"

class CLamp : public CGLObject {
public:
    // light: GL_LIGHT1 and up.
    explicit CLamp(GLenum light);

    // Colours, exponent and cutoff; switches the light on.
    void Init() override;
    // Places the light in the current frame; draws nothing.
    void Draw() override;

    void SetPosition(double x, double y, double z);
    GLenum GetLight() const { return m_light; }

private:
    GLenum m_light;
    double m_position[3];
};
