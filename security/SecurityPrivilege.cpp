#include "security/SecurityPrivilege.h"

#include "common/ProcessToken.h"
#include "platform/win32.h"

bool EnableSecurityPrivilege() {
    CProcessToken token;
    if (!token.Open(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY))
        return false;
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, "SeSecurityPrivilege", &privileges.Privileges[0].Luid))
        return false;
    if (!AdjustTokenPrivileges(token.Handle(), FALSE, &privileges, 0, nullptr, nullptr))
        return false;
    // A token without the privilege still lets the call succeed, but says
    // so in the last error.
    return GetLastError() == ERROR_SUCCESS;
}
