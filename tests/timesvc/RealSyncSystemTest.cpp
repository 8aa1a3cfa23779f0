#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include "graphics/system/Handles.h"
#include "graphics/system/Restrictions.h"
#include "timesvc/sync/SyncEngine.h"

namespace {

// "no_preferences" = 0 in the machine's own (64-bit) view of the program's
// key, where the administrator's tools and the 64-bit programs write it; the
// key goes again afterwards (ctest's lock "hklm_tempolan" keeps other tests
// off it).
class MachineSwitch : public testing::Test {
protected:
    void SetUp() override
    {
        Remove();
        CRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.Receive(), nullptr));
        DWORD zero = 0;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(key.Get(), kNoPreferencesValue, 0, REG_DWORD, (const BYTE*)&zero, sizeof(zero)));
    }
    void TearDown() override { Remove(); }
    static void Remove()
    {
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kProgramMachineKey, view, 0);
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Kestrin Group", view, 0);  // only when empty
        }
    }
};

}  // namespace

// The 32-bit service reads the same switch as the 64-bit programs.
TEST_F(MachineSwitch, ReadFromTheMachinesOwnView)
{
    CRealSyncSystem system;
    DWORD size = 0, value = 1;
    ASSERT_TRUE(system.ReadNoPreferences(&size, &value));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0u, value);
    CSyncEngine engine(system, {5, 3, 1});
    EXPECT_FALSE(engine.UserPreferencesAllowed());
}
