#include "graphics/clock/ClockFactory.h"

#include "graphics/skin/Graphics.h"
#include "graphics/skin/MechSkin.h"
#include "graphics/skin/Skin.h"
#include "graphics/system/Paths.h"

namespace {

// A face fills the taskbar's height and keeps a pixel from its neighbours.
const int kFaceVerticalMargin = 0;
const int kFaceHorizontalMargin = 1;
// Bitmap skins keep their text off the frame drawn around it.
const int kSkinVerticalMargin = 3;

}  // namespace

CGraphics* CreateClockSkin(const WCHAR* skinsRoot, const WCHAR* name, int largestFace, int fontSize,
                           CVisualStyles* styles, const SettingsBlock* settings)
{
    if (!name)
        name = L"";
    CGraphics* skin;
    if (IsBuiltInStyleName(name) || !skinsRoot || !skinsRoot[0])
        skin = new CGraphics(styles, settings);
    else if (SkinHasClockFace(skinsRoot, name))
        skin = new CMechSkin(skinsRoot, largestFace, styles, settings);
    else
        skin = new CSkin(skinsRoot, styles, settings);
    skin->AddRef();
    skin->Load(name, 0, fontSize, FW_NORMAL, 0);
    return skin;
}

void ReleaseClockSkin(CGraphics* skin)
{
    if (skin && skin->Release())
        delete skin;
}

CClock* CreateClock(const ClockRecord& record, CGraphics* skin, const ClockContext& context,
                    const ClockOptions& options)
{
    bool timer = (record.kind & kClockTimer) != 0;
    CMechSkin* mech = dynamic_cast<CMechSkin*>(skin);
    if (mech && (mech->GetFeatures() & kSkinClockFace) && !timer) {
        CMechClock* clock = new CMechClock(record, mech, context);
        clock->SetOverlay(options.overlayCaptions);
        clock->SetMargins(kFaceVerticalMargin, kFaceHorizontalMargin);
        return clock;
    }
    CClock* clock = timer ? new CTimer(record, skin, context) : new CClock(record, skin, context);
    // a skin that found no folder draws with a font, but keeps the skins' padding
    if (dynamic_cast<CSkin*>(skin))
        clock->SetMargins(kSkinVerticalMargin, CClock::kHorizontalMargin);
    return clock;
}
