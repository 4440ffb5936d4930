// LookupPrivilegeValueA and AdjustTokenPrivileges for this process's token.
// The privileges Windows names can be looked up, each with the LUID Windows
// gives it; of them the token holds only SeSecurityPrivilege, the one this
// layer gives a meaning to, and only when the process runs as root.
// Adjusting one the token does not hold succeeds with ERROR_NOT_ALL_ASSIGNED,
// as on Windows.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/SecurityPrivilege.h"
#include "platform/posix/security/TokenObject.h"

#include <strings.h>

namespace mvx {
namespace {

// In the order of their LUIDs, from 2 on.
const char* const kPrivilegeNames[] = {
    "SeCreateTokenPrivilege",
    "SeAssignPrimaryTokenPrivilege",
    "SeLockMemoryPrivilege",
    "SeIncreaseQuotaPrivilege",
    "SeMachineAccountPrivilege",
    "SeTcbPrivilege",
    "SeSecurityPrivilege",
    "SeTakeOwnershipPrivilege",
    "SeLoadDriverPrivilege",
    "SeSystemProfilePrivilege",
    "SeSystemtimePrivilege",
    "SeProfileSingleProcessPrivilege",
    "SeIncreaseBasePriorityPrivilege",
    "SeCreatePagefilePrivilege",
    "SeCreatePermanentPrivilege",
    "SeBackupPrivilege",
    "SeRestorePrivilege",
    "SeShutdownPrivilege",
    "SeDebugPrivilege",
    "SeAuditPrivilege",
    "SeSystemEnvironmentPrivilege",
    "SeChangeNotifyPrivilege",
    "SeRemoteShutdownPrivilege",
    "SeUndockPrivilege",
    "SeSyncAgentPrivilege",
    "SeEnableDelegationPrivilege",
    "SeManageVolumePrivilege",
    "SeImpersonatePrivilege",
    "SeCreateGlobalPrivilege",
    "SeTrustedCredManAccessPrivilege",
    "SeRelabelPrivilege",
    "SeIncreaseWorkingSetPrivilege",
    "SeTimeZonePrivilege",
    "SeCreateSymbolicLinkPrivilege",
};
constexpr DWORD kFirstPrivilegeLuid = 2;
constexpr DWORD kSecurityPrivilegeLuid = 8;

constexpr DWORD kPrivilegeListHeader = sizeof(DWORD);  // PrivilegeCount

bool IsSecurityPrivilege(const LUID& luid) {
    return luid.LowPart == kSecurityPrivilegeLuid && luid.HighPart == 0;
}

// What a request makes of the security privilege: whether it asks for a
// state of it, which one, and whether it names a privilege the token lacks.
struct Request {
    bool asks = false;
    bool enable = false;
    bool notAllAssigned = false;
};

Request RequestOf(BOOL disableAll, const TOKEN_PRIVILEGES* newState) {
    Request request;
    if (disableAll) {
        request.asks = true;
        return request;
    }
    const bool held = SecurityPrivilegeHeld();
    for (DWORD i = 0; i < newState->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = newState->Privileges[i];
        if (!held || !IsSecurityPrivilege(entry.Luid)) {
            request.notAllAssigned = true;
            continue;
        }
        request.asks = true;
        request.enable = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    return request;
}

// Fills `previous` with the state of the privileges the request changes;
// false with ERROR_INSUFFICIENT_BUFFER when it does not fit.
bool ReportPrevious(bool changes, DWORD bufferLength, PTOKEN_PRIVILEGES previous,
                    DWORD& returnLength) {
    const DWORD count = changes ? 1 : 0;
    returnLength = kPrivilegeListHeader + count * sizeof(LUID_AND_ATTRIBUTES);
    if (bufferLength < returnLength) return Fail(ERROR_INSUFFICIENT_BUFFER);
    previous->PrivilegeCount = count;
    const DWORD attributes = SecurityPrivilegeEnabled() ? SE_PRIVILEGE_ENABLED : 0;
    if (changes) previous->Privileges[0] = {{kSecurityPrivilegeLuid, 0}, attributes};
    return true;
}

BOOL Adjust(HANDLE token, BOOL disableAll, const TOKEN_PRIVILEGES* newState, DWORD bufferLength,
            PTOKEN_PRIVILEGES previous, PDWORD returnLength) {
    const std::shared_ptr<TokenObject> object = LookUpHandle<TokenObject>(token);
    if (!object) return FALSE;
    const DWORD needed = TOKEN_ADJUST_PRIVILEGES | (previous ? TOKEN_QUERY : 0);
    if ((object->Access() & needed) != needed) return Fail(ERROR_ACCESS_DENIED);
    if ((!disableAll && !newState) || (previous && !returnLength))
        return Fail(ERROR_INVALID_PARAMETER);
    const Request request = RequestOf(disableAll, newState);
    const bool changes = request.asks && request.enable != SecurityPrivilegeEnabled();
    if (previous && !ReportPrevious(changes, bufferLength, previous, *returnLength)) return FALSE;
    if (changes) SetSecurityPrivilegeEnabled(request.enable);
    SetLastError(request.notAllAssigned ? ERROR_NOT_ALL_ASSIGNED : ERROR_SUCCESS);
    return TRUE;
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI LookupPrivilegeValueA(LPCSTR systemName, LPCSTR name, PLUID luid) {
    if (mvx::FaultHit("LookupPrivilegeValueA")) return FALSE;
    if (!name || !luid) return mvx::Fail(ERROR_INVALID_PARAMETER);
    if (systemName && *systemName) return mvx::Fail(RPC_S_SERVER_UNAVAILABLE);
    DWORD value = mvx::kFirstPrivilegeLuid;
    for (const char* known : mvx::kPrivilegeNames) {
        if (strcasecmp(known, name) == 0) {
            *luid = {value, 0};
            return TRUE;
        }
        ++value;
    }
    return mvx::Fail(ERROR_NO_SUCH_PRIVILEGE);
}

extern "C" BOOL WINAPI AdjustTokenPrivileges(HANDLE token, BOOL disableAll,
                                             PTOKEN_PRIVILEGES newState, DWORD bufferLength,
                                             PTOKEN_PRIVILEGES previousState, PDWORD returnLength) {
    if (mvx::FaultHit("AdjustTokenPrivileges")) return FALSE;
    return mvx::GuardedCall(FALSE, [&] {
        return mvx::Adjust(token, disableAll, newState, bufferLength, previousState, returnLength);
    });
}
