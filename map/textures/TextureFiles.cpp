#include "map/textures/TextureFiles.h"

#include <string>

#include "graphics/image/JpegTexture.h"
#include "map/MapExports.h"

namespace {

const uint32_t kMinTextureSide = 16;

}  // namespace

DWORD CheckEarthTexture(const WCHAR* path, uint64_t physicalMemory)
{
    JpegHeader header;
    if (!ReadJpegHeader(path, &header))
        return MAPERR_TEXTURETOOBIG;
    if (header.width < kMinTextureSide || header.height < kMinTextureSide ||
        (header.components != 3 && header.components != 4))
        return MAPERR_BADTEXTURE;
    // 64 bits on both sides: machines have more than 4 GiB
    uint64_t bytes = (uint64_t)header.width * header.height * (uint64_t)header.components;
    return physicalMemory / 3 < bytes ? MAPERR_TEXTURETOOBIG : 0;
}

bool SaveTextureReplacing(CJpegTexture& picture, const WCHAR* path, int quality)
{
    if (!path)
        return false;
    std::wstring folder = path;
    size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash + 1);
    // in the same folder, so that the move is a rename on one volume
    WCHAR temporary[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), L"tex", 0, temporary))
        return false;
    if (picture.Save(temporary, quality) && MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileW(temporary);
    return false;
}
