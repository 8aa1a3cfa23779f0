// The city photo store shared by all users of the computer: a folder per
// country and per city under the store root, each with "index.tsv" and the
// photos "<number>.jpg". The main program fills it; the tray clock's tooltip
// and the map read it. Cities are looked up in the process's own city records.
#pragma once

#include <stdint.h>
#include <windows.h>

#include <string>

#include "graphics/photos/PhotoIndex.h"
#include "graphics/records/CityRecord.h"

class CBitmap;

// The store as one process sees it. The records and the root must outlive
// every call given this.
struct PhotoStore {
    const WCHAR* root;          // no trailing backslash; null when unknown
    const CityRecord* cities;   // the process's city records
    int cityCount;
    int (*random)();            // 0 to 32767; the runtime's rand in the programs
};

// The all-users application data folder followed by "\Tempolan\Placeviews",
// worked out on the first call and kept for the process (any thread); null
// when the system names no such folder. The folder itself need not exist.
const WCHAR* GetPhotoStoreRoot();

// The store under GetPhotoStoreRoot() over `cities`, choosing with rand.
PhotoStore ProcessPhotoStore(const CityRecord* cities, int count);

// A chosen photo's texts, each truncated to its buffer and terminated.
struct PhotoChoice {
    WCHAR title[kPhotoTitleChars];
    WCHAR linkPath[kPhotoLinkChars];
    WCHAR authorName[kPhotoAuthorChars];
    int32_t authorId;           // -1 when the index gives none
};

// root\country\city\ (or root\country\ for a null or empty city), each name
// sanitised with its blanks kept. False without a root or a country, and for
// a name that sanitises to nothing or to dots and blanks.
bool GetPhotoFolder(const PhotoStore& store, const WCHAR* country, const WCHAR* city, std::wstring* folder);

// The file of photo `number` in the folder of city record `cityIndex`; false
// for an index outside the records or a number below 1.
bool GetPhotoPath(const PhotoStore& store, int cityIndex, int32_t number, std::wstring* path);
// The same for a named city (null or empty: the country's folder).
bool GetPhotoPathFor(const PhotoStore& store, const WCHAR* country, const WCHAR* city, int32_t number,
                     std::wstring* path);

// Chooses one of the listed photos whose file is present and whose city is
// one of the records: the index of the city's folder, or with no city the
// country's index, whose lines name their city folders. Returns the photo
// number and fills `choice`; 0 when the folder has no "index.tsv"; -1 when
// the folder cannot be named, the index cannot be read or nothing qualifies.
int32_t ReadPhotoIndex(const PhotoStore& store, const WCHAR* country, const WCHAR* city, PhotoChoice* choice);

// Loads photo `number` of city record `cityIndex` into `bitmap` at the
// photo's size, 32-bit pixels 0xFFRRGGBB (grey photos as grey). `bitmap` is
// reset first and left empty on failure.
bool LoadPhotoBitmap(const PhotoStore& store, int cityIndex, int32_t number, CBitmap* bitmap);
