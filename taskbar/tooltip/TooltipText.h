// The clock tooltip's texts, its table order and its placement: plain
// values in, plain values out, no Win32 calls.
#pragma once

#include <stdint.h>

#include "graphics/photos/PhotoIndex.h"
#include "graphics/records/ClockRecord.h"
#include "graphics/records/WinTypes.h"

// Sizes with the NUL.
const int kTooltipTextChars = 79;       // 78 characters shown
const int kPhotoCaptionChars = 2048;
// The caption and the date line together stay within this many characters.
const int kTooltipCaptionRoom = 75;

struct TooltipBox {
    int32_t left, top, right, bottom;
};

// The tooltip's top-left corner for a `width` x `height` window at a taskbar
// clock `anchor` on a desktop: below the anchor, above it when below would
// pass the desktop's bottom; its right edge at the anchor's centre unless
// that passes the desktop's left edge, then its left edge there.
void PlaceTooltip(const TooltipBox& anchor, int32_t width, int32_t height, const TooltipBox& desktop, int32_t* x,
                  int32_t* y);

// The one-clock text: the caption (at most `captionChars`, not terminated
// when it fills them) with every "&" doubled for drawing, then the date
// (empty: no line) and the label (empty: none) on lines of their own. The
// caption gets 75 characters less the date's length (never below 0), the
// label only a text shorter than 75. `out` holds kTooltipTextChars.
void BuildClockTooltipText(WCHAR* out, const WCHAR* caption, int captionChars, const WCHAR* date,
                           const WCHAR* label, int labelChars);

// A photo caption format from the language file is used only when it holds
// exactly four "%s" and no other conversion ("%%" allowed).
bool IsPhotoCaptionFormat(const WCHAR* format);

// The photo's caption as link text: `format` (when usable and there is an
// author name) with the link path, the title, the author's page with
// `authorId` and the author's name; else a link from the path to the title.
// `out` holds `capacity` characters with the NUL; longer text is cut.
void BuildPhotoCaption(WCHAR* out, int capacity, const WCHAR* format, const WCHAR* linkPath, const WCHAR* title,
                       int32_t authorId, const WCHAR* authorName);

// The indexes of the clocks the table lists, into `out` (room for `count`):
// the enabled ones that are not timers, in the order of `compare` (negative
// puts a first). Returns how many.
typedef int (*ClockCompare)(const ClockRecord& a, const ClockRecord& b);
int TableClockOrder(const ClockRecord* clocks, int count, ClockCompare compare, int* out);
