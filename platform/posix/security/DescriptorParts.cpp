// Placeholder until this area is written: the calls fail as on a system
// without the service.
#include "platform/posix/core/FaultInjection.h"

extern "C" BOOL WINAPI GetSecurityDescriptorOwner(PSECURITY_DESCRIPTOR, PSID*, LPBOOL) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

extern "C" BOOL WINAPI GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

extern "C" BOOL WINAPI GetSecurityDescriptorSacl(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}
