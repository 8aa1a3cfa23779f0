// The globe's tile textures.
#pragma once

#include "map/scene/GLCaps.h"
#include "map/textures/TileSet.h"

// Uploads every tile that holds pixels into names[i] (all eight names are
// generated first when names[0] is 0), at its buffer size, with linear
// filters, clamped at the edges when the renderer can, compressed when
// `compress` is on and the renderer can. Returns 0, or the OpenGL error, in
// which case the eight names are deleted and zeroed. The context must be
// current.
GLenum UploadTiles(const TileSet& tiles, GLuint names[kTileCount], const GLCaps& caps, bool compress);
// Deletes and zeroes the eight names (nothing when names[0] is 0).
void DeleteTiles(GLuint names[kTileCount]);
