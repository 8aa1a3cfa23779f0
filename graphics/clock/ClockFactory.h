// The skins and clock objects the hosts show: every host builds them here, so
// that a record looks the same in the taskbar, on the desktop and in the
// tools. GUI thread only.
#pragma once

#include <windows.h>

#include "graphics/clock/Clock.h"

class CGraphics;
class CVisualStyles;
struct SettingsBlock;

// How the taskbar loads its skins: faces at most this wide (pixels), fonts of
// this size (points).
const int kTaskbarLargestFace = 200;
const int kTaskbarFontSize = 8;

// A new style with one reference, loaded for `name`: the built-in looks as
// CGraphics, a skin folder under `skinsRoot` (trailing backslash) with a
// clock face as CMechSkin, any other name as CSkin. Without a root (null or
// empty) every name gets a CGraphics. `styles` and `settings` (both may be
// null) as for the CGraphics constructor; `styles` outlives the style. Drop
// the reference with ReleaseClockSkin.
CGraphics* CreateClockSkin(const WCHAR* skinsRoot, const WCHAR* name, int largestFace, int fontSize,
                           CVisualStyles* styles, const SettingsBlock* settings);
// Drops one reference, deleting the style when it was the last one.
void ReleaseClockSkin(CGraphics* skin);

// What a host adds to every clock beyond its record.
struct ClockOptions {
    bool overlayCaptions;   // analogue faces carry the prefix over the face, no date
};

// A new clock for `record` drawn with `skin` (a reference is taken; the
// caller deletes the clock): a CMechClock when the skin has a clock face and
// the record is no timer, else a CTimer for a timer, else a CClock, each with
// the padding the taskbar gives it. `context` as for the clock constructors.
CClock* CreateClock(const ClockRecord& record, CGraphics* skin, const ClockContext& context,
                    const ClockOptions& options);
