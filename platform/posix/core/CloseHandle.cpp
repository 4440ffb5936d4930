// CloseHandle: releases a handle of any kind from the process's table.
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/HandleTable.h"

extern "C" BOOL WINAPI CloseHandle(HANDLE object) {
    if (mvx::FaultHit("CloseHandle")) return FALSE;
    if (object == mvx::CurrentProcessPseudoHandle()) return TRUE;  // closes without effect
    return mvx::RemoveHandle(object) ? TRUE : FALSE;
}
