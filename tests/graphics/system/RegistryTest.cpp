#include <gtest/gtest.h>

#include <windows.h>

#include "graphics/system/Handles.h"
#include "graphics/system/Registry.h"

class RegistryDword : public testing::Test {
protected:
    static constexpr const WCHAR* kKey = L"Software\\TempolanTest";
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 m_key.Receive(), nullptr));
    }
    void TearDown() override
    {
        m_key.Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    void Set(const WCHAR* name, DWORD type, const void* data, DWORD bytes)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(m_key.Get(), name, 0, type, (const BYTE*)data, bytes));
    }
    CRegKey m_key;
};

TEST_F(RegistryDword, OnlyFourByteValuesCount)
{
    const DWORD seven = 7;
    const uint64_t eight = 8;
    const BYTE two[2] = {1, 2};
    const BYTE four[4] = {0x78, 0x56, 0x34, 0x12};
    Set(L"dword", REG_DWORD, &seven, sizeof(seven));
    Set(L"qword", REG_QWORD, &eight, sizeof(eight));
    Set(L"short", REG_BINARY, two, sizeof(two));
    Set(L"binary", REG_BINARY, four, sizeof(four));
    struct Case {
        const WCHAR* name;
        DWORD value;
    } cases[] = {
        {L"dword", 7}, {L"qword", 99}, {L"short", 99}, {L"binary", 0x12345678}, {L"missing", 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(c.value, ReadRegistryDword(HKEY_CURRENT_USER, kKey, c.name, 99));
    }
    EXPECT_EQ(99u, ReadRegistryDword(HKEY_CURRENT_USER, L"Software\\TempolanTest\\Missing", L"dword", 99));
}
