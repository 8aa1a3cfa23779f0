#include "windows/desktop/DesktopClocks.h"

#include <algorithm>

#include "graphics/records/SettingsBlock.h"
#include "graphics/time/ZoneTime.h"
#include "windows/desktop/ClockWnd.h"

namespace {

// Seconds of the day in a packed date key.
const int64_t kDateKeyDay = 100000;

// Grouped windows first, then by z position.
bool StacksBefore(const CClockWnd* a, const CClockWnd* b)
{
    bool groupedA = a->Group() != 0, groupedB = b->Group() != 0;
    if (groupedA != groupedB)
        return groupedA;
    return a->ZPosition() < b->ZPosition();
}

// Raises the busy count for a scope: activation and creation inside it
// neither renumber nor show windows.
class CBusy {
public:
    explicit CBusy(int& count) : m_count(count) { ++m_count; }
    ~CBusy() { --m_count; }
    CBusy(const CBusy&) = delete;
    CBusy& operator=(const CBusy&) = delete;

private:
    int& m_count;
};

}  // namespace

CDesktopClocks::CDesktopClocks(const DesktopClockServices& services)
    : m_services(services), m_host(nullptr), m_hidden(0), m_busy(0), m_lastDateKey(-1), m_lastSecond(-1)
{
}

CDesktopClocks::~CDesktopClocks()
{
    Destroy();
}

ClockContext CDesktopClocks::Context() const
{
    ClockContext context = m_services.context;
    if (m_services.resources)
        context.resources = m_services.resources->Get();
    if (m_host) {
        const SettingsBlock& settings = m_host->ProgramSettings();
        context.weekRules.numbering = settings.weekNumbering;
        context.weekRules.firstDay = settings.weekStart % 7;
        context.localHighlight = &settings.localHighlight;
    }
    return context;
}

bool CDesktopClocks::Add(CClockWnd* window)
{
    if (Count() >= kMaxWindows)
        return false;
    m_windows.push_back(window);
    return true;
}

void CDesktopClocks::Remove(CClockWnd* window)
{
    for (int i = Count() - 1; i >= 0; --i) {
        if (m_windows[i] == window) {
            m_windows.erase(m_windows.begin() + i);
            return;
        }
    }
}

CClockWnd* CDesktopClocks::FindWindow(uint32_t clockId) const
{
    for (CClockWnd* window : m_windows) {
        if (window->ClockId() == clockId)
            return window;
    }
    return nullptr;
}

bool CDesktopClocks::CreateWindowFor(ClockRecord& clock, int index)
{
    // there are never more clocks than windows; a 31st is not made
    if (Count() >= kMaxWindows)
        return true;
    CClockWnd* window = new CClockWnd(*this);
    if (!window->LoadSettings(nullptr, clock, index)) {
        delete window;
        return false;
    }
    return true;
}

bool CDesktopClocks::Create(ClockRecord* clocks, int count)
{
    // the hide count is kept: a reload while a map is open makes the new
    // windows hidden, and the map's closing shows them
    m_lastDateKey = -1;
    m_lastSecond = -1;
    if (!m_dragCursor && m_services.program)
        m_dragCursor.Reset((HCURSOR)LoadImageW(m_services.program, MAKEINTRESOURCEW(kDragCursorResource),
                                               IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    {
        CBusy busy(m_busy);
        for (int i = 0; i < count; ++i) {
            if (clocks[i].enabled && (clocks[i].flags & kClockOnDesktop) && !CreateWindowFor(clocks[i], i))
                return false;
        }
    }
    std::stable_sort(m_windows.begin(), m_windows.end(),
                     [](const CClockWnd* a, const CClockWnd* b) { return a->ZPosition() < b->ZPosition(); });
    if (!IsHidden())
        ShowAll();
    return true;
}

bool CDesktopClocks::CreateOne(ClockRecord& clock, int index)
{
    bool made;
    {
        CBusy busy(m_busy);
        made = CreateWindowFor(clock, index);
    }
    CClockWnd* window = made ? FindWindow(clock.id) : nullptr;
    if (window && !IsHidden())
        ShowWindow(window->GetHandle(), SW_SHOWNOACTIVATE);
    return made;
}

void CDesktopClocks::DestroyOne(uint32_t clockId)
{
    delete FindWindow(clockId);
}

void CDesktopClocks::Destroy()
{
    while (!m_windows.empty())
        delete m_windows.back();  // its destructor takes it out
    m_busy = 0;
    m_dragCursor.Reset();
}

void CDesktopClocks::ShowAll()
{
    for (int i = Count() - 1; i >= 0; --i)
        ShowWindow(m_windows[i]->GetHandle(), SW_SHOWNOACTIVATE);
}

bool CDesktopClocks::GiveTime(bool force)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    int64_t key = PackedDateKey(now);
    int64_t day = key / kDateKeyDay;
    int second = (int)(key % kDateKeyDay);
    if (!force && day == m_lastDateKey && second == m_lastSecond)
        return false;
    m_lastDateKey = day;
    m_lastSecond = second;
    for (int i = Count() - 1; i >= 0; --i)
        m_windows[i]->Tick(day, second, now, force);
    return true;
}

bool CDesktopClocks::Hide()
{
    if (++m_hidden != 1)
        return false;
    CBusy busy(m_busy);
    SortForStacking();
    for (CClockWnd* window : m_windows)
        ShowWindow(window->GetHandle(), SW_HIDE);
    return true;
}

bool CDesktopClocks::Show()
{
    if (m_hidden > 0)
        --m_hidden;
    if (m_hidden > 0)
        return false;
    CBusy busy(m_busy);
    ShowAll();
    return true;
}

bool CDesktopClocks::BringForward(bool toDesktop)
{
    if (IsHidden())
        return false;
    CBusy busy(m_busy);
    SortForStacking();
    for (int i = Count() - 1; i >= 0; --i) {
        HWND window = m_windows[i]->GetHandle();
        if (IsIconic(window))
            ShowWindow(window, SW_RESTORE);
        if (!IsWindowVisible(window))
            ShowWindow(window, SW_SHOWNOACTIVATE);
        if (toDesktop)
            SendMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_HOTKEY, (LPARAM)window);
        else
            SetForegroundWindow(window);
    }
    return true;
}

int CDesktopClocks::CountOutsideWorkArea()
{
    int misplaced = 0;
    POINT place;
    for (CClockWnd* window : m_windows) {
        if (window->FindOnScreenPlace(&place))
            ++misplaced;
    }
    return misplaced;
}

void CDesktopClocks::KeepOnScreen()
{
    POINT place;
    for (CClockWnd* window : m_windows) {
        if (window->FindOnScreenPlace(&place))
            SetWindowPos(window->GetHandle(), nullptr, place.x, place.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

void CDesktopClocks::SavePositions()
{
    for (CClockWnd* window : m_windows)
        window->SaveSettings();
}

HWND CDesktopClocks::DispatchCommand(WPARAM wParam)
{
    for (CClockWnd* window : m_windows) {
        WindowMessage message = {WM_COMMAND, wParam, 0, 0};
        if (window->OnMessage(message))
            return window->GetHandle();
    }
    return nullptr;
}

HWND CDesktopClocks::Find(uint32_t clockId)
{
    CClockWnd* window = FindWindow(clockId);
    return window ? window->GetHandle() : nullptr;
}

void CDesktopClocks::RenumberZ()
{
    if (IsBusy())
        return;
    // top-level windows from the top down; bounded against a list that
    // changes while it is walked
    int next = 0, seen = 0;
    for (HWND w = GetTopWindow(nullptr); w && seen < 100000; w = GetWindow(w, GW_HWNDNEXT), ++seen) {
        for (CClockWnd* window : m_windows) {
            if (window->GetHandle() == w) {
                window->SetZPosition(next++);
                break;
            }
        }
    }
}

void CDesktopClocks::SortForStacking()
{
    std::stable_sort(m_windows.begin(), m_windows.end(), StacksBefore);
}

std::vector<CClockWnd*> CDesktopClocks::GroupWindows(int group) const
{
    std::vector<CClockWnd*> members;
    for (CClockWnd* window : m_windows) {
        if (group != 0 && window->Group() == group)
            members.push_back(window);
    }
    std::stable_sort(members.begin(), members.end(), StacksBefore);
    return members;
}

void CDesktopClocks::RaiseGroup(int group)
{
    CBusy busy(m_busy);
    std::vector<CClockWnd*> members = GroupWindows(group);
    for (auto it = members.rbegin(); it != members.rend(); ++it)
        SetWindowPos((*it)->GetHandle(), (*it)->IsOnTop() ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
