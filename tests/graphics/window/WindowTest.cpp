#include <gtest/gtest.h>

#include <windows.h>

#include "graphics/protocol/WindowClasses.h"
#include "graphics/window/Window.h"
#include "tests/support/FaultCounter.h"

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
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kGenericWindowClass, &wc));
    EXPECT_EQ((UINT)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC), wc.style);
    EXPECT_EQ(8, wc.cbWndExtra);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), kLayeredWindowClass, &wc));
    EXPECT_EQ((UINT)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), wc.style);
}

// A window of the classes made by someone else, without an object, is a plain
// window: created, answered by DefWindowProc and destroyed without harm.
TEST_F(WindowClasses, WindowWithoutAnObjectIsPlain)
{
    for (const wchar_t* name : {kGenericWindowClass, kLayeredWindowClass}) {
        SCOPED_TRACE(testing::Message() << name);
        CFaultCounter faults;
        HWND hwnd = CreateWindowExW(0, name, L"bare", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        EXPECT_EQ(0, faults.Faults());
        ASSERT_NE(nullptr, hwnd);
        EXPECT_EQ(0, GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        EXPECT_EQ(0, SendMessageW(hwnd, WM_USER + 1, 0, 0));
        EXPECT_EQ(4, SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));  // DefWindowProc keeps the title
        EXPECT_TRUE(DestroyWindow(hwnd));
    }
    EXPECT_EQ(0, g_deleted);
}

// The classes belong to the module of the first registration: windows are
// created and the classes unregistered with it, whatever module comes later.
TEST_F(WindowClasses, ClassesStayWithTheFirstModule)
{
    HMODULE own = GetModuleHandleW(nullptr), other = GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(nullptr, other);
    EXPECT_TRUE(RegisterWindowClasses(other));
    WNDCLASSEXW wc = {sizeof(wc)};
    EXPECT_FALSE(GetClassInfoExW(other, kGenericWindowClass, &wc));
    CTestWindow* w = new CTestWindow;
    EXPECT_TRUE(w->Create(nullptr, L"test", WS_POPUP, 0));
    EXPECT_EQ(own, (HMODULE)GetWindowLongPtrW(w->GetHandle(), GWLP_HINSTANCE));
    delete w;

    UnregisterWindowClasses(other);  // not theirs: nothing happens
    EXPECT_TRUE(GetClassInfoExW(own, kGenericWindowClass, &wc));
    EXPECT_TRUE(GetClassInfoExW(own, kLayeredWindowClass, &wc));
    w = new CTestWindow;
    EXPECT_TRUE(w->Create(nullptr, L"test", WS_POPUP, WS_EX_LAYERED));
    delete w;

    UnregisterWindowClasses(own);
    EXPECT_FALSE(GetClassInfoExW(own, kGenericWindowClass, &wc));
    EXPECT_FALSE(GetClassInfoExW(own, kLayeredWindowClass, &wc));
    ASSERT_TRUE(RegisterWindowClasses(own));
    w = new CTestWindow;
    EXPECT_TRUE(w->Create(nullptr, L"test", WS_POPUP, 0));
    delete w;
    EXPECT_EQ(3, g_deleted);
}

// WS_EX_LAYERED picks the layered class, whose window gets the object's alpha and colour key.
TEST_F(WindowClasses, LayeredWindowGetsAlphaAndKey)
{
    struct Case {
        DWORD exStyle;
        int alpha;
        COLORREF key;
        const wchar_t* className;
        BYTE layeredAlpha;
        DWORD layeredFlags;
    } cases[] = {
        {0, 128, CLR_INVALID, kGenericWindowClass, 0, 0},
        {WS_EX_LAYERED, 128, CLR_INVALID, kLayeredWindowClass, 128, LWA_ALPHA},
        {WS_EX_LAYERED, 3, CLR_INVALID, kLayeredWindowClass, 10, LWA_ALPHA},
        {WS_EX_LAYERED, 200, RGB(1, 2, 3), kLayeredWindowClass, 200, LWA_ALPHA | LWA_COLORKEY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.exStyle << " " << c.alpha << " " << c.key);
        CTestWindow* w = new CTestWindow;
        w->SetAlpha(c.alpha);
        w->SetColorKey(c.key);
        ASSERT_TRUE(w->Create(nullptr, L"test", WS_POPUP, c.exStyle));
        wchar_t name[64] = L"";
        GetClassNameW(w->GetHandle(), name, 64);
        EXPECT_STREQ(c.className, name);
        COLORREF key = 0;
        BYTE alpha = 0;
        DWORD flags = 0;
        BOOL layered = GetLayeredWindowAttributes(w->GetHandle(), &key, &alpha, &flags);
        EXPECT_EQ(c.layeredFlags != 0, layered != FALSE);
        if (layered) {
            EXPECT_EQ(c.layeredAlpha, alpha);
            EXPECT_EQ(c.layeredFlags, flags);
            if (flags & LWA_COLORKEY) {
                EXPECT_EQ(c.key, key);
            }
        }
        delete w;
    }
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
