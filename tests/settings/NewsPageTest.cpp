// The news page in the real settings dialog from res_en.dll: channels read
// from the settings file, edited through the page's controls as a user's
// clicks and keys reach them, applied and read back from the file.
#include <functional>
#include <string>

#include "app/settings/MainSettings.h"
#include "settings/newspage/AddChannelDialog.h"
#include "settings/newspage/NewsPage.h"
#include "tests/settings/DialogFixture.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenGrab.h"

namespace {

// Runs `action` on the modal box the page opens, from a timer of its loop.
std::function<void(HWND)> g_onBox;
void CALLBACK BoxTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM found) -> BOOL {
        if (IsWindowVisible(window) && GetDlgItem(window, kIdcChannelAddress) && GetWindow(window, GW_OWNER)) {
            *(HWND*)found = window;
            return FALSE;
        }
        return TRUE;
    }, (LPARAM)&box);
    if (!box)
        return;
    KillTimer(nullptr, id);
    auto action = std::move(g_onBox);
    g_onBox = nullptr;
    if (action)
        action(box);
}

// The add box answers with `address` (OK), or is cancelled when it is null.
void AnswerAddBox(const wchar_t* address, std::wstring* shown = nullptr)
{
    g_onBox = [=](HWND box) {
        if (shown) {
            WCHAR text[600];
            GetDlgItemTextW(box, kIdcChannelAddress, text, 600);
            *shown = text;
        }
        if (address)
            SetDlgItemTextW(box, kIdcChannelAddress, address);
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(address ? IDOK : IDCANCEL, BN_CLICKED), 0);
    };
    SetTimer(nullptr, 0, 20, BoxTimer);
}

class NewsPage : public DialogTest {
protected:
    // Channels as "url|ttl|enabled" in sections 1..n.
    void WriteChannels(const std::vector<std::wstring>& channels)
    {
        for (size_t i = 0; i < channels.size(); ++i) {
            const std::wstring& c = channels[i];
            size_t a = c.find(L'|'), b = c.find(L'|', a + 1);
            std::wstring section = L":rss" + std::to_wstring(i + 1);
            Set(section, L"url", c.substr(0, a).c_str());
            Set(section, L"ttl", c.substr(a + 1, b - a - 1).c_str());
            Set(section, L"enabled", c.substr(b + 1).c_str());
        }
        Set(L":main", L"rss_channels", std::to_wstring(channels.size()).c_str());
    }
    void OpenNews()
    {
        Open();
        CTreeNode* news = nullptr;
        for (int i = 0; i < tree.TopCount() && !news; ++i)
            news = NodeOfKind(tree.Top(i), kPageNews);
        ASSERT_NE(nullptr, news);
        Select(news);
        page = GetDlgItem(dialog, kPages[kPageNews].templateId);
        ASSERT_EQ(page, VisiblePage());
        list = GetDlgItem(page, kIdcChannelList);
    }
    void Type(int id, const wchar_t* text)
    {
        SetDlgItemTextW(page, id, text);  // the edit sends EN_CHANGE as typing does
        Pump();
    }
    void Check(int id, bool on)
    {
        if ((IsDlgButtonChecked(page, id) == BST_CHECKED) != on)
            SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
        Pump();
    }
    void Press(int id)
    {
        SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
        Pump();
    }
    void Choose(int item)
    {
        SendMessageW(list, LB_SETCURSEL, item, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcChannelList, LBN_SELCHANGE), (LPARAM)list);
        Pump();
    }
    int Count() const { return (int)SendMessageW(list, LB_GETCOUNT, 0, 0); }
    int Selection() const { return (int)SendMessageW(list, LB_GETCURSEL, 0, 0); }
    std::wstring Item(int i) const
    {
        WCHAR text[600] = L"";
        SendMessageW(list, LB_GETTEXT, i, (LPARAM)text);
        return text;
    }
    std::wstring Text(int id) const
    {
        WCHAR text[600] = L"";
        GetDlgItemTextW(page, id, text, 600);
        return text;
    }
    bool PageEnabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    // A click (press and release) on item `i` at `x` pixels from its left.
    void ClickItem(int i, int x)
    {
        RECT r;
        SendMessageW(list, LB_GETITEMRECT, i, (LPARAM)&r);
        LPARAM at = MAKELPARAM(r.left + x, (r.top + r.bottom) / 2);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
        Pump();
    }
    int ItemHeight() const { return (int)SendMessageW(list, LB_GETITEMHEIGHT, 0, 0); }
    // Apply; the file's channel `n` as "url|ttl|enabled".
    std::wstring Saved(int n) const
    {
        std::wstring section = L":rss" + std::to_wstring(n);
        return Get(section, L"url") + L"|" + Get(section, L"ttl") + L"|" + Get(section, L"enabled");
    }
    bool Refused(int id) const
    {
        return !beep.beeps.empty() && beep.beeps.back() == std::make_pair(kInvalidBeepHz, kInvalidBeepMs) &&
               GetFocus() == GetDlgItem(page, id);
    }

    HWND page = nullptr;
    HWND list = nullptr;
};

}  // namespace

TEST(NewsRules, AddressesAndIntervals)
{
    struct { const wchar_t* address; bool ok; } addresses[] = {
        {L"http://", false}, {L"http://a", true}, {L"HTTPS://x.example/feed", true}, {L"https://", false},
        {L"ftp://x.example/", false}, {L"x.example/rss", false}, {L"", false},
    };
    for (const auto& a : addresses)
        EXPECT_EQ(a.ok, IsChannelAddress(a.address)) << testing::PrintToString(std::wstring(a.address));
    EXPECT_FALSE(IsChannelAddress(nullptr));

    struct { const wchar_t* text; bool useDefault; bool ok; int ttl; } intervals[] = {
        {L"2", false, false, 0},       {L"2", true, true, -60},        {L"3", false, true, 3},
        {L"129601", false, false, 0},  {L"129600", false, true, 129600}, {L"129601", true, true, -60},
        {L"-15", false, true, 15},     {L"15", true, true, -15},       {L"", false, false, 0},
        {L"abc", true, true, -60},     {L"0", false, false, 0},
    };
    for (const auto& i : intervals) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(i.text)) + (i.useDefault ? " default" : ""));
        int ttl = 12345;
        EXPECT_EQ(i.ok, ReadChannelInterval(i.text, i.useDefault, &ttl));
        if (i.ok) {
            EXPECT_EQ(i.ttl, ttl);
        }
    }
}

// The details of the selected channel as typed, applied: what is stored and
// what is refused (beep, focus on the control).
TEST_F(NewsPage, DetailsAsTypedAreStoredOrRefused)
{
    struct Case {
        const wchar_t* address;
        const wchar_t* minutes;
        bool useDefault;
        int refused;             // the control named, 0 when taken
        const wchar_t* saved;    // rss1 after Apply
    } cases[] = {
        {L"http://feeds.example/a", L"2", false, kIdcChannelInterval, nullptr},
        {L"http://feeds.example/a", L"2", true, 0, L"http://feeds.example/a|-60|1"},
        {L"http://feeds.example/a", L"129601", false, kIdcChannelInterval, nullptr},
        {L"http://feeds.example/a", L"129600", false, 0, L"http://feeds.example/a|129600|1"},
        {L"http://", L"10", false, kIdcChannelUrl, nullptr},
        {L"feeds.example/a", L"10", false, kIdcChannelUrl, nullptr},
        {L"HTTPS://feeds.example/b", L"45", false, 0, L"HTTPS://feeds.example/b|45|1"},
    };
    WriteChannels({L"http://feeds.example/first|30|1"});
    OpenNews();
    std::wstring saved = L"http://feeds.example/first|30|1";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.address) + L" " + c.minutes));
        beep.beeps.clear();
        Check(kIdcDefaultInterval, c.useDefault);
        EXPECT_EQ(!c.useDefault, PageEnabled(kIdcChannelInterval));
        Type(kIdcChannelUrl, c.address);
        Type(kIdcChannelInterval, c.minutes);
        Click(kIdcApply);
        if (c.refused) {
            EXPECT_TRUE(Refused(c.refused));
        } else {
            EXPECT_TRUE(beep.beeps.empty());
            saved = c.saved;
            EXPECT_EQ(c.address, Item(0));
        }
        // the file holds the last details taken
        EXPECT_EQ(saved, Saved(1));
    }
}

// Adding, removing, moving and switching channels; the list's order and
// states reach the file, with the three options.
TEST_F(NewsPage, ListEditsReachTheFile)
{
    WriteChannels({L"http://one.example/|30|1", L"http://two.example/|-20|0", L"http://three.example/|60|1"});
    Set(L":main", L"ads", L"1");
    Set(L":main", L"notifications", L"0");
    Set(L":main", L"fade_news", L"0");
    OpenNews();
    ASSERT_EQ(3, Count());
    EXPECT_EQ(0, Selection());
    EXPECT_EQ(L"http://one.example/", Text(kIdcChannelUrl));
    EXPECT_EQ(L"30", Text(kIdcChannelInterval));
    EXPECT_FALSE(PageEnabled(kIdcChannelUp));
    EXPECT_TRUE(PageEnabled(kIdcChannelDown));
    EXPECT_TRUE(PageEnabled(kIdcAllChannelsOn));
    EXPECT_TRUE(PageEnabled(kIdcAllChannelsOff));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, kIdcNoAds));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kIdcNoNotifications));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, kIdcFadeNews));
    {
        SCOPED_TRACE("a channel with the default interval");
        Choose(1);
        EXPECT_EQ(L"20", Text(kIdcChannelInterval));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kIdcDefaultInterval));
        EXPECT_FALSE(PageEnabled(kIdcChannelInterval));
    }
    {
        SCOPED_TRACE("invalid details keep the selection");
        Check(kIdcDefaultInterval, false);
        Type(kIdcChannelInterval, L"1");
        beep.beeps.clear();
        Choose(2);
        EXPECT_EQ(1, Selection());
        ASSERT_EQ(1u, beep.beeps.size());
        EXPECT_EQ(list, GetFocus());
        Type(kIdcChannelInterval, L"25");
        Choose(2);
        EXPECT_EQ(2, Selection());
        EXPECT_EQ(L"http://three.example/", Text(kIdcChannelUrl));
    }
    {
        SCOPED_TRACE("up, then the check image");
        Press(kIdcChannelUp);
        EXPECT_EQ(L"http://three.example/", Item(1));
        EXPECT_EQ(1, Selection());
        ClickItem(2, ItemHeight() / 2);         // on two's image: on
        ClickItem(0, ItemHeight() + 20);        // on one's text: selected only
        EXPECT_EQ(0, Selection());
        Choose(1);
    }
    {
        SCOPED_TRACE("add at the selection, a duplicate, a cancel");
        std::wstring shown;
        AnswerAddBox(L"http://four.example/", &shown);
        Press(kIdcAddChannel);
        EXPECT_EQ(L"http://", shown);
        ASSERT_EQ(4, Count());
        EXPECT_EQ(L"http://four.example/", Item(1));
        EXPECT_EQ(1, Selection());
        EXPECT_EQ(L"60", Text(kIdcChannelInterval));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kIdcDefaultInterval));
        beep.beeps.clear();
        AnswerAddBox(L"HTTP://FOUR.example/");
        Press(kIdcAddChannel);
        EXPECT_EQ(4, Count());
        EXPECT_EQ(1u, beep.beeps.size());
        AnswerAddBox(nullptr);
        Press(kIdcAddChannel);
        EXPECT_EQ(4, Count());
    }
    {
        SCOPED_TRACE("removing the last selects the new last");
        Choose(3);
        question.answer = false;
        Press(kIdcRemoveChannel);
        EXPECT_EQ(4, Count());
        question.answer = true;
        Press(kIdcRemoveChannel);
        ASSERT_EQ(3, Count());
        EXPECT_EQ(2, Selection());
        ASSERT_FALSE(question.asked.empty());
        EXPECT_EQ(L"Remove Channel|Remove the selected news channel?", question.asked.back());
    }
    Check(kIdcNoAds, true);
    Check(kIdcFadeNews, true);
    beep.beeps.clear();
    Click(kIdcApply);
    EXPECT_TRUE(beep.beeps.empty());
    EXPECT_EQ(L"http://one.example/|30|1", Saved(1));
    EXPECT_EQ(L"http://four.example/|-60|1", Saved(2));
    EXPECT_EQ(L"http://three.example/|60|1", Saved(3));
    EXPECT_EQ(L"3", Get(L":main", L"rss_channels"));
    EXPECT_EQ(L"0", Get(L":main", L"ads"));
    EXPECT_EQ(L"0", Get(L":main", L"notifications"));
    EXPECT_EQ(L"1", Get(L":main", L"fade_news"));

    Press(kIdcAllChannelsOff);
    EXPECT_FALSE(PageEnabled(kIdcAllChannelsOff));
    EXPECT_TRUE(PageEnabled(kIdcAllChannelsOn));
    Click(kIdcApply);
    EXPECT_EQ(L"http://four.example/|-60|0", Saved(2));
}

// 128 channels are as many as the list takes: Add is off and opens
// nothing; the check images toggle their channels.
TEST_F(NewsPage, FullListAndTheCheckImage)
{
    std::vector<std::wstring> channels;
    for (int i = 1; i <= 128; ++i)
        channels.push_back(L"http://feed" + std::to_wstring(i) + L".example/|30|" + (i == 2 ? L"0" : L"1"));
    WriteChannels(channels);
    OpenNews();
    ASSERT_EQ(128, Count());
    EXPECT_FALSE(PageEnabled(kIdcAddChannel));
    bool boxShown = false;
    g_onBox = [&](HWND box) {
        boxShown = true;
        SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
    };
    SetTimer(nullptr, 0, 20, BoxTimer);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(kIdcAddChannel, BN_CLICKED), 0);
    Pump();
    EXPECT_FALSE(boxShown);
    g_onBox = nullptr;
    EXPECT_EQ(128, Count());

    ClickItem(1, ItemHeight() / 2);
    ClickItem(0, ItemHeight() / 2);
    Click(kIdcApply);
    EXPECT_EQ(L"http://feed1.example/|30|0", Saved(1));
    EXPECT_EQ(L"http://feed2.example/|30|1", Saved(2));
    EXPECT_EQ(L"128", Get(L":main", L"rss_channels"));
}

// The page and the add box as pictures; the check images of a channel on
// and one off differ where the check mark is drawn.
TEST_F(NewsPage, Pictures)
{
    WriteChannels({L"http://news.example/world.rss|30|1", L"http://news.example/sports.rss|-60|0"});
    OpenNews();
    ClientPicture picture = GrabClientPicture(page);
    ASSERT_GT(picture.width, 0);
    CreateDirectoryW((std::wstring(TL_SHOTS_FOLDER) + L"settings").c_str(), nullptr);
    EXPECT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"settings\\news-page.png", picture.width,
                               picture.height, 3, picture.rgb.data()));
    RECT first, second;
    SendMessageW(list, LB_GETITEMRECT, 0, (LPARAM)&first);
    SendMessageW(list, LB_GETITEMRECT, 1, (LPARAM)&second);
    POINT origin = {0, 0};
    MapWindowPoints(list, page, &origin, 1);
    int side = first.bottom - first.top, differing = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            differing += picture.At(origin.x + x, origin.y + first.top + y) !=
                         picture.At(origin.x + x, origin.y + second.top + y);
    EXPECT_GT(differing, 4) << "the two check images look the same";

    g_onBox = [](HWND box) {
        ClientPicture shot = GrabClientPicture(box);
        EXPECT_TRUE(WritePngPixels(std::wstring(TL_SHOTS_FOLDER) + L"settings\\add-channel.png", shot.width,
                                   shot.height, 3, shot.rgb.data()));
        SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
    };
    SetTimer(nullptr, 0, 20, BoxTimer);
    Press(kIdcAddChannel);
}
