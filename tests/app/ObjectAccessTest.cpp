#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>

#include "graphics/system/Handles.h"
#include "app/startup/ObjectAccess.h"

namespace {

// The access the DACL of `object` allows Everyone; 0 when it names them nowhere.
DWORD EveryoneAccess(HANDLE object)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return 0;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    DWORD access = 0;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (GetAce(dacl, i, (void**)&ace) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            EqualSid((PSID)&ace->SidStart, everyone))
            access |= ace->Mask;
    }
    FreeSid(everyone);
    LocalFree(descriptor);
    return access;
}

// Puts back the DACL the object had: the test process keeps its own rights.
class CKeptDacl {
public:
    explicit CKeptDacl(HANDLE object) : m_object(object)
    {
        GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &m_dacl, nullptr,
                        &m_descriptor);
    }
    ~CKeptDacl()
    {
        if (m_descriptor) {
            SetSecurityInfo(m_object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, m_dacl, nullptr);
            LocalFree(m_descriptor);
        }
    }
    CKeptDacl(const CKeptDacl&) = delete;
    CKeptDacl& operator=(const CKeptDacl&) = delete;

private:
    HANDLE m_object;
    PACL m_dacl = nullptr;
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

}  // namespace

TEST(ObjectAccess, EveryoneGetsTheAccessOnAnEventAndOnTheOwnProcess)
{
    CKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    struct Case {
        const char* name;
        HANDLE object;
        DWORD access;
    } cases[] = {
        {"event", event.Get(), 0x1F0003},
        // the pseudo-handle has the value of INVALID_HANDLE_VALUE
        {"own process", GetCurrentProcess(), PROCESS_QUERY_INFORMATION | PROCESS_VM_READ},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKeptDacl kept(c.object);
        DWORD error = 99;
        EXPECT_TRUE(SetObjectAccessForEveryone(c.object, c.access, &error));
        EXPECT_EQ(0u, error);
        EXPECT_EQ(c.access, EveryoneAccess(c.object));
    }
}

TEST(ObjectAccess, NoObjectIsAnInvalidHandle)
{
    DWORD error = 0;
    EXPECT_FALSE(SetObjectAccessForEveryone(nullptr, PROCESS_VM_READ, &error));
    EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, error);
}
