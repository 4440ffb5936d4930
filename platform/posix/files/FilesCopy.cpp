// Placeholder until this area is written: the calls fail as on a system
// without the service.
#include "platform/posix/core/FaultInjection.h"

extern "C" BOOL WINAPI CopyFileA(LPCSTR, LPCSTR, BOOL) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}
