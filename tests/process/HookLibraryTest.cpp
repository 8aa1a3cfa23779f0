// The hook library loads and unloads cleanly in a process: its per-process
// objects are built at load and destroyed at unload.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

TEST(HookLibrary, LoadsAndUnloads)
{
    std::wstring path = std::wstring(TL_PROGRAM_FOLDER) + L"hook.dll";
    for (int i = 0; i < 2; ++i) {
        HMODULE hook = LoadLibraryW(path.c_str());
        ASSERT_NE(nullptr, hook) << GetLastError();
        // exports by ordinal only
        EXPECT_EQ(nullptr, GetProcAddress(hook, "SetHookArguments"));
        auto setArguments = (void(WINAPI*)(const WCHAR*, const char*))(void*)GetProcAddress(hook, MAKEINTRESOURCEA(9));
        ASSERT_NE(nullptr, setArguments);
        setArguments(L"C:\\Program Files\\Tempolan\\", "/nh");
        setArguments(nullptr, nullptr);
        EXPECT_TRUE(FreeLibrary(hook));
    }
}

TEST(HookLibrary, LoadPngImageHandsTheBlockOver)
{
    HMODULE hook = LoadLibraryW((std::wstring(TL_PROGRAM_FOLDER) + L"hook.dll").c_str());
    ASSERT_NE(nullptr, hook);
    typedef BOOL(WINAPI * LoadPng)(const WCHAR*, BITMAPV4HEADER*, void**);
    auto loadPng = (LoadPng)(void*)GetProcAddress(hook, MAKEINTRESOURCEA(10));
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
    EXPECT_TRUE(FreeLibrary(hook));
}
