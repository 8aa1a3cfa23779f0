#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "graphics/system/Handles.h"

namespace {

// Counts the closes of each value: the owner's own rules, whatever it holds.
std::vector<int> g_closed;

struct CountingTraits {
    using Handle = int;
    static int Empty() { return 0; }
    static bool Valid(int h) { return h > 0; }
    static void Close(int h) { g_closed.push_back(h); }
};
using CCounted = CHandleOwner<CountingTraits>;

bool KernelHandleOpen(HANDLE h)
{
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

}  // namespace

TEST(HandleOwner, ClosesEachHandleOnceWhateverMovesItMakes)
{
    g_closed.clear();
    {
        CCounted a(1), b(2), c(3), empty;
        CCounted moved(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(0, a.Get());
        EXPECT_EQ(1, moved.Get());
        b = std::move(moved);  // b's own handle goes first
        EXPECT_EQ(std::vector<int>({2}), g_closed);
        EXPECT_FALSE(moved);
        b = std::move(b);
        EXPECT_EQ(1, b.Get());
        EXPECT_EQ(3, c.Detach());
        EXPECT_FALSE(c);
        c.Reset(4);
        *empty.Receive() = 5;
        EXPECT_TRUE(empty);
    }
    std::vector<int> closed = g_closed;
    std::sort(closed.begin(), closed.end());
    EXPECT_EQ(std::vector<int>({1, 2, 4, 5}), closed);  // 3 was handed over
}

TEST(HandleOwner, KernelHandleIsClosedWhenItsOwnerDies)
{
    HANDLE raw;
    {
        CKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw = event.Get();
        EXPECT_TRUE(KernelHandleOpen(raw));
    }
    EXPECT_FALSE(KernelHandleOpen(raw));
    EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
}

TEST(HandleOwner, KernelHandleMovedAndDetachedStaysOpen)
{
    CKernelHandle first(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = first.Get();
    CKernelHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(nullptr, first.Get());
    first = CKernelHandle();  // the emptied source closes nothing
    EXPECT_TRUE(KernelHandleOpen(raw));

    HANDLE detached = second.Detach();
    EXPECT_EQ(raw, detached);
    EXPECT_FALSE(second);
    second.Reset();
    EXPECT_TRUE(KernelHandleOpen(raw));
    EXPECT_TRUE(CloseHandle(detached));
}

TEST(HandleOwner, BothFailureValuesOfKernelCallsAreEmpty)
{
    CKernelHandle file(CreateFileW(L"Z:\\no\\such\\folder\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.Get());
    EXPECT_FALSE(file);
    CKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, L"Local\\TempolanTest_NoSuchEvent"));
    EXPECT_FALSE(event);
    CFindHandle find(FindFirstFileW(L"Z:\\no\\such\\folder\\*", nullptr));
    EXPECT_FALSE(find);
    CFindHandle none;
    EXPECT_EQ(INVALID_HANDLE_VALUE, none.Get());
}

TEST(HandleOwner, RegistryKeyIsClosedWhenItsOwnerDies)
{
    HKEY raw;
    {
        CRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Receive()));
        raw = key.Get();
        EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr));
    }
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr));
}

TEST(HandleOwner, GdiObjectsAndMemoryDcAreDeletedWhenTheirOwnersDie)
{
    HBRUSH brush;
    HDC dc;
    {
        CGdiObject<HBRUSH> ownedBrush(CreateSolidBrush(RGB(1, 2, 3)));
        CMemoryDC ownedDc(CreateCompatibleDC(nullptr));
        brush = ownedBrush.Get();
        dc = ownedDc.Get();
        EXPECT_EQ((DWORD)OBJ_BRUSH, GetObjectType(brush));
        EXPECT_EQ((DWORD)OBJ_MEMDC, GetObjectType(dc));
    }
    EXPECT_EQ(0u, GetObjectType(brush));
    EXPECT_EQ(0u, GetObjectType(dc));
}

TEST(HandleOwner, WindowDcGoesBackToItsWindowOnce)
{
    HWND window = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    HDC raw;
    {
        CWindowDC dc(window);
        ASSERT_TRUE(dc);
        raw = dc.Get();
        CWindowDC moved(std::move(dc));
        EXPECT_FALSE(dc);
        EXPECT_EQ(window, moved.Window());
    }
    // given back already: a second release is refused
    EXPECT_EQ(0, ReleaseDC(window, raw));

    CWindowDC kept(window);
    HDC detached = kept.Detach();
    EXPECT_EQ(1, ReleaseDC(window, detached));
    DestroyWindow(window);
}

TEST(HandleOwner, ModuleIsFreedWhenItsOwnerDies)
{
    ASSERT_EQ(nullptr, GetModuleHandleW(TL_RES_TEST_DLL)) << "loaded by someone else";
    {
        CModule module(LoadLibraryW(TL_RES_TEST_DLL));
        ASSERT_TRUE(module);
        EXPECT_EQ(module.Get(), GetModuleHandleW(TL_RES_TEST_DLL));
    }
    EXPECT_EQ(nullptr, GetModuleHandleW(TL_RES_TEST_DLL));
}

TEST(HandleOwner, FindHandleIsClosedWhenItsOwnerDies)
{
    WIN32_FIND_DATAW data;
    HANDLE raw;
    {
        CFindHandle find(FindFirstFileW(L"C:\\windows\\*", &data));
        ASSERT_TRUE(find);
        raw = find.Get();
    }
    EXPECT_FALSE(FindNextFileW(raw, &data));
    EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
}
