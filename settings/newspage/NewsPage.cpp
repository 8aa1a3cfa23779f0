// the system's check box picture
#define OEMRESOURCE

#include "settings/newspage/NewsPage.h"

#include <wchar.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "app/settings/MainSettings.h"
#include "app/ui/LocalText.h"
#include "graphics/language/Language.h"
#include "graphics/protocol/LanguageProtocol.h"
#include "graphics/system/Handles.h"
#include "settings/dialog/PageProtocol.h"
#include "settings/dialog/SettingsDialog.h"
#include "settings/newspage/AddChannelDialog.h"

namespace {

const WCHAR kSection[] = L"DLG_PageNews";
const WCHAR kStateProp[] = L"TempolanNewsPage";
const int kIntervalChars = 6;     // 129600
const uint32_t kNewsAds = 1u;
const uint32_t kNewsNotifications = 2u;
const uint32_t kNewsFade = 4u;
// The check box picture: 4 columns (off, on, ...) by 3 rows.
const int kCheckColumns = 4;
const int kCheckRows = 3;

struct Channel {
    std::wstring url;
    int ttl;          // minutes; negative: the default interval, its absolute value shown
    bool expanded;
    bool enabled;
};

struct NewsPageState {
    std::vector<std::unique_ptr<Channel>> channels;  // the list's item data points here
    int cellWidth = 0;
    int cellHeight = 0;
    WNDPROC listProc = nullptr;
    POINT pressed = {-1, -1};
    int shown = -1;     // the channel whose details the edits hold
    int loading = 0;
};

NewsPageState* StateOf(HWND page)
{
    return (NewsPageState*)GetPropW(page, kStateProp);
}

SettingsDialogServices* ServicesOf(HWND page)
{
    return GetSettingsDialogServices(GetParent(page));
}

void ReportChange(HWND page)
{
    NewsPageState* state = StateOf(page);
    if (state && state->loading == 0)
        SendMessageW(GetParent(page), UM_PAGECHANGED, 0, 0);
}

void Beep(HWND page)
{
    if (SettingsDialogServices* services = ServicesOf(page))
        services->beep->Beep(kInvalidBeepHz, kInvalidBeepMs);
}

HWND List(HWND page)
{
    return GetDlgItem(page, kIdcChannelList);
}

int Count(HWND page)
{
    return (int)SendMessageW(List(page), LB_GETCOUNT, 0, 0);
}

int Selection(HWND page)
{
    return (int)SendMessageW(List(page), LB_GETCURSEL, 0, 0);
}

Channel* ChannelAt(HWND page, int item)
{
    LRESULT data = SendMessageW(List(page), LB_GETITEMDATA, item, 0);
    return data == LB_ERR ? nullptr : (Channel*)data;
}

bool IsChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void InsertItem(HWND page, int at, Channel* channel)
{
    HWND list = List(page);
    int item = (int)SendMessageW(list, LB_INSERTSTRING, at, (LPARAM)channel->url.c_str());
    SendMessageW(list, LB_SETITEMDATA, item, (LPARAM)channel);
}

void UpdateButtons(HWND page)
{
    int count = Count(page), selected = Selection(page);
    bool anyOn = false, anyOff = false;
    for (int i = 0; i < count; ++i) {
        Channel* channel = ChannelAt(page, i);
        (channel && channel->enabled ? anyOn : anyOff) = true;
    }
    EnableWindow(GetDlgItem(page, kIdcAddChannel), count < kMaxNewsChannels);
    EnableWindow(GetDlgItem(page, kIdcRemoveChannel), count > 0);
    EnableWindow(GetDlgItem(page, kIdcChannelUp), selected > 0);
    EnableWindow(GetDlgItem(page, kIdcChannelDown), selected >= 0 && selected < count - 1);
    EnableWindow(GetDlgItem(page, kIdcAllChannelsOn), anyOff);
    EnableWindow(GetDlgItem(page, kIdcAllChannelsOff), anyOn);
}

// The details of channel `item` into the edits; none empties and disables them.
void ShowDetails(HWND page, int item)
{
    NewsPageState* state = StateOf(page);
    Channel* channel = item >= 0 ? ChannelAt(page, item) : nullptr;
    ++state->loading;
    state->shown = channel ? item : -1;
    SetDlgItemTextW(page, kIdcChannelUrl, channel ? channel->url.c_str() : L"");
    WCHAR minutes[16] = L"";
    if (channel)
        _snwprintf(minutes, 16, L"%d", abs(channel->ttl));
    SetDlgItemTextW(page, kIdcChannelInterval, minutes);
    CheckDlgButton(page, kIdcDefaultInterval, channel && channel->ttl <= 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, kIdcChannelUrl), channel != nullptr);
    EnableWindow(GetDlgItem(page, kIdcDefaultInterval), channel != nullptr);
    EnableWindow(GetDlgItem(page, kIdcChannelInterval), channel && channel->ttl > 0);
    --state->loading;
    UpdateButtons(page);
}

// The edits into the channel whose details they hold; the invalid control,
// or null when they were taken.
HWND ReadDetails(HWND page)
{
    NewsPageState* state = StateOf(page);
    Channel* channel = state->shown >= 0 ? ChannelAt(page, state->shown) : nullptr;
    if (!channel)
        return nullptr;
    WCHAR url[kChannelAddressChars + 1] = L"";
    GetDlgItemTextW(page, kIdcChannelUrl, url, ARRAYSIZE(url));
    if (!IsChannelAddress(url))
        return GetDlgItem(page, kIdcChannelUrl);
    WCHAR minutes[32] = L"";
    GetDlgItemTextW(page, kIdcChannelInterval, minutes, ARRAYSIZE(minutes));
    int ttl = 0;
    if (!ReadChannelInterval(minutes, IsChecked(page, kIdcDefaultInterval), &ttl))
        return GetDlgItem(page, kIdcChannelInterval);
    channel->ttl = ttl;
    if (channel->url != url) {
        channel->url = url;
        // the item's text follows; the list keeps its place and selection
        int item = state->shown;
        HWND list = List(page);
        int top = (int)SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        SendMessageW(list, LB_DELETESTRING, item, 0);
        InsertItem(page, item, channel);
        SendMessageW(list, LB_SETCURSEL, item, 0);
        SendMessageW(list, LB_SETTOPINDEX, top, 0);
        PostMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcChannelList, LBN_SELCHANGE), (LPARAM)list);
    }
    return nullptr;
}

// The details of the shown channel taken before the list changes; false,
// with a beep and the focus on the refused control, when they are invalid.
bool TakeDetails(HWND page)
{
    HWND invalid = ReadDetails(page);
    if (!invalid)
        return true;
    Beep(page);
    SetFocus(invalid);
    return false;
}

void OnSelectionChange(HWND page)
{
    NewsPageState* state = StateOf(page);
    int selected = Selection(page);
    if (selected == state->shown) {
        UpdateButtons(page);
        return;
    }
    if (state->loading == 0 && state->shown >= 0 && ReadDetails(page)) {
        // the previous channel's details must be mended first
        Beep(page);
        SendMessageW(List(page), LB_SETCURSEL, state->shown, 0);
        SetFocus(List(page));
        return;
    }
    ShowDetails(page, selected);
}

void Select(HWND page, int item)
{
    SendMessageW(List(page), LB_SETCURSEL, item, 0);
    ShowDetails(page, Selection(page));
}

void OnAdd(HWND page)
{
    NewsPageState* state = StateOf(page);
    SettingsDialogServices* services = ServicesOf(page);
    if (!services || Count(page) >= kMaxNewsChannels || !TakeDetails(page))
        return;
    WCHAR url[kChannelAddressChars] = L"http://";
    if (AddChannelDialog(page, *services->language, url, kChannelAddressChars, nullptr, nullptr) != IDOK)
        return;
    if (!IsChannelAddress(url)) {
        Beep(page);
        return;
    }
    for (int i = 0; i < Count(page); ++i) {
        Channel* channel = ChannelAt(page, i);
        if (channel && !_wcsicmp(channel->url.c_str(), url)) {
            Beep(page);
            return;
        }
    }
    int at = Selection(page);
    if (at < 0)
        at = Count(page);
    state->channels.emplace_back(new Channel{url, -kDefaultChannelMinutes, true, true});
    InsertItem(page, at, state->channels.back().get());
    Select(page, at);
    ReportChange(page);
}

void OnRemove(HWND page)
{
    NewsPageState* state = StateOf(page);
    SettingsDialogServices* services = ServicesOf(page);
    int selected = Selection(page);
    if (!services || selected < 0)
        return;
    WCHAR text[256] = L"", title[64] = L"";
    LoadLocalString(*services->language, services->language->GetResources(), kStrRemoveChannel, text,
                    ARRAYSIZE(text), nullptr);
    LoadLocalString(*services->language, services->language->GetResources(), kStrRemoveChannelTitle, title,
                    ARRAYSIZE(title), nullptr);
    HWND owner = GetParent(page);
    bool yes = services->question ? services->question->AskYesNo(owner, text, title)
                                  : CMessageBoxQuestion().AskYesNo(owner, text, title);
    if (!yes)
        return;
    Channel* channel = ChannelAt(page, selected);
    SendMessageW(List(page), LB_DELETESTRING, selected, 0);
    for (auto it = state->channels.begin(); it != state->channels.end(); ++it)
        if (it->get() == channel) {
            state->channels.erase(it);
            break;
        }
    state->shown = -1;
    int count = Count(page);
    Select(page, selected < count ? selected : count - 1);
    ReportChange(page);
}

void OnMove(HWND page, int step)
{
    int selected = Selection(page), other = selected + step;
    if (selected < 0 || other < 0 || other >= Count(page) || !TakeDetails(page))
        return;
    Channel* channel = ChannelAt(page, selected);
    SendMessageW(List(page), LB_DELETESTRING, selected, 0);
    InsertItem(page, other, channel);
    Select(page, other);
    ReportChange(page);
}

void SwitchAll(HWND page, bool on)
{
    for (int i = 0; i < Count(page); ++i)
        if (Channel* channel = ChannelAt(page, i))
            channel->enabled = on;
    InvalidateRect(List(page), nullptr, TRUE);
    UpdateButtons(page);
    ReportChange(page);
}

void Load(HWND page, const CMainSettings& settings)
{
    NewsPageState* state = StateOf(page);
    ++state->loading;
    SendMessageW(List(page), LB_RESETCONTENT, 0, 0);
    state->channels.clear();
    state->shown = -1;
    for (const NewsFeedSettings& feed : settings.Edited().feeds) {
        if (feed.url.empty())
            continue;
        if ((int)state->channels.size() >= kMaxNewsChannels)
            break;
        state->channels.emplace_back(new Channel{feed.url, feed.ttlMinutes, feed.expanded, feed.enabled});
        InsertItem(page, -1, state->channels.back().get());
    }
    Select(page, Count(page) > 0 ? 0 : -1);
    uint32_t flags = settings.Block().newsFlags;
    CheckDlgButton(page, kIdcNoAds, flags & kNewsAds ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(page, kIdcNoNotifications, flags & kNewsNotifications ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(page, kIdcFadeNews, flags & kNewsFade ? BST_CHECKED : BST_UNCHECKED);
    --state->loading;
}

HWND Store(HWND page, CMainSettings& settings)
{
    if (HWND invalid = ReadDetails(page))
        return invalid;
    std::vector<NewsFeedSettings> feeds;
    for (int i = 0; i < Count(page); ++i)
        if (Channel* channel = ChannelAt(page, i))
            feeds.push_back({channel->url, channel->ttl, channel->expanded, channel->enabled});
    settings.Edited().feeds = std::move(feeds);
    uint32_t& flags = settings.Block().newsFlags;
    flags &= ~(kNewsAds | kNewsNotifications | kNewsFade);
    if (!IsChecked(page, kIdcNoAds))
        flags |= kNewsAds;
    if (!IsChecked(page, kIdcNoNotifications))
        flags |= kNewsNotifications;
    if (IsChecked(page, kIdcFadeNews))
        flags |= kNewsFade;
    return nullptr;
}

// A cell of the system's check box picture; zero when it cannot be read.
SIZE CheckCell()
{
    SIZE cell = {0, 0};
    CGdiObject<HBITMAP> checks(LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_CHECKBOXES)));
    BITMAP bitmap = {};
    if (checks && GetObjectW(checks.Get(), sizeof(bitmap), &bitmap))
        cell = {bitmap.bmWidth / kCheckColumns, bitmap.bmHeight / kCheckRows};
    return cell;
}

int ItemHeight(HWND page)
{
    int cell = CheckCell().cy + 2;
    CWindowDC dc(page);
    HGDIOBJ old = SelectObject(dc.Get(), (HFONT)SendMessageW(page, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc.Get(), &metrics);
    SelectObject(dc.Get(), old);
    return metrics.tmHeight > cell ? metrics.tmHeight : cell;
}

void DrawItem(HWND page, const DRAWITEMSTRUCT& item)
{
    NewsPageState* state = StateOf(page);
    if ((int)item.itemID < 0 || !state)
        return;
    auto* channel = (Channel*)item.itemData;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    int x = r.left + 2;
    if (state->cellWidth > 0) {
        // the system's own check box, the size of its picture's cells
        RECT box = {x, r.top + (r.bottom - r.top - state->cellHeight) / 2, 0, 0};
        box.right = box.left + state->cellWidth;
        box.bottom = box.top + state->cellHeight;
        DrawFrameControl(dc, &box, DFC_BUTTON,
                         DFCS_BUTTONCHECK | DFCS_FLAT | (channel && channel->enabled ? DFCS_CHECKED : 0));
    }
    RECT text = r;
    text.left = x + state->cellWidth + 6;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    if (channel)
        DrawTextW(dc, channel->url.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &r);
}

// A press and release at one point on a channel's check image toggles it.
LRESULT CALLBACK ChannelListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND page = GetParent(list);
    NewsPageState* state = StateOf(page);
    if (!state)
        return DefWindowProcW(list, message, wParam, lParam);
    if (message == WM_LBUTTONDOWN) {
        state->pressed = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    } else if (message == WM_LBUTTONUP) {
        POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        bool same = at.x == state->pressed.x && at.y == state->pressed.y;
        state->pressed = {-1, -1};
        LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, lParam);
        RECT r;
        if (same && HIWORD(hit) == 0 && SendMessageW(list, LB_GETITEMRECT, LOWORD(hit), (LPARAM)&r) != LB_ERR &&
            at.x >= r.left && at.x < r.left + (r.bottom - r.top)) {
            ChannelClick click = {{list, (UINT_PTR)kIdcChannelList, kChannelCheckClicked}, (int)LOWORD(hit)};
            SendMessageW(page, WM_NOTIFY, kIdcChannelList, (LPARAM)&click);
            InvalidateRect(list, &r, TRUE);
        }
    }
    return CallWindowProcW(state->listProc, list, message, wParam, lParam);
}

void OnInitDialog(HWND page)
{
    auto* state = new NewsPageState;
    SetPropW(page, kStateProp, state);
    SIZE cell = CheckCell();
    state->cellWidth = cell.cx;
    state->cellHeight = cell.cy;
    state->listProc = (WNDPROC)SetWindowLongPtrW(List(page), GWLP_WNDPROC, (LONG_PTR)ChannelListProc);
    SendDlgItemMessageW(page, kIdcChannelUrl, EM_LIMITTEXT, kChannelAddressChars, 0);
    SendDlgItemMessageW(page, kIdcChannelInterval, EM_LIMITTEXT, kIntervalChars, 0);
    if (SettingsDialogServices* services = ServicesOf(page)) {
        LocalizeDialog(page, kSection, *services->language);
        HMODULE resources = services->language->GetResources();
        const struct { int button; UINT icon; } arrows[] = {{kIdcChannelUp, kIconChannelUp},
                                                            {kIdcChannelDown, kIconChannelDown}};
        for (const auto& arrow : arrows) {
            // shared icons of the library: freed with it
            HANDLE icon = LoadImageW(resources, MAKEINTRESOURCEW(arrow.icon), IMAGE_ICON, 16, 16, LR_SHARED);
            SendDlgItemMessageW(page, arrow.button, BM_SETIMAGE, IMAGE_ICON, (LPARAM)icon);
        }
    }
    ShowDetails(page, -1);
}

void OnDestroy(HWND page)
{
    NewsPageState* state = StateOf(page);
    if (!state)
        return;
    if (state->listProc)
        SetWindowLongPtrW(List(page), GWLP_WNDPROC, (LONG_PTR)state->listProc);
    RemovePropW(page, kStateProp);
    delete state;
}

void OnCommand(HWND page, int id, int code)
{
    NewsPageState* state = StateOf(page);
    switch (id) {
    case kIdcChannelList:
        if (code == LBN_SELCHANGE)
            OnSelectionChange(page);
        return;
    case kIdcAddChannel:
        OnAdd(page);
        return;
    case kIdcRemoveChannel:
        OnRemove(page);
        return;
    case kIdcChannelUp:
        OnMove(page, -1);
        return;
    case kIdcChannelDown:
        OnMove(page, 1);
        return;
    case kIdcAllChannelsOn:
    case kIdcAllChannelsOff:
        SwitchAll(page, id == kIdcAllChannelsOn);
        return;
    case kIdcDefaultInterval:
        EnableWindow(GetDlgItem(page, kIdcChannelInterval), !IsChecked(page, kIdcDefaultInterval));
        ReportChange(page);
        return;
    case kIdcNoAds:
    case kIdcNoNotifications:
    case kIdcFadeNews:
        ReportChange(page);
        return;
    case kIdcChannelUrl:
    case kIdcChannelInterval:
        if (code == EN_CHANGE && state->loading == 0)
            ReportChange(page);
        return;
    default:
        return;
    }
}

}  // namespace

bool IsChannelAddress(const WCHAR* address)
{
    if (!address)
        return false;
    for (const WCHAR* scheme : {L"http://", L"https://"}) {
        size_t length = wcslen(scheme);
        if (!_wcsnicmp(address, scheme, length) && wcslen(address) > length)
            return true;
    }
    return false;
}

bool ReadChannelInterval(const WCHAR* text, bool useDefault, int* ttl)
{
    long long value = text ? wcstoll(text, nullptr, 10) : 0;
    long long minutes = value < 0 ? -value : value;
    if (minutes < kMinChannelMinutes || minutes > kMaxChannelMinutes) {
        if (!useDefault)
            return false;
        minutes = kDefaultChannelMinutes;
    }
    *ttl = useDefault ? -(int)minutes : (int)minutes;
    return true;
}

INT_PTR CALLBACK NewsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(page, DWLP_USER, lParam);
        OnInitDialog(page);
        return FALSE;
    case WM_DESTROY:
        OnDestroy(page);
        return FALSE;
    case UM_RELOCALIZE:
        if (SettingsDialogServices* services = ServicesOf(page))
            LocalizeDialog(page, kSection, *services->language);
        return TRUE;
    case UM_LOADPAGE: {
        SettingsDialogServices* services = ServicesOf(page);
        if (!IsPointerMessage() || !lParam || !services || !services->settings || !StateOf(page))
            return TRUE;
        auto* exchange = (PageExchange*)lParam;
        exchange->invalid = nullptr;
        if (wParam == kPageStore)
            exchange->invalid = Store(page, *services->settings);
        else
            Load(page, *services->settings);
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto* measure = (MEASUREITEMSTRUCT*)lParam;
        if (measure->CtlID != (UINT)kIdcChannelList)
            return FALSE;
        measure->itemHeight = ItemHeight(page);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* draw = (DRAWITEMSTRUCT*)lParam;
        if (draw->CtlID != (UINT)kIdcChannelList)
            return FALSE;
        DrawItem(page, *draw);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_NOTIFY: {
        auto* click = (ChannelClick*)lParam;
        NewsPageState* state = StateOf(page);
        if (!state || click->header.idFrom != (UINT_PTR)kIdcChannelList || click->header.code != kChannelCheckClicked)
            return FALSE;
        Channel* channel = ChannelAt(page, click->item);
        if (channel && state->loading == 0) {
            channel->enabled = !channel->enabled;
            UpdateButtons(page);
            ReportChange(page);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (StateOf(page))
            OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}
