// The city photo store's names and its "index.tsv" lines, without the file
// system: the store (PhotoStore.h), the photo downloads and the map's photo
// strip read the same files by the same rules.
#pragma once

#include <stdint.h>

#include "graphics/records/WinTypes.h"

// Characters of an index line that are read; the rest of a longer line is dropped.
const int kPhotoIndexLineChars = 4094;
// Photos of one index that take part in a choice.
const int kMaxPhotoChoices = 1024;
// Text buffers of a chosen photo, with their terminators.
const int kPhotoTitleChars = 100;
const int kPhotoLinkChars = 512;
const int kPhotoAuthorChars = 100;

// Drops "*", "/", ":", ";", "?", "\", DEL and every character below 32, in
// place; blanks stay, or become "_" with `blanksToUnderscore` (the names in
// the photo service's addresses). Nothing happens for null.
void SanitizeFileName(WCHAR* text, bool blanksToUnderscore);

// False for a sanitised name that is empty or only dots and blanks: as a
// folder of the store it would name the store itself or its parent.
bool IsPhotoFolderName(const WCHAR* name);

// A photo number: the first 10 characters of `field` (`length` characters,
// not terminated) read as decimal digits up to the first other character.
// 0 when there is no digit or the value is not 1 to 2^31 - 1.
int32_t ReadPhotoNumber(const WCHAR* field, int length);

// One line of an index as it names a photo. The texts point into the line
// and are not terminated; a missing optional field has length 0.
struct PhotoIndexLine {
    int32_t number;             // 1 to 2^31 - 1
    const WCHAR* city;          // a country index's city folder; null in a city index
    int cityLength;
    const WCHAR* title;
    int titleLength;
    const WCHAR* linkPath;      // the photo's page on the photo service
    int linkPathLength;
    int32_t authorId;           // -1 when the line has none
    const WCHAR* authorName;    // never given by a country index
    int authorNameLength;
};

// True for an empty line and a comment ("#" or ";" first).
bool IsSkippedIndexLine(const WCHAR* line);

// Reads a terminated line (no CR or LF) of a city index, or of a country
// index with its city field after the number. False for a skipped line, too
// few fields (6, 7 in a country index) or no valid photo number.
bool ParsePhotoIndexLine(const WCHAR* line, bool countryIndex, PhotoIndexLine* out);

// The photo to show among `count` (at least 1) for a random value `r` of 0
// to 32767: floor(r / 32767 * count), the last one for r at its maximum.
int PickPhoto(int r, int count);
