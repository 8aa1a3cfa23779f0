#include <gtest/gtest.h>

#include "tests/support/HandlerWindow.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestServers.h"
#include "windows/news/FeedParser.h"
#include "windows/news/HtmlEntities.h"

#include <ole2.h>

#include <string>
#include <vector>

namespace {

// A news window as the parser sees it: notes each notice with the item's
// title as it reads at that moment.
class CSubscriber {
public:
    struct Notice {
        WPARAM code;
        RSS::Element* object;
        std::wstring title;
    };

    CSubscriber()
        : m_window([this](UINT message, WPARAM wParam, LPARAM lParam) {
              if (message != UM_RSSCHANGED)
                  return false;
              auto* object = (RSS::Element*)lParam;
              notices.push_back({wParam, object, object->title});
              return true;
          })
    {
    }

    HWND Window() const { return m_window.Window(); }
    // Listens to `channel` through a list of its own.
    void Watch(RSS::Channel& channel)
    {
        m_list.Add(Window());
        channel.subscribers = &m_list;
    }
    // "1:title 3:title 4:channel title"
    std::wstring Codes() const
    {
        std::wstring text;
        for (const Notice& n : notices)
            text += (text.empty() ? L"" : L" ") + std::to_wstring(n.code) + L":" + n.title;
        return text;
    }

    std::vector<Notice> notices;

private:
    CHandlerWindow m_window;
    FeedSubscriberList m_list;
};

class RssParser : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }

    std::wstring Write(const std::wstring& name, const std::string& bytes)
    {
        EXPECT_TRUE(m_folder.WriteBytes(name, bytes));
        return m_folder.File(name.c_str());
    }
    static std::wstring Fixture(const wchar_t* name) { return TestDataPath((std::wstring(L"feeds/") + name).c_str()); }
    static std::string Feed(const std::string& items, const std::string& channelExtra = "")
    {
        return "<rss version=\"2.0\"><channel><title>T</title><link>L</link><description>D</description>" +
               channelExtra + items + "</channel></rss>";
    }
    static std::wstring Titles(const RSS::Channel& channel)
    {
        std::wstring text;
        for (const RSS::Item* item : channel.itemsInOrder)
            text += (text.empty() ? L"" : L"|") + item->title;
        return text;
    }
    // The requests the HTTP test server saw since the last clear.
    static std::string ServerLog() { return TestServerGet(L"/log"); }

    CTempFolder m_folder;
};

TEST_F(RssParser, ANewChannelHasTheInitialValues)
{
    RSS::Channel channel(L"http://example.com/feed");
    EXPECT_EQ(L"http://example.com/feed", channel.url);
    EXPECT_EQ(1, channel.seen);
    EXPECT_EQ(0, channel.isNew);
    EXPECT_EQ(60, channel.feedTtl);
    EXPECT_EQ(-60, channel.refreshInterval);
    EXPECT_EQ(1, channel.enabled);
    EXPECT_EQ(0, channel.parsed);
    EXPECT_EQ(1, channel.expanded);
    RSS::Item item;
    EXPECT_EQ(1, item.seen);
    EXPECT_EQ(1, item.isNew);
}

TEST_F(RssParser, ItemKeysAndSameness)
{
    struct Case {
        const wchar_t *guid, *link, *title, *description, *key;
    };
    const Case cases[] = {
        {L"g", L"l", L"t", L"d", L"g"},
        {L"", L"l", L"t", L"d", L"l"},
        {L"", L"", L"t", L"d", L"t"},
        {L"", L"", L"", L"d", L"d"},
        {L"", L"", L"", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        RSS::Item item;
        item.guid = c.guid;
        item.link = c.link;
        item.title = c.title;
        item.description = c.description;
        EXPECT_EQ(c.key, item.GetKey());
    }
    RSS::Item a, b;
    a.guid = L"ID";
    a.title = L"Title";
    b.guid = L"id";
    b.title = L"TITLE";
    b.link = L"other link";
    EXPECT_TRUE(a.IsSame(b));
    b.title = L"Title 2";
    EXPECT_FALSE(a.IsSame(b));
}

// Each fixture's channel and items; positions count only the accepted items.
TEST_F(RssParser, TheThreeFormatsAreRead)
{
    std::wstring dtd = TestServerUrl(L"/ok?feed-dtd");
    std::string old = ReadFileBytes(Fixture(L"rss091.xml"));
    old.replace(old.find("{DTD}"), 5, std::string(dtd.begin(), dtd.end()));
    TestServerGet(L"/log/clear");

    struct Case {
        std::wstring path;
        const wchar_t *title, *link, *description, *version;
        int ttl;
        const wchar_t* titles;
    };
    const Case cases[] = {
        {Write(L"rss091.xml", old), L"Old style", L"http://example.com/", L"A 0.91 feed", L"0.91", 60, L"Only item"},
        // the image's title and an item placed first are no channel title; the
        // repeated guid and the item with neither title nor description are left out
        {Fixture(L"rss20.xml"), L"Channel \u00e9", L"http://example.com/", L"Channel description", L"2.0", 15,
         L"First & one|Second|Third||Last"},
        {Fixture(L"rdf10.xml"), L"RDF channel", L"http://example.com/rdf", L"Items beside the channel", L"", 60, L"A|B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RSS::Channel channel(L"u");
        channel.version = L"stale";
        ASSERT_TRUE(ParseFeedFile(&channel, c.path.c_str(), false));
        EXPECT_EQ(1, channel.parsed);
        EXPECT_EQ(c.title, channel.title);
        EXPECT_EQ(c.link, channel.link);
        EXPECT_EQ(c.description, channel.description);
        EXPECT_EQ(c.version, channel.version);
        EXPECT_EQ(c.ttl, channel.feedTtl);
        EXPECT_EQ(c.titles, Titles(channel));
        for (size_t i = 0; i < channel.itemsInOrder.size(); ++i) {
            EXPECT_EQ((int)i, channel.itemsInOrder[i]->position);
            EXPECT_EQ(&channel, channel.itemsInOrder[i]->channel);
        }
        EXPECT_EQ(channel.itemsInOrder.size(), channel.itemsByKey.size());
    }
    // the 0.91 DOCTYPE names a DTD on the test server: it is never fetched
    EXPECT_EQ(std::string::npos, ServerLog().find("feed-dtd"));
}

TEST_F(RssParser, ItemsAreKeyedByGuidThenLinkTitleDescription)
{
    RSS::Channel channel(L"u");
    ASSERT_TRUE(ParseFeedFile(&channel, Fixture(L"rss20.xml").c_str(), false));
    std::wstring keys;
    for (const RSS::Item* item : channel.itemsInOrder)
        keys += item->GetKey() + L"|";
    EXPECT_EQ(L"g1|http://example.com/2|Third|Only description|Last|", keys);
    // the first item of a repeated key stands, its description untouched
    EXPECT_EQ(L"<b>bold</b>", channel.itemsByKey.at(L"g1")->description);
}

TEST_F(RssParser, TtlIsReadWithoutOverflowAndAtLeastThree)
{
    struct Case {
        const char* extra;
        int ttl;
    };
    const Case cases[] = {
        {"", 60},
        {"<ttl>1</ttl>", 3},
        {"<ttl>45</ttl>", 45},
        {"<ttl>abc</ttl>", 3},
        {"<ttl>99999999999999999999</ttl>", 0x7FFFFFFF},
        {"<ttl>4294967301</ttl>", 0x7FFFFFFF},  // 2^32 + 5 must not wrap to 5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra);
        RSS::Channel channel(L"u");
        ASSERT_TRUE(ParseFeedFile(&channel, Write(L"ttl.xml", Feed("<item><title>x</title></item>", c.extra)).c_str(),
                                  false));
        EXPECT_EQ(c.ttl, channel.feedTtl);
    }
}

TEST_F(RssParser, WhatIsNoFeedIsRefused)
{
    const std::string item = "<item><title>x</title></item>";
    struct Case {
        const char* what;
        std::string content;
    };
    const Case cases[] = {
        {"no channel", "<rss><foo><title>T</title><link>L</link><description>D</description>" + item + "</foo></rss>"},
        {"channel second", "<rss><foo/>" + Feed(item).substr(5)},
        {"empty channel", "<rss version=\"2.0\"><channel/></rss>"},
        {"no title", "<rss><channel><link>L</link><description>D</description>" + item + "</channel></rss>"},
        {"no description", "<rss><channel><title>T</title><link>L</link>" + item + "</channel></rss>"},
        {"no link", "<rss><channel><title>T</title><description>D</description>" + item + "</channel></rss>"},
        {"title only in an item", "<rss><channel><link>L</link><description>D</description>" + item + "</channel></rss>"},
        {"no item", Feed("")},
        {"not XML", "this is no feed"},
        {"empty file", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RSS::Channel channel(L"u");
        EXPECT_FALSE(ParseFeedFile(&channel, Write(L"bad.xml", c.content).c_str(), false));
        EXPECT_EQ(0, channel.parsed);
        EXPECT_TRUE(channel.itemsByKey.empty());
    }
    RSS::Channel channel(L"u");
    EXPECT_FALSE(ParseFeedFile(&channel, m_folder.File(L"missing.xml").c_str(), false));
    EXPECT_FALSE(ParseFeedFile(&channel, nullptr, false));
    EXPECT_FALSE(ParseFeedFile(nullptr, Fixture(L"rss20.xml").c_str(), false));
}

// Wine's msxml3 decodes the declared Latin-1 into UTF-16 like Windows does.
TEST_F(RssParser, ALatin1FeedIsDecodedByItsDeclaration)
{
    RSS::Channel channel(L"u");
    ASSERT_TRUE(ParseFeedFile(&channel, Fixture(L"iso-8859-1.xml").c_str(), false));
    EXPECT_EQ(L"Caf\u00e9", channel.title);
    EXPECT_EQ(L"\u00c0 la carte", channel.description);
    EXPECT_EQ(L"Cr\u00e8me br\u00fbl\u00e9e", Titles(channel));
}

TEST_F(RssParser, SubscribersSeeEachChangeInItsFinalState)
{
    const std::string one = "<item><title>One</title><guid>g1</guid></item>";
    const std::string two = "<item><title>Two</title><guid>g2</guid></item>";
    std::wstring first = Write(L"first.xml", Feed(one + two));
    CSubscriber subscriber;
    RSS::Channel channel(L"u");
    subscriber.Watch(channel);

    ASSERT_TRUE(ParseFeedFile(&channel, first.c_str(), false));
    EXPECT_EQ(L"1:One 1:Two 4:T", subscriber.Codes());
    EXPECT_EQ(&channel, subscriber.notices.back().object);
    EXPECT_EQ(2, channel.CountNew());
    EXPECT_EQ(1, channel.isNew);

    // the same file again: nothing added or changed, every new flag cleared
    subscriber.notices.clear();
    ASSERT_TRUE(ParseFeedFile(&channel, first.c_str(), false));
    EXPECT_EQ(L"4:T", subscriber.Codes());
    EXPECT_EQ(0, channel.CountNew());
    EXPECT_EQ(0, channel.isNew);
    for (auto& entry : channel.itemsByKey)
        EXPECT_EQ(0, entry.second->isNew);

    // g1 renamed, g2 gone, g3 new; g2 is still readable while its notice is handled
    subscriber.notices.clear();
    RSS::Item* g1 = channel.itemsByKey.at(L"g1");
    std::wstring second =
        Write(L"second.xml", Feed("<item><title>Three</title><guid>g3</guid></item>"
                                  "<item><title>One again</title><guid>g1</guid></item>"));
    ASSERT_TRUE(ParseFeedFile(&channel, second.c_str(), false));
    EXPECT_EQ(L"1:Three 3:One again 2:Two 4:T", subscriber.Codes());
    EXPECT_EQ(g1, channel.itemsByKey.at(L"g1"));
    EXPECT_EQ(1, g1->isNew);
    EXPECT_EQ(1, g1->position);
    EXPECT_EQ(2u, channel.itemsByKey.size());
    EXPECT_EQ(0u, channel.itemsByKey.count(L"g2"));
    EXPECT_EQ(L"Three|One again", Titles(channel));

    // a failed parse sends nothing and keeps the items
    subscriber.notices.clear();
    EXPECT_FALSE(ParseFeedFile(&channel, Write(L"broken.xml", "<rss><chan").c_str(), false));
    EXPECT_EQ(L"", subscriber.Codes());
    EXPECT_EQ(0, channel.parsed);
    EXPECT_EQ(2u, channel.itemsByKey.size());
    EXPECT_EQ(L"One again", channel.itemsByKey.at(L"g1")->title);

    // a repeated key is one item and one notice
    RSS::Channel repeated(L"u");
    subscriber.Watch(repeated);
    subscriber.notices.clear();
    ASSERT_TRUE(ParseFeedFile(&repeated, Write(L"repeat.xml", Feed(one + one + two)).c_str(), false));
    EXPECT_EQ(L"1:One 1:Two 4:T", subscriber.Codes());
    EXPECT_EQ(L"One|Two", Titles(repeated));
}

TEST_F(RssParser, AQuietLoadMarksNothingNewAndWindowsGoneAreSkipped)
{
    CSubscriber subscriber;
    FeedSubscriberList list;
    HWND gone = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    list.Add(gone);
    list.Add(subscriber.Window());
    RSS::Channel channel(L"u");
    channel.subscribers = &list;
    ASSERT_TRUE(ParseFeedFile(&channel, Fixture(L"rdf10.xml").c_str(), true));
    EXPECT_EQ(L"1:A 1:B 4:RDF channel", subscriber.Codes());
    EXPECT_EQ(0, channel.CountNew());
    EXPECT_EQ(0, channel.isNew);
}

// The main program's start-up initialises OLE on its GUI thread; a thread
// without it gets no parser and no parse.
TEST_F(RssParser, AThreadWithoutOleParsesNothing)
{
    struct Job {
        std::wstring path;
        bool parsed;
        static DWORD WINAPI Run(void* p)
        {
            auto* job = (Job*)p;
            RSS::Channel channel(L"u");
            job->parsed = ParseFeedFile(&channel, job->path.c_str(), false);
            return 0;
        }
    } job{Fixture(L"rdf10.xml"), true};
    HANDLE thread = CreateThread(nullptr, 0, Job::Run, &job, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
    EXPECT_FALSE(job.parsed);
}

TEST_F(RssParser, TheFileTimeIsTakenEvenWhenTheParseFails)
{
    std::wstring path = Write(L"time.xml", "not a feed");
    SYSTEMTIME written = {2021, 3, 0, 4, 5, 6, 7, 0};
    FILETIME time;
    ASSERT_TRUE(SystemTimeToFileTime(&written, &time));
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
    RSS::Channel channel(L"u");
    EXPECT_FALSE(ParseFeedFile(&channel, path.c_str(), false));
    EXPECT_EQ(2021, channel.fileTime.wYear);
    EXPECT_EQ(3, channel.fileTime.wMonth);
    EXPECT_EQ(4, channel.fileTime.wDay);
    EXPECT_EQ(5, channel.fileTime.wHour);
    EXPECT_EQ(6, channel.fileTime.wMinute);
    EXPECT_EQ(7, channel.fileTime.wSecond);
}

TEST(RssEntities, ReferencesAreDecodedInOnePass)
{
    struct Case {
        const wchar_t *text, *decoded;
    };
    const Case cases[] = {
        {L"&amp;amp;", L"&amp;"},
        {L"&nbsp;x", L"&nbsp;x"},
        {L"AT&T", L"AT&T"},
        {L"AT&Tx;", L"AT&Tx;"},
        {L"Tom & Jerry", L"Tom  Jerry"},
        {L" & ", L" & "},  // fewer than three characters after the ampersand
        {L"&#65;&#x42;", L"AB"},
        {L"&#X43;", L"C"},
        {L"&euro;&iexcl;&sup2;&sup;&thetasym;&yuml;&Yuml;", L"\u20ac\u00a1\u00b2\u2283\u03d1\u00ff\u0178"},
        {L"&Euro; &EURO;", L"&Euro; &EURO;"},
        {L"&amp", L"&amp"},
        {L"&#;x", L"&#;x"},
        {L"&#65x", L"&#65x"},
        {L"&#xG;", L"&#xG;"},
        {L"&1abc", L"1abc"},
        {L"&#x1F600;", L"\xd83d\xde00"},
        {L"&#128512;", L"\xd83d\xde00"},
        {L"&#x10FFFF;", L"\xdbff\xdfff"},
        {L"&#0;z", L"\xfffdz"},
        {L"&#xD800;", L"\xfffd"},
        {L"&#xDFFF;", L"\xfffd"},
        {L"&#x110000;", L"\xfffd"},
        {L"&#4294967361;", L"\xfffd"},  // 2^32 + 65: no wrap to "A"
        {L"&#99999999999999999999999999;", L"\xfffd"},
        {L"&#65537;", L"\xd800\xdc01"},  // never cut to 16 bits
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        std::wstring text = c.text;
        DecodeHtmlEntities(text);
        EXPECT_EQ(std::wstring(c.decoded), text);
    }
}

// Entity declarations never reach the parser: no file read, no request made.
TEST_F(RssParser, HostileDocumentsAreRefusedOrSurvived)
{
    std::wstring marker = Write(L"marker.txt", "SECRET");
    std::wstring markerUrl = L"file:///" + marker;
    std::wstring entityUrl = TestServerUrl(L"/ok?feed-entity");
    auto narrow = [](const std::wstring& s) { return std::string(s.begin(), s.end()); };
    auto withEntity = [&](const std::string& declaration, const std::string& use) {
        return "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n" + declaration + "\n]>\n" + Feed("<item><title>" + use + "</title></item>");
    };
    std::string utf16 = "\xff\xfe";
    for (char c : withEntity("<!ENTITY x SYSTEM \"" + narrow(markerUrl) + "\">", "&x;"))
        utf16 += std::string(1, c) + '\0';

    RSS::Channel channel(L"u");
    ASSERT_TRUE(ParseFeedFile(&channel, Fixture(L"rdf10.xml").c_str(), false));
    TestServerGet(L"/log/clear");
    struct Case {
        const char* what;
        std::string content;
    };
    const Case cases[] = {
        {"a file", withEntity("<!ENTITY x SYSTEM \"" + narrow(markerUrl) + "\">", "&x;")},
        {"a URL", withEntity("<!ENTITY x SYSTEM \"" + narrow(entityUrl) + "\">", "&x;")},
        {"a parameter entity", withEntity("<!ENTITY % p SYSTEM \"" + narrow(entityUrl) + "\"> %p;", "x")},
        {"behind a comment and a quoted ]>", "<!-- ]> --><!DOCTYPE rss SYSTEM \"]>\" [<!ENTITY x SYSTEM \"" +
                                                 narrow(markerUrl) + "\">]>" + Feed("<item><title>&x;</title></item>")},
        {"in UTF-16", utf16},
        {"billion laughs", ReadFileBytes(Fixture(L"billion-laughs.xml"))},
        {"a NUL reference", Feed("<item><title>a&#0;b</title></item>")},  // no character: the load fails
        {"past the first read", "<!--" + std::string(100000, ' ') + "-->" +
                                    withEntity("<!ENTITY x SYSTEM \"" + narrow(markerUrl) + "\">", "&x;")},
        {"a prolog past the second read", "<!--" + std::string(2000000, ' ') + "-->" + Feed("<item><title>x</title></item>")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DWORD start = GetTickCount();
        EXPECT_FALSE(ParseFeedFile(&channel, Write(L"hostile.xml", c.content).c_str(), false));
        EXPECT_LT(GetTickCount() - start, 5000u);  // a hang guard, no speed goal
        EXPECT_EQ(L"RDF channel", channel.title);
        EXPECT_EQ(2u, channel.itemsByKey.size());
    }
    EXPECT_EQ(std::string::npos, ServerLog().find("feed-entity"));
    // a long but harmless prolog is read
    RSS::Channel commented(L"u");
    EXPECT_TRUE(ParseFeedFile(&commented, Write(L"comment.xml", "<!--" + std::string(100000, ' ') + "-->" +
                                                                   Feed("<item><title>x</title></item>")).c_str(),
                              false));

    // deep nesting: refused or read, never a crash; the items stay when refused
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<x>";
    for (int i = 0; i < 100000; ++i)
        deep += "</x>";
    if (!ParseFeedFile(&channel, Write(L"deep.xml", Feed("<item><title>deep</title>" + deep + "</item>")).c_str(),
                       false)) {
        EXPECT_EQ(2u, channel.itemsByKey.size());
    }
}

TEST_F(RssParser, LargeFeedsAreRead)
{
    std::string items;
    std::string padding(440, 'p');
    for (int i = 0; i < 20000; ++i)
        items += "<item><title>Item " + std::to_string(i) + "</title><guid>" + std::to_string(i) + "</guid><description>" +
                 padding + "</description></item>";
    ASSERT_GT(items.size(), 10000000u);
    RSS::Channel channel(L"u");
    ASSERT_TRUE(ParseFeedFile(&channel, Write(L"many.xml", Feed(items)).c_str(), false));
    ASSERT_EQ(20000u, channel.itemsInOrder.size());
    EXPECT_EQ(L"Item 19999", channel.itemsInOrder.back()->title);

    std::string description(10 * 1024 * 1024, 'd');
    RSS::Channel big(L"u");
    ASSERT_TRUE(ParseFeedFile(&big, Write(L"big.xml", Feed("<item><title>t</title><description>" + description +
                                                                "</description></item>"))
                                        .c_str(),
                              false));
    ASSERT_EQ(1u, big.itemsInOrder.size());
    EXPECT_EQ(description.size(), big.itemsInOrder[0]->description.size());
}

}  // namespace
