// Placeholder until this area is written: the calls fail as on a system
// without the service.
#include "platform/posix/core/FaultInjection.h"

extern "C" HLOCAL WINAPI LocalFree(HLOCAL memory) { return memory; }
