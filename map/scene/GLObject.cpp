#include "map/scene/GLObject.h"

#include <math.h>
#include <stdlib.h>

#include <windows.h>
#include <GL/gl.h>

#include "map/scene/GlobeMath.h"

namespace {

// The child array grows by this many slots at a time.
const int kChildGrowth = 16;
const double kNoAngle = 1e-6;

}  // namespace

CGLObject::CGLObject()
    : m_parent(nullptr), m_translation{0, 0, 0}, m_rotation{0, 0, 0}, m_children(nullptr), m_childCount(0),
      m_childCapacity(0)
{
}

CGLObject::~CGLObject()
{
    DeleteChildren();
    free(m_children);
}

void CGLObject::Init()
{
    for (int i = 0; i < m_childCount; ++i)
        m_children[i]->Init();
}

void CGLObject::Build()
{
    for (int i = 0; i < m_childCount; ++i)
        m_children[i]->Build();
}

void CGLObject::Draw()
{
    ApplyTransform();
    for (int i = 0; i < m_childCount; ++i)
        m_children[i]->Draw();
}

void CGLObject::AddChild(CGLObject* child)
{
    if (!child)
        return;
    if (m_childCount == m_childCapacity) {
        int capacity = m_childCapacity + kChildGrowth;
        CGLObject** grown = (CGLObject**)realloc(m_children, capacity * sizeof(CGLObject*));
        if (!grown) {
            // ownership was promised: an object that cannot be kept goes now
            delete child;
            return;
        }
        m_children = grown;
        m_childCapacity = capacity;
    }
    child->m_parent = this;
    m_children[m_childCount++] = child;
}

void CGLObject::DeleteChildren()
{
    while (m_childCount > 0)
        delete m_children[--m_childCount];
}

CGLObject* CGLObject::GetChild(int index) const
{
    return index >= 0 && index < m_childCount ? m_children[index] : nullptr;
}

void CGLObject::TransformPoint(double point[4], int direction) const
{
    double m[16];
    MatrixIdentity(m);
    if (direction >= 0) {
        MatrixTranslate(m, m_translation[0], m_translation[1], m_translation[2]);
        MatrixRotateX(m, DegreesToRadians(m_rotation[0]));
        MatrixRotateY(m, DegreesToRadians(m_rotation[1]));
        MatrixRotateZ(m, DegreesToRadians(m_rotation[2]));
    } else {
        MatrixRotateZ(m, -DegreesToRadians(m_rotation[2]));
        MatrixRotateY(m, -DegreesToRadians(m_rotation[1]));
        MatrixRotateX(m, -DegreesToRadians(m_rotation[0]));
        MatrixTranslate(m, -m_translation[0], -m_translation[1], -m_translation[2]);
    }
    MatrixTransform(m, point, point);
}

void CGLObject::ApplyTransform() const
{
    glTranslatef(m_translation[0], m_translation[1], m_translation[2]);
    if (fabs(m_rotation[0]) > kNoAngle)
        glRotated(m_rotation[0], 1, 0, 0);
    if (fabs(m_rotation[1]) > kNoAngle)
        glRotated(m_rotation[1], 0, 1, 0);
    if (fabs(m_rotation[2]) > kNoAngle)
        glRotated(m_rotation[2], 0, 0, 1);
}

void CGLObject::SetTranslation(float x, float y, float z)
{
    m_translation[0] = x;
    m_translation[1] = y;
    m_translation[2] = z;
}

void CGLObject::SetRotation(double x, double y, double z)
{
    m_rotation[0] = x;
    m_rotation[1] = y;
    m_rotation[2] = z;
}

void CGLGroup::Draw()
{
    glPushMatrix();
    CGLObject::Draw();
    glPopMatrix();
}
