#include "map/scene/Planet.h"

#include <math.h>

#include <GL/glu.h>

#include "graphics/records/CityRecord.h"
#include "map/scene/GlobeMath.h"
#include "map/scene/TileUpload.h"

namespace {

void SetMaterial(GLenum what, float r, float g, float b, float a)
{
    const GLfloat value[] = {r, g, b, a};
    glMaterialfv(GL_FRONT, what, value);
}

void ScaleOf(const TileSet& tiles, float scale[2])
{
    const CJpegTexture& tile = tiles.tiles[0];
    scale[0] = tile.GetBufferWidth() ? (float)tile.GetWidth() / tile.GetBufferWidth() : 1.0f;
    scale[1] = tile.GetBufferRows() ? (float)tile.GetHeight() / tile.GetBufferRows() : 1.0f;
}

}  // namespace

CPlanet::CPlanet(const GLCaps* caps)
    : CSphere(1.0f), m_caps(caps), m_compress(false), m_surface{}, m_clouds{}, m_tileWidth(0), m_tileHeight(0),
      m_surfaceScale{1, 1}, m_cloudScale{1, 1}, m_list(0), m_cities(nullptr), m_cityCount(0)
{
}

CPlanet::~CPlanet()
{
    DeleteTiles(m_surface);
    DeleteTiles(m_clouds);
    if (m_list)
        glDeleteLists(m_list, 1);
}

GLenum CPlanet::SetSurfaceTiles(const TileSet* tiles)
{
    m_tileWidth = m_tileHeight = 0;
    if (!tiles) {
        DeleteTiles(m_surface);
        return GL_NO_ERROR;
    }
    m_tileWidth = (int)tiles->tiles[0].GetWidth();
    m_tileHeight = (int)tiles->tiles[0].GetHeight();
    ScaleOf(*tiles, m_surfaceScale);
    return UploadTiles(*tiles, m_surface, *m_caps, m_compress);
}

GLenum CPlanet::SetCloudTiles(const TileSet* tiles)
{
    if (!tiles || !m_caps->multitexture || !tiles->Ready()) {
        DeleteTiles(m_clouds);
        return GL_NO_ERROR;
    }
    ScaleOf(*tiles, m_cloudScale);
    return UploadTiles(*tiles, m_clouds, *m_caps, m_compress);
}

void CPlanet::SetCities(const CityRecord* cities, int count)
{
    m_cities = cities;
    m_cityCount = cities ? count : 0;
}

void CPlanet::Build()
{
    // the children first: their own lists cannot be made inside ours
    CGLObject::Build();
    if (!m_list)
        m_list = glGenLists(1);
    if (!m_list)
        return;
    glNewList(m_list, GL_COMPILE);
    for (int i = 0; i < GetChildCount(); ++i)
        GetChild(i)->Draw();
    BuildAtmosphere();
    glEndList();
}

void CPlanet::BuildAtmosphere()
{
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    int layers = HasSurface() && m_detail.layers > 0 ? m_detail.layers : 1;
    if (GLUquadric* quadric = gluNewQuadric()) {
        glPushMatrix();
        // GLU's poles lie on z; the globe's on y
        glRotated(-90, 1, 0, 0);
        for (int i = 0; i < layers; ++i) {
            float alpha = 0.52f - 0.5f / layers * i;
            double grow = 0.025 / ((double)layers * layers) * (i + 1) * (i + 1);
            SetMaterial(GL_EMISSION, 0.5f, 0.7f, 0.95f, alpha);
            // a lit vertex takes its alpha from the diffuse colour, not the emission
            SetMaterial(GL_DIFFUSE, 0.8f, 0.8f, 0.8f, alpha);
            gluSphere(quadric, (1 + grow) * m_radius, m_detail.slices, m_detail.stacks);
        }
        glPopMatrix();
        gluDeleteQuadric(quadric);
    }
    // the earth draws over the shells, which stay only around it
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    SetMaterial(GL_EMISSION, 0, 0, 0, 1);
    if (HasSurface()) {
        SetMaterial(GL_AMBIENT, 0.2f, 0.2f, 0.2f, 1);
        SetMaterial(GL_DIFFUSE, 0.8f, 0.8f, 0.8f, 1);
        glMaterialf(GL_FRONT, GL_SHININESS, 120);
        SetMaterial(GL_SPECULAR, 0.25f, 0.25f, 0.25f, 1);
        BuildMesh();
        glMaterialf(GL_FRONT, GL_SHININESS, 0);
        SetMaterial(GL_SPECULAR, 0, 0, 0, 1);
    } else {
        SetMaterial(GL_DIFFUSE, 0.8f, 0.8f, 0.8f, 1);
    }
}

// Quad strips per latitude band, in four quarters of longitude that each
// take one tile column: the mesh angle a = 2 pi j / slices - pi / 2 is the
// longitude pi / 2 - a, so j = 0 is 180 degrees east and j grows westwards;
// quarter q covers longitudes 180 - 90 q .. 90 - 90 q, tile column 3 - q,
// whose s runs from 1 at its east edge to 0 at its west edge. t is 0 at the
// equator and 1 at the pole in the northern tiles, the reverse in the
// southern ones (tile rows are stored bottom-up). Each strip goes from the
// lower latitude to the higher one, so its quads wind counter-clockwise
// seen from outside.
void CPlanet::BuildMesh()
{
    int quarter = m_detail.slices / 4 > 0 ? m_detail.slices / 4 : 1;
    int slices = quarter * 4;
    int bands = m_detail.stacks / 2 > 0 ? m_detail.stacks / 2 : 1;
    bool clouds = HasClouds() && m_caps->multitexture;
    const double radius = m_radius;

    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    if (clouds) {
        // clouds over the lit earth by their alpha
        m_caps->activeTexture(GL_TEXTURE1_ARB);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        m_caps->activeTexture(GL_TEXTURE0_ARB);
    }
    auto vertex = [&](double latitude, double angle, float s, float t) {
        double nx = cos(latitude) * cos(angle), ny = sin(latitude), nz = cos(latitude) * sin(angle);
        glNormal3d(nx, ny, nz);
        if (clouds) {
            m_caps->multiTexCoord2f(GL_TEXTURE0_ARB, s * m_surfaceScale[0], t * m_surfaceScale[1]);
            m_caps->multiTexCoord2f(GL_TEXTURE1_ARB, s * m_cloudScale[0], t * m_cloudScale[1]);
        } else {
            glTexCoord2f(s * m_surfaceScale[0], t * m_surfaceScale[1]);
        }
        glVertex3d(nx * radius, ny * radius, nz * radius);
    };
    for (int row = 0; row < kTileRows; ++row) {
        bool north = row == 0;
        for (int q = 0; q < 4; ++q) {
            int tile = (kTileColumns - 1 - q) + kTileColumns * row;
            glBindTexture(GL_TEXTURE_2D, m_surface[tile]);
            if (clouds) {
                m_caps->activeTexture(GL_TEXTURE1_ARB);
                glBindTexture(GL_TEXTURE_2D, m_clouds[tile]);
                m_caps->activeTexture(GL_TEXTURE0_ARB);
            }
            for (int i = 0; i < bands; ++i) {
                // the band's edges as fractions of the hemisphere, equator 0
                double lowerFraction = north ? (double)i / bands : (double)(i + 1) / bands;
                double upperFraction = north ? (double)(i + 1) / bands : (double)i / bands;
                double lower = (north ? 1 : -1) * (kPi / 2) * lowerFraction;
                double upper = (north ? 1 : -1) * (kPi / 2) * upperFraction;
                float tLower = (float)(north ? lowerFraction : 1 - lowerFraction);
                float tUpper = (float)(north ? upperFraction : 1 - upperFraction);
                glBegin(GL_QUAD_STRIP);
                for (int k = 0; k <= quarter; ++k) {
                    double angle = 2 * kPi * (q * quarter + k) / slices - kPi / 2;
                    float s = (float)(quarter - k) / quarter;
                    vertex(lower, angle, s, tLower);
                    vertex(upper, angle, s, tUpper);
                }
                glEnd();
            }
        }
    }
    if (clouds) {
        m_caps->activeTexture(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        m_caps->activeTexture(GL_TEXTURE0_ARB);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}

void CPlanet::Draw()
{
    ApplyTransform();
    if (m_list) {
        bool separate = m_caps->separateSpecular;
        // the highlight stays white over dark texels
        if (separate)
            glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL_EXT, GL_SEPARATE_SPECULAR_COLOR_EXT);
        glCallList(m_list);
        if (separate)
            glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL_EXT, GL_SINGLE_COLOR_EXT);
    }
    DrawCities();
}

void CPlanet::DrawCities() const
{
    if (!m_cities || m_cityCount <= 0)
        return;
    glPointSize(2);
    // no diffuse share: a point shows its emission colour on the day side too
    glNormal3f(0, 0, 0);
    SetMaterial(GL_EMISSION, 0.9f, 0.65f, 0.1f, 1);
    bool anyInRadius = false;
    glBegin(GL_POINTS);
    for (int i = 0; i < m_cityCount; ++i) {
        if (m_cities[i].inProbeRadius)
            anyInRadius = true;
        else
            glVertex3dv(m_cities[i].mapPosition);
    }
    glEnd();
    if (anyInRadius) {
        SetMaterial(GL_EMISSION, 0, 0.99f, 0, 1);
        glBegin(GL_POINTS);
        for (int i = 0; i < m_cityCount; ++i)
            if (m_cities[i].inProbeRadius)
                glVertex3dv(m_cities[i].mapPosition);
        glEnd();
    }
    SetMaterial(GL_EMISSION, 0, 0, 0, 1);
    glPointSize(1);
}
