#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

#include "graphics/window/Theme.h"
#include "tests/support/FakeThemeApi.h"

TEST(Theme, OpenOnlyWhenLoadedAndActive)
{
    struct Case {
        bool loaded;
        BOOL active;
        bool opened;
    } cases[] = {{true, TRUE, true}, {true, FALSE, false}, {false, TRUE, false}, {false, FALSE, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "loaded " << c.loaded << " active " << c.active);
        CFakeThemeApi api;
        api.loaded = c.loaded;
        api.active = c.active;
        CVisualStyles styles(api);
        styles.SetActive(!c.opened);  // the open sets the flag either way
        HTHEME theme = styles.OpenThemeIfActive(nullptr, L"CLOCK");
        EXPECT_EQ(c.opened, theme != nullptr);
        EXPECT_EQ(c.opened, styles.Active());
        EXPECT_EQ(c.opened ? std::vector<std::wstring>{L"CLOCK"} : std::vector<std::wstring>{}, api.openedClasses);
    }
}

TEST(Theme, CloseClearsTheHandle)
{
    CFakeThemeApi api;
    CVisualStyles styles(api);
    HTHEME theme = styles.OpenThemeIfActive(nullptr, L"CLOCK");
    styles.CloseTheme(&theme);
    EXPECT_EQ(nullptr, theme);
    styles.CloseTheme(&theme);  // nothing more to close
    EXPECT_EQ(std::vector<HTHEME>{CFakeThemeApi::kTheme}, api.closed);
}

TEST(Theme, RealFunctionsLoadAndUnload)
{
    CUxThemeApi api;
    ASSERT_TRUE(api.Load());
    EXPECT_TRUE(api.Loaded());
    ASSERT_TRUE(api.Load());  // again: the earlier load is freed first
    EXPECT_TRUE(api.Unload());
    EXPECT_FALSE(api.Loaded());
    EXPECT_TRUE(api.Unload());
    // nothing loaded: no theme, and no call into a freed library
    CVisualStyles styles(api);
    styles.SetActive(true);
    EXPECT_EQ(nullptr, styles.OpenThemeIfActive(nullptr, L"CLOCK"));
    EXPECT_FALSE(styles.Active());
    EXPECT_EQ(E_NOTIMPL, api.CloseThemeData(CFakeThemeApi::kTheme));
}

TEST(Theme, FreeLoadedModulesFreesBoth)
{
    CFakeThemeApi api;
    HMODULE language = LoadLibraryW(L"msimg32.dll");
    ASSERT_NE(nullptr, language);
    EXPECT_TRUE(FreeLoadedModules(&language, api));
    EXPECT_EQ(nullptr, language);
    EXPECT_EQ(1, api.unloads);
    EXPECT_FALSE(api.Loaded());

    // nothing left to free is no failure
    EXPECT_TRUE(FreeLoadedModules(&language, api));

    // the theme is freed even when the language library cannot be
    language = (HMODULE)(UINT_PTR)0x10000;
    EXPECT_FALSE(FreeLoadedModules(&language, api));
    EXPECT_EQ(nullptr, language);
    EXPECT_EQ(3, api.unloads);

    api.unloadSucceeds = false;
    EXPECT_FALSE(FreeLoadedModules(&language, api));
}
