// The current process and its access token.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/TokenObject.h"

#include <memory>

// GetCurrentProcess cannot fail on Windows; an injected fault hands out a
// null handle instead, which every function taking a process refuses.
extern "C" HANDLE WINAPI GetCurrentProcess() {
    if (mvx::FaultHit("GetCurrentProcess")) return nullptr;
    return mvx::CurrentProcessPseudoHandle();
}

extern "C" BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    if (mvx::FaultHit("OpenProcessToken")) return FALSE;
    if (!token) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // No other process is reachable from this layer.
    if (process != mvx::CurrentProcessPseudoHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return mvx::GuardedCall(FALSE, [&]() -> BOOL {
        *token = mvx::AddHandle(std::make_shared<mvx::TokenObject>(access));
        return TRUE;
    });
}
