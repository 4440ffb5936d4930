// GetExplicitEntriesFromAclA: the entries of an access list as the records
// the trustee functions use, in one block the caller frees with LocalFree:
// the records first, then a copy of each SID their trustees point to, so
// nothing in the block points into the list it came from.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LocalMemory.h"
#include "platform/posix/security/AccessList.h"

#include <cstring>
#include <vector>

namespace mvx {
namespace {

constexpr BYTE kSuccessfulAccessFlag = 0x40;
constexpr BYTE kInheritanceFlags = 0x1F;

// The mode of the record for `ace`; NOT_USED_ACCESS for a type (an alarm, an
// object entry) that gives no record.
ACCESS_MODE ModeOf(const AccessEntry& ace) {
    switch (ace.type) {
        case kAccessAllowedAce: return GRANT_ACCESS;
        case kAccessDeniedAce: return DENY_ACCESS;
        case kSystemAuditAce:
            return (ace.flags & kSuccessfulAccessFlag) ? SET_AUDIT_SUCCESS : SET_AUDIT_FAILURE;
        default: return NOT_USED_ACCESS;
    }
}

EXPLICIT_ACCESS_A RecordOf(const AccessEntry& ace, BYTE* sid) {
    const TRUSTEE_A trustee{nullptr, NO_MULTIPLE_TRUSTEE, TRUSTEE_IS_SID, TRUSTEE_IS_UNKNOWN,
                            reinterpret_cast<LPSTR>(sid)};
    return {ace.mask, ModeOf(ace), static_cast<DWORD>(ace.flags & kInheritanceFlags), trustee};
}

DWORD CopyEntries(const std::vector<AccessEntry>& aces, ULONG& count, PEXPLICIT_ACCESS_A& entries) {
    std::vector<const AccessEntry*> kept;
    size_t sidBytes = 0;
    for (const AccessEntry& ace : aces) {
        if (ModeOf(ace) == NOT_USED_ACCESS) continue;
        kept.push_back(&ace);
        sidBytes += ace.sid.size();
    }
    const size_t recordBytes = kept.size() * sizeof(EXPLICIT_ACCESS_A);
    BYTE* block = static_cast<BYTE*>(LocalAllocate(recordBytes + sidBytes));
    if (!block) return ERROR_NOT_ENOUGH_MEMORY;
    auto* records = reinterpret_cast<EXPLICIT_ACCESS_A*>(block);
    BYTE* sid = block + recordBytes;
    for (size_t i = 0; i < kept.size(); ++i) {
        std::memcpy(sid, kept[i]->sid.data(), kept[i]->sid.size());
        records[i] = RecordOf(*kept[i], sid);
        sid += kept[i]->sid.size();
    }
    count = static_cast<ULONG>(kept.size());
    entries = records;
    return NO_ERROR;
}

}  // namespace
}  // namespace mvx

// The result is the error code itself, as for the other trustee functions.
extern "C" DWORD WINAPI GetExplicitEntriesFromAclA(PACL acl, PULONG count,
                                                   PEXPLICIT_ACCESS_A* entries) {
    if (mvx::FaultHit("GetExplicitEntriesFromAclA")) return GetLastError();
    if (!count || !entries) return ERROR_INVALID_PARAMETER;
    if (!acl) {
        *count = 0;
        *entries = nullptr;
        return NO_ERROR;
    }
    return mvx::GuardedCall<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&]() -> DWORD {
        std::vector<mvx::AccessEntry> aces;
        if (!mvx::ReadAcl(reinterpret_cast<const BYTE*>(acl), aces)) return ERROR_INVALID_ACL;
        return mvx::CopyEntries(aces, *count, *entries);
    });
}
