// capture.exe against a window of the test's own: a solid red topmost popup
// at a known place, so every pixel of its rectangle is known.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "graphics/system/Handles.h"
#include "tests/support/PngFile.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestMessages.h"

namespace {

const wchar_t kClass[] = L"TempolanCaptureTarget";
const wchar_t kTitle[] = L"capture target";
const uint32_t kRed = 0xFF0000;  // RGB
// odd numbers, away from the corners other tests' windows take
const RECT kPlace = {317, 213, 317 + 151, 213 + 97};

class CRedWindow {
public:
    CRedWindow() : m_brush(CreateSolidBrush(RGB(255, 0, 0)))
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kClass;
        wc.hbrBackground = m_brush.Get();
        RegisterClassW(&wc);
        // topmost: a window of a test running beside this one must not cover it
        m_window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, kTitle, WS_POPUP | WS_VISIBLE,
                                   kPlace.left, kPlace.top, kPlace.right - kPlace.left,
                                   kPlace.bottom - kPlace.top, nullptr, nullptr, wc.hInstance, nullptr);
        if (m_window) {
            UpdateWindow(m_window);
            // the X server maps and shows it a moment later
            PumpUntil([] { return false; }, 500);
        }
    }
    ~CRedWindow()
    {
        if (m_window)
            DestroyWindow(m_window);
        // the class goes before its brush
        UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    }
    CRedWindow(const CRedWindow&) = delete;
    CRedWindow& operator=(const CRedWindow&) = delete;

    HWND Window() const { return m_window; }

private:
    CGdiObject<HBRUSH> m_brush;
    HWND m_window = nullptr;
};

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

RgbPicture Read(const std::wstring& path)
{
    RgbPicture picture;
    EXPECT_TRUE(ReadPngPicture(path, &picture)) << "unreadable picture";
    return picture;
}

}  // namespace

TEST(Capture, SavesTheWindowsRectangleAsShown)
{
    CRedWindow red;
    ASSERT_NE(nullptr, red.Window());
    RECT rect;
    ASSERT_TRUE(GetWindowRect(red.Window(), &rect));
    ASSERT_EQ(kPlace.left, rect.left);
    ASSERT_EQ(kPlace.bottom, rect.bottom);

    struct Case {
        const wchar_t* file;
        std::wstring window;
    } cases[] = {
        {L"capture-window.png", Quoted(kClass)},
        {L"capture-window-title.png", Quoted(kClass) + L" " + Quoted(kTitle)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::wstring out = std::wstring(TL_SHOTS_FOLDER) + c.file;
        DeleteFileW(out.c_str());
        ASSERT_EQ(0, RunCapture(Quoted(out) + L" " + c.window));
        RgbPicture shot = Read(out);
        ASSERT_EQ(rect.right - rect.left, shot.width);
        ASSERT_EQ(rect.bottom - rect.top, shot.height);
        int other = 0;
        for (uint32_t pixel : shot.rgb)
            other += pixel != kRed;
        EXPECT_EQ(0, other) << "pixels not the window's red";
    }
}

TEST(Capture, SavesTheWholeScreenWithTheWindowInPlace)
{
    CRedWindow red;
    ASSERT_NE(nullptr, red.Window());
    std::wstring out = std::wstring(TL_SHOTS_FOLDER) + L"capture-screen.png";
    DeleteFileW(out.c_str());
    ASSERT_EQ(0, RunCapture(Quoted(out)));
    RgbPicture screen = Read(out);
    ASSERT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), screen.width);
    ASSERT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), screen.height);
    // the primary screen starts at 0, 0 here: the window's corners are red,
    // the pixels just outside them are not
    EXPECT_EQ(kRed, screen.At(kPlace.left, kPlace.top));
    EXPECT_EQ(kRed, screen.At(kPlace.right - 1, kPlace.bottom - 1));
    EXPECT_NE(kRed, screen.At(kPlace.left - 1, kPlace.top));
    EXPECT_NE(kRed, screen.At(kPlace.left, kPlace.top - 1));
    EXPECT_NE(kRed, screen.At(kPlace.right, kPlace.bottom - 1));
    EXPECT_NE(kRed, screen.At(kPlace.right - 1, kPlace.bottom));
}

TEST(Capture, NoSuchWindowExitsWithOneAndWritesNothing)
{
    CRedWindow red;
    ASSERT_NE(nullptr, red.Window());
    std::wstring out = std::wstring(TL_SHOTS_FOLDER) + L"capture-never.png";
    DeleteFileW(out.c_str());
    EXPECT_EQ(1, RunCapture(Quoted(out) + L" TempolanNoSuchClass"));
    EXPECT_EQ(1, RunCapture(Quoted(out) + L" " + Quoted(kClass) + L" \"another title\""));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(out.c_str()));
    // a folder that does not exist cannot be written
    EXPECT_EQ(2, RunCapture(L"Z:/tmp/tl-no-such-folder/shot.png " + Quoted(kClass)));
    EXPECT_EQ(2, RunCapture(L""));
}
