#include "map/scene/Lamp.h"

CLamp::CLamp(GLenum light) : m_light(light), m_position{0, 0, 0} {}

void CLamp::Init()
{
    const GLfloat ambient[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat diffuse[] = {0.3f, 1.0f, 0.9f, 1.0f};
    const GLfloat specular[] = {0.3f, 1.0f, 0.9f, 1.0f};
    glLightfv(m_light, GL_AMBIENT, ambient);
    glLightfv(m_light, GL_DIFFUSE, diffuse);
    glLightfv(m_light, GL_SPECULAR, specular);
    glLightf(m_light, GL_SPOT_EXPONENT, 16);
    glLightf(m_light, GL_SPOT_CUTOFF, 30);
    glEnable(m_light);
    CGLObject::Init();
}

void CLamp::Draw()
{
    const GLfloat position[] = {(GLfloat)m_position[0], (GLfloat)m_position[1], (GLfloat)m_position[2], 1.0f};
    const GLfloat direction[] = {-position[0], -position[1], -position[2]};
    glLightfv(m_light, GL_POSITION, position);
    glLightfv(m_light, GL_SPOT_DIRECTION, direction);
}

void CLamp::SetPosition(double x, double y, double z)
{
    m_position[0] = x;
    m_position[1] = y;
    m_position[2] = z;
}
