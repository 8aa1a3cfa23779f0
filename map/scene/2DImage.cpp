#include "map/scene/2DImage.h"

C2DImage::C2DImage(GLuint texture, int width, int height, int caption)
    : m_texture(texture), m_width(width), m_height(height), m_caption(caption)
{
}

void C2DImage::Draw()
{
    float x = m_translation[0], y = m_translation[1];
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x, y);
    glTexCoord2f(1, 0);
    glVertex2f(x + m_width, y);
    glTexCoord2f(1, 1);
    glVertex2f(x + m_width, y + m_height);
    glTexCoord2f(0, 1);
    glVertex2f(x, y + m_height);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}
