#include "map/scene/TileUpload.h"

namespace {

GLenum PixelFormat(int components)
{
    return components == 4 ? GL_RGBA : components == 3 ? GL_RGB : GL_LUMINANCE;
}

}  // namespace

void DeleteTiles(GLuint names[kTileCount])
{
    if (names[0])
        glDeleteTextures(kTileCount, names);
    for (int i = 0; i < kTileCount; ++i)
        names[i] = 0;
}

GLenum UploadTiles(const TileSet& tiles, GLuint names[kTileCount], const GLCaps& caps, bool compress)
{
    DiscardGLErrors();
    if (!names[0])
        glGenTextures(kTileCount, names);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < kTileCount; ++i) {
        const CJpegTexture& tile = tiles.tiles[i];
        if (!tile.GetPixels())
            continue;
        int components = tile.GetComponents();
        GLint internal = components;
        if (compress && caps.textureCompression)
            internal = components == 4 ? GL_COMPRESSED_RGBA_ARB : GL_COMPRESSED_RGB_ARB;
        glBindTexture(GL_TEXTURE_2D, names[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (caps.edgeClamp) {
            // no seam of border colour between neighbouring tiles
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        }
        glTexImage2D(GL_TEXTURE_2D, 0, internal, (GLsizei)tile.GetBufferWidth(), (GLsizei)tile.GetBufferRows(), 0,
                     PixelFormat(components), GL_UNSIGNED_BYTE, tile.GetPixels());
        GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            glBindTexture(GL_TEXTURE_2D, 0);
            DeleteTiles(names);
            return error;
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return GL_NO_ERROR;
}
