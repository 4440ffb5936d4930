// LookupAccountSidA: the name and domain of the account a SID stands for,
// under Windows's two-call protocol: a buffer too small for either answer
// fails with ERROR_INSUFFICIENT_BUFFER and both sizes learn what they need
// (with the terminator); a success leaves the lengths of the answers there.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/AccountNames.h"

#include <cstring>

namespace mvx {
namespace {

void CopyText(const std::string& text, LPSTR buffer) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

BOOL HandOut(const AccountName& account, LPSTR name, DWORD& nameSize, LPSTR domain,
             DWORD& domainSize, SID_NAME_USE& use) {
    const DWORD nameNeeded = static_cast<DWORD>(account.name.size() + 1);
    const DWORD domainNeeded = static_cast<DWORD>(account.domain.size() + 1);
    if (nameSize < nameNeeded || domainSize < domainNeeded) {
        nameSize = nameNeeded;
        domainSize = domainNeeded;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (!name || !domain) return Fail(ERROR_INVALID_PARAMETER);
    CopyText(account.name, name);
    CopyText(account.domain, domain);
    nameSize = nameNeeded - 1;
    domainSize = domainNeeded - 1;
    use = account.use;
    return TRUE;
}

BOOL LookUp(LPCSTR systemName, const BYTE* sid, LPSTR name, DWORD& nameSize, LPSTR domain,
            DWORD& domainSize, SID_NAME_USE& use) {
    if (ClaimedSidLength(sid) == 0) return Fail(ERROR_INVALID_SID);
    // No other machine is reachable from here, so no account there is known.
    if (systemName && *systemName) return Fail(ERROR_NONE_MAPPED);
    AccountName account;
    if (!AccountNameOf(ReadSid(sid), account)) return Fail(ERROR_NONE_MAPPED);
    return HandOut(account, name, nameSize, domain, domainSize, use);
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI LookupAccountSidA(LPCSTR systemName, PSID sid, LPSTR name, LPDWORD nameSize,
                                         LPSTR domain, LPDWORD domainSize, PSID_NAME_USE use) {
    if (mvx::FaultHit("LookupAccountSidA")) return FALSE;
    if (!sid || !nameSize || !domainSize || !use) return mvx::Fail(ERROR_INVALID_PARAMETER);
    return mvx::GuardedCall(FALSE, [&] {
        return mvx::LookUp(systemName, static_cast<const BYTE*>(sid), name, *nameSize, domain,
                           *domainSize, *use);
    });
}
