// The earth: textured tiles under shells of atmosphere, and the cities as
// points. Build and Draw need the context current; the caps must outlive
// the planet.
#pragma once

#include "map/scene/GLCaps.h"
#include "map/scene/Sphere.h"
#include "map/textures/TileSet.h"

struct CityRecord;

class CPlanet : public CSphere {
public:
    explicit CPlanet(const GLCaps* caps);
    // Deletes the textures and the list: the context must be current.
    ~CPlanet() override;

    // One display list: the children, the atmosphere, the textured mesh.
    void Build() override;
    // The list (separate specular colour where the renderer has it), then
    // the city points.
    void Draw() override;

    // Uploads the eight surface tiles (none: the planet goes untextured).
    // Returns the OpenGL error of a failed upload, which leaves it untextured.
    GLenum SetSurfaceTiles(const TileSet* tiles);
    // Clouds need multitexturing and tiles that all hold pixels; otherwise,
    // or with none, the planet has no clouds.
    GLenum SetCloudTiles(const TileSet* tiles);
    // Compressed textures for the next uploads, where the renderer can.
    void SetCompression(bool compress) { m_compress = compress; }
    // Drawn at their mapPosition (see PlaceCities); kept by pointer.
    void SetCities(const CityRecord* cities, int count);

    bool HasSurface() const { return m_surface[0] != 0; }
    bool HasClouds() const { return m_clouds[0] != 0; }
    // The image size of the first surface tile (0 when untextured).
    int GetTileWidth() const { return m_tileWidth; }
    int GetTileHeight() const { return m_tileHeight; }

private:
    void BuildAtmosphere();
    void BuildMesh();
    void DrawCities() const;

    const GLCaps* m_caps;
    bool m_compress;
    GLuint m_surface[kTileCount];
    GLuint m_clouds[kTileCount];
    int m_tileWidth, m_tileHeight;
    // the image's share of a tile's buffer (rows and columns of padding)
    float m_surfaceScale[2];
    float m_cloudScale[2];
    GLuint m_list;
    const CityRecord* m_cities;
    int m_cityCount;
};
