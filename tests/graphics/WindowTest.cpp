#include <gtest/gtest.h>

#include <windows.h>

#include "graphics/window/Window.h"

namespace {

int g_deleted;

class CTestWindow : public CWindow {
public:
    ~CTestWindow() override { ++g_deleted; }
    bool OnMessage(WindowMessage& message) override
    {
        if (message.message != WM_USER + 1)
            return false;
        message.result = 42;
        return true;
    }
};

class CTestAlphaWindow : public CAlphaWindow {
public:
    ~CTestAlphaWindow() override { ++g_deleted; }
};

class WindowClasses : public testing::Test {
protected:
    void SetUp() override
    {
        g_deleted = 0;
        ASSERT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr)));
    }
};

}  // namespace

TEST_F(WindowClasses, RegisteredOncePerProcess)
{
    EXPECT_TRUE(RegisterWindowClasses(GetModuleHandleW(nullptr)));
    WNDCLASSEXW wc = {sizeof(wc)};
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"KG_Generic_Window", &wc));
    EXPECT_EQ((UINT)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC), wc.style);
    EXPECT_EQ(8, wc.cbWndExtra);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"KG_Layered_Window", &wc));
    EXPECT_EQ((UINT)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), wc.style);
}

TEST_F(WindowClasses, HandledMessagesAndAlpha)
{
    CTestWindow* w = new CTestWindow;
    ASSERT_TRUE(w->Create(nullptr, L"test", WS_POPUP, 0));
    EXPECT_EQ(42, SendMessageW(w->GetHandle(), WM_USER + 1, 0, 0));
    w->SetAlpha(5);
    EXPECT_EQ(10, w->GetAlpha());
    w->SetAlpha(300);
    EXPECT_EQ(255, w->GetAlpha());
    delete w;
    EXPECT_EQ(1, g_deleted);
}

TEST_F(WindowClasses, DestroyedFromOutsideDeletesItsObjectOnce)
{
    CTestWindow* w = new CTestWindow;
    ASSERT_TRUE(w->Create(nullptr, L"test", WS_POPUP, 0));
    HWND hwnd = w->GetHandle();
    DestroyWindow(hwnd);
    EXPECT_EQ(1, g_deleted);
    EXPECT_FALSE(IsWindow(hwnd));

    CTestAlphaWindow* a = new CTestAlphaWindow;
    a->SetBounds(10, 10, 40, 30);
    ASSERT_TRUE(a->Create(nullptr, L"alpha", WS_POPUP, 0));
    EXPECT_TRUE(GetWindowLongPtrW(a->GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    DestroyWindow(a->GetHandle());
    EXPECT_EQ(2, g_deleted);
}

TEST_F(WindowClasses, DestroyThenDeleteFreesOnce)
{
    CTestWindow* w = new CTestWindow;
    ASSERT_TRUE(w->Create(nullptr, L"test", WS_POPUP, 0));
    HWND hwnd = w->GetHandle();
    w->Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, w->GetHandle());
    EXPECT_EQ(0, g_deleted);
    delete w;
    EXPECT_EQ(1, g_deleted);
}

TEST_F(WindowClasses, FailedAlphaWindowStaysForItsOwner)
{
    CTestAlphaWindow* a = new CTestAlphaWindow;
    a->SetBounds(0, 0, 0, 0);  // no back buffer can be made
    EXPECT_FALSE(a->Create(nullptr, L"alpha", WS_POPUP, 0));
    EXPECT_EQ(nullptr, a->GetHandle());
    EXPECT_EQ(0, g_deleted);
    delete a;
    EXPECT_EQ(1, g_deleted);
}

TEST_F(WindowClasses, CaptureWhileAButtonIsHeld)
{
    CTestWindow* w = new CTestWindow;
    ASSERT_TRUE(w->Create(nullptr, L"test", WS_POPUP, 0));
    HWND hwnd = w->GetHandle();
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(hwnd, GetCapture());
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(500, 500));
    EXPECT_EQ(nullptr, GetCapture());
    SendMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(hwnd, GetCapture());
    delete w;  // the destruction releases it
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(WindowClasses, BackBufferFollowsTheWindowSize)
{
    CTestAlphaWindow* a = new CTestAlphaWindow;
    a->SetBounds(20, 20, 40, 30);
    ASSERT_TRUE(a->Create(nullptr, L"alpha", WS_POPUP, 0));
    EXPECT_EQ(40, a->BackBuffer().GetWidth());
    SetWindowPos(a->GetHandle(), nullptr, 30, 30, 64, 48, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(64, a->BackBuffer().GetWidth());
    EXPECT_EQ(48, a->BackBuffer().GetHeight());
    a->SetAlpha(3);
    EXPECT_EQ(10, a->GetAlpha());
    EXPECT_TRUE(a->Redraw());
    delete a;
    EXPECT_EQ(1, g_deleted);
}
