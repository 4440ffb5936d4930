// Placeholder until this area is written: the calls fail as on a system
// without the service.
#include "platform/posix/core/FaultInjection.h"

extern "C" BOOL WINAPI LookupPrivilegeValueA(LPCSTR, LPCSTR, PLUID) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

extern "C" BOOL WINAPI AdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                             PTOKEN_PRIVILEGES, PDWORD) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}
