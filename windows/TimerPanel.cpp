#include "windows/TimerPanel.h"

#include "graphics/image/PngImage.h"
#include "graphics/protocol/MainWindowProtocol.h"
#include "graphics/protocol/MenuCommands.h"
#include "graphics/protocol/TrayClockProtocol.h"
#include "graphics/records/ClockRecord.h"

namespace {

const WCHAR kImageFile[] = L"tbuttons.png";
const UINT kLabelStrings[3] = {255, 254, 253};
const WORD kCommands[3] = {kCmdResetTimer, kCmdStopTimer, kCmdStartTimer};
const int kMargin = 4;

// The owner may live in a hung process: no answer counts as a failure.
bool AskOwner(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer)
{
    *answer = 0;
    return owner && SendMessageTimeoutW(owner, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                        CTimerPanel::kOwnerTimeoutMs, answer) != 0;
}

}  // namespace

bool LoadTimerButtons(const WCHAR* path, CDibSection* image)
{
    image->Destroy();
    PngImage png;
    if (!DecodePngFile(path, &png))
        return false;
    int width = png.header.bV4Width, height = png.header.bV4Height;
    bool ok = png.header.bV4BitCount == 32 && width >= 3 && height >= 2 && image->Create(width, height);
    if (ok) {
        const uint32_t* from = (const uint32_t*)png.block;
        uint32_t* to = image->GetBits();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint32_t pixel = from[(size_t)y * png.stride + x];
                uint32_t alpha = (pixel >> 24) * 127 / 255 + 128;
                to[(size_t)y * width + x] = (pixel & 0xFFFFFF) | ((alpha > 255 ? 255 : alpha) << 24);
            }
    }
    GlobalFree(png.block);
    if (!ok)
        image->Destroy();
    return ok;
}

CTimerPanel::CTimerPanel(const ILanguageStrings& strings, const WCHAR* programFolder)
    : m_strings(strings), m_folder(programFolder), m_owner(nullptr), m_main(nullptr), m_clockId(0),
      m_clockIndex(-1), m_pressed(-1), m_hovering(false), m_buttonCount(0), m_images{kStart, kReset}, m_labels{}
{
}

bool CTimerPanel::Show(HWND owner, const ClockRecord& clock, int clockIndex, HWND mainWindow)
{
    if (m_hwnd) {
        if (clock.id == m_clockId && owner == m_owner) {
            SetTimer(m_hwnd, kTimerId, kLingerMs, nullptr);
            return true;
        }
        Destroy();
    }
    m_owner = owner;
    m_main = mainWindow;
    m_clockId = clock.id;
    m_clockIndex = clockIndex;
    m_pressed = -1;
    m_hovering = false;
    for (int i = 0; i < 3; ++i)
        m_strings.GetString(kLabelStrings[i], m_labels[i], 64);
    if (!m_image.IsValid()) {
        WCHAR path[MAX_PATH + 16];
        wsprintfW(path, L"%s%s", m_folder, kImageFile);
        LoadTimerButtons(path, &m_image);
    }
    if (!(clock.kind & kClockTimer) || !m_image.IsValid())
        return false;

    m_buttonCount = (clock.kind & kClockFixedMoment) ? 1 : 2;
    m_images[0] = clock.timerRunning > 0 ? kStop : kStart;
    m_images[1] = kReset;
    if (!m_font) {
        m_font.Reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    }
    int buttonWidth = m_image.GetWidth() / 3, buttonHeight = m_image.GetHeight() / 2;
    SIZE text = {0, 0};
    {
        CMemoryDC dc(CreateScreenCompatibleDC());
        HGDIOBJ old = SelectObject(dc.Get(), m_font.Get());
        GetTextExtentPoint32W(dc.Get(), L"1wql", 4, &text);
        SelectObject(dc.Get(), old);
    }
    int width = m_buttonCount * buttonWidth + m_buttonCount * kMargin + kMargin;
    int height = buttonHeight + text.cy + 8;

    DWORD_PTR answer;
    if (!AskOwner(owner, UM_TRAYCLOCKPOPUPPOS, clock.id, MAKELPARAM(width, height), &answer))
        return false;
    POINT at = {(short)LOWORD(answer), (short)HIWORD(answer)};
    ClientToScreen(owner, &at);
    SetBounds(at.x, at.y, width, height);
    if (!Create(nullptr, clock.caption, WS_POPUP,
                WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_LAYERED))
        return false;
    SetWindowPos(m_hwnd, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Redraw();
    return true;
}

void CTimerPanel::Update(const ClockRecord& clock)
{
    m_clockId = clock.id;
    m_images[0] = clock.timerRunning > 0 ? kStop : kStart;
    Redraw();
}

int CTimerPanel::HitTest(int x, int y) const
{
    int buttonWidth = m_image.GetWidth() / 3, buttonHeight = m_image.GetHeight() / 2;
    if (y < kMargin || y >= kMargin + buttonHeight || m_width < 5)
        return -1;
    for (int i = 0; i < m_buttonCount; ++i)
        if (x >= ButtonX(i) && x < ButtonX(i) + buttonWidth)
            return m_images[i];
    return -1;
}

bool CTimerPanel::UpdateLayered(HDC dc)
{
    Paint();
    return CAlphaWindow::UpdateLayered(dc);
}

void CTimerPanel::Paint()
{
    if (!m_buffer.IsValid() || !m_image.IsValid())
        return;
    int width = m_buffer.GetWidth(), height = m_buffer.GetHeight();
    int imageWidth = m_image.GetWidth(), imageHeight = m_image.GetHeight();
    int buttonWidth = imageWidth / 3, buttonHeight = imageHeight / 2;
    const uint32_t* image = m_image.GetBits();
    uint32_t* bits = m_buffer.GetBits();
    // the image's top-left pixel is its background
    uint32_t background = image[(size_t)(imageHeight - 1) * imageWidth];
    for (int i = 0; i < width * height; ++i)
        bits[i] = background;
    for (int i = 0; i < m_buttonCount; ++i) {
        int row = m_images[i] == m_pressed ? 1 : 0;
        int left = ButtonX(i);
        for (int y = 0; y < buttonHeight && kMargin + y < height; ++y) {
            const uint32_t* from = image + (size_t)(imageHeight - 1 - (row * buttonHeight + y)) * imageWidth +
                                   m_images[i] * buttonWidth;
            uint32_t* to = bits + (size_t)(height - 1 - (kMargin + y)) * width + left;
            for (int x = 0; x < buttonWidth && left + x < width; ++x)
                to[x] = from[x];
        }
    }
    HDC dc = m_buffer.GetDC();
    HGDIOBJ old = SelectObject(dc, m_font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    for (int i = 0; i < m_buttonCount; ++i)
        PaintLabel(dc, i, background);
    SelectObject(dc, old);
}

void CTimerPanel::PaintLabel(HDC dc, int button, uint32_t background)
{
    const WCHAR* label = m_labels[m_images[button]];
    SIZE text = {0, 0};
    GetTextExtentPoint32W(dc, label, lstrlenW(label), &text);
    int buttonWidth = m_image.GetWidth() / 3, height = m_buffer.GetHeight();
    RECT box = {ButtonX(button), height - 2 - text.cy, ButtonX(button) + buttonWidth, height - 2};
    DrawTextW(dc, label, -1, &box, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
    GdiFlush();
    // GDI leaves the alpha of what it drew at 0: the text must be opaque
    int width = m_buffer.GetWidth();
    uint32_t* bits = m_buffer.GetBits();
    for (int y = box.top < 0 ? 0 : box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right && x < width; ++x) {
            uint32_t& pixel = bits[(size_t)(height - 1 - y) * width + x];
            if ((pixel & 0xFFFFFF) != (background & 0xFFFFFF))
                pixel |= 0xFF000000;
        }
}

void CTimerPanel::OnTimer()
{
    if (m_pressed >= 0 || m_hovering) {
        SetTimer(m_hwnd, kTimerId, kLingerMs, nullptr);
        return;
    }
    DWORD_PTR answer;
    if (AskOwner(m_owner, UM_TRAYCLOCKCLICK, m_clockId, 0, &answer) && answer == 1) {
        SetTimer(m_hwnd, kTimerId, kLingerMs, nullptr);
        return;
    }
    Destroy();
}

void CTimerPanel::OnButtonUp(LPARAM position)
{
    int hit = HitTest((short)LOWORD(position), (short)HIWORD(position));
    int pressed = m_pressed;
    m_pressed = -1;
    HWND self = m_hwnd;
    if (hit >= 0 && hit == pressed && m_main && IsWindow(m_main)) {
        // the main window reads per-clock messages by the clock's place in its
        // array: that makes the panel's clock the current one for the command
        SendMessageW(m_main, UM_TRAYCLOCKMOUSE + m_clockIndex, WM_LBUTTONUP, position);
        SendMessageW(m_main, WM_COMMAND, kCommands[hit], 0);
    }
    // the command may have closed the panel
    if (m_hwnd == self && m_hwnd)
        Redraw();
}

bool CTimerPanel::OnMessage(WindowMessage& message)
{
    switch (message.message) {
    case WM_CREATE:
        CAlphaWindow::OnMessage(message);
        if (message.result == 0)
            SetTimer(m_hwnd, kTimerId, kLingerMs, nullptr);
        return true;
    case WM_DESTROY:
        m_pressed = -1;
        m_hovering = false;
        KillTimer(m_hwnd, kTimerId);
        return CAlphaWindow::OnMessage(message);
    case WM_TIMER:
        if (message.wParam != kTimerId)
            return false;
        OnTimer();
        message.result = 0;
        return true;
    case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, 0};
        TrackMouseEvent(&track);
        m_hovering = true;
        message.result = 0;
        return true;
    }
    case WM_LBUTTONDOWN:
        m_pressed = HitTest((short)LOWORD(message.lParam), (short)HIWORD(message.lParam));
        Redraw();
        message.result = 0;
        return true;
    case WM_LBUTTONUP:
        OnButtonUp(message.lParam);
        message.result = 0;
        return true;
    case WM_MOUSELEAVE:
        m_hovering = false;
        m_pressed = -1;
        Destroy();
        message.result = 0;
        return true;
    }
    return CAlphaWindow::OnMessage(message);
}
