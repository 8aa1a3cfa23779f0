#include <gtest/gtest.h>

#include <vssym32.h>

#include <string>
#include <vector>

#include "graphics/skin/Graphics.h"
#include "graphics/window/Theme.h"
#include "windows/TaskbarColours.h"
#include "tests/support/FakeThemeApi.h"

TEST(TaskbarColours, ButtonColoursOrTheTaskbarTheme)
{
    const COLORREF kText = RGB(10, 20, 30), kBack = RGB(40, 50, 60);
    const COLORREF kOldText = RGB(1, 2, 3), kOldBack = RGB(4, 5, 6);
    const COLORREF btnText = GetSysColor(COLOR_BTNTEXT), btnFace = GetSysColor(COLOR_BTNFACE);
    ASSERT_TRUE(btnText != kText && btnFace != kBack);
    const COLORREF none = CFakeThemeApi::kNoFill;
    struct Case {
        const wchar_t* look;
        bool withStyles;
        BOOL active;
        COLORREF themeText, themeBack;
        std::vector<std::wstring> refused;
        COLORREF text, back;
    };
    const Case cases[] = {
        {L"Standard System Clock", false, TRUE, kText, kBack, {}, btnText, btnFace},
        {L"Standard System Clock", true, FALSE, kText, kBack, {}, btnText, btnFace},
        {L"Classic Tempolan Style", true, TRUE, kText, kBack, {}, kText, kBack},
        {L"Standard System Clock", true, TRUE, none, kBack, {}, btnText, kBack},  // no text colour in the theme
        {L"Standard System Clock", true, TRUE, kText, none, {}, kText, btnFace},  // the background failed to draw
        {L"Standard System Clock", true, TRUE, kText, kBack, {L"STARTPANEL", L"TASKBAR"}, btnText, btnFace},
        {L"Standard System Clock", true, TRUE, kText, kBack, {L"TASKBAR"}, kText, btnFace},
        {L"Arial", true, TRUE, kText, kBack, {}, kOldText, kOldBack},  // a skin keeps its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.look << " styles " << c.withStyles << " active " << c.active
                                        << " refused " << c.refused.size());
        CFakeThemeApi api;
        api.active = c.active;
        api.themeColor = c.themeText;
        api.backgroundColor = c.themeBack;
        api.refusedClasses = c.refused;
        CVisualStyles styles(api);
        CGraphics skin(&styles);
        skin.Load(c.look, 0, 8, 0, 0);
        skin.SetTextColor(kOldText);
        skin.SetBackColor(kOldBack);

        TakeTaskbarColours(&skin, nullptr, c.withStyles ? &styles : nullptr);
        EXPECT_EQ(c.text, skin.GetTextColor());
        EXPECT_EQ(c.back, skin.GetBackColor());
        for (const CFakeThemeApi::ColorQuery& q : api.colorQueries) {
            EXPECT_EQ(8, q.part);
            EXPECT_EQ(0, q.state);
            EXPECT_EQ(TMT_TEXTCOLOR, q.property);
        }
        for (const CFakeThemeApi::TextCall& b : api.backgrounds) {
            EXPECT_EQ(1, b.part);
            EXPECT_EQ(0, b.state);
        }
        // every theme opened is closed again
        size_t opened = api.openedClasses.size() - c.refused.size();
        EXPECT_EQ(opened, api.closed.size());
    }
}
