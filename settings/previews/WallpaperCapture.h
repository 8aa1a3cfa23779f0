// A picture of the desktop wallpaper for the previews: the lower-right
// corner of the wallpaper image repeated over a bitmap of the preview's
// size. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/image/Bitmap.h"

// Writes the wallpaper's path (at most `chars` characters); false or an
// empty path when there is none. Tests replace the system's answer.
using WallpaperPathFn = bool (*)(WCHAR* path, int chars);
bool SystemWallpaperPath(WCHAR* path, int chars);

class CWallpaperCapture {
public:
    explicit CWallpaperCapture(WallpaperPathFn path = SystemWallpaperPath) : m_path(path) {}
    CWallpaperCapture(const CWallpaperCapture&) = delete;
    CWallpaperCapture& operator=(const CWallpaperCapture&) = delete;

    void SetPathSource(WallpaperPathFn path) { m_path = path ? path : SystemWallpaperPath; }
    // Drops the old picture and makes one of width x height; false (and no
    // picture) without a wallpaper or when its image cannot be read.
    bool Capture(int width, int height);
    bool Valid() const { return m_picture.IsValid(); }
    const CBitmap& Picture() const { return m_picture; }

private:
    WallpaperPathFn m_path;
    CBitmap m_picture;
};
