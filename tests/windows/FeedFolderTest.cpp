#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/FakeUserDataShell.h"
#include "tests/support/TestFiles.h"
#include "windows/news/FeedCache.h"

namespace {

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

const HWND kOwner = (HWND)(INT_PTR)0x1234;

}  // namespace

TEST(FeedFolder, MadeOnceUnderTheApplicationData)
{
    CTempFolder temp;  // with a trailing backslash
    std::wstring bare = temp.Path().substr(0, temp.Path().size() - 1);
    struct Case {
        const char* what;
        std::wstring appData;
    } cases[] = {{"without a separator", bare}, {"with one", temp.Path()}, {"already there", bare}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFakeUserDataShell shell;
        shell.appData = c.appData;
        WCHAR folder[MAX_PATH] = L"stale";
        EXPECT_TRUE(CreateUserDataFolder(shell, kOwner, folder));
        EXPECT_EQ(temp.Path() + L"Tempolan", folder);
        EXPECT_TRUE(IsFolder(folder));
        EXPECT_TRUE(shell.boxes.empty());
    }
}

TEST(FeedFolder, FailuresShowTheirBoxAndClearThePath)
{
    CTempFolder temp;
    ASSERT_TRUE(temp.WriteBytes(L"file", "not a folder"));
    ASSERT_TRUE(temp.AddFolder(L"taken"));
    ASSERT_TRUE(temp.WriteBytes(L"taken\\Tempolan", "a file where the folder goes"));
    // 236 characters are allowed, 237 are not
    std::wstring longest = temp.Path() + std::wstring(236 - temp.Path().size(), L'a');
    std::wstring tooLong = longest + L"a";
    ASSERT_TRUE(temp.AddFolder(longest.substr(temp.Path().size())));
    struct Case {
        const char* what;
        std::wstring appData;
        const wchar_t* caption;  // null: no box, the folder is made
        std::wstring text;
    } cases[] = {
        {"236 characters", longest, nullptr, L""},
        {"237 characters", tooLong, L"Path too long", tooLong},
        {"under a file", temp.File(L"file"), L"Can not create directory", temp.File(L"file\\Tempolan")},
        {"a file of that name", temp.File(L"taken"), L"Can not create directory", temp.File(L"taken\\Tempolan")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CFakeUserDataShell shell;
        shell.appData = c.appData;
        WCHAR folder[MAX_PATH] = L"stale";
        bool made = CreateUserDataFolder(shell, kOwner, folder);
        if (!c.caption) {
            EXPECT_TRUE(made);
            EXPECT_EQ(c.appData + L"\\Tempolan", folder);
            EXPECT_TRUE(shell.boxes.empty());
            continue;
        }
        EXPECT_FALSE(made);
        EXPECT_STREQ(L"", folder);
        ASSERT_EQ(1u, shell.boxes.size());
        EXPECT_EQ(kOwner, shell.boxes[0].owner);
        EXPECT_EQ(c.caption, shell.boxes[0].caption);
        EXPECT_EQ(c.text, shell.boxes[0].text);
    }
}

TEST(FeedFolder, NothingWithoutApplicationData)
{
    CFakeUserDataShell shell;
    shell.found = false;
    WCHAR folder[MAX_PATH] = L"stale";
    EXPECT_FALSE(CreateUserDataFolder(shell, kOwner, folder));
    EXPECT_STREQ(L"", folder);
    EXPECT_TRUE(shell.boxes.empty());
}
