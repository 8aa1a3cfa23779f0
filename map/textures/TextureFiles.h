// The earth texture's files: the installation check and a safe rewrite.
#pragma once

#include <windows.h>

#include <stdint.h>

class CJpegTexture;

// The check of the earth texture before it is used, from the JPEG header
// only: 0, MAPERR_TEXTURETOOBIG (unreadable, or the decoded picture would
// need more than a third of `physicalMemory` bytes) or MAPERR_BADTEXTURE
// (a side below 16, or neither 3 nor 4 components).
DWORD CheckEarthTexture(const WCHAR* path, uint64_t physicalMemory);

// Saves the picture (3 components) at `quality` into a new file of the same
// folder and only then puts it in place of `path`: a failed save leaves the
// old file as it was, and no new file behind.
bool SaveTextureReplacing(CJpegTexture& picture, const WCHAR* path, int quality);
