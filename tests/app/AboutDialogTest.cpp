// The About box from the English library, driven inside its own loop by a
// thread timer, and the web pages it opens with the affiliate's prefix read
// from a test key in place of the machine's.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main/MainSeams.h"
#include "app/menu/AboutDialog.h"
#include "app/menu/WebPages.h"
#include "graphics/language/Language.h"
#include "graphics/system/Handles.h"
#include "graphics/system/Restrictions.h"
#include "tests/support/TestFiles.h"

namespace {

class CAddressRecorder : public IProgramStarter {
public:
    bool Start(const WCHAR* file, const WCHAR* parameters, const WCHAR* folder) override
    {
        addresses.push_back(file);
        EXPECT_EQ(nullptr, parameters);
        EXPECT_EQ(nullptr, folder);
        return true;
    }
    std::vector<std::wstring> addresses;
};

// A volatile key standing in for HKEY_LOCAL_MACHINE, deleted at the end.
class CTestMachineKey {
public:
    CTestMachineKey()
    {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        m_root.Reset(key);
    }
    ~CTestMachineKey()
    {
        m_root.Reset(nullptr);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    }
    HKEY Root() const { return m_root.Get(); }
    // The program's key with "affiliate_id" of `type` holding `bytes`.
    bool SetAffiliate(DWORD type, const void* bytes, DWORD size)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(m_root.Get(), kProgramMachineKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        CRegKey program(key);
        return RegSetValueExW(key, L"affiliate_id", 0, type, (const BYTE*)bytes, size) == ERROR_SUCCESS;
    }

private:
    static constexpr const WCHAR* kRoot = L"Software\\TempolanTests\\Machine";
    CRegKey m_root;
};

std::wstring ControlText(HWND dialog, int id)
{
    WCHAR text[1024] = L"";
    GetDlgItemTextW(dialog, id, text, ARRAYSIZE(text));
    return text;
}

// Runs `step` once from inside whatever loop is pumping this thread.
std::function<void()> g_step;
void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    auto step = std::move(g_step);
    g_step = nullptr;
    if (step)
        step();
}
void WhileLooping(std::function<void()> step)
{
    g_step = std::move(step);
    SetTimer(nullptr, 0, 10, RunStep);
}

class AboutDialogRun : public testing::Test {
protected:
    AboutDialogRun() : m_library(LoadLibraryExW(TL_RES_EN_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE))
    {
        m_language.SetResources(m_library.Get(), nullptr);
    }
    AboutServices Services() { return {&m_language, &starter, machine.Root()}; }

    CModule m_library;
    CLanguage m_language;
    CTestMachineKey machine;
    CAddressRecorder starter;
};

const WCHAR kProductSite[] = L"https://tempolan.kestrin-group.com/";
const WCHAR kMakerSite[] = L"https://www.kestrin-group.com/";

}  // namespace

// The box shows the library's version and the product's page as a link,
// comes forward instead of a second one, opens one page per button and
// ends its loop when OK takes it away.
TEST_F(AboutDialogRun, ShowsTheVersionAndOpensThePages)
{
    ASSERT_TRUE(m_library);
    CAboutDialog about(Services());
    HWND seen = nullptr;
    RECT rect = {};
    std::wstring version, link;
    bool secondShown = false;
    HWND afterSecond = nullptr;
    WhileLooping([&] {
        seen = about.Window();
        if (!seen)
            return;
        version = ControlText(seen, kIdcAboutVersion);
        link = ControlText(seen, kIdcAboutLink);
        GetWindowRect(seen, &rect);
        // a second request brings this one forward, from inside its loop
        secondShown = about.ShowAboutDialog();
        afterSecond = about.Window();
        for (int id : {kIdcAboutUpdates, kIdcAboutFeedback, kIdcAboutFeatureRequest, kIdcAboutForum,
                       kIdcAboutQuestions, kIdcAboutMakerHome, 1170, 999})
            SendMessageW(seen, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(seen, id));
        // a notification other than a click opens nothing
        SendMessageW(seen, WM_COMMAND, MAKEWPARAM(kIdcAboutForum, BN_SETFOCUS), 0);
        EXPECT_TRUE(IsWindow(seen));
        SendMessageW(seen, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    ASSERT_TRUE(about.ShowAboutDialog());
    ASSERT_NE(nullptr, seen) << "the loop did not run with the dialog";
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(nullptr, about.Window());

    EXPECT_EQ(L"Version 5.3.1", version);
    EXPECT_EQ(std::wstring(L"<a href=\"") + kProductSite + L"cms/overview.htm\">Visit the Tempolan web site</a>", link);
    EXPECT_TRUE(secondShown);
    EXPECT_EQ(seen, afterSecond);
    // centred on the desktop
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_NEAR((desktop.left + desktop.right) / 2, (rect.left + rect.right) / 2, 1);
    EXPECT_NEAR((desktop.top + desktop.bottom) / 2, (rect.top + rect.bottom) / 2, 1);

    std::vector<std::wstring> expected = {
        std::wstring(kProductSite) + L"cms/update.htm",
        std::wstring(kProductSite) + L"cms/forms/feedback.htm",
        std::wstring(kProductSite) + L"cms/forms/feature_request.htm",
        std::wstring(kMakerSite) + L"forum/viewforum.php?f=2",
        std::wstring(kProductSite) + L"cms/faq.htm",
        std::wstring(kMakerSite),
    };
    EXPECT_EQ(expected, starter.addresses);
}

// A click on the link's text opens the product's page with the affiliate's
// prefix; Cancel (Esc, the close box) takes the box away as OK does.
TEST_F(AboutDialogRun, TheLinkOpensTheProductsPage)
{
    DWORD id = 7;
    ASSERT_TRUE(machine.SetAffiliate(REG_DWORD, &id, sizeof(id)));
    CAboutDialog about(Services());
    bool clicked = false;
    WhileLooping([&] {
        HWND dialog = about.Window();
        if (!dialog)
            return;
        HWND link = GetDlgItem(dialog, kIdcAboutLink);
        RECT r;
        GetClientRect(link, &r);
        for (int x = 0; x < r.right && !clicked; x += 2)
            if (HyperlinkHitTest(link, x, r.bottom / 2, nullptr) >= 0) {
                SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(x, r.bottom / 2));
                clicked = true;
            }
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    ASSERT_TRUE(about.ShowAboutDialog());
    EXPECT_TRUE(clicked);
    EXPECT_EQ(nullptr, about.Window());
    EXPECT_EQ(std::vector<std::wstring>{std::wstring(kProductSite) + L"cms/7/overview.htm"}, starter.addresses);
}

// WM_QUIT while the box is open ends its loop and is posted again, so the
// program's own loop ends too; the box stays until it is closed.
TEST_F(AboutDialogRun, QuitEndsItsLoopAndReachesTheCallersLoop)
{
    CAboutDialog about(Services());
    WhileLooping([] { PostQuitMessage(3); });
    ASSERT_TRUE(about.ShowAboutDialog());
    HWND dialog = about.Window();
    EXPECT_TRUE(IsWindow(dialog));
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(3u, msg.wParam);
        }
    EXPECT_TRUE(quit);
    EXPECT_TRUE(about.RaiseAboutDialog());
    about.CloseAboutDialog();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(nullptr, about.Window());
    EXPECT_FALSE(about.RaiseAboutDialog());
}

// A library without the template: nothing is shown and the caller is told.
TEST(AboutDialog, WithoutTheTemplateNothingIsShown)
{
    CModule library(LoadLibraryExW(TL_RES_TEST_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(library);
    CLanguage language;
    language.SetResources(library.Get(), nullptr);
    CAddressRecorder starter;
    CAboutDialog about({&language, &starter, HKEY_CURRENT_USER});
    EXPECT_FALSE(about.ShowAboutDialog());
    EXPECT_EQ(nullptr, about.Window());
    CLanguage noLibrary;
    CAboutDialog none({&noLibrary, &starter, HKEY_CURRENT_USER});
    EXPECT_FALSE(none.ShowAboutDialog());
}

// "affiliate_id" counts only as a 4-byte REG_DWORD other than 0; every page
// takes the prefix where its path has the place for it.
TEST(WebPages, AffiliatePrefixFromTheMachineKey)
{
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;  // empty with REG_NONE: no value at all
        const wchar_t* prefix;
    } cases[] = {
        {"absent", REG_NONE, "", L""},
        {"zero", REG_DWORD, std::string(4, '\0'), L""},
        {"seven", REG_DWORD, std::string("\x07\0\0\0", 4), L"7/"},
        {"a text", REG_SZ, std::string("7\0\0\0", 4), L""},
        {"binary", REG_BINARY, std::string("\x07\0\0\0", 4), L""},
        {"two bytes", REG_DWORD, std::string("\x07\0", 2), L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestMachineKey machine;
        ASSERT_NE(nullptr, machine.Root());
        if (c.type != REG_NONE) {
            ASSERT_TRUE(machine.SetAffiliate(c.type, c.bytes.data(), (DWORD)c.bytes.size()));
        }
        CAddressRecorder starter;
        for (int page = 1; page <= 11; ++page)
            EXPECT_TRUE(OpenWebPage(page, starter, machine.Root())) << page;
        EXPECT_FALSE(OpenWebPage(12, starter, machine.Root()));
        const std::wstring product = kProductSite, maker = kMakerSite, p = c.prefix;
        std::vector<std::wstring> expected = {
            product + L"cms/" + p + L"update.htm",
            product + L"cms/" + p + L"forms/feedback.htm",
            product + L"cms/" + p + L"user_guide.htm",
            product + L"cms/" + p + L"overview.htm",
            maker,
            maker,
            maker + L"forum/viewforum.php?f=2",
            product + L"cms/" + p + L"forms/feature_request.htm",
            L"https://cities.kestrin-group.com/",
            L"https://places.tempolan.example/cms/",
            product + L"cms/faq.htm",
        };
        EXPECT_EQ(expected, starter.addresses);
    }
}
