// The hook library loads and unloads cleanly in a process: its per-process
// objects are built at load and destroyed at unload.
#include <gtest/gtest.h>

#include <windows.h>

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
