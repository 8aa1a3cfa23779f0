// The words of the tooltip's photo caption, without drawing: the HTML-like
// caption split into words and links, their placement from measured widths,
// and the check every link target passes before the tooltip opens it.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "graphics/records/WinTypes.h"

typedef std::basic_string<WCHAR> LinkString;

// A rectangle in layout coordinates; right and bottom are outside.
struct LinkBox {
    int32_t left, top, right, bottom;
};

struct LinkWord {
    LinkString text;
    int breaks;         // line breaks before the word
    int link;           // index into the links, -1 outside a link
    LinkBox box;
};

struct LinkTarget {
    LinkString target;  // the "href" value
    LinkString title;   // the "title" value
};

// Splits `text` into words and links: "<a href=... title=...>" opens a link
// until "</a>", "<br>" breaks the line, any other tag is dropped. Tags are
// matched ignoring case. Replaces what the vectors held; null is empty.
void ParseLinkWords(const WCHAR* text, std::vector<LinkWord>* words, std::vector<LinkTarget>* links);

// Places the words, whose boxes hold their measured width and height (left and
// top 0), in the area's width from (left, top) with one blank of `blankWidth`
// between words and lines `lineHeight` apart. A word that would pass `right`
// starts a new line unless it is the first on its line. Returns the extent
// reached: (left, top, largest right, largest bottom).
LinkBox PlaceLinkWords(std::vector<LinkWord>* words, int32_t left, int32_t top, int32_t right, int32_t blankWidth,
                       int32_t lineHeight);

// Where word `index`'s underline ends (the first pixel not drawn): its right
// edge, or the next word's left when that word belongs to the same link and
// lies on the same line, so a link of several words has one underline.
int32_t UnderlineEnd(const std::vector<LinkWord>& words, size_t index);

// True for a path on the photo service's site: "/" first but not "//", and
// no blank, control character or backslash anywhere. Only such paths are
// appended to the site's address and opened.
bool IsSafeSitePath(const WCHAR* path);
