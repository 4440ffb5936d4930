// Placeholder until this area is written: the calls fail as on a system
// without the service.
#include "platform/posix/core/FaultInjection.h"

extern "C" DWORD WINAPI GetExplicitEntriesFromAclA(PACL, PULONG, PEXPLICIT_ACCESS_A*) {
    return ERROR_CALL_NOT_IMPLEMENTED;
}
