#include "app/startup/ObjectAccess.h"

#include <aclapi.h>

bool SetObjectAccessForEveryone(HANDLE object, DWORD access, DWORD* error)
{
    *error = 0;
    // GetCurrentProcess() is -1, the value of INVALID_HANDLE_VALUE: callers
    // pass only handles they have checked, so -1 here is the own process
    if (!object) {
        *error = ERROR_INVALID_HANDLE;
        return false;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
        *error = GetLastError();
        return false;
    }
    EXPLICIT_ACCESSW entry = {};
    entry.grfAccessPermissions = access;
    entry.grfAccessMode = SET_ACCESS;
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entry.Trustee.ptstrName = (LPWSTR)everyone;
    PACL acl = nullptr;
    DWORD rc = SetEntriesInAclW(1, &entry, nullptr, &acl);
    if (rc == ERROR_SUCCESS)
        rc = SetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, acl, nullptr);
    if (acl)
        LocalFree(acl);
    FreeSid(everyone);
    *error = rc;
    return rc == ERROR_SUCCESS;
}
