#include "map/scene/Sphere.h"

#include <GL/glu.h>

CSphere::CSphere(float radius) : m_radius(radius), m_sphereList(0) {}

CSphere::~CSphere()
{
    if (m_sphereList)
        glDeleteLists(m_sphereList, 1);
}

void CSphere::Build()
{
    CGLObject::Build();
    if (!m_sphereList)
        m_sphereList = glGenLists(1);
    if (!m_sphereList)
        return;
    GLUquadric* quadric = gluNewQuadric();
    if (!quadric)
        return;
    glNewList(m_sphereList, GL_COMPILE);
    gluSphere(quadric, m_radius, m_detail.slices, m_detail.stacks);
    glEndList();
    gluDeleteQuadric(quadric);
}

void CSphere::Draw()
{
    ApplyTransform();
    if (m_sphereList)
        glCallList(m_sphereList);
    for (int i = 0; i < GetChildCount(); ++i)
        GetChild(i)->Draw();
}
