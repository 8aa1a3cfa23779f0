// The button pad of the map window and the photo strip's buttons.
#pragma once

#include <windows.h>
#include <GL/gl.h>

class CGLGroup;

// The button strip: normal cells in the left half, pressed ones in the right.
const int kButtonStripWidth = 256;
const int kButtonStripHeight = 128;

// Reads folder + "buttons.png" (folder with a trailing backslash), which
// must be 32-bit and exactly 256 x 128; uploads it as one RGBA texture into
// *texture (a new name; the caller deletes it) and adds the ten buttons to
// `group`. False, with no texture and no button, for any other picture.
// Button places are relative to the photo strip's left edge (window width -
// 108) and the window's bottom. The context must be current.
bool CreateMapButtons(const WCHAR* folder, CGLGroup* group, GLuint* texture);
