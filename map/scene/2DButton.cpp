#include "map/scene/2DButton.h"

C2DButton::C2DButton(GLuint texture, int cellX, int cellY, int textureWidth, int textureHeight, int key)
    : m_texture(texture), m_cellX(cellX), m_cellY(cellY), m_textureWidth(textureWidth),
      m_textureHeight(textureHeight), m_width(20), m_height(20), m_key(key), m_pressed(false)
{
}

bool C2DButton::HitTest(int x, int y) const
{
    int left = (int)m_translation[0], bottom = (int)m_translation[1];
    return x >= left && x < left + m_width && y >= bottom && y < bottom + m_height;
}

void C2DButton::SetSize(int width, int height)
{
    m_width = width;
    m_height = height;
}

void C2DButton2::Draw()
{
    if (m_textureWidth <= 0 || m_textureHeight <= 0)
        return;
    float x = m_translation[0], y = m_translation[1];
    float s = (float)(m_cellX + (m_pressed ? m_textureWidth / 2 : 0)) / m_textureWidth;
    float t = (float)m_cellY / m_textureHeight;
    float sSpan = (float)m_width / m_textureWidth, tSpan = (float)m_height / m_textureHeight;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(s, t);
    glVertex2f(x, y);
    glTexCoord2f(s + sSpan, t);
    glVertex2f(x + m_width, y);
    glTexCoord2f(s + sSpan, t + tSpan);
    glVertex2f(x + m_width, y + m_height);
    glTexCoord2f(s, t + tSpan);
    glVertex2f(x, y + m_height);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}
