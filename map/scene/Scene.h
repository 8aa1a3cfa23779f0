// The root of the globe's scene graph: perspective camera and head light.
#pragma once

#include "map/scene/GLObject.h"
#include "map/scene/GlobeMath.h"

// The camera is the scene's own transform: translation (0, 0, distance),
// then the tilt about x and the rotation about y, so that the children
// (planet, lamp) are placed in the globe's frame. A point at latitude la and
// longitude lo faces the viewer at tilt = la, rotation = 360 - lo.
class CScene : public CGLObject {
public:
    static constexpr double kFieldOfView = 30.0;  // degrees, vertical
    static constexpr double kNearPlane = 1.0;
    static constexpr double kFarPlane = 30.0;

    CScene();

    // Shading, depth test, culling and the head light (GL_LIGHT0); the children's.
    void Init() override;
    // Clears, then the children's display lists.
    void Build() override;
    // Clears colour and depth, then the camera and the children.
    void Draw() override;
    // Viewport and projection for a client area of w x h pixels.
    virtual void Resize(int width, int height);

    // distance: negative scene units; tilt and rotation in degrees.
    void SetCamera(float distance, double tilt, double rotation);
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    ViewFrustum GetFrustum() const;
    // Window x, y (from the bottom left) and depth (0..1) of a point of the
    // globe's frame; false when it lies behind the eye.
    bool Project(const double point[4], double window[3]) const;

private:
    int m_width;
    int m_height;
};
