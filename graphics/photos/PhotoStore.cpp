#include "graphics/photos/PhotoStore.h"

#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <vector>

#include "graphics/image/Bitmap.h"
#include "graphics/image/JpegTexture.h"
#include "graphics/records/CityLookup.h"
#include "graphics/records/FixedText.h"
#include "graphics/system/Paths.h"

namespace {

const WCHAR kStoreFolder[] = L"\\Tempolan\\Placeviews";
const WCHAR kIndexFile[] = L"index.tsv";

struct StoreRoot {
    WCHAR path[MAX_PATH + FIELD_WIDTH(kStoreFolder)];
    bool known;
};

StoreRoot FindStoreRoot()
{
    StoreRoot root = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, root.path))) {
        wcscat(root.path, kStoreFolder);
        root.known = true;
    }
    return root;
}

// Appends "\" and the sanitised name; false when nothing usable is left.
bool AppendFolder(std::wstring* path, const WCHAR* name)
{
    std::wstring clean(name);
    SanitizeFileName(&clean[0], false);
    clean.resize(wcslen(clean.c_str()));
    if (!IsPhotoFolderName(clean.c_str()))
        return false;
    *path += L'\\';
    *path += clean;
    return true;
}

bool IsGiven(const WCHAR* text)
{
    return text && *text;
}

// One line of bytes without its CR/LF, at most `limit` bytes kept; false at
// the end of the file.
bool ReadByteLine(FILE* file, size_t limit, std::string* line)
{
    line->clear();
    int c = fgetc(file);
    if (c == EOF)
        return false;
    for (; c != EOF && c != '\n'; c = fgetc(file))
        if (c != '\r' && line->size() < limit)
            line->push_back((char)c);
    return true;
}

// The photo service writes UTF-8 or the older single-byte text.
std::wstring DecodeLine(const std::string& bytes)
{
    std::wstring text;
    if (bytes.empty())
        return text;
    UINT codePage = CP_UTF8;
    DWORD flags = MB_ERR_INVALID_CHARS;
    int chars = MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), nullptr, 0);
    if (chars <= 0) {
        codePage = CP_ACP;
        flags = 0;
        chars = MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), nullptr, 0);
    }
    if (chars <= 0)
        return text;
    text.resize(chars);
    MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), &text[0], chars);
    if (text.size() > (size_t)kPhotoIndexLineChars)
        text.resize(kPhotoIndexLineChars);
    return text;
}

void CopyText(WCHAR* buffer, int chars, const WCHAR* text, int length)
{
    int n = length < chars - 1 ? length : chars - 1;
    if (n > 0)
        memcpy(buffer, text, n * sizeof(WCHAR));
    buffer[n > 0 ? n : 0] = 0;
}

struct Candidate {
    int32_t number;
    PhotoChoice texts;
};

uint32_t ToOpaqueRgb(uint32_t packed, int components, int)
{
    if (components == 1)
        return 0xFF000000u | (packed & 0xFF) * 0x010101u;
    // the decoder's bytes R, G, B as 0x00BBGGRR
    return 0xFF000000u | (packed & 0xFF) << 16 | (packed & 0xFF00) | (packed >> 16 & 0xFF);
}

}  // namespace

const WCHAR* GetPhotoStoreRoot()
{
    static const StoreRoot root = FindStoreRoot();
    return root.known ? root.path : nullptr;
}

PhotoStore ProcessPhotoStore(const CityRecord* cities, int count)
{
    return PhotoStore{GetPhotoStoreRoot(), cities, count, rand};
}

bool GetPhotoFolder(const PhotoStore& store, const WCHAR* country, const WCHAR* city, std::wstring* folder)
{
    folder->clear();
    if (!store.root || !IsGiven(country))
        return false;
    std::wstring path = store.root;
    if (!AppendFolder(&path, country) || (IsGiven(city) && !AppendFolder(&path, city)))
        return false;
    *folder = path + L'\\';
    return true;
}

bool GetPhotoPathFor(const PhotoStore& store, const WCHAR* country, const WCHAR* city, int32_t number,
                     std::wstring* path)
{
    if (number < 1 || !GetPhotoFolder(store, country, city, path))
        return false;
    *path += std::to_wstring(number) + L".jpg";
    return true;
}

bool GetPhotoPath(const PhotoStore& store, int cityIndex, int32_t number, std::wstring* path)
{
    path->clear();
    if (!store.cities || cityIndex < 0 || cityIndex >= store.cityCount)
        return false;
    const CityRecord& city = store.cities[cityIndex];
    return GetPhotoPathFor(store, FieldText(city.countryName, FIELD_WIDTH(city.countryName)).c_str(),
                           FieldText(city.cityName, FIELD_WIDTH(city.cityName)).c_str(), number, path);
}

int32_t ReadPhotoIndex(const PhotoStore& store, const WCHAR* country, const WCHAR* city, PhotoChoice* choice)
{
    *choice = PhotoChoice{};
    choice->authorId = 0;
    std::wstring folder;
    if (!GetPhotoFolder(store, country, city, &folder))
        return -1;
    bool countryIndex = !IsGiven(city);
    int cityIndex = countryIndex ? -1 : FindCity(store.cities, store.cityCount, country, city);
    std::wstring indexPath = folder + kIndexFile;
    if (GetFileAttributesW(indexPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return 0;
    FILE* file = _wfopen(indexPath.c_str(), L"rb");
    if (!file)
        return -1;

    std::vector<Candidate> candidates;
    std::string bytes;
    std::wstring photoPath;
    // a UTF-8 character takes up to 3 bytes for one UTF-16 unit
    while ((int)candidates.size() < kMaxPhotoChoices && ReadByteLine(file, 3 * kPhotoIndexLineChars, &bytes)) {
        std::wstring text = DecodeLine(bytes);
        PhotoIndexLine line;
        if (!ParsePhotoIndexLine(text.c_str(), countryIndex, &line))
            continue;
        if (countryIndex) {
            std::wstring lineCity(line.city, line.cityLength);
            if (FindCity(store.cities, store.cityCount, country, lineCity.c_str()) < 0 ||
                !GetPhotoPathFor(store, country, lineCity.c_str(), line.number, &photoPath))
                continue;
        } else if (cityIndex < 0) {
            continue;
        } else {
            photoPath = folder + std::to_wstring(line.number) + L".jpg";
        }
        // the downloads may still be fetching it
        if (!FileExists(photoPath.c_str()))
            continue;
        Candidate candidate = {};
        candidate.number = line.number;
        CopyText(candidate.texts.title, kPhotoTitleChars, line.title, line.titleLength);
        CopyText(candidate.texts.linkPath, kPhotoLinkChars, line.linkPath, line.linkPathLength);
        CopyText(candidate.texts.authorName, kPhotoAuthorChars, line.authorName, line.authorNameLength);
        candidate.texts.authorId = line.authorId;
        candidates.push_back(candidate);
    }
    fclose(file);
    if (candidates.empty())
        return -1;
    const Candidate& chosen = candidates[PickPhoto(store.random ? store.random() : 0, (int)candidates.size())];
    *choice = chosen.texts;
    return chosen.number;
}

bool LoadPhotoBitmap(const PhotoStore& store, int cityIndex, int32_t number, CBitmap* bitmap)
{
    bitmap->Destroy();
    std::wstring path;
    if (!GetPhotoPath(store, cityIndex, number, &path))
        return false;
    CJpegTexture photo;
    if (!photo.Load(path.c_str(), 0, 0) || !photo.ConvertPixels(ToOpaqueRgb))
        return false;
    int bytesPerPixel = photo.GetComponents();
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        return false;
    int width = (int)photo.GetWidth(), height = (int)photo.GetHeight();
    // the decoder pads rows to a multiple of 4 pixels; a DIB row is the image's width
    size_t dibStride = ((size_t)width * bytesPerPixel + 3) & ~(size_t)3;
    size_t photoStride = (size_t)photo.GetBufferWidth() * bytesPerPixel;
    std::vector<uint8_t> rows(dibStride * height);
    for (int y = 0; y < height; ++y)
        memcpy(&rows[dibStride * y], photo.GetPixels() + photoStride * y, (size_t)width * bytesPerPixel);

    if (!bitmap->Create(width, height))
        return false;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as decoded
    header.biPlanes = 1;
    header.biBitCount = (WORD)(bytesPerPixel * 8);
    header.biCompression = BI_RGB;
    bool set;
    {
        CUnselectedBitmap unselected(*bitmap);
        set = SetDIBits(bitmap->GetDC(), bitmap->GetHandle(), 0, (UINT)height, rows.data(),
                        (const BITMAPINFO*)&header, DIB_RGB_COLORS) == height;
    }
    if (!set)
        bitmap->Destroy();
    return set;
}
