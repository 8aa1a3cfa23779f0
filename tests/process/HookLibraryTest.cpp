// The hook library loads and unloads cleanly in a process: its per-process
// objects are built at load and destroyed at unload.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

#include "graphics/system/Handles.h"

TEST(HookLibrary, LoadsAndUnloads)
{
    std::wstring path = std::wstring(TL_PROGRAM_FOLDER) + L"hook.dll";
    for (int i = 0; i < 2; ++i) {
        CModule hook(LoadLibraryW(path.c_str()));
        ASSERT_TRUE(hook) << GetLastError();
        // exports by ordinal only
        EXPECT_EQ(nullptr, GetProcAddress(hook.Get(), "SetHookArguments"));
        auto setArguments =
            (void(WINAPI*)(const WCHAR*, const char*))(void*)GetProcAddress(hook.Get(), MAKEINTRESOURCEA(9));
        ASSERT_NE(nullptr, setArguments);
        setArguments(L"C:\\Program Files\\Tempolan\\", "/nh");
        setArguments(nullptr, nullptr);
        // the unloading is tested: the owner only frees it after a failed assertion
        EXPECT_TRUE(FreeLibrary(hook.Detach()));
    }
}

TEST(HookLibrary, LoadPngImageHandsTheBlockOver)
{
    CModule hook(LoadLibraryW((std::wstring(TL_PROGRAM_FOLDER) + L"hook.dll").c_str()));
    ASSERT_TRUE(hook);
    typedef BOOL(WINAPI * LoadPng)(const WCHAR*, BITMAPV4HEADER*, void**);
    auto loadPng = (LoadPng)(void*)GetProcAddress(hook.Get(), MAKEINTRESOURCEA(10));
    ASSERT_NE(nullptr, loadPng);
    std::wstring path = std::wstring(TL_TEST_DATA) + L"png\\rgba.png";

    BITMAPV4HEADER header;
    void* pixels = nullptr;
    memset(&header, 0xCC, sizeof(header));
    header.bV4Size = sizeof(BITMAPINFOHEADER);  // an old caller: only 40 bytes come back
    ASSERT_TRUE(loadPng(path.c_str(), &header, &pixels));
    ASSERT_NE(nullptr, pixels);
    EXPECT_EQ(3, header.bV4Width);
    EXPECT_EQ(0xCCCCCCCCu, header.bV4RedMask);
    EXPECT_EQ(0x80FF0000u, ((uint32_t*)pixels)[3]);  // the top row's first pixel
    EXPECT_EQ(nullptr, GlobalFree(pixels));

    header.bV4Size = sizeof(BITMAPV4HEADER);
    EXPECT_FALSE(loadPng(path.c_str(), &header, nullptr));
    pixels = (void*)1;
    EXPECT_FALSE(loadPng((path + L"-missing").c_str(), &header, &pixels));
    EXPECT_EQ(nullptr, pixels);
    EXPECT_TRUE(FreeLibrary(hook.Detach()));
}
