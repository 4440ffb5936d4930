// Placeholder until this area is written: the calls fail as on a system
// without the service.
#include "platform/posix/core/FaultInjection.h"

extern "C" BOOL WINAPI LookupAccountSidA(LPCSTR, PSID, LPSTR, LPDWORD, LPSTR, LPDWORD,
                                         PSID_NAME_USE) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}
