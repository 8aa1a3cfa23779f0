#include "taskbar/panel/ClockPanel.h"

#include "graphics/clock/ClockFactory.h"
#include "graphics/records/FixedText.h"
#include "graphics/skin/Graphics.h"
#include "graphics/skin/Skin.h"
#include "graphics/window/Theme.h"

namespace {

// The skins root of the pushed settings: program folder + "skins\".
bool BuildSkinsRoot(const SettingsBlock& settings, WCHAR* root, int chars)
{
    int length = 0;
    while (length < (int)FIELD_WIDTH(settings.programFolder) && settings.programFolder[length])
        length++;
    if (length == 0 || length + 7 > chars)
        return false;
    CopyMemory(root, settings.programFolder, length * sizeof(WCHAR));
    lstrcpyW(root + length, L"skins\\");
    return true;
}

bool IsShownInPanel(const ClockRecord& clock, bool analogue)
{
    if (!clock.enabled || (clock.flags & kClockOnDesktop))
        return false;
    // an analogue skin has no way to draw a timer
    return !(analogue && (clock.kind & kClockTimer));
}

void DefaultNow(SYSTEMTIME* utc)
{
    GetSystemTime(utc);
}

}  // namespace

CGraphics* CreatePanelSkin(const SettingsBlock& settings, CVisualStyles* styles)
{
    WCHAR name[FIELD_WIDTH(settings.skin) + 1];
    CopyFieldText(name, FIELD_WIDTH(settings.skin) + 1, settings.skin, FIELD_WIDTH(settings.skin));
    WCHAR root[MAX_PATH];
    if (!BuildSkinsRoot(settings, root, MAX_PATH))
        root[0] = 0;
    return CreateClockSkin(root, name, kTaskbarLargestFace, kTaskbarFontSize, styles, &settings);
}

void ReleasePanelSkin(CGraphics* skin)
{
    ReleaseClockSkin(skin);
}

CClockPanel::CClockPanel()
    : m_dayKey(0), m_seconds(0), m_objects(), m_count(0), m_spacing(2), m_extent(), m_clocks(),
      m_copies(nullptr), m_environment(nullptr), m_createSkin(CreatePanelSkin), m_releaseSkin(ReleasePanelSkin),
      m_now(DefaultNow)
{
}

CClockPanel::~CClockPanel()
{
    Clear();
}

void CClockPanel::SetSkinFunctions(CreateSkinFn create, ReleaseSkinFn release)
{
    m_createSkin = create ? create : CreatePanelSkin;
    m_releaseSkin = release ? release : ReleasePanelSkin;
}

void CClockPanel::Clear()
{
    m_dayKey = 0;
    m_seconds = 0;
    for (uint32_t i = 0; i < m_count; i++) {
        delete m_objects[i];
        m_objects[i] = nullptr;
    }
    m_count = 0;
    m_copies = nullptr;
    SetRectEmpty(&m_extent);
    m_buffer.Destroy();
}

void CClockPanel::Rebuild(TrayCopies& copies)
{
    Clear();
    m_background.Destroy();
    WCHAR path[MAX_PATH];
    if (BuildSkinsRoot(copies.settings, path, MAX_PATH - 8)) {
        lstrcatW(path, L"bkg.bmp");
        m_background.LoadFromFile(path);
    }
    if (!m_environment)
        return;
    m_copies = &copies;

    const SettingsBlock& settings = copies.settings;
    CGraphics* skin = m_createSkin(settings, m_environment->styles);
    if (!skin)
        return;
    DWORD features = skin->GetFeatures();
    bool analogue = (features & kSkinClockFace) != 0;
    bool isSkin = dynamic_cast<CSkin*>(skin) != nullptr;
    if (!analogue && !(features & (kSkinDigits | kSkinBitmapFont)) && (settings.options & kOptClassic)) {
        bool themed = m_environment->styles && m_environment->styles->Active();
        skin->SetBorderStyle(themed ? kBorderRounded : kBorderRectangle);
    }
    m_spacing = (!isSkin || skin->GetBorderStyle() != kBorderNone) ? 2 : 0;

    int selected[kMaxClocks];
    int count = 0;
    int records = ClockCopyCount(copies);
    for (int i = 0; i < records; i++)
        if (IsShownInPanel(copies.clocks[i], analogue))
            selected[count++] = i;
    int shown = (int)settings.trayClocks;
    if (shown < 1 || shown > kMaxTrayClocks)
        shown = shown < 1 ? 1 : kMaxTrayClocks;
    bool transparent = (settings.options & kOptTransparentSkin) != 0;
    ClockOptions options = {(settings.options & kOptOverlayPrefixes) != 0};
    for (int i = count > shown ? count - shown : 0; i < count; i++) {
        ClockRecord& record = copies.clocks[selected[i]];
        if (transparent)
            record.flags |= kClockTransparent;
        else
            record.flags &= ~kClockTransparent;
        m_objects[m_count] = CreateClock(record, skin, m_environment->context, options);
        m_clocks[m_count].index = selected[i];
        SetRectEmpty(&m_clocks[m_count].rect);
        m_count++;
    }
    m_releaseSkin(skin);
}

void CClockPanel::Layout(HDC dc, HTHEME theme, int width, int height, bool horizontal, int edges)
{
    int roomWidth, roomHeight;
    GetPanelRoom(width, height, edges, m_spacing, &roomWidth, &roomHeight);
    int32_t widths[kMaxTrayClocks], heights[kMaxTrayClocks];
    for (uint32_t i = 0; i < m_count; i++) {
        m_objects[i]->Measure(dc, roomWidth, roomHeight, theme, nullptr);
        RECT r = m_objects[i]->GetRect();
        widths[i] = r.right - r.left;
        heights[i] = r.bottom - r.top;
    }
    PanelBox boxes[kMaxTrayClocks];
    LayoutPanel(widths, heights, (int)m_count, width, height, horizontal, edges, m_spacing, boxes);
    for (uint32_t i = 0; i < m_count; i++) {
        RECT r = {boxes[i].left, boxes[i].top, boxes[i].right, boxes[i].bottom};
        m_objects[i]->SetRect(r);
        m_clocks[i].rect = r;
        // the tooltip finds the clock's place in the record copy
        if (m_copies && m_clocks[i].index < ClockCopyCount(*m_copies))
            SetClockRect(m_copies->clocks[m_clocks[i].index], r);
    }
    Measure(dc, edges);
}

void CClockPanel::Measure(HDC, int edges)
{
    PanelBox boxes[kMaxTrayClocks];
    for (uint32_t i = 0; i < m_count; i++) {
        RECT r = m_objects[i]->GetRect();
        boxes[i] = {r.left, r.top, r.right, r.bottom};
    }
    int width, height;
    MeasurePanel(boxes, (int)m_count, (uint32_t)edges, m_spacing, &width, &height);
    SetRect(&m_extent, 0, 0, width, height);
}

int CClockPanel::Tick(bool force)
{
    SYSTEMTIME utc;
    m_now(&utc);
    int32_t dayKey = ((int32_t)utc.wYear * 16 + utc.wMonth) * 32 + utc.wDay - 33;
    int32_t seconds = utc.wHour * 3600 + utc.wMinute * 60 + utc.wSecond;
    bool minuteChanged = dayKey != m_dayKey || seconds / 60 != m_seconds / 60;
    bool secondChanged = minuteChanged || seconds != m_seconds;
    if (!secondChanged && !force)
        return 0;
    m_dayKey = dayKey;
    m_seconds = seconds;
    int result = force ? 1 : 0;
    for (uint32_t i = 0; i < m_count; i++) {
        if (!force && !minuteChanged && !m_objects[i]->ShowsSeconds())
            continue;
        int changed = m_objects[i]->Update(utc);
        if (changed > result)
            result = changed;
    }
    return result;
}

int CClockPanel::ObjectOfIndex(int index) const
{
    for (uint32_t i = 0; i < m_count; i++)
        if (m_clocks[i].index == index)
            return (int)i;
    return -1;
}

CClock* CClockPanel::ClockAtPoint(int x, int y) const
{
    for (uint32_t i = 0; i < m_count; i++) {
        RECT r = m_objects[i]->GetRect();
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom &&
            !(m_objects[i]->Record().flags & kClockOnDesktop))
            return m_objects[i];
    }
    return nullptr;
}

int CClockPanel::HitTest(int x, int y) const
{
    CClock* clock = ClockAtPoint(x, y);
    for (uint32_t i = 0; clock && i < m_count; i++)
        if (m_objects[i] == clock)
            return m_clocks[i].index;
    return -1;
}

bool CClockPanel::HitsButton(int index, int x, int y) const
{
    int i = ObjectOfIndex(index);
    POINT point = {x, y};
    return i >= 0 && m_objects[i]->HitButton(point);
}

const PanelClock* CClockPanel::ClockById(uint32_t id) const
{
    for (uint32_t i = 0; i < m_count; i++)
        if (m_objects[i]->Record().id == id)
            return &m_clocks[i];
    return nullptr;
}

void CClockPanel::PaintBackground(HWND window, HDC dc, HTHEME theme, bool themeActive, HDC memory, int width,
                                  int height)
{
    RECT all = {0, 0, width, height};
    bool bitmap = m_background.IsValid();
    // the buffer still holds the last paint: whatever the skin's bitmap leaves
    // uncovered is cleared too, or the digits of earlier seconds stay there
    if (!bitmap || m_background.GetWidth() < width || m_background.GetHeight() < height) {
        if (!window) {
            BitBlt(memory, 0, 0, width, height, dc, m_extent.left, m_extent.top, SRCCOPY);
        } else if (theme && themeActive && m_environment && m_environment->styles) {
            RECT client;
            GetClientRect(window, &client);
            m_environment->styles->Api().DrawThemeParentBackground(window, memory, &client);
        } else {
            FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    if (bitmap)
        m_background.Draw(memory, 0, 0, m_background.GetWidth(), m_background.GetHeight(), 0, 0);
}

void CClockPanel::Paint(HWND window, HDC dc, HTHEME theme, bool themeActive)
{
    int width = m_extent.right - m_extent.left, height = m_extent.bottom - m_extent.top;
    if (width <= 0 || height <= 0)
        return;
    // kept between paints: the taskbar repaints every second with seconds shown
    if (!m_buffer.IsValid() || m_buffer.GetWidth() != width || m_buffer.GetHeight() != height) {
        m_buffer.Destroy();
        if (!m_buffer.Create(width, height))
            return;
    }
    HDC memory = m_buffer.GetDC();
    PaintBackground(window, dc, theme, themeActive, memory, width, height);
    for (uint32_t i = 0; i < m_count; i++)
        m_objects[i]->Paint(memory, themeActive ? theme : nullptr);
    StretchBlt(dc, m_extent.left, m_extent.top, width, height, memory, 0, 0, width, height, SRCCOPY);
}
