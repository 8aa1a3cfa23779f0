#include "tests/support/SettingsDriver.h"

#include "graphics/protocol/WindowClasses.h"
#include "tests/support/RemoteListView.h"
#include "tests/support/TestMessages.h"

namespace {

const DWORD kAnswerMs = 5000;
const WCHAR kDialogClass[] = L"#32770";

struct FindDialog {
    HWND frame;
    HWND found;
};

// A shown dialog with the settings tree that the frame owns (not a message
// box or the clock kind chooser, which the dialog owns).
BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lParam)
{
    FindDialog* find = (FindDialog*)lParam;
    if (GetWindow(hwnd, GW_OWNER) != find->frame || !IsWindowVisible(hwnd) || !HasWindowClass(hwnd, kDialogClass) ||
        !GetDlgItem(hwnd, kIdcSettingsTree))
        return TRUE;
    find->found = hwnd;
    return FALSE;
}

struct FindPage {
    HWND dialog;
    HWND found;
};

BOOL CALLBACK FindPageProc(HWND hwnd, LPARAM lParam)
{
    FindPage* find = (FindPage*)lParam;
    if (GetParent(hwnd) == find->dialog && IsWindowVisible(hwnd) && HasWindowClass(hwnd, kDialogClass)) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool CSettingsDriver::Attach(DWORD ms)
{
    return PumpUntil([&] {
        m_frame = FindProcessWindow(m_pid, kSettingsWindowClass);
        if (!m_frame)
            return false;
        FindDialog find = {m_frame, nullptr};
        EnumWindows(FindDialogProc, (LPARAM)&find);
        m_dialog = find.found;
        return m_dialog != nullptr;
    }, ms);
}

LRESULT CSettingsDriver::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    DWORD_PTR reply = 0;
    if (!window || !SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kAnswerMs, &reply))
        return -1;
    return (LRESULT)reply;
}

HWND CSettingsDriver::VisiblePage() const
{
    FindPage find = {m_dialog, nullptr};
    if (m_dialog)
        EnumChildWindows(m_dialog, FindPageProc, (LPARAM)&find);
    return find.found;
}

int CSettingsDriver::VisiblePageTemplate() const
{
    HWND page = VisiblePage();
    return page ? (int)GetWindowLongPtrW(page, GWLP_ID) : 0;
}

HWND CSettingsDriver::PageControl(int id) const
{
    HWND page = VisiblePage();
    return page ? GetDlgItem(page, id) : nullptr;
}

bool CSettingsDriver::Click(HWND button) const
{
    return button && Send(button, BM_CLICK, 0, 0) != -1;
}

bool CSettingsDriver::PostClick(HWND button) const
{
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

std::wstring CSettingsDriver::Text(HWND window) const
{
    // WM_GETTEXT is copied back between processes by the system
    WCHAR text[1024] = {};
    if (Send(window, WM_GETTEXT, ARRAYSIZE(text), (LPARAM)text) == -1)
        return std::wstring();
    text[ARRAYSIZE(text) - 1] = 0;
    return text;
}

bool CSettingsDriver::SetText(HWND window, const std::wstring& text) const
{
    return Send(window, WM_SETTEXT, 0, (LPARAM)text.c_str()) == TRUE;
}

int CSettingsDriver::Checked(HWND button) const
{
    return (int)Send(button, BM_GETCHECK, 0, 0);
}

bool CSettingsDriver::ChooseComboItem(HWND combo, int index) const
{
    if (Send(combo, CB_SETCURSEL, index, 0) != index)
        return false;
    int id = (int)GetWindowLongPtrW(combo, GWLP_ID);
    return Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo) != -1;
}

HTREEITEM CSettingsDriver::Item(TreePosition at) const
{
    HWND tree = Tree();
    LRESULT item = Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    int steps[] = {at.root, at.child, at.entry};
    for (int level = 0; level < 3 && steps[level] >= 0; ++level) {
        if (level > 0 && item && item != -1)
            item = Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, item);
        for (int i = 0; i < steps[level] && item && item != -1; ++i)
            item = Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, item);
    }
    return item == -1 ? nullptr : (HTREEITEM)item;
}

int CSettingsDriver::RootCount() const
{
    int count = 0;
    while (Item({count}))
        ++count;
    return count;
}

int CSettingsDriver::ChildCount(int root) const
{
    int count = 0;
    while (Item({root, count}))
        ++count;
    return count;
}

TreePosition CSettingsDriver::Selected() const
{
    LRESULT selected = Send(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (!selected || selected == -1)
        return {-1};
    for (int root = 0; HTREEITEM rootItem = Item({root}); ++root) {
        if ((LRESULT)rootItem == selected)
            return {root};
        for (int child = 0; HTREEITEM childItem = Item({root, child}); ++child) {
            if ((LRESULT)childItem == selected)
                return {root, child};
            for (int entry = 0; HTREEITEM entryItem = Item({root, child, entry}); ++entry)
                if ((LRESULT)entryItem == selected)
                    return {root, child, entry};
        }
    }
    return {-1};
}

bool CSettingsDriver::Select(TreePosition at) const
{
    HTREEITEM item = Item(at);
    return item && Send(Tree(), TVM_SELECTITEM, TVGN_CARET, (LPARAM)item) == TRUE;
}

UINT CSettingsDriver::CheckImage(TreePosition at) const
{
    HTREEITEM item = Item(at);
    LRESULT state = item ? Send(Tree(), TVM_GETITEMSTATE, (WPARAM)item, TVIS_STATEIMAGEMASK) : -1;
    return state == -1 ? kCheckImageNone : (UINT)(state & TVIS_STATEIMAGEMASK) >> 12;
}

std::wstring CSettingsDriver::ItemText(TreePosition at) const
{
    const int kChars = 260;
    HTREEITEM item = Item(at);
    CRemoteBlock block(m_process, sizeof(TVITEMW) + kChars * sizeof(WCHAR));
    TVITEMW request = {};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = (WCHAR*)(block.Address() + sizeof(TVITEMW));
    request.cchTextMax = kChars;
    const WCHAR empty = 0;
    if (!item || !block.Write(0, &request, sizeof(request)) || !block.Write(sizeof(TVITEMW), &empty, sizeof(empty)) ||
        Send(Tree(), TVM_GETITEMW, 0, (LPARAM)block.Address()) != TRUE)
        return std::wstring();
    WCHAR text[kChars] = {};
    if (!block.Read(sizeof(TVITEMW), text, sizeof(text)))
        return std::wstring();
    text[kChars - 1] = 0;
    return text;
}

bool CSettingsDriver::ItemTextRect(TreePosition at, RECT* r) const
{
    // TVM_GETITEMRECT takes the item in the rectangle's place
    HTREEITEM item = Item(at);
    CRemoteBlock block(m_process, sizeof(RECT));
    if (!item || !block.Write(0, &item, sizeof(item)) ||
        Send(Tree(), TVM_GETITEMRECT, TRUE, (LPARAM)block.Address()) != TRUE || !block.Read(0, r, sizeof(*r)))
        return false;
    MapWindowPoints(Tree(), nullptr, (POINT*)r, 2);
    return true;
}

bool CSettingsDriver::WaitForSelection(TreePosition at, int templateId, DWORD ms) const
{
    return PumpUntil([&] { return Selected() == at && VisiblePageTemplate() == templateId; }, ms);
}
