#include "settings/previews/WallpaperCapture.h"

bool SystemWallpaperPath(WCHAR* path, int chars)
{
    if (chars <= 0)
        return false;
    path[0] = 0;
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, (UINT)chars, path, 0))
        return false;
    path[chars - 1] = 0;
    return path[0] != 0;
}

bool CWallpaperCapture::Capture(int width, int height)
{
    m_picture.Destroy();
    WCHAR path[MAX_PATH] = {};
    if (width <= 0 || height <= 0 || !m_path(path, MAX_PATH) || !path[0])
        return false;
    CBitmap image;
    if (!image.LoadFromFile(path, LR_CREATEDIBSECTION))
        return false;
    int imageWidth = image.GetWidth(), imageHeight = image.GetHeight();
    if (imageWidth <= 0 || imageHeight <= 0 || !m_picture.Create(width, height))
        return false;
    // the corner beside the taskbar's clock is what the clock sits on
    int blockWidth = imageWidth < width ? imageWidth : width;
    int blockHeight = imageHeight < height ? imageHeight : height;
    HDC dc = m_picture.GetDC();
    BitBlt(dc, 0, 0, blockWidth, blockHeight, image.GetDC(), imageWidth - blockWidth, imageHeight - blockHeight,
           SRCCOPY);
    for (int y = 0; y < height; y += blockHeight) {
        for (int x = 0; x < width; x += blockWidth) {
            if (x || y)
                BitBlt(dc, x, y, blockWidth, blockHeight, dc, 0, 0, SRCCOPY);
        }
    }
    return true;
}
