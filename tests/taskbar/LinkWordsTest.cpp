#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "taskbar/tooltip/LinkWords.h"

namespace {

// "word" for a plain word, "word@n" for a word of link n, "^k" before a word
// with k breaks.
std::wstring Describe(const std::vector<LinkWord>& words)
{
    std::wstring out;
    for (const LinkWord& word : words) {
        if (!out.empty())
            out += L' ';
        if (word.breaks)
            out += L'^' + std::to_wstring(word.breaks);
        out += word.text;
        if (word.link >= 0)
            out += L'@' + std::to_wstring(word.link);
    }
    return out;
}

std::wstring DescribeLinks(const std::vector<LinkTarget>& links)
{
    std::wstring out;
    for (const LinkTarget& link : links)
        out += L"[" + link.target + L"|" + link.title + L"]";
    return out;
}

}  // namespace

TEST(LinkWords, Parse)
{
    struct {
        const WCHAR* text;
        const WCHAR* words;
        const WCHAR* links;
    } cases[] = {
        {L"Hello <b>big</b>  world\tagain", L"Hello big world again", L""},
        {L"<a href=\"/p/5\" title='The bridge'>The bridge</a> by <A HREF=/cms/a?id=3>Anna</A>",
         L"The@0 bridge@0 by Anna@1", L"[/p/5|The bridge][/cms/a?id=3|]"},
        {L"<a class=x TITLE=\"T\" href='/q'>x</a>", L"x@0", L"[/q|T]"},
        {L"one<br><br>two", L"one ^2two", L""},
        {L"<br>a<BR/>b<brx>c<br2>d <br >e", L"^1a ^1b c d ^1e", L""},
        // outside a link "</a>" is an unknown tag; inside, "<a " is one
        {L"</a>x <a href=/1>y <a href=/2>z</a> w", L"x y@0 z@0 w", L"[/1|]"},
        {L"<a href=/x>to the end", L"to@0 the@0 end@0", L"[/x|]"},
        {L"<a href=\"/x>broken", L"", L"[/x>broken|]"},
        {L"a<b", L"a", L""},
        {L"", L"", L""},
        {L" \t ", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::wstring(c.text) << "\"");
        std::vector<LinkWord> words(3);
        std::vector<LinkTarget> links(2);
        ParseLinkWords(c.text, &words, &links);
        EXPECT_EQ(std::wstring(c.words), Describe(words));
        EXPECT_EQ(std::wstring(c.links), DescribeLinks(links));
    }
    std::vector<LinkWord> words(1);
    std::vector<LinkTarget> links(1);
    ParseLinkWords(nullptr, &words, &links);
    EXPECT_TRUE(words.empty() && links.empty());
}

TEST(LinkWords, SafeSitePaths)
{
    struct {
        const WCHAR* path;
        bool safe;
    } cases[] = {
        {L"/cms/photo.htm?id=5", true},
        {L"/", true},
        {L"/caf\u00e9/a%20b", true},
        {L"", false},
        {nullptr, false},
        {L"cms/photo.htm", false},
        {L"//evil.example/x", false},
        {L"http://evil.example/", false},
        {L"/a b", false},
        {L"/a\tb", false},
        {L"/a\r\n", false},
        {L"/a\x01", false},
        {L"/a\x7f", false},
        {L"/a\u0085", false},
        {L"/a\\b", false},
        {L"/\\evil.example", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.path ? c.path : L"(null)"));
        EXPECT_EQ(c.safe, IsSafeSitePath(c.path));
    }
}
