// A lit sphere about the object's origin, in a display list.
#pragma once

#include <windows.h>
#include <GL/gl.h>

#include "map/scene/GLObject.h"
#include "map/textures/DetailLevel.h"

class CSphere : public CGLObject {
public:
    explicit CSphere(float radius);
    // Deletes the display list: the context must be current.
    ~CSphere() override;

    void Build() override;
    void Draw() override;

    float GetRadius() const { return m_radius; }
    void SetRadius(float radius) { m_radius = radius; }
    // Slices, stacks and shells of the next Build.
    void SetDetail(const DetailLevel& detail) { m_detail = detail; }
    const DetailLevel& GetDetail() const { return m_detail; }

protected:
    float m_radius;
    DetailLevel m_detail;
    GLuint m_sphereList;
};
