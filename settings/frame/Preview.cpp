#include "settings/frame/Preview.h"

#include "graphics/clock/ClockFactory.h"
#include "graphics/image/Bitmap.h"
#include "graphics/records/FixedText.h"
#include "graphics/records/SettingsBlock.h"
#include "graphics/skin/StyleNames.h"
#include "graphics/window/Theme.h"
#include "windows/SkinManager.h"

namespace {

// Theme parts of the "TASKBAR" class.
const int kTaskbarPartBottom = 1;
const int kTaskbarPartRight = 2;
// The line taken from the real taskbar lies this far inside its far edge,
// clear of the edge's own shading.
const int kSampleInset = 2;

bool IsHorizontal(const RECT& r)
{
    return r.bottom - r.top < r.right - r.left;
}

void FillPixels(HDC dc, int left, int top, int right, int bottom, int colorIndex)
{
    if (right <= left || bottom <= top)
        return;
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, GetSysColorBrush(colorIndex));
}

void PaintClassic(HDC dc, int width, int height, bool horizontal)
{
    FillPixels(dc, 0, 0, width, height, COLOR_BTNFACE);
    if (horizontal) {
        FillPixels(dc, 0, 0, width - 2, 1, COLOR_BTNHIGHLIGHT);
        FillPixels(dc, width - 1, 1, width, height, COLOR_BTNSHADOW);
        FillPixels(dc, 0, height - 1, width, height, COLOR_BTNSHADOW);
    } else {
        FillPixels(dc, 0, 0, 1, height - 2, COLOR_BTNHIGHLIGHT);
        FillPixels(dc, width - 1, 0, width, height, COLOR_BTNSHADOW);
        FillPixels(dc, 1, height - 1, width, height, COLOR_BTNSHADOW);
    }
}

}  // namespace

CPreviewClock::CPreviewClock(CSkinManager& skins, const SettingsBlock& settings)
    : m_skins(skins), m_settings(settings), m_record(), m_skinName(), m_skin(nullptr), m_clock(nullptr),
      m_wallpaperStale(true)
{
}

CPreviewClock::~CPreviewClock()
{
    DeletePreviewClock();
}

void CPreviewClock::SetSkinName(const WCHAR* name)
{
    lstrcpynW(m_skinName, name ? name : L"", FIELD_WIDTH(m_skinName));
}

bool CPreviewClock::CreatePreviewClock(const ClockContext& context)
{
    DeletePreviewClock();
    if (m_skinName[0])
        m_skin = m_skins.GetSkin(m_skinName, kTaskbarLargestFace);
    // a preview must show something, even for a skin the cache cannot take
    if (!m_skin)
        m_skin = m_skins.GetSkin(kStandardStyleName, kTaskbarLargestFace);
    if (!m_skin)
        return false;
    ClockOptions options = {};
    // a desktop clock keeps its caption apart from the face
    options.overlayCaptions =
        (m_settings.options & kOptOverlayPrefixes) != 0 && !(m_record.flags & kClockOnDesktop);
    m_clock = CreateClock(m_record, m_skin, context, options);
    return m_clock != nullptr;
}

void CPreviewClock::DeletePreviewClock()
{
    delete m_clock;
    m_clock = nullptr;
    if (m_skin)
        m_skins.ReleaseSkin(m_skin);
    m_skin = nullptr;
}

bool RebuildPreview(CPreviewClock& preview, const ClockContext& context)
{
    return preview.CreatePreviewClock(context);
}

void GetPreviewPanelSize(const RECT& taskbarClient, bool themed, int* width, int* height)
{
    int w = taskbarClient.right - taskbarClient.left;
    int h = taskbarClient.bottom - taskbarClient.top;
    if (IsHorizontal(taskbarClient)) {
        *width = w / 2;
        *height = themed ? h : h - 4;
    } else {
        *width = themed ? w - 8 : w - 10;
        *height = h / 2;
    }
    // a thin or collapsed taskbar must still give a bitmap that can be made
    if (*width < 1)
        *width = 1;
    if (*height < 1)
        *height = 1;
}

void PaintTaskbarBackground(CBitmap& preview, HWND taskbar, HTHEME theme, IThemeApi& api)
{
    HDC dc = preview.GetDC();
    int width = preview.GetWidth(), height = preview.GetHeight();
    if (!dc || width <= 0 || height <= 0)
        return;
    RECT bar = {};
    GetWindowRect(taskbar, &bar);
    bool horizontal = IsHorizontal(bar);
    if (!theme) {
        PaintClassic(dc, width, height, horizontal);
        return;
    }
    RECT desktop = {}, overlap;
    GetWindowRect(GetDesktopWindow(), &desktop);
    if (IntersectRect(&overlap, &bar, &desktop)) {
        RECT client = {};
        GetClientRect(taskbar, &client);
        HDC source = GetDC(taskbar);
        if (source) {
            if (horizontal)
                StretchBlt(dc, 0, 0, width, height, source, client.right - kSampleInset, 0, 1, client.bottom, SRCCOPY);
            else
                StretchBlt(dc, 0, 0, width, height, source, 0, client.bottom - kSampleInset, client.right, 1, SRCCOPY);
            ReleaseDC(taskbar, source);
        }
        return;
    }
    RECT all = {0, 0, width, height};
    api.DrawThemeBackground(theme, dc, horizontal ? kTaskbarPartBottom : kTaskbarPartRight, 0, &all, nullptr);
}
